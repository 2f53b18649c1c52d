// Quarto's entry point. With a display, the program runs with its window; without one, or for
// --report, it runs headless: the application's start-up, then the report when asked for.
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
    int code = 0;
    if (app.Run().report) code = quarto::RunHeadlessReport(app);
    const int exitCode = app.ExitInstance();
    return app.Run().report ? code : exitCode;
}
