// The four frames of the working animation that the progress dialog and the About box show,
// one every 200 ms. Each is loaded on first use and kept for the whole run. UI thread only.
#pragma once

#include <QPixmap>
#include <QWidget>

namespace quarto {

inline constexpr int kAnimationFrameCount = 4;
inline constexpr int kAnimationIntervalMs = 200;

// Frame `index` (0 to 3).
const QPixmap& AnimationFrame(int index);

// Where a dialog shows the animation: draws frame `frame` (the dialog's own index, read at each
// paint) unscaled at its top-left corner, clipped to the widget.
class AnimationView final : public QWidget {
  public:
    AnimationView(const int& frame, const QString& accessibleName, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const int& m_frame;
};

}  // namespace quarto
