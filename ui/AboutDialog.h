// The About box ("Product Information"): the product's name, version, description, copyright
// and company from the compiled-in version values, the program icon and the working
// animation. It also serves as the start-up logo: while the splash time it is given is
// positive, each 200 ms animation step takes 200 ms off it, and the step that finds 200 or
// less left closes the box (3000 ms: the 15th step, 3 s after it opened). OK sets the time
// to 0. Opened from the Help menu the time is -1 and the box stays until OK. UI thread only.
#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QPushButton;

namespace quarto {

class ProgressSink;

// The fields' ids: their texts are the version-resource keys until the values replace them.
enum AboutField : int {
    kAboutProductName = 10000,
    kAboutDescription = 10001,
    kAboutCopyright = 10002,
    kAboutCompany = 10003,
    kAboutVersion = 10004,
};

class CAboutDialog final : public QDialog {
    Q_OBJECT

  public:
    // `splashTimeLeft` (milliseconds) must outlive the box.
    explicit CAboutDialog(int& splashTimeLeft, QWidget* parent = nullptr);

    const QLabel& Field(AboutField id) const;
    QPushButton& OkButton() { return *m_ok; }
    int Frame() const { return m_frame; }
    bool Animating() const { return m_timer.isActive(); }

  public slots:
    // OK, and Esc: the splash time is over.
    void accept() override;
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QLabel* AddField(AboutField id, const char* templateText, bool bold);
    void Tick();

    int& m_splashTimeLeft;
    QWidget* m_animation;
    QLabel* m_fields[5] = {};
    QPushButton* m_ok;
    QTimer m_timer;
    int m_frame = 0;
    bool m_centred = false;
};

// Shows the About box modally over `parent` and returns once it has closed; the progress
// dialog, if any, is hidden meanwhile.
void ShowAboutBox(int& splashTimeLeft, QWidget* parent, ProgressSink* progress);

}  // namespace quarto
