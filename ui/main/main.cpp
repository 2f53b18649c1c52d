// Quarto's entry point. With a display, the program runs with its window; without one, the
// unattended jobs of the command line run on the headless frame, or --report prints its report.
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/HeadlessReport.h"
#include "app/QuartoApp.h"
#include "ui/DesktopStartup.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv, argv + argc);
    const quarto::WholeWordOptions words = quarto::TakeWholeWordOptions(arguments);
    if (!words.report && !words.help && !words.version && quarto::DisplayAvailable())
        return quarto::RunWithWindow(arguments);
    quarto::CQuartoApp app(arguments);
    if (!app.InitInstance()) return app.ExitInstance();
    const int code = app.Run().report ? quarto::RunHeadlessReport(app) : app.RunHeadless();
    const int exitCode = app.ExitInstance();
    return app.Run().report ? code : exitCode;
}
