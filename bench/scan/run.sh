#!/usr/bin/env bash
# Times tarnwick-scan against the yara command on one generated tree, one run each, and checks
# that both found the same matches; then its peak memory on a tree of a quarter of the files, and
# two scans of the tree in one process (the compiled rules cached for the second).
#
#     bench/scan/run.sh [-n FILES] [--tree DIR] [--keep DIR]
#
#   TARNWICK_SCAN  scanner to time (default: build/bin/tarnwick-scan of this repository)
#   SCAN_TWICE     warm-cache driver (default: built into build-bench/)
#   YARA           yara command (default: yara)
#
# Exits 0 when the matches agree and every target is met, 1 when a check or a target fails,
# 2 when something could not be run at all.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)

files=20000
tree=$root/build-bench/scan-tree
keep=""
while [ $# -gt 0 ]; do
    case "$1" in
        -n) files="$2"; shift 2 ;;
        --tree) tree="$2"; shift 2 ;;
        --keep) keep="$2"; shift 2 ;;
        -h|--help) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "run.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done

# Targets: yara's seconds over ours at least this; the big tree's peak memory at most this many
# times the small tree's, plus an allowance in MiB for the longer match list and scan record.
target_ratio=1.0
target_memory=1.25
memory_allowance=8

rules=$here/rules.yar
scanner=${TARNWICK_SCAN:-$root/build/bin/tarnwick-scan}
twice=${SCAN_TWICE:-$root/build-bench/scan_twice}
yara=${YARA:-yara}
workers=$(nproc)
python=python3
[ -x /usr/bin/python3 ] && python=/usr/bin/python3

if [ -n "$keep" ]; then
    work=$keep
    mkdir -p "$work" || exit 2
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-bench.XXXXXX") || exit 2
    trap 'rm -rf "$work"' EXIT
fi
work=$(cd "$work" && pwd)

if [ ! -x /usr/bin/time ]; then
    echo "run.sh: no /usr/bin/time; run scripts/install-deps bench" >&2
    exit 2
fi
if ! command -v "$yara" >/dev/null; then
    echo "run.sh: no yara command; run scripts/install-deps bench or set YARA" >&2
    exit 2
fi
if [ ! -x "$scanner" ]; then
    echo "run.sh: no scanner at $scanner (cmake --build build --target tarnwick-scan, or set TARNWICK_SCAN)" >&2
    exit 2
fi

# make_tree DIR COUNT: makes the tree, or takes the one there when its manifest says it has COUNT
# files. Anything else at DIR is left alone.
make_tree() {
    local dir=$1 count=$2 have
    if [ -e "$dir" ]; then
        have=$("$python" -c 'import json, sys; print(json.load(open(sys.argv[1]))["files"])' "$dir.manifest.json" 2>/dev/null)
        if [ "$have" != "$count" ]; then
            echo "run.sh: $dir is not a tree of $count files made by make_tree.py; remove it or give --tree" >&2
            return 1
        fi
        "$python" -c 'import json, sys; m = json.load(open(sys.argv[1]))
print("tree: %d files in %d folders (up to %d deep), %.1f MiB, %d carry a marker (%s, made before)" % (
    m["files"], m["directories"], m["maxDepth"], m["bytes"] / 1048576, m["markerFiles"], sys.argv[2]))' \
            "$dir.manifest.json" "$dir"
        return 0
    fi
    mkdir -p "$(dirname "$dir")" && "$python" "$here/make_tree.py" -n "$count" -o "$dir"
}

tree=$(realpath -m "$tree")
small=$tree-$((files / 4))
make_tree "$tree" "$files" || exit 2
make_tree "$small" $((files / 4)) || exit 2

# Both scanners read from memory, not from the disk: the trees read once beforehand.
find "$tree" "$small" -type f -print0 | xargs -0 cat >/dev/null

# A Mac of nothing under TARNWICK_ROOT, and enrichment sent nowhere.
mkdir -p "$work/root"
export TARNWICK_ROOT=$work/root TARNWICK_ENRICH_URL=http://127.0.0.1:9

# run NAME COMMAND...: one run under /usr/bin/time; standard output to $work/NAME.out, its
# errors to $work/NAME.err, "seconds KiB user system" to $work/NAME.time.
run() {
    local name=$1; shift
    /usr/bin/time -f "%e %M %U %S" -o "$work/$name.time" "$@" >"$work/$name.out" 2>"$work/$name.err"
    local status=$?
    if [ $status -ne 0 ]; then
        echo "run.sh: $name failed (exit $status):" >&2
        tail -c 2000 "$work/$name.err" >&2
        return 1
    fi
}
# /usr/bin/time puts a failed command's exit line first: the figures are on the last line.
seconds() { tail -n 1 "$work/$1.time" 2>/dev/null | awk '{ print $1 }'; }
mib() { tail -n 1 "$work/$1.time" 2>/dev/null | awk '{ printf "%.1f", $2 / 1024 }'; }
# Processor seconds, user and system: on a shared machine the wall seconds also hold others' work.
cpu() { tail -n 1 "$work/$1.time" 2>/dev/null | awk '{ printf "%.2f", $3 + $4 }'; }

