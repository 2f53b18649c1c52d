// The statistics dialog ("Statistics"): per side the total files, the marked bytes, the
// directory bytes and the volume's free space, and a line on how often Quarto has been used.
// Modeless; it opens where it was last closed (StatsX, StatsY; a coordinate beyond the screen
// becomes 0) and stores its position when the user closes it (Close, Esc or the window's close
// button; a negative coordinate is stored as 0). The free space is read once, when it opens;
// every other field is rewritten at a paint only when its figure changed. The frame invalidates
// it (update()) when the figures may have changed, and deletes it at exit without storing the
// position. It deletes itself when closed. UI thread only.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <optional>

#include "core/Side.h"

class QLabel;
class QPushButton;

namespace quarto {

class ErrorSink;
class FrameSink;
class SettingsStore;
class StatisticsSource;

// The value fields by their ids; the usage line is 10010.
enum StatisticsField : int {
    kStatsLeftFree = 10020,
    kStatsLeftDirectory = 10022,
    kStatsLeftMarked = 10024,
    kStatsLeftFiles = 10026,
    kStatsRightFree = 10040,
    kStatsRightDirectory = 10042,
    kStatsRightMarked = 10044,
    kStatsRightFiles = 10046,
    kStatsUsage = 10010,
};

class CStatisticsDialog final : public QDialog {
    Q_OBJECT

  public:
    // `window`: where a free-space warning is displayed (null: only logged).
    CStatisticsDialog(const StatisticsSource& source, SettingsStore& store, ErrorSink& errors,
                      FrameSink* window, QWidget* parent = nullptr);

    QString FieldText(StatisticsField id) const;
    QPushButton& CloseButton() { return *m_close; }

  public slots:
    // Close and Esc: the position is stored, the dialog goes.
    void reject() override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QLabel* AddValue(int id, const QString& name);
    void ShowFreeSpace(Side side, FrameSink* window, ErrorSink& errors);
    // Rewrites the fields whose figures changed since the last paint.
    void UpdateFigures();
    void StorePosition();
    void PlaceOnScreen();

    const StatisticsSource& m_source;
    SettingsStore& m_store;
    QLabel* m_fields[10047 - kStatsUsage] = {};
    QPushButton* m_close;
    // The figures shown: per side total files, marked bytes, directory bytes; then the usage
    // and operations counters. None until the first paint, so that it fills every field.
    std::array<std::optional<uint64_t>, 8> m_shown;
    bool m_positionStored = false;
};

}  // namespace quarto
