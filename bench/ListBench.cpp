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
#include <QApplication>
#include <QHBoxLayout>
#include <QTableView>
#include <memory>
#include <thread>

#include "bench/BenchJob.h"
#include "bench/PaintBench.h"
#include "core/Marking.h"
#include "core/Pairing.h"
#include "ui/FilesModel.h"
#include "ui/FilesViewHost.h"
#include "ui/QrtFilesView.h"
#include "ui/RowListWatcher.h"

namespace {

using namespace quarto;
using namespace quarto::bench;

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
    const std::string roots[2] = {"/bench/left/", "/bench/right/"};
    GenerateSides(pair, bench.settings, roots, folders, files);
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
