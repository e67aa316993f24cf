#!/usr/bin/env bash
# Installs what is missing, builds, and opens the Tarnwick window on the Mac under TARNWICK_ROOT;
# without TARNWICK_ROOT / TARNWICK_HOME it reads the small sample Mac in samples/mac. Without a
# display (no DISPLAY or WAYLAND_DISPLAY) it says so and prints that Mac's XProtect data as JSON.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/install-deps"
cmake -S "$here" -B "$here/build" -DTARNWICK_TESTS=OFF >/dev/null
cmake --build "$here/build" -j"$(nproc)" >/dev/null
if [ -z "${TARNWICK_ROOT:-}" ] && [ -z "${TARNWICK_HOME:-}" ]; then
  export TARNWICK_ROOT="$here/samples/mac"
  export TARNWICK_HOME="$here/samples/mac/Users/sample"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display (DISPLAY or WAYLAND_DISPLAY) for the window; printing the data as JSON instead" >&2
  exec "$here/build/bin/tarnwick-dump" "$@"
fi
exec "$here/build/bin/tarnwick" "$@"
