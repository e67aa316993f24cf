#!/usr/bin/env bash
# Installs what is missing, builds, and runs Tarnwick. Until the window exists this prints the
# XProtect data of the Mac under TARNWICK_ROOT as JSON; without TARNWICK_ROOT / TARNWICK_HOME it
# reads the small sample Mac in samples/mac.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/install-deps"
cmake -S "$here" -B "$here/build" -DTARNWICK_TESTS=OFF >/dev/null
cmake --build "$here/build" -j"$(nproc)" >/dev/null
if [ -z "${TARNWICK_ROOT:-}" ] && [ -z "${TARNWICK_HOME:-}" ]; then
  export TARNWICK_ROOT="$here/samples/mac"
  export TARNWICK_HOME="$here/samples/mac/Users/sample"
fi
exec "$here/build/bin/tarnwick-dump" "$@"
