// The main window's status bar panes. One pane: a directory shown whole when it fits and cut in the
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

// The status bar's two panes side by side: the first as wide as it is told, the second taking
// the rest.
class StatusPanes final : public QWidget {
    Q_OBJECT

  public:
    explicit StatusPanes(QWidget* parent = nullptr);

    StatusPane& Pane(int index) const { return *m_panes[index]; }
    void SetFirstWidth(int width);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Place();

    StatusPane* m_panes[2];
    int m_firstWidth = 0;
};

}  // namespace quarto
