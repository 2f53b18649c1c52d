#!/bin/sh
# The whole test suite: installs what is missing, builds, runs every test (the window's offscreen,
# then its drawing once more on Xvfb);
# then runs the engine tests again under AddressSanitizer + UndefinedBehaviorSanitizer, the engine
# and operations tests and the application's start-up tests under ThreadSanitizer, and the
# snapshot reader's fuzz target for a while.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh

scripts/build.sh build
(cd build && ctest -j2 --output-on-failure)

echo "== the window drawn on a real X display (Xvfb): two lists side by side, rows painted"
QT_QPA_PLATFORM=xcb TZ=UTC LC_ALL=C.UTF-8 xvfb-run -a -s "-screen 0 1280x800x24" \
    build/tests/quarto_ui_tests MainFrameTest WindowDrawsTwoListsSideBySide

echo "== engine tests under AddressSanitizer + UndefinedBehaviorSanitizer"
scripts/build.sh build-asan -DQUARTO_SANITIZE=address,undefined -DQUARTO_BUILD_BENCH=OFF \
    -- --target quarto_platform_tests quarto_core_tests
(cd build-asan && ctest -j2 --output-on-failure -L 'platform|core')

echo "== engine, operations and start-up tests under ThreadSanitizer"
scripts/build.sh build-tsan -DQUARTO_SANITIZE=thread -DQUARTO_BUILD_BENCH=OFF \
    -- --target quarto_core_tests quarto_ops_tests quarto_app_tests
(cd build-tsan && export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" &&
    ctest -j2 --output-on-failure -L 'core|ops' &&
    ctest -j2 --output-on-failure -L app -R '^(StartUp|HeadlessProgram)\.')

echo "== snapshot reader fuzzing"
scripts/fuzz.sh 5
scripts/check-package.sh
