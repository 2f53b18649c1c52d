#include "ui/DesktopStartup.h"

#include <QApplication>
#include <QIcon>
#include <memory>

#include "app/QuartoApp.h"
#include "ui/DesktopServices.h"
#include "ui/DialogLauncher.h"
#include "ui/FileChoosers.h"
#include "ui/MainFrame.h"
#include "ui/ProgressDialog.h"
#include "ui/ProgressDialogSink.h"
#include "ui/QtFrameSink.h"
#include "ui/QtPrompter.h"

namespace quarto {
namespace {

constexpr const char* kAppId = "com.brightvale.Quarto";

// What the window brings to the application; everything outlives the application object.
class DesktopSession final : public MainWindowFactory {
  public:
    DesktopSession()
        : m_progress([this] { return m_app != nullptr && m_app->Jobs().RequestCancel(); }) {}

    AppServices Services() { return AppServices{this, &m_beeper, &m_colors, nullptr}; }
    void SetApp(CQuartoApp* app) { m_app = app; }
    CMainFrame* Frame() { return m_frame.get(); }

    FrameSink* CreateMainWindow(CQuartoApp& app) override {
        m_frame = std::make_unique<CMainFrame>(
            FrameServicesOf(app),
            WindowParts{m_prompter, m_progress, m_snapshotChooser, m_commandFileChooser, m_dialogs});
        // The window is the frame's view, its prompter, progress dialog and file dialogs.
        app.BindWindow({m_frame.get(), &m_prompter, &m_progress, &m_snapshotChooser, &m_commandFileChooser});
        m_snapshotChooser.SetOwner(m_frame.get());
        m_commandFileChooser.SetOwner(m_frame.get());
        m_frame->onClosed = [] { QCoreApplication::quit(); };
        return &m_frame->Sink();
    }
    void SetTitle(CQuartoApp&) override { m_frame->UpdateTitle(); }

    // After the application's exit: nothing may reach the window any more.
    void Detach() {
        if (m_app != nullptr) m_app->UnbindWindow();
        m_frame.reset();
    }

  private:
    CQuartoApp* m_app = nullptr;
    QtPrompter m_prompter;
    ProgressDialogSink m_progress;
    DesktopBeeper m_beeper;
    PaletteSystemColors m_colors;
    SnapshotFileChooser m_snapshotChooser;
    CommandFileChooser m_commandFileChooser;
    DialogLauncher m_dialogs;
    std::unique_ptr<CMainFrame> m_frame;
};

QIcon ProgramIcon() {
    QIcon fallback(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(kAppId)));
    for (int size : {32, 64, 128}) fallback.addFile(QStringLiteral(":/icons/%1-%2.png").arg(QLatin1String(kAppId)).arg(size));
    return QIcon::fromTheme(QLatin1String(kAppId), fallback);
}

}  // namespace

bool DisplayAvailable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

int RunWithWindow(const std::vector<std::string>& arguments) {
    // Qt reads only the program name: Quarto's own options are not Qt's.
    int qtArgc = 1;
    std::string programName = arguments.empty() ? std::string("quarto") : arguments.front();
    char* qtArgv[] = {programName.data(), nullptr};
    QApplication qtApp(qtArgc, qtArgv);
    QGuiApplication::setDesktopFileName(QLatin1String(kAppId));
    QApplication::setWindowIcon(ProgramIcon());
    QApplication::setQuitOnLastWindowClosed(false);  // the frame says when it has closed

    DesktopSession session;
    CQuartoApp app(arguments, session.Services());
    session.SetApp(&app);
    if (!app.InitInstance()) {
        session.Detach();
        return app.ExitInstance();
    }
    // Start-up goes on in the frame's logic (the trees are filling); the event loop ends once
    // the frame has closed, after the last worker.
    CMainFrame* frame = session.Frame();
    int result = 0;
    if (frame != nullptr) {
        frame->ShowFirstTime();
        result = QApplication::exec();
        frame->Sink().Shutdown();
    }
    const int exitCode = app.ExitInstance();
    session.Detach();
    return result != 0 ? result : exitCode;
}

}  // namespace quarto
