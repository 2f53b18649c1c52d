// The drive trees on a temporary tree under a fake mount table: roots and their images, expand
// marks, opening and closing, SelectPath, the clicks, and the frame's handling of the filled
// trees up to the first refresh, headless.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>

#include "ops/DriveTree.h"
#include "ops/FrameController.h"
#include "ops/JobThreads.h"
#include "ops/Refresh.h"
#include "platform/UserFolders.h"
#include "tests/support/JobHarness.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

class RecordingObserver : public DriveTreeObserver {
  public:
    explicit RecordingObserver(const DriveTree& tree) : m_tree(tree) {}
    void BeginReset() override { events.push_back("reset"); }
    void BeginInsertChildren(TreeItemId parent, size_t first, size_t count) override {
        events.push_back("insert " + m_tree.Text(parent) + " " + std::to_string(first) + "+" +
                         std::to_string(count));
    }
    void BeginRemoveChildren(TreeItemId parent, size_t first, size_t count) override {
        events.push_back("remove " + m_tree.Text(parent) + " " + std::to_string(first) + "+" +
                         std::to_string(count));
    }
    void SelectionChanged(TreeItemId item) override { events.push_back("select " + m_tree.Text(item)); }
    std::vector<std::string> events;

  private:
    const DriveTree& m_tree;
};

class LogoView : public FrameView {
  public:
    void ShowAboutBox(int& splashTimeLeft) override { shownWith.push_back(splashTimeLeft); }
    std::vector<int> shownWith;
};

// disk (ext4): Alpha/sub, alpha, beta (a file only), link -> Alpha; usb (a removable disk,
// empty); empty (ext4, no folders); net (nfs, empty).
class DriveTreeTest : public ::testing::Test, protected test::LoopedJob {
  protected:
    DriveTreeTest() {
        settings.ScanPausePerEntry = 0;
        settings.LeftDir = disk.Path("Alpha/");
        settings.RightDir = disk.Path("alpha/");
        frame.SetHandler([this](const FrameMessage& m) { return controller.Handle(m); });
        controller.afterRefresh = [this](bool) { ++refreshes; };
        left.SetObserver(&observer);
    }
    ~DriveTreeTest() override {
        threads.JoinAll();  // no fill outlives the trees it fills
        if (!savedCwd.empty()) {
            EXPECT_EQ(chdir(savedCwd.c_str()), 0);
        }
    }
    DriveSources MakeDrives() const {
        disk.Dir("Alpha/sub");
        disk.File("Alpha/a.txt");
        disk.Dir("alpha");
        disk.File("beta/file");
        disk.Symlink("link", disk.Path("Alpha"));
        mounts.File("block/sdc/removable", "1\n");
        mounts.Symlink("sys/8:32", mounts.Path("block/sdc"));
        mounts.File("mountinfo", Mount(disk.Root(), "ext4") + Mount(mounts.Dir("usb"), "vfat", "8:32") +
                                     Mount(mounts.Dir("empty"), "ext4") + Mount(mounts.Dir("net"), "nfs"));
        DriveSources drives;
        drives.mountInfo = mounts.Path("mountinfo");
        drives.blockDevices = mounts.Path("sys");
        drives.fstab = drives.home = drives.gvfs = "";
        return drives;
    }
    static std::string Mount(std::string point, const std::string& type, const std::string& device = "8:1") {
        if (point.size() > 1 && point.back() == '/') point.pop_back();
        return "30 1 " + device + " / " + point + " rw - " + type + " /dev/x rw\n";
    }
    // Handles the frame's messages until no job runs and every worker has finished.
    void Settle() {
        frame.RunUntil([this] { return controller.Idle(); });
    }
    // Start-up: busy begins, both trees fill, the frame takes it from there.
    void StartUp() {
        controller.StartUp();
        Settle();
    }
    // The left tree's root for a mount point (with or without its trailing '/').
    TreeItemId Root(const std::string& point) const {
        const auto& roots = left.Children(kNoItem);
        const auto found = std::find_if(roots.begin(), roots.end(), [&](TreeItemId id) {
            return left.ItemPath(id) == point || left.ItemPath(id) + "/" == point;
        });
        return found != roots.end() ? *found : kNoItem;
    }
    std::vector<std::string> ChildTexts(TreeItemId item) const {
        std::vector<std::string> texts;
        for (TreeItemId id : left.Children(item))
            texts.push_back(left.Text(id) + (left.HasChildren(id) ? "+" : ""));
        return texts;
    }

    test::TempTree disk, mounts;
    const DriveSources sources = MakeDrives();
    JobThreads threads{&frame};
    Event leftDone{Event::Reset::Auto}, rightDone{Event::Reset::Auto};
    Refresher refresher{job, pair, nullptr, leftDone, rightDone, threads};
    DriveTree left{Side::Left, job, sources}, right{Side::Right, job, sources};
    LogoView view;
    int splash = 3000;
    FrameController controller{job, pair, refresher, threads, view, {&left, &right}, &splash};
    RecordingObserver observer{left};
    int refreshes = 0;
    std::string savedCwd;
};

