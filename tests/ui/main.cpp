#include <QApplication>
#include <QLocale>
#include <QTest>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>

#include "tests/ui/UiTest.h"

namespace quarto::test {
namespace {

std::map<std::string, UiTestFactory>& Registry() {
    static std::map<std::string, UiTestFactory> registry;
    return registry;
}

}  // namespace

bool RegisterUiTest(const char* name, UiTestFactory factory) {
    Registry()[name] = std::move(factory);
    return true;
}

}  // namespace quarto::test

// quarto_ui_tests [CLASS [QtTest options]]
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "UTC");
    tzset();
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const auto& registry = quarto::test::Registry();
    const bool named = argc > 1 && registry.count(argv[1]) != 0;
    int failed = 0;
    for (const auto& [name, factory] : registry) {
        if (named && name != argv[1]) continue;
        const std::unique_ptr<QObject> suite = factory();
        // QtTest reads its options after the program name; the class name is not one of them.
        QStringList arguments{QString::fromLocal8Bit(argv[0])};
        for (int i = named ? 2 : 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
        failed += QTest::qExec(suite.get(), arguments);
    }
    return failed == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
