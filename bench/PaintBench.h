// What the two painting benchmarks (the file lists alone, and the whole main window) share: a
// pair of a million rows a side generated in memory, a note of a view's first paint once its
// model holds every row, the peer's bare model, and page-downs timed step by step.
#pragma once

#include <malloc.h>

#include <QAbstractItemView>
#include <QAbstractTableModel>
#include <QApplication>
#include <QEvent>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/DirectoryPair.h"
#include "core/Settings.h"

namespace quarto::bench {

using Clock = std::chrono::steady_clock;

inline constexpr int kPageDowns = 200;

inline double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Bytes the heap hands out now, all arenas (the pairing allocates on its worker's).
inline double HeapBytes() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd);
}

inline FileEntry MakeEntry(const std::string& root, const std::string& relative, uint32_t size, uint64_t time,
                           uint32_t attributes) {
    FileEntry e;
    e.path = root + relative;
    e.nameOffset = static_cast<uint16_t>(e.path.rfind('/') + 1);
    e.size = size;
    e.time = FileTime::FromValue(time);
    e.attributes = attributes;
    return e;
}

// FOLDERS folders of FILES files a side below `roots`: one file in ten newer on the left, one in
// ten larger on the right, one in fifty on the left only and one in fifty on the right only.
// Each side's scan counters are set as a scan of these files would leave them.
inline void GenerateSides(DirectoryPair& pair, const Settings& settings, const std::string (&roots)[2],
                          int folders, int files) {
    constexpr uint64_t kBaseTime = 133500000000000000ULL;
    constexpr uint64_t kHour = 36000000000ULL;
    for (Side side : kSides) {
        pair.Directory(side) = roots[Index(side)];
        pair[side].rootLength = static_cast<uint32_t>(roots[Index(side)].size());
        pair[side].entries.Clear(settings.SortMode, settings.SortDirection, roots[Index(side)]);
        pair[side].directoryFileCount = 0;
        pair[side].directoryByteTotal = 0;
    }
    const auto add = [&](Side side, FileEntry entry) {
        if ((entry.attributes & kAttrDirectory) == 0) {
            pair[side].directoryFileCount += 1;
            pair[side].directoryByteTotal += entry.size;
        }
        pair[side].entries.Insert(std::move(entry));
    };
    char name[64];
    for (int d = 0; d < folders; ++d) {
        std::snprintf(name, sizeof name, "folder%04d", d);
        for (Side side : kSides) add(side, MakeEntry(roots[Index(side)], name, 0, kBaseTime, kAttrDirectory));
        for (int f = 0; f < files; ++f) {
            std::snprintf(name, sizeof name, "folder%04d/document-%05d.dat", d, f);
            const uint32_t size = 1000u + static_cast<uint32_t>(f) * 37u;
            if (f % 50 != 4)
                add(Side::Left,
                    MakeEntry(roots[0], name, size, kBaseTime + (f % 10 == 1 ? 2 * kHour : 0), kAttrNormal));
            if (f % 50 != 3)
                add(Side::Right,
                    MakeEntry(roots[1], name, size + (f % 10 == 2 ? 7u : 0u), kBaseTime, kAttrNormal));
        }
    }
}

// Notes the first paint of a viewport once its model holds `rows` rows.
class FirstPaint final : public QObject {
  public:
    FirstPaint(QAbstractItemView& view, int rows) : m_view(view), m_rows(rows) {
        view.viewport()->installEventFilter(this);
    }
    bool seen = false;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_view.model()->rowCount() == m_rows) seen = true;
        return false;
    }

  private:
    QAbstractItemView& m_view;
    const int m_rows;
};

// The peer's model: every cell the same text, nothing stored per row.
class BareModel final : public QAbstractTableModel {
  public:
    explicit BareModel(int rows) : m_rows(rows) {}
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_rows; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole) return {};
        static const QString kText = QStringLiteral("folder0001/document-00001.dat");
        return index.column() == 0 ? kText : QStringLiteral("1,234,567");
    }

  private:
    int m_rows;
};

struct Spread {
    double median = 0;
    double p99 = 0;
    double worst = 0;
};

inline Spread SpreadOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double q) {
        return samples[static_cast<size_t>(q * static_cast<double>(samples.size() - 1))];
    };
    return {at(0.5), at(0.99), samples.back()};
}

// Pages both views down (the first mirrors its scrolling to the second, or both are paged) and
// repaints both, kPageDowns times; then jumps to the end. With `settle`, each step also handles
// whatever the step queued for the rest of the window. Milliseconds per step.
inline Spread PageDown(QAbstractItemView& a, QAbstractItemView& b, bool mirrored, double& jumpMs,
                       bool settle = false) {
    const auto paint = [&] {
        a.viewport()->repaint();
        b.viewport()->repaint();
        if (settle) QApplication::processEvents();
    };
    std::vector<double> samples;
    for (int i = 0; i < kPageDowns; ++i) {
        const Clock::time_point start = Clock::now();
        a.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        if (!mirrored) b.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        paint();
        samples.push_back(Ms(Clock::now() - start));
    }
    const Clock::time_point start = Clock::now();
    a.scrollToBottom();
    if (!mirrored) b.scrollToBottom();
    paint();
    jumpMs = Ms(Clock::now() - start);
    return SpreadOf(samples);
}

}  // namespace quarto::bench
