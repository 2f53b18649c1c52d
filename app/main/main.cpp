// Quarto's entry point: builds the application object and runs start-up; with --report, the
// headless report follows.
#include <string>
#include <vector>

#include "app/HeadlessReport.h"
#include "app/QuartoApp.h"

int main(int argc, char** argv) {
    quarto::CQuartoApp app(std::vector<std::string>(argv, argv + argc));
    if (!app.InitInstance()) return app.ExitInstance();
    int code = 0;
    if (app.Run().report) code = quarto::RunHeadlessReport(app);
    // Without --report the main window and its message loop join here with the user interface;
    // until then the program ends after start-up.
    app.EndWithProcess();
    const int exitCode = app.ExitInstance();
    return app.Run().report ? code : exitCode;
}
