// Quarto's entry point: builds the application object and runs start-up. Without a window the
// unattended jobs of the command line run on the headless frame, or --report prints its report.
#include <string>
#include <vector>

#include "app/HeadlessReport.h"
#include "app/QuartoApp.h"

int main(int argc, char** argv) {
    // The main window's factory joins the services here, passed only where a display exists
    // (platform/Display.h); without it the run is headless.
    quarto::CQuartoApp app(std::vector<std::string>(argv, argv + argc));
    if (!app.InitInstance()) return app.ExitInstance();
    const int code = app.Run().report ? quarto::RunHeadlessReport(app) : app.RunHeadless();
    const int exitCode = app.ExitInstance();
    return app.Run().report ? code : exitCode;
}
