// One pane of the main window's status bar: a directory shown whole when it fits and cut in the
// middle with "..." when it does not, so the window never grows to fit a long path. Screen
// readers get the whole text. UI thread only.
#pragma once

#include <QLabel>

namespace quarto {

class StatusPane final : public QLabel {
    Q_OBJECT

  public:
    explicit StatusPane(const QString& accessibleName, QWidget* parent = nullptr);

    void SetFullText(const QString& text);
    const QString& FullText() const { return m_fullText; }
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Elide();

    QString m_fullText;
};

}  // namespace quarto
