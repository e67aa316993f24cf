#!/usr/bin/env bash
# Times tarnwick-diff comparing two XProtect releases, one run each at two sizes: about 200 rules
# a side (XProtect's own size) and 5,000 a side. The releases come from make_releases.py; the
# script checks that the comparison found exactly the changes they were made with.
#
#     bench/diff/run.sh [--keep DIR]
#
#   TARNWICK_DIFF   the tool to time (default: build/bin/tarnwick-diff of this repository)
#
# Exits 0 when both comparisons ran and found what they should, 1 when a check fails, 2 when the
# tool or /usr/bin/time is missing or a release cannot be made.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)

keep=""
while [ $# -gt 0 ]; do
    case "$1" in
        --keep) keep="$2"; shift 2 ;;
        -h|--help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "run.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done

tool=${TARNWICK_DIFF:-$root/build/bin/tarnwick-diff}
if [ ! -x "$tool" ]; then
    echo "run.sh: no $tool; build it with: cmake --build build -j2 --target tarnwick-diff" >&2
    exit 2
fi
if [ ! -x /usr/bin/time ]; then
    echo "run.sh: no /usr/bin/time; run scripts/install-deps bench" >&2
    exit 2
fi

if [ -n "$keep" ]; then
    work=$keep
    mkdir -p "$work" || exit 2
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-bench.XXXXXX") || exit 2
    trap 'rm -rf "$work"' EXIT
fi

status=0
printf '%-7s %-15s %9s %12s %9s  %s\n' "rules" "rule files" "seconds" "processor s" "peak MiB" "found"
for rules in 200 5000; do
    dir="$work/releases-$rules"
    "$here/make_releases.py" -n "$rules" -o "$dir" || exit 2
    # Read once before timing, so that both sides come from the page cache.
    cat "$dir"/old/* "$dir"/new/* >/dev/null
    /usr/bin/time -f '%e %U %S %M' -o "$dir/time" "$tool" "$dir/old" "$dir/new" >"$dir/diff.json" 2>"$dir/stderr"
    code=$?
    if [ "$code" -ne 0 ]; then
        echo "run.sh: tarnwick-diff ended with $code on $rules rules:" >&2
        cat "$dir/stderr" >&2
        status=1
        continue
    fi
    read -r wall user sys rss <"$dir/time"
    sizes=$(du -k "$dir/old/XProtect.yara" "$dir/new/XProtect.yara" | awk '{ s = s (NR == 1 ? "" : "+") $1 } END { print s " KiB" }')
    found=$(python3 - "$dir/diff.json" "$dir/manifest.json" <<'PY'
import json, sys
diff = json.load(open(sys.argv[1]))
want = json.load(open(sys.argv[2]))
rules = diff["rules"]
problems = []
if rules["added"] != want["rules"]["added"]:
    problems.append("rules added")
if sorted(rules["removed"]) != want["rules"]["removed"]:
    problems.append("rules removed")
if sorted(c["name"] for c in rules["changed"]) != want["rules"]["changed"]:
    problems.append("rules changed")
for kind in ("plugins", "extensions", "gkChecks"):
    for what, count in want[kind].items():
        if len(diff[kind][what]) != count:
            problems.append("%s %s" % (kind, what))
if ("javaMinimum" in diff) != want["javaMinimum"]:
    problems.append("javaMinimum")
print("%d added, %d removed, %d changed rules" % (len(rules["added"]), len(rules["removed"]), len(rules["changed"])))
if problems:
    print("MISMATCH: " + ", ".join(problems))
    sys.exit(1)
PY
)
    [ $? -eq 0 ] || status=1
    awk -v rules="$rules" -v sizes="$sizes" -v wall="$wall" -v user="$user" -v sys="$sys" -v rss="$rss" \
        -v found="$found" 'BEGIN { printf "%-7s %-15s %9s %12.2f %9.1f  %s\n", rules, sizes, wall, user + sys, rss / 1024, found }'
done
exit $status