TEST_F(DriveTreeTest, RootsCarryTheirImagesAndExpandMarksNetworkOnlyWhenIncluded) {
    StartUp();
    struct Case {
        std::string root;
        DriveIcon icon;
        bool button;  // an expand mark, or the children read by selecting the side's directory
    };
    for (bool network : {false, true}) {
        if (network) {
            controller.ToggleNetworkDrives();  // command 2050: both trees again, as one job
            Settle();
            EXPECT_TRUE(settings.IncludeNetworkDrives);
        }
        std::vector<Case> cases = {{disk.Root(), DriveIcon::HardDisk, true},
                                   {mounts.Path("empty"), DriveIcon::HardDisk, false},  // no subfolder
                                   {mounts.Path("usb"), DriveIcon::Removable, true}};   // never read
        if (network) cases.push_back({mounts.Path("net"), DriveIcon::Network, false});
        EXPECT_EQ(left.Children(kNoItem).size(), cases.size()) << network;
        for (const Case& c : cases) {
            const TreeItemId id = Root(c.root);
            ASSERT_NE(id, kNoItem) << c.root;
            EXPECT_EQ(left.Icon(id), c.icon) << c.root;
            EXPECT_EQ(left.HasChildren(id), c.button) << c.root;
        }
    }
    EXPECT_EQ(controller.Busy().Count(), 0);
    EXPECT_EQ(refreshes, 1);  // later fills start no refresh
    EXPECT_EQ(controller.FillCount(Side::Right), 2);
}

TEST_F(DriveTreeTest, BranchesOpenLazilyAndCloseToTheirMark) {
    StartUp();
    const TreeItemId root = Root(disk.Root());
    left.CloseItem(root);
    observer.events.clear();
    ASSERT_TRUE(left.OpenItem(root));
    EXPECT_EQ(ChildTexts(root), (std::vector<std::string>{"Alpha+", "alpha", "beta", "link+"}));
    const TreeItemId alpha = left.Children(root)[0];
    EXPECT_EQ(left.Row(left.Children(root)[3]), 3u);
    EXPECT_EQ(left.SelectedIcon(alpha), DriveIcon::FolderOpen);
    EXPECT_FALSE(left.OpenItem(left.Children(root)[2]));  // no subfolder: the branch stays shut
    ASSERT_TRUE(left.OpenItem(alpha));
    EXPECT_EQ(left.ItemPath(left.Children(alpha)[0]), disk.Path("Alpha/sub"));
    left.Select(left.Children(alpha)[0]);
    left.CloseItem(root);
    EXPECT_TRUE(left.Children(root).empty());
    EXPECT_TRUE(left.HasExpandMark(root));
    EXPECT_FALSE(left.Contains(alpha));
    EXPECT_EQ(left.Selected(), root);  // closing above the selection selects the closed item
    EXPECT_EQ(observer.events, (std::vector<std::string>{
                                   "insert " + left.Text(root) + " 0+4", "insert Alpha 0+1", "select sub",
                                   "remove " + left.Text(root) + " 0+4", "select " + left.Text(root)}));
    // A root that cannot be listed (its medium taken out) keeps its mark and stays shut.
    const TreeItemId usb = Root(mounts.Path("usb"));
    ASSERT_EQ(rmdir(mounts.Path("usb").c_str()), 0);
    EXPECT_FALSE(left.OpenItem(usb));
    EXPECT_TRUE(left.HasExpandMark(usb));
}

TEST_F(DriveTreeTest, SelectPathWalksPrefixesExactCaseFirstAndBacktracks) {
    StartUp();
    const TreeItemId alpha = left.Children(Root(disk.Root()))[0];
    ASSERT_EQ(left.Text(alpha), "Alpha");
    // Alpha/sub matches without regard to case, but this volume keeps case: no match, and the
    // branch opened on the way is closed again.
    EXPECT_EQ(left.SelectPath(disk.Path("alpha/sub/")), kNoItem);
    EXPECT_FALSE(left.IsExpanded(alpha));
    struct Case {
        std::string wanted;
        std::string found;  // "" for none
    };
    const Case cases[] = {
        {disk.Path("Alpha/sub/"), disk.Path("Alpha/sub")},
        {disk.Path("alpha/"), disk.Path("alpha")},  // the exact twin, not the first one sorted
        {disk.Path("link/sub"), disk.Path("link/sub")},
        {disk.Path("ALPHA/"), ""},
        {mounts.Path("nowhere/"), ""},
    };
    for (const Case& c : cases) {
        const TreeItemId item = left.SelectPath(c.wanted);
        EXPECT_EQ(item == kNoItem ? "" : left.ItemPath(item), c.found) << c.wanted;
    }
    EXPECT_TRUE(left.IsExpanded(alpha));  // opened on the way to Alpha/sub
}

