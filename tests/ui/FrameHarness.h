// A main window over the application's real objects, as start-up builds them: settings in a real
// settings file under a temporary XDG_CONFIG_HOME, the job context, the frame's message logic,
// refreshes, operations, snapshots, programs, and drive trees whose only drive is a temporary
// folder holding "left" and "right". Prompts are answered from a script (the prompt seam); the
// frame opens its real dialogs.
#pragma once

#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <mutex>

#include "app/ExternalPrograms.h"
#include "app/SettingsStore.h"
#include "app/SnapshotOperations.h"
#include "app/SnapshotReader.h"
#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "ops/CommandFile.h"
#include "ops/DriveTree.h"
#include "ops/FileItemActions.h"
#include "ops/FrameController.h"
#include "ops/FrameView.h"
#include "ops/JobThreads.h"
#include "ops/OperationDriver.h"
#include "ops/Refresh.h"
#include "platform/ProfileStore.h"
#include "platform/SystemColors.h"
#include "tests/support/JobDoubles.h"
#include "tests/support/TempTree.h"
#include "ui/DialogLauncher.h"
#include "ui/FileChoosers.h"
#include "ui/MainFrame.h"
#include "ui/ProgressDialogSink.h"
#include "ui/QtFrameSink.h"
#include "ui/QtPrompter.h"

namespace quarto::test {

// Environment values set for the harness's life.
class EnvValue {
  public:
    EnvValue(const char* name, const QByteArray& value) : m_name(name), m_old(qgetenv(name)) {
        qputenv(name, value);
    }
    ~EnvValue() { qputenv(m_name, m_old); }
    EnvValue(const EnvValue&) = delete;
    EnvValue& operator=(const EnvValue&) = delete;

  private:
    const char* m_name;
    QByteArray m_old;
};

class FrameHarness {
  public:
    // `prepare` adjusts the settings (and run options) before the window is built; the stored
    // values of the settings file are loaded first.
    explicit FrameHarness(const std::function<void(FrameHarness&)>& prepare = {}) {
        disk.Dir("left/sub");
        disk.File("left/a.txt", "left");
        disk.Dir("right");
        disk.File("right/a.txt", "right side");
        store.LoadSettings(settings);
        settings.LeftDir = disk.Path("left/");
        settings.RightDir = disk.Path("right/");
        settings.DisplayLogo = false;
        settings.ScanPausePerEntry = 0;
        if (prepare) prepare(*this);
        Build();
    }
    ~FrameHarness() { TearDown(); }
    FrameHarness(const FrameHarness&) = delete;
    FrameHarness& operator=(const FrameHarness&) = delete;

    static std::string Mount(const std::string& folder) {
        std::string point = folder;
        if (point.size() > 1 && point.back() == '/') point.pop_back();
        return "30 1 8:1 / " + point + " rw - ext4 /dev/x rw\n";
    }

    // Start-up with the window: shown, both trees filled, the first refresh through to its end.
    void StartUp() {
        frame->ShowFirstTime();
        controller->StartUp();
        WaitIdle();
    }
    // Until no job runs and the workers are done, or the window has closed (a closed frame
    // counts no more busy ends: a batch job closes it with its save still counted).
    bool WaitIdle(int timeoutMs = 10000) {
        return QTest::qWaitFor([this] { return controller->Idle() || closed; }, timeoutMs);
    }
    // A new window over the same settings file, as the next start of the program builds it.
    void Rebuild() {
        TearDown();
        Settings fresh;
        store.LoadSettings(fresh);
        fresh.LeftDir = settings.LeftDir;
        fresh.RightDir = settings.RightDir;
        fresh.DisplayLogo = false;
        fresh.ScanPausePerEntry = 0;
        settings = fresh;
        Build();
    }

