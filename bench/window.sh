#!/usr/bin/env bash
# The program through its windows, against the engine alone:
#   window-selection   a default fleet selection, from "Подобрать флот" to
#                      the message that it is over
#   window-statistics  a statistics run of 1,000 battles with the log window
#                      open and every log saved, from "Начать расчет" to the
#                      last battle's log file (the summary follows when the
#                      statistics timer runs, 3 s later: summary_seconds)
# Each with skinning off and on, in a fresh working folder, under an Xvfb of
# its own with a window manager; bench/window_driver.cpp types the fleets in
# and clicks as a player would.
# E (engine_seconds) is the same run without windows (norvix_bench
# engine-selection, engine-statistics; the statistics run saves its 1,000
# logs there too). Both work in the memory file system (/dev/shm, or
# NORVIX_BENCH_TMP), where making a thousand files costs the same every
# time rather than what a disk busy with other work makes of it. The program draws its own
# candidates and shots, so E is the mean over four seeds, two measured
# before and two after each run; ratio = seconds / E.
# While the program runs, a click on another of its windows every half
# second is timed until that window is the active one.
# Called by bench/run with NORVIX_BENCH set to the native benchmark program.
set -u
source "$(dirname "$0")/../tools/common.sh"

install_missing
command -v openbox >/dev/null || as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq openbox >/dev/null
build_win norvixsim window_driver >/dev/null || exit 1

# A prefix of its own, its windows managed as on a player's desktop.
export WINEPREFIX="$BUILD_ROOT/wineprefix-bench"
prepare_wineprefix || exit 1

for n in $(seq 150 199); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
done
export DISPLAY=":$n"
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
sleep 1
openbox >/dev/null 2>&1 &
openbox_pid=$!
work=""
program_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    timeout 30 wineserver -k 2>/dev/null
    kill "$openbox_pid" "$xvfb_pid" 2>/dev/null
    [ -n "$work" ] && rm -rf "$work"
}
trap cleanup EXIT
sleep 1

# engine_seconds SCENARIO SEED...: the seconds of each seed, one a line.
bench_tmp=${NORVIX_BENCH_TMP:-/dev/shm}
[ -d "$bench_tmp" ] && [ -w "$bench_tmp" ] || bench_tmp=${TMPDIR:-/tmp}
export TMPDIR="$bench_tmp"

engine_seconds() {
    local what=$1 seed
    shift
    for seed in "$@"; do
        NORVIX_BENCH_SEED=$seed "$NORVIX_BENCH" "engine-$what" | sed -n 's/.* seconds=\([0-9.]*\).*/\1/p'
    done
}

status=0
for scenario in "$@"; do
    case $scenario in
    window-selection) what=selection ;;
    window-statistics) what=statistics ;;
    *) echo "unknown scenario '$scenario' (window-selection, window-statistics)" >&2; exit 2 ;;
    esac
    for skin in 0 1; do
        e1=$(engine_seconds "$what" 1 2)
        work=$(mktemp -d "$bench_tmp/norvix_bench_XXXXXX")
        cp -r "$NORVIX_ROOT/data/." "$work/"
        mkdir -p "$work/logs"
        (cd "$work" && "$BUILD_ROOT/win/window_driver.exe" options "$what" "$skin") || exit 1
        (cd "$work" && exec "$BUILD_ROOT/win/norvixsim.exe") >/dev/null 2>&1 &
        program_pid=$!
        line=$(cd "$work" && "$BUILD_ROOT/win/window_driver.exe" "$what")
        driver=$?
        kill "$program_pid" 2>/dev/null
        timeout 30 wineserver -k 2>/dev/null
        wait "$program_pid" 2>/dev/null
        program_pid=""
        rm -rf "$work"
        work=""
        e2=$(engine_seconds "$what" 3 4)
        if [ $driver -ne 0 ] || [ -z "$line" ]; then
            echo "scenario=$scenario skin=$skin failed" >&2
            status=1
            continue
        fi
        seconds=$(sed -n 's/.*\bseconds=\([0-9.]*\).*/\1/p' <<<"$line")
        battles=$(sed -n 's/.*battles=\([0-9]*\).*/\1/p' <<<"$line")
        rest=$(sed 's/^battles=[0-9]* seconds=[0-9.]* //' <<<"$line")
        e=$(printf '%s\n%s\n' "$e1" "$e2" | awk '{ sum += $1; n++ } END { if (n) printf "%.3f", sum / n }')
        awk -v sc="$scenario" -v skin="$skin" -v b="$battles" -v s="$seconds" -v e="$e" -v rest="$rest" \
            'BEGIN { printf "scenario=%s skin=%s battles=%s seconds=%.3f engine_seconds=%.3f ratio=%.2f %s\n", sc, skin, b, s, e, s / e, rest }'
    done
done
exit $status
