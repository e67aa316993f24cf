#!/usr/bin/env bash
# Times our YARA rule converter against two other parsers, plyara and yaramod, on one generated
# rule file, one run each, and checks that all three read the same rules.
#
#     bench/converter/run.sh [-n RULES] [--keep DIR]
#
#   YAGO            converter to time (default: build/share/tarnwick/yago of this repository)
#   YARAMOD_DRIVER  yaramod driver (default: built into build-bench/ when missing)
#   PYTHON          interpreter that has plyara (default: /usr/bin/python3, Debian's)
#
# Exits 0 when every tool read the same rules and the converter meets both targets, 1 when a
# check or a target fails, 2 when something could not be run at all.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)

rules=20000
keep=""
while [ $# -gt 0 ]; do
    case "$1" in
        -n) rules="$2"; shift 2 ;;
        --keep) keep="$2"; shift 2 ;;
        -h|--help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "run.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done

# Targets: how many times faster than each peer the converter has to be.
target_plyara=50
target_yaramod=10

yago=${YAGO:-$root/build/share/tarnwick/yago}
driver=${YARAMOD_DRIVER:-$root/build-bench/yaramod_driver}
if [ -n "${PYTHON:-}" ]; then
    python=$PYTHON
elif [ -x /usr/bin/python3 ]; then
    python=/usr/bin/python3
else
    python=python3
fi

if [ -n "$keep" ]; then
    work=$keep
    mkdir -p "$work" || exit 2
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-bench.XXXXXX") || exit 2
    trap 'rm -rf "$work"' EXIT
fi

if ! "$python" -c 'import plyara' 2>/dev/null; then
    echo "run.sh: $python has no plyara; run scripts/install-deps bench or set PYTHON" >&2
    exit 2
fi
if [ -z "${YARAMOD_DRIVER:-}" ] && [ ! -x "$driver" ]; then
    echo "run.sh: building the yaramod driver in build-bench/" >&2
    { cmake -S "$root/bench" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release &&
      cmake --build "$root/build-bench" -j2; } >"$work/driver-build.log" 2>&1 ||
        { cat "$work/driver-build.log" >&2; exit 2; }
fi

# yaramod 3.6 knows the YARA 3.11 grammar, which has no base64 modifier: leave base64 out so every
# tool reads the same file. The rest of the file is as the full generator writes it.
file=$work/rules.yar
"$python" "$root/bench/rules/generate_rules.py" -n "$rules" --without base64 -o "$file" || exit 2
echo "rule file: $rules rules, $(( $(stat -c %s "$file") / 1024 )) KiB ($file)"

have_time=0
[ -x /usr/bin/time ] && have_time=1

# run NAME COMMAND...: one run; leaves the wall seconds in $work/NAME.sec and the peak memory
# in KiB in $work/NAME.kib, the standard output in $work/NAME.out.
run() {
    local name=$1; shift
    local start end status
    start=$(date +%s%N)
    if [ $have_time -eq 1 ]; then
        /usr/bin/time -f %M -o "$work/$name.kib" "$@" >"$work/$name.out" 2>"$work/$name.err"
    else
        "$@" >"$work/$name.out" 2>"$work/$name.err"
    fi
    status=$?
    end=$(date +%s%N)
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", (e - s) / 1e9 }' >"$work/$name.sec"
    if [ $status -ne 0 ]; then
        echo "run.sh: $name failed (exit $status):" >&2
        head -c 2000 "$work/$name.err" >&2
        return 1
    fi
}

failed=0
yago_ran=0
yago_state=missing
if [ -x "$yago" ]; then
    yago_state=failed
    run yago "$yago" fileName "$file" --validJSON && { yago_ran=1; yago_state=ran; } || failed=1
else
    echo "run.sh: no converter at $yago (build it, or set YAGO)" >&2
fi
run yaramod "$driver" "$file" --json "$work/yaramod.json" || failed=1
run plyara "$python" "$here/plyara_parse.py" "$file" --json "$work/plyara.json" || failed=1

# Same rules everywhere: counted from each tool's JSON, names compared in order.
[ $yago_ran -eq 1 ] && mv "$work/yago.out" "$work/yago.json"
"$python" "$here/check_outputs.py" "$rules" \
    "yago:$work/yago.json" "yaramod:$work/yaramod.json" "plyara:$work/plyara.json" >"$work/counts"
same=$?
# A tool that failed wrote nothing to compare, which must not pass for agreement.
[ $failed -ne 0 ] && same=1
declare -A count=()
while read -r tool n; do count[$tool]=$n; done <"$work/counts"
# The peers also print their own count; it has to agree with their JSON.
for tool in yaramod plyara; do
    printed=$(tr -d '[:space:]' <"$work/$tool.out" 2>/dev/null)
    if [ -n "${count[$tool]:-}" ] && [ "$printed" != "${count[$tool]}" ]; then
        echo "run.sh: $tool printed $printed rules but wrote ${count[$tool]}" >&2
        same=1
    fi
done

seconds() { cat "$work/$1.sec" 2>/dev/null || echo -; }
# /usr/bin/time puts a failed command's exit line before the figure: take the last line.
memory() {
    local k
    k=$(tail -n 1 "$work/$1.kib" 2>/dev/null) && [ -n "$k" ] && awk -v k="$k" 'BEGIN { printf "%.1f", k / 1024 }' || echo -
}

echo
printf '%-10s %10s %12s %8s\n' tool seconds "peak MiB" rules
for tool in yago yaramod plyara; do
    if [ $tool = yago ] && [ $yago_ran -eq 0 ]; then
        printf '%-10s %10s %12s %8s\n' yago "$yago_state" - -
        continue
    fi
    printf '%-10s %10s %12s %8s\n' "$tool" "$(seconds $tool)" "$(memory $tool)" "${count[$tool]:--}"
done
echo

if [ $same -eq 0 ]; then
    echo "rule check: all tools read the same $rules rules"
else
    echo "rule check: FAIL (the tools did not read the same rules, see above)"
fi

verdict=0
[ $same -ne 0 ] && verdict=1
[ $failed -ne 0 ] && verdict=1
if [ $yago_ran -eq 1 ]; then
    ys=$(seconds yago)
    for peer in plyara yaramod; do
        ps=$(seconds "$peer")
        [ $peer = plyara ] && target=$target_plyara || target=$target_yaramod
        if [ ! -s "$work/$peer.sec" ] || [ ! -s "$work/$peer.json" ]; then
            echo "yago vs $peer: no figure ($peer did not finish)"
            verdict=1
            continue
        fi
        # A run too short for the clock still counts as the clock's resolution, not as zero.
        # Speed on rules the converter did not all read proves nothing: no PASS then.
        line=$(awk -v y="$ys" -v p="$ps" -v t="$target" -v peer="$peer" -v same="$same" 'BEGIN {
            if (y < 0.001) y = 0.001
            r = p / y
            v = same != 0 ? "FAIL (not the same rules)" : (r >= t ? "PASS" : "FAIL")
            printf "yago is %.1fx faster than %s (target: at least %dx) %s\n", r, peer, t, v
        }')
        echo "$line"
        case "$line" in *FAIL*) verdict=1 ;; esac
    done
else
    echo "yago: $yago_state, no ratios"
    [ $verdict -eq 0 ] && verdict=2
fi
[ -n "$keep" ] && echo "outputs kept in $work"
exit $verdict
