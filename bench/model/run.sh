#!/usr/bin/env bash
# Reading the rules model's list with a one-letter search on 50,000 rules: median of the reads
# against the 20 ms target (every keystroke in the rules search field does such a read).
#   bench/model/run.sh [RULES]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
"$here/scripts/install-deps" bench
cmake -S "$here/bench" -B "$here/build-bench" >/dev/null
cmake --build "$here/build-bench" -j"$(nproc)" --target rules_data_bench >/dev/null
"$here/build-bench/rules_data_bench" "$@"
