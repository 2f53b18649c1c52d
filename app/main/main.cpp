// Quarto's entry point: builds the application object and runs start-up.
#include <string>
#include <vector>

#include "app/QuartoApp.h"

int main(int argc, char** argv) {
    quarto::CQuartoApp app(std::vector<std::string>(argv, argv + argc));
    if (!app.InitInstance()) return app.ExitInstance();
    // The main window and its message loop join here with the user interface; until then the
    // program ends after start-up.
    return app.ExitInstance();
}
