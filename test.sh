#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with ctest.
# Extra arguments go to cmake's configure step (CI uses them for the sanitizer builds):
#   BUILD_DIR=build-asan ./test.sh -DTARNWICK_SANITIZE=address
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${BUILD_DIR:-$here/build}"
"$here/scripts/install-deps"
cmake -S "$here" -B "$build" -DTARNWICK_TESTS=ON "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" ${CTEST_ARGS:-}
