// Quarto's entry point: builds the application object and runs start-up; with --report, the
// headless report follows.
#include <malloc.h>

#include <string>
#include <vector>

#include "app/HeadlessReport.h"
#include "app/QuartoApp.h"

int main(int argc, char** argv) {
    // Heaps grow in steps of at least 32 MiB instead of 128 KiB: a refresh of a large pair
    // allocates millions of small blocks, and each step is a system call (a fifth of the
    // pairing's time on 2 x 100,000 files). Pages count only once they are touched.
    mallopt(M_TOP_PAD, 32 << 20);
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
