#!/usr/bin/env bash
# The rules model under the rules panel's reads:
# - reading the list with a one-letter search on 50,000 rules: median of the reads against the
#   20 ms target (every keystroke in the rules search field does such a read);
# - reading it while a rule file of 20,000 rules loads: how long a read waits.
#   bench/model/run.sh [RULES]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
"$here/scripts/install-deps" bench
cmake -S "$here/bench" -B "$here/build-bench" >/dev/null
cmake --build "$here/build-bench" -j"$(nproc)" --target rules_data_bench read_during_load yago >/dev/null
"$here/build-bench/rules_data_bench" "$@"
rules="$here/build-bench/load-20000.yar"
[ -s "$rules" ] || "$here/bench/rules/generate_rules.py" -n 20000 -o "$rules"
"$here/build-bench/read_during_load" "$rules" "$here/build-bench/share/tarnwick/yago"
