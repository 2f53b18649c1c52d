// Quarto's entry point. With a display, the program runs with its window; without one, the
// unattended jobs of the command line run on the headless frame, or --report prints its report.
#include <malloc.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/HeadlessReport.h"
#include "app/QuartoApp.h"
#include "ui/DesktopStartup.h"

int main(int argc, char** argv) {
    // Heaps grow in steps of at least 32 MiB instead of 128 KiB: a refresh of a large pair
    // allocates millions of small blocks, and each step is a system call (a fifth of the
    // pairing's time on 2 x 100,000 files). Pages count only once they are touched.
    mallopt(M_TOP_PAD, 32 << 20);
    const std::vector<std::string> arguments(argv, argv + argc);
    const quarto::WholeWordOptions words = quarto::TakeWholeWordOptions(arguments);
    if (!words.report && !words.help && !words.version && quarto::DisplayAvailable())
        return quarto::RunWithWindow(arguments);
    quarto::CQuartoApp app(arguments);
    if (!app.InitInstance()) return app.ExitInstance();
    const int code = app.Run().report ? quarto::RunHeadlessReport(app) : app.RunHeadless();
    app.EndWithProcess();
    const int exitCode = app.ExitInstance();
    return app.Run().report ? code : exitCode;
}