TEST_F(DriveTreeTest, AClickChoosesTheSidesDirectoryWithoutARefreshUnlessAJobRuns) {
    StartUp();
    ASSERT_EQ(refreshes, 1);
    EXPECT_EQ(left.CurrentPath(), disk.Path("Alpha/"));
    auto firstRow = [this] {
        Row row;
        pair.List(Side::Left).Read(0, row);
        return row.entry.path;
    };
    EXPECT_EQ(firstRow(), disk.Path("Alpha/a.txt"));
    // The side's own directory again: the compared list stays.
    EXPECT_TRUE(controller.ClickTreeItem(Side::Left, left.Selected()));
    EXPECT_EQ(firstRow(), disk.Path("Alpha/a.txt"));

    pair[Side::Left].snapshotPath = "old.qsn";
    const TreeItemId beta = left.SelectPath(disk.Path("beta/"));
    settings.ShowProgress = false;  // no progress dialog, yet a job runs: nothing changes
    frame.Send({UM_BUSY, kBusyBegin});
    EXPECT_FALSE(controller.ClickTreeItem(Side::Left, beta));
    EXPECT_FALSE(controller.DoubleClickTree(Side::Left));
    frame.Send({UM_BUSY, kBusyEnd});
    cancel.Set();
    EXPECT_FALSE(controller.ClickTreeItem(Side::Left, beta));
    cancel.Clear();
    EXPECT_NE(left.Selected(), beta);

    EXPECT_TRUE(controller.ClickTreeItem(Side::Left, beta));
    EXPECT_EQ(settings.LeftDir, disk.Path("beta/"));
    EXPECT_EQ(left.CurrentPath(), disk.Path("beta/"));
    EXPECT_EQ(pair[Side::Left].snapshotPath, "");
    EXPECT_EQ(pair.List(Side::Left).Count(), 1u);
    EXPECT_EQ(firstRow(), kPlaceholderPath);
    EXPECT_FALSE(controller.Busy().IsBusy());  // no refresh of its own

    EXPECT_TRUE(controller.DoubleClickTree(Side::Left));
    Settle();
    EXPECT_EQ(refreshes, 2);
    // A snapshot side's tree shows no directory.
    frame.Send({UM_CLEARTREESEL, 0});
    EXPECT_EQ(left.Selected(), kNoItem);
    EXPECT_EQ(left.CurrentPath(), "");
}

TEST_F(DriveTreeTest, TheFirstRefreshWaitsForBothTreesAndHonoursDisableAutoRefresh) {
    settings.DisableAutoRefresh = true;
    StartUp();
    EXPECT_EQ(refreshes, 0);
    EXPECT_EQ(controller.Busy().Count(), 0);
    EXPECT_EQ(controller.FillCount(Side::Left), 1);
    EXPECT_EQ(right.ItemPath(right.Selected()), disk.Path("alpha"));
    EXPECT_TRUE(prompter.Questions().empty());
}

// The left directory is gone; the question is answered with `answer` while the working folder
// is disk/beta.
class MissingDirectory : public DriveTreeTest {
  protected:
    void StartWithAnswer(int answer) {
        settings.LeftDir = disk.Path("gone/");
        savedCwd = CurrentFolder();
        ASSERT_EQ(chdir(disk.Path("beta").c_str()), 0);
        prompter.Answer(answer);
        StartUp();
        ASSERT_EQ(prompter.Questions().size(), 1u);
        EXPECT_EQ(prompter.Questions()[0].text,
                  "Path '" + disk.Path("gone/") + "' not found; defaulting to '" + disk.Path("beta/") + "'");
        EXPECT_EQ(prompter.Questions()[0].type, static_cast<uint32_t>(MB_OKCANCEL | MB_ICONINFORMATION));
        EXPECT_EQ(controller.Busy().Count(), 0);
        EXPECT_FALSE(cancel.IsSet());
    }
};

TEST_F(MissingDirectory, OkTakesTheWorkingFolderAndStartsAsUsual) {
    StartWithAnswer(IDOK);
    EXPECT_EQ(settings.LeftDir, disk.Path("beta/"));
    EXPECT_EQ(left.ItemPath(left.Selected()), disk.Path("beta"));
    EXPECT_EQ(refreshes, 1);
}

TEST_F(MissingDirectory, CancelWindsTheStartUpWithoutARefresh) {
    StartWithAnswer(IDCANCEL);
    EXPECT_EQ(settings.LeftDir, disk.Path("gone/"));
    EXPECT_EQ(controller.FillCount(Side::Left), 0);
    EXPECT_EQ(controller.FillCount(Side::Right), 1);
    EXPECT_EQ(refreshes, 0);
}

TEST_F(DriveTreeTest, TheLogoShowsOnlyAtStartUpWhenWantedAndTheSplashTimeEndsAtMinusOne) {
    struct Case {
        bool displayLogo;
        int splashBefore;
        bool shown;
    };
    const Case cases[] = {
        {true, 3000, true},
        {false, 3000, false},
        {true, 0, false},   // OK pressed on an earlier logo
        {true, -1, false},  // a later activation: start-up is over
    };
    for (const Case& c : cases) {
        settings.DisplayLogo = c.displayLogo;
        splash = c.splashBefore;
        view.shownWith.clear();
        frame.Send({UM_SHOWLOGO});
        EXPECT_EQ(view.shownWith, c.shown ? std::vector<int>{c.splashBefore} : std::vector<int>{});
        EXPECT_EQ(splash, -1);
    }
}

}  // namespace
}  // namespace quarto
