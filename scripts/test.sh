#!/bin/sh
# The whole test suite: installs what is missing, builds, runs every test, then runs the engine
# tests again under AddressSanitizer + UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh

scripts/build.sh build
(cd build && ctest -j2 --output-on-failure)

echo "== engine tests under AddressSanitizer + UndefinedBehaviorSanitizer"
scripts/build.sh build-asan -DQUARTO_SANITIZE=address,undefined -DQUARTO_BUILD_BENCH=OFF
(cd build-asan && ctest -j2 --output-on-failure -L 'platform|core')
