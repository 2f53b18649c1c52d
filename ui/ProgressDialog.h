// The progress dialog: a modeless top-level window captioned "Quarto working..." that stands
// while the busy count is above zero, with the working animation, the operation line, the count
// line and a Cancel button. Cancel, Esc and the window's close button all call the cancel
// routine (which may ask the ConfirmEsc question); once a cancel request is pending the button
// disables itself. The dialog never closes itself: the frame destroys it at the last busy end or
// when it winds a cancel up. UI thread only; workers reach its lines through ProgressDialogSink.
#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>

class QLabel;
class QPushButton;

namespace quarto {

class CProgressDialog final : public QDialog {
    Q_OBJECT

  public:
    // `requestCancel` is the cancel routine: true when a cancel request is pending on return.
    explicit CProgressDialog(std::function<bool()> requestCancel, QWidget* parent = nullptr);

    void SetOperationText(const QString& text);
    void SetCountText(const QString& text);
    QString OperationText() const;
    QString CountText() const;
    QPushButton& CancelButton() { return *m_cancel; }
    // The animation frame shown now (0 to 3).
    int Frame() const { return m_frame; }

  protected:
    // Esc: what the Cancel button does.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Cancel();

    std::function<bool()> m_requestCancel;
    QWidget* m_animation;
    QLabel* m_operation;
    QLabel* m_count;
    QPushButton* m_cancel;
    QTimer m_timer;
    int m_frame = 0;
    bool m_centred = false;
};

}  // namespace quarto
