#!/usr/bin/env bash
# Start-up of the window: time from process start to the first paint after XProtect's rules are
# known to the model, under a virtual X display, on the sample Mac and on a Mac whose
# XProtect.yara holds 5,000 rules. One run each; the goal is under 0.5 s for the sample.
#   bench/ui/run.sh
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
"$here/scripts/install-deps" bench
cmake -S "$here/bench" -B "$here/build-bench" >/dev/null
cmake --build "$here/build-bench" -j"$(nproc)" --target startup_bench yago tarnwick_resources >/dev/null

work="$(mktemp -d)"
xvfb=""
trap '[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
display=":$(( (RANDOM % 400) + 500 ))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1

# A copy of the sample Mac whose rule file holds 5,000 generated rules.
big="$work/mac-5000"
cp -r "$here/samples/mac" "$big"
rules=$(find "$big" -name XProtect.yara | head -1)
"$here/bench/rules/generate_rules.py" -n 5000 -o "$rules"

measure() {  # label, root
  echo -n "$1: "
  env DISPLAY="$display" XDG_CONFIG_HOME="$work/config" TARNWICK_ROOT="$2" TARNWICK_HOME="$2/Users/sample" \
    TARNWICK_ENRICH_URL="http://127.0.0.1:9" TARNWICK_CATALOG_URL="http://127.0.0.1:9/catalog.sucatalog.gz" \
    "$here/build-bench/bin/startup_bench"
}
mkdir -p "$work/config/tarnwick"
echo '{"hasBeenLaunchedBeforeFlag": true}' > "$work/config/tarnwick/defaults.json"
measure "sample Mac" "$here/samples/mac"
measure "5,000 rules" "$big"