echo "yara $("$yara" -v), tarnwick-scan, $workers scanning threads each; $(grep -c '^rule' "$rules") rules ($rules)"
failed=0
run yara "$yara" -r -N -p "$workers" "$rules" "$tree" || failed=1
run tarnwick "$scanner" -r "$rules" "$tree" || failed=1
run tarnwick-small "$scanner" -r "$rules" "$small" || failed=1

twice_state=ran
if [ -z "${SCAN_TWICE:-}" ]; then
    { cmake -S "$root/bench" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release &&
      cmake --build "$root/build-bench" -j2 --target scan_twice; } >"$work/twice-build.log" 2>&1 ||
        { tail -n 30 "$work/twice-build.log" >&2; twice_state=missing; }
fi
if [ $twice_state = ran ]; then
    run twice "$twice" "$rules" "$tree" || twice_state=failed
fi

echo
printf '%-16s %10s %10s %10s %10s\n' tool seconds "cpu s" "peak MiB" files/s
for tool in yara tarnwick; do
    label=$([ $tool = yara ] && echo "yara -N -p $workers" || echo tarnwick-scan)
    if [ -s "$work/$tool.time" ]; then
        s=$(seconds $tool)
        printf '%-16s %10s %10s %10s %10s\n' "$label" "$s" "$(cpu $tool)" "$(mib $tool)" \
            "$(awk -v n="$files" -v s="$s" 'BEGIN { if (s < 0.01) s = 0.01; printf "%.0f", n / s }')"
    else
        printf '%-16s %10s %10s %10s %10s\n' "$label" - - - -
    fi
done
echo

# The same (rule, file) pairs from both, and every marker of the tree among them.
same=1
if [ $failed -eq 0 ]; then
    "$python" "$here/check_matches.py" "$work/yara.out" "$work/tarnwick.out" "$tree" "$tree.manifest.json" \
        >"$work/check" && same=0
    grep -v '^pairs \|^markers ' "$work/check"
    read -r _ ny nt < <(grep '^pairs ' "$work/check")
    read -r _ found expected < <(grep '^markers ' "$work/check")
    if [ $same -eq 0 ]; then
        echo "match check: both found the same ${ny:-?} (rule, file) pairs; ${found:-?} of ${expected:-?} markers among them"
    else
        echo "match check: FAIL (yara ${ny:-?} pairs, tarnwick-scan ${nt:-?}; ${found:-?} of ${expected:-?} markers found)"
    fi
else
    echo "match check: FAIL (a scan did not finish)"
fi

verdict=0
[ $same -ne 0 ] && verdict=1
[ $failed -ne 0 ] && verdict=1

# Throughput: yara's seconds over ours. Speed on matches that disagree proves nothing.
if [ -s "$work/yara.time" ] && [ -s "$work/tarnwick.time" ] && [ $failed -eq 0 ]; then
    line=$(awk -v y="$(seconds yara)" -v t="$(seconds tarnwick)" -v target="$target_ratio" -v same="$same" 'BEGIN {
        if (t < 0.01) t = 0.01
        r = y / t
        v = same != 0 ? "FAIL (not the same matches)" : (r >= target ? "PASS" : "FAIL")
        printf "throughput: yara %.2f s / tarnwick-scan %.2f s = %.2f (target: at least %.1f) %s\n", y, t, r, target, v
    }')
    echo "$line"
    case "$line" in *FAIL*) verdict=1 ;; esac
else
    echo "throughput: no figure (a scan did not finish)"
fi

# Memory flat with the tree.
if [ -s "$work/tarnwick.time" ] && [ -s "$work/tarnwick-small.time" ] && [ $failed -eq 0 ]; then
    line=$(awk -v big="$(mib tarnwick)" -v small="$(mib tarnwick-small)" -v f="$files" -v q=$((files / 4)) \
               -v times="$target_memory" -v plus="$memory_allowance" 'BEGIN {
        limit = small * times + plus
        printf "memory: tarnwick-scan peak %.1f MiB on %d files, %.1f MiB on %d (target: at most %.2f x %.1f + %d = %.1f MiB) %s\n",
            big, f, small, q, times, small, plus, limit, big <= limit ? "PASS" : "FAIL"
    }')
    echo "$line"
    case "$line" in *FAIL*) verdict=1 ;; esac
else
    echo "memory: no figure (a scan did not finish)"
fi

# Two scans in one process: the times, and one compilation of the rules for both.
case $twice_state in
    ran)
        first=$(sed -n 's/^scan 1: \([0-9.]*\) s.*/\1/p' "$work/twice.out")
        second=$(sed -n 's/^scan 2: \([0-9.]*\) s.*/\1/p' "$work/twice.out")
        compiled=$(sed -n 's/^rule compilations: //p' "$work/twice.out")
        echo "warm cache: first scan ${first} s, second scan ${second} s in one process; rule compilations: ${compiled} (target: 1) PASS"
        ;;
    failed)
        sed 's/^/  /' "$work/twice.out"
        echo "warm cache: FAIL (see above: the rules were compiled more than once, or the scans differ)"
        verdict=1
        ;;
    *)
        echo "warm cache: no figure (scan_twice could not be built; see above)"
        [ $verdict -eq 0 ] && verdict=2
        ;;
esac

[ -n "$keep" ] && echo "outputs kept in $work"
exit $verdict
