// File-list benchmark: a pair of a million rows a side in the two file lists, offscreen, as the
// window will show them. Both sides' sets are generated in memory (FOLDERS folders of FILES files,
// with newer, larger and one-sided files among them), the real pairing pass fills the row lists
// on a worker, and the lists take it from there. Measured: the time from the pairing's end to
// the first paint of both lists; the time to page down 200 times and repaint both lists each
// time (median, 99th percentile, worst) and to jump to the end; the heap taken by the engine's
// sets and rows, by the two models and by the two views. Beside it, in the same run, the peer:
// Qt's QTableView with its default drawing over a bare model that answers one fixed text, the
// same number of rows, two of them paged down the same way.
//
//   quarto_bench_lists [FOLDERS [FILES]]      (default 1000 1000)
#include <malloc.h>

#include <memory>

#include <QAbstractTableModel>
#include <QApplication>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "bench/BenchJob.h"
#include "core/Marking.h"
#include "core/Pairing.h"
#include "ui/FilesModel.h"
#include "ui/FilesViewHost.h"
#include "ui/QrtFilesView.h"
#include "ui/RowListWatcher.h"

namespace {

using namespace quarto;
using Clock = std::chrono::steady_clock;

constexpr int kPageDowns = 200;
constexpr uint64_t kBaseTime = 133500000000000000ULL;
constexpr uint64_t kHour = 36000000000ULL;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Bytes the heap hands out now, all arenas (the pairing allocates on its worker's).
double HeapBytes() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd);
}

FileEntry MakeEntry(const std::string& root, const std::string& relative, uint32_t size, uint64_t time,
                    uint32_t attributes) {
    FileEntry e;
    e.path = root + relative;
    e.nameOffset = static_cast<uint16_t>(e.path.rfind('/') + 1);
    e.size = size;
    e.time = FileTime::FromValue(time);
    e.attributes = attributes;
    return e;
}

// FOLDERS folders of FILES files a side: one file in ten newer on the left, one in ten larger
// on the right, one in fifty on the left only and one in fifty on the right only.
void GenerateSides(DirectoryPair& pair, const Settings& settings, int folders, int files) {
    const std::string roots[2] = {"/bench/left/", "/bench/right/"};
    for (Side side : kSides) {
        pair.Directory(side) = roots[Index(side)];
        pair[side].rootLength = static_cast<uint32_t>(roots[Index(side)].size());
        pair[side].entries.Clear(settings.SortMode, settings.SortDirection, roots[Index(side)]);
    }
    char name[64];
    for (int d = 0; d < folders; ++d) {
        std::snprintf(name, sizeof name, "folder%04d", d);
        for (Side side : kSides)
            pair[side].entries.Insert(MakeEntry(roots[Index(side)], name, 0, kBaseTime, kAttrDirectory));
        for (int f = 0; f < files; ++f) {
            std::snprintf(name, sizeof name, "folder%04d/document-%05d.dat", d, f);
            const uint32_t size = 1000u + static_cast<uint32_t>(f) * 37u;
            const bool leftOnly = f % 50 == 3;
            const bool rightOnly = f % 50 == 4;
            if (!rightOnly)
                pair[Side::Left].entries.Insert(
                    MakeEntry(roots[0], name, size, kBaseTime + (f % 10 == 1 ? 2 * kHour : 0), kAttrNormal));
            if (!leftOnly)
                pair[Side::Right].entries.Insert(
                    MakeEntry(roots[1], name, size + (f % 10 == 2 ? 7u : 0u), kBaseTime, kAttrNormal));
        }
    }
}

// The frame's side of the pairing's last messages: nothing waits for them here.
class QuietFrame final : public FrameSink {
  public:
    intptr_t Send(const FrameMessage&) override { return 0; }
    void Post(FrameMessage) override {}
};

