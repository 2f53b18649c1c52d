// The harness of the window's tests: each QtTest class registers itself with QUARTO_UI_TEST,
// and the program runs the class named first on its command line (or all of them) in one
// offscreen QApplication with an English locale and UTC as the local time.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

namespace quarto::test {

using UiTestFactory = std::function<std::unique_ptr<QObject>()>;
bool RegisterUiTest(const char* name, UiTestFactory factory);

}  // namespace quarto::test

#define QUARTO_UI_TEST(Class)                               \
    [[maybe_unused]] static const bool kRegistered##Class = \
        quarto::test::RegisterUiTest(#Class, [] { return std::unique_ptr<QObject>(new Class); });