    QTemporaryDir config;
    EnvValue configHome{"XDG_CONFIG_HOME", config.path().toLocal8Bit()};
    TempTree disk;
    TempTree mounts;
    QSettingsProfileStore profile{DefaultProfilePath()};
    HeadlessSystemColors colors;
    SettingsStore store{profile, colors};
    Settings settings;
    RunOptions run;
    FrameRelay frameRelay;
    FrameViewRelay viewRelay;
    ScriptedPrompter prompter;
    RecordingErrorSink errors{prompter};
    Event cancel{Event::Reset::Manual};
    Event leftScanDone{Event::Reset::Auto};
    Event rightScanDone{Event::Reset::Auto};
    std::mutex errorDialogMutex;
    QtPrompter windowPrompter;
    ProgressDialogSink progress{[this] { return job.RequestCancel(); }};
    JobContext job{settings, frameRelay, progress, prompter, errors, cancel};
    JobThreads threads{&frameRelay};
    CommandFile commandFile{"quarto", "Version 0.1.0.0 (release)"};
    DirectoryPair pair;
    SnapshotFileChooser snapshotChooser;
    CommandFileChooser commandFileChooser;
    DialogLauncher noDialogs;  // the frame opens its own (FrameDialogs)
    std::unique_ptr<FileItemActions> actions;
    std::unique_ptr<OperationDriver> driver;
    std::unique_ptr<SnapshotOperations> snapshots;
    std::unique_ptr<ExternalPrograms> programs;
    std::unique_ptr<SnapshotFileLoader> loader;
    std::unique_ptr<Refresher> refresher;
    std::array<std::unique_ptr<DriveTree>, 2> trees;
    int splashTimeLeft = 3000;
    std::unique_ptr<FrameController> controller;
    std::unique_ptr<CMainFrame> frame;
    bool closed = false;

  private:
    void Build() {
        closed = false;
        DriveSources sources;
        mounts.File("mountinfo", Mount(disk.Root()));
        sources.mountInfo = mounts.Path("mountinfo");
        sources.fstab = mounts.Path("no-fstab");
        sources.blockDevices = mounts.Path("no-block");
        actions = std::make_unique<FileItemActions>(job, pair, commandFile, errorDialogMutex);
        driver = std::make_unique<OperationDriver>(job, pair, *actions, threads);
        snapshots = std::make_unique<SnapshotOperations>(job, pair, run, *driver, "quarto", "Version");
        snapshots->SetDialog(&snapshotChooser);
        driver->SetSnapshotSaver(snapshots.get());
        programs = std::make_unique<ExternalPrograms>(job, pair.Lists());
        loader = std::make_unique<SnapshotFileLoader>(true, nullptr);
        refresher = std::make_unique<Refresher>(job, pair, loader.get(), leftScanDone, rightScanDone, threads);
        for (Side side : kSides) trees[Index(side)] = std::make_unique<DriveTree>(side, job, sources);
        controller = std::make_unique<FrameController>(job, pair, *refresher, threads, viewRelay,
                                                       DriveTrees{trees[0].get(), trees[1].get()}, &splashTimeLeft);
        controller->afterRefresh = [this](bool cancelled) { snapshots->AfterRefresh(cancelled); };
        const FrameServices services{settings, store,    run,         pair,     job,       *controller,
                                     *refresher, *driver, *snapshots, *programs, commandFile, threads,
                                     {trees[0].get(), trees[1].get()}, "quarto"};
        frame = std::make_unique<CMainFrame>(
            services, WindowParts{windowPrompter, progress, snapshotChooser, commandFileChooser, noDialogs});
        frame->onClosed = [this] { closed = true; };
        viewRelay.SetTarget(frame.get());
        frameRelay.SetTarget(&frame->Sink());
    }
    void TearDown() {
        if (!frame) return;
        WaitIdle(5000);
        frame->Sink().Shutdown();
        threads.JoinAll();
        frameRelay.SetTarget(nullptr);
        viewRelay.SetTarget(nullptr);
        progress.DestroyDialog();
        frame.reset();
        controller.reset();
        for (auto& tree : trees) tree.reset();
        refresher.reset();
        loader.reset();
        programs.reset();
        snapshots.reset();
        driver.reset();
        actions.reset();
    }
};

}  // namespace quarto::test