class BenchHost final : public FilesViewHost {
  public:
    explicit BenchHost(const Settings& settings) : m_settings(settings) {}
    const Settings& ListSettings() const override { return m_settings; }
    bool IsBusy() const override { return false; }
    void SetTarget(Side, std::optional<ListRow>) override {}
    void RunCommand(int) override {}
    void ChangeSortMode(int) override {}
    void EditRow(Side, ListRow) override {}
    std::string GeneratedCommandFile() const override { return {}; }

  private:
    const Settings& m_settings;
};

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

Spread SpreadOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double q) {
        return samples[static_cast<size_t>(q * static_cast<double>(samples.size() - 1))];
    };
    return {at(0.5), at(0.99), samples.back()};
}

// Pages both views down (the first mirrors its scrolling to the second, or both are paged) and
// repaints both, kPageDowns times; then jumps to the end. Milliseconds per step.
Spread PageDown(QAbstractItemView& a, QAbstractItemView& b, bool mirrored, double& jumpMs) {
    std::vector<double> samples;
    for (int i = 0; i < kPageDowns; ++i) {
        const Clock::time_point start = Clock::now();
        a.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        if (!mirrored) b.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        a.viewport()->repaint();
        b.viewport()->repaint();
        samples.push_back(Ms(Clock::now() - start));
    }
    const Clock::time_point start = Clock::now();
    a.scrollToBottom();
    if (!mirrored) b.scrollToBottom();
    a.viewport()->repaint();
    b.viewport()->repaint();
    jumpMs = Ms(Clock::now() - start);
    return SpreadOf(samples);
}

struct MarkTimes {
    int count = 0;
    double shownMs = 0;      // from the end of the marking to the selection shown
    double oneMoreMs = 0;    // a user's Ctrl+click among them, to the selection shown
    double selectAllMs = 0;  // Ctrl+A in the other list, where they refuse a tenth of the rows
};

// Marks the newer tenth of the left list on a worker, as the Mark Newer command does, and times
// how long the marks take to become the view's selection, frame wait left out (scattered ranges are the
// selection model's hard case); then one more mark as a Ctrl+click makes it.
MarkTimes MarkScattered(CQrtFilesView& view, CQrtFilesView& other, RowListWatcher& watcher) {
    RowListPair& lists = watcher.Lists();
    MarkTimes times;
    Clock::time_point marked;
    std::thread marking([&] {
        ApplyMarkingRuleToList(lists, Side::Left, kMarkNewer, [] { return false; });
        marked = Clock::now();
    });
    marking.join();
    times.count = lists[Side::Left].Totals().files;
    QItemSelectionModel& selection = *view.selectionModel();
    watcher.Flush(Side::Left);  // what the next frame's delivery does, without waiting for it
    view.viewport()->repaint();
    times.shownMs = Ms(Clock::now() - marked);
    const Clock::time_point start = Clock::now();
    selection.select(view.model()->index(4, 0), QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
    view.viewport()->repaint();
    times.oneMoreMs = Ms(Clock::now() - start);
    const Clock::time_point all = Clock::now();
    other.selectAll();
    other.viewport()->repaint();
    times.selectAllMs = Ms(Clock::now() - all);
    return times;
}

// Two views side by side in one window, as the lower half of the main window shows them.
void ShowSideBySide(QWidget& window, QWidget& left, QWidget& right) {
    auto* layout = new QHBoxLayout(&window);
    layout->addWidget(&left);
    layout->addWidget(&right);
    window.resize(1280, 720);
    window.show();
}

}  // namespace

int main(int argc, char** argv) {
    const int folders = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int files = argc > 2 ? std::atoi(argv[2]) : 1000;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    bench::BenchJob bench;
    QuietFrame frame;
    JobContext job{bench.settings, frame, bench.progress, bench.prompter, bench.errors, bench.cancel};
    DirectoryPair& pair = bench.pair;
    const double heapStart = HeapBytes();
    GenerateSides(pair, bench.settings, folders, files);
    const double heapSets = HeapBytes();

    BenchHost host(bench.settings);
    RowListWatcher watcher(pair.Lists());
    QWidget window;
    auto* left = new CQrtFilesView(Side::Left, pair.Lists(), watcher, host);
    auto* right = new CQrtFilesView(Side::Right, pair.Lists(), watcher, host);
    left->SetPartner(right);
    right->SetPartner(left);
    ShowSideBySide(window, *left, *right);
    for (CQrtFilesView* view : {left, right}) view->ApplyColumnWidths({300, 90, 170});
    QApplication::processEvents();
    const double heapViews = HeapBytes();

    // On a worker, as a refresh pairs; its lists wake the watcher only at its very end.
    Clock::time_point pairingEnd;
    std::thread pairing([&] {
        PairEntries(job, pair);
        pairingEnd = Clock::now();
    });
    pairing.join();
    const double heapRows = HeapBytes();
    const int rows = static_cast<int>(pair.List(Side::Left).Count());
    FirstPaint leftPaint(*left, rows);
    FirstPaint rightPaint(*right, rows);
    while (!leftPaint.seen || !rightPaint.seen) QApplication::processEvents();
    const double firstPaintMs = Ms(Clock::now() - pairingEnd);
    const double heapShown = HeapBytes();
    // A model holds nothing per row: what one costs, measured over a hundred of them (a single
    // small allocation may come from a cache the heap counts as in use already).
    std::vector<std::unique_ptr<FilesModel>> extra;
    for (int i = 0; i < 100; ++i)
        extra.push_back(std::make_unique<FilesModel>(pair.List(Side::Left), watcher, bench.settings));
    const double modelBytes = (HeapBytes() - heapShown) / 100.0;
    extra.clear();

    double jumpMs = 0;
    const Spread ours = PageDown(*left, *right, true, jumpMs);
    if (!qEnvironmentVariableIsEmpty("QUARTO_SCREENSHOTS")) {
        left->verticalScrollBar()->setValue(rows / 2);
        window.grab().save(qEnvironmentVariable("QUARTO_SCREENSHOTS") + QStringLiteral("/lists-million.png"));
    }

    const MarkTimes marks = MarkScattered(*left, *right, watcher);

    BareModel bareModel(rows);
    QWidget peerWindow;
    auto* peerLeft = new QTableView;
    auto* peerRight = new QTableView;
    for (QTableView* view : {peerLeft, peerRight}) view->setModel(&bareModel);
    ShowSideBySide(peerWindow, *peerLeft, *peerRight);
    QApplication::processEvents();
    double peerJumpMs = 0;
    const Spread peer = PageDown(*peerLeft, *peerRight, false, peerJumpMs);

    const double perRow = 1.0 / (2.0 * rows);  // both lists
    std::printf("rows per list                      %d\n", rows);
    std::printf("pairing end to first paint         %.1f ms  (target <= 500)\n", firstPaintMs);
    std::printf(
        "page down + repaint, both lists    median %.2f ms, p99 %.2f ms, worst %.2f ms  (target p99 < 16)\n",
        ours.median, ours.p99, ours.worst);
    std::printf("  peer: QTableView, bare model     median %.2f ms, p99 %.2f ms, worst %.2f ms\n",
                peer.median, peer.p99, peer.worst);
    std::printf("jump to the end + repaint          %.2f ms  (peer %.2f ms)\n", jumpMs, peerJumpMs);
    std::printf("mark newer, %d scattered marks shown   %.1f ms\n", marks.count, marks.shownMs);
    std::printf("one more mark by the user among them     %.2f ms\n", marks.oneMoreMs);
    std::printf("select all in the other list (refused)   %.1f ms\n", marks.selectAllMs);
    std::printf("heap: a model                      %.0f bytes (%.5f bytes a row)  (target < 16 a row)\n",
                modelBytes, modelBytes / rows);
    std::printf("heap: both views                   %.1f bytes a row\n", (heapShown - heapRows) * perRow);
    std::printf("heap: engine sets                  %.0f bytes a row\n", (heapSets - heapStart) * perRow);
    std::printf("heap: engine row lists             %.0f bytes a row\n", (heapRows - heapViews) * perRow);
    return 0;
}
