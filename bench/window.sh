#!/usr/bin/env bash
# The program through its windows, against the engine alone:
#   window-selection   a default fleet selection, from "Подобрать флот" to
#                      the message that it is over
#   window-endless     a statistics run of 200 battles of 10,000 rounds that
#                      nobody wins, in full log, no log saved, to its summary;
#                      each run's line gives the program's peak memory (peak_mb)
#   window-statistics  a statistics run of 1,000 battles with the log window
#                      open and every log saved, from "Начать расчет" to the
#                      last battle's log file (the summary follows when the
#                      statistics timer runs, 3 s later: summary_seconds)
#   window-skinswitch  started skinned, eight windows opened from the menus
#                      (the main window, the unit, template, medal,
#                      technology and officer editors, the unit information
#                      and the options): switching skinning off with the options'
#                      check box and on again, each from the click until
#                      the program has answered and no window waits for a
#                      paint (off_seconds, on_seconds). Medians of five
#                      runs on this machine under load: with seven windows,
#                      off 1.350 s while the forms were released control by
#                      control, each repainting at once; 0.170 s since they
#                      are held and painted once each; on 0.39-0.41 s. With
#                      eight, off 0.232 s and on 0.395 s (load 20) while the
#                      windows still reached the screen part by part; off
#                      0.220 s and on 0.470 s (load 4-7) since each keeps its
#                      old look on the screen until it is whole in the new.
# Each with skinning off and on, in a fresh working folder, under an Xvfb of
# its own with a window manager; bench/window_driver.cpp types the fleets in
# and clicks as a player would.
# E (engine_seconds) is the same run without windows (norvix_bench
# engine-selection, engine-statistics; the statistics run saves its 1,000
# logs there too). Both work in the memory file system (/dev/shm, or
# NORVIX_BENCH_TMP), where making a thousand files costs the same every
# time rather than what a disk busy with other work makes of it. The
# program is given the seed of its draws (NORVIX_BENCH_SEED), so it fights
# the very battles E fights (with draws of their own, one run's battles
# took a fifth longer than another's). The driver measures E right before
# its start click and right after the run's end (selection) or summary
# (statistics), while the program waits: the machine's speed moves within
# seconds, and a figure taken before the program started would miss the
# stretch the run fell into. The two are averaged (a run around which they
# differ by more than a tenth is made again, twice at most: the machine's
# speed moved meanwhile); ratio = seconds / E. Each figure is the
# median of NORVIX_BENCH_RUNS runs (5 by default); each run's own line goes
# to stderr.
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

# NORVIX_BENCH_DISPLAY_FROM: the first display number to try (150).
for n in $(seq "${NORVIX_BENCH_DISPLAY_FROM:-150}" 199); do
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
# A desktop session has its X resources loaded (Debian's Xsession runs xrdb
# over /etc/X11/Xresources, which gives every session this one line). With
# none at all, libX11 reads ~/.Xdefaults from disk again at every lookup
# Wine's text drawing makes, which no player's desktop does.
xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "$(printf '*customization:\t-color\n')"

# Both the program and E work in the memory file system (see above).
bench_tmp=${NORVIX_BENCH_TMP:-/dev/shm}
[ -d "$bench_tmp" ] && [ -w "$bench_tmp" ] || bench_tmp=${TMPDIR:-/tmp}
export TMPDIR="$bench_tmp"

# One run of the program with the seed: prints the driver's line, or fails.
window_run() {
    local what=$1 skin=$2 seed=$3 line driver
    work=$(mktemp -d "$bench_tmp/norvix_bench_XXXXXX")
    cp -r "$NORVIX_ROOT/data/." "$work/"
    mkdir -p "$work/logs"
    (cd "$work" && "$BUILD_ROOT/win/window_driver.exe" options "$what" "$skin") || return 1
    (cd "$work" && NORVIX_BENCH_SEED=$seed exec "$BUILD_ROOT/win/norvixsim.exe") >/dev/null 2>&1 &
    program_pid=$!
    # The skin switch fights no battle: there is no engine figure to it.
    local engine=""
    [ "$what" = skinswitch ] || engine="NORVIX_BENCH_SEED=$seed '$NORVIX_BENCH' engine-$what"
    line=$(cd "$work" && NORVIX_BENCH_ENGINE="$engine" "$BUILD_ROOT/win/window_driver.exe" "$what")
    driver=$?
    line+=$(awk '/^VmHWM/ { printf " peak_mb=%.0f", $2 / 1024 }' "/proc/$program_pid/status" 2>/dev/null)
    kill "$program_pid" 2>/dev/null
    timeout 30 wineserver -k 2>/dev/null
    wait "$program_pid" 2>/dev/null
    program_pid=""
    rm -rf "$work"
    work=""
    [ $driver -eq 0 ] && [ -n "$line" ] && echo "$line"
}

value() { sed -n "s/.*\b$1=\([0-9.]*\).*/\1/p" <<<"$2"; }

# The machine is shared: every figure is the median of the runs
# (NORVIX_BENCH_RUNS, 5 by default), each run's ratio against the engine
# measured right before and after it; load= is the load average meanwhile.
runs=${NORVIX_BENCH_RUNS:-5}
status=0
for scenario in "$@"; do
    case $scenario in
    window-selection) what=selection ;;
    window-statistics) what=statistics ;;
    window-endless) what=endless ;;
    window-skinswitch) what=skinswitch ;;
    *) echo "unknown scenario '$scenario' (window-selection, window-statistics, window-endless, window-skinswitch)" >&2; exit 2 ;;
    esac
    if [ "$what" = skinswitch ]; then
        results=""
        for run in $(seq "$runs"); do
            if ! line=$(window_run skinswitch 1 "$run"); then
                echo "scenario=$scenario run=$run failed" >&2
                status=1
                continue
            fi
            echo "scenario=$scenario run=$run $line load=$(cut -d' ' -f1 /proc/loadavg)" >&2
            results+="$(value off_seconds "$line") $(value on_seconds "$line")"$'\n'
        done
        [ -n "$results" ] || continue
        awk -v sc="$scenario" '
            NF { n++; off[n] = $1; on[n] = $2 }
            function median(a,   i, j, t) {
                for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
                return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2 }
            END { printf "scenario=%s windows=8 off_seconds=%.3f on_seconds=%.3f runs=%d\n", sc, median(off), median(on), n }' <<<"$results"
        continue
    fi
    for skin in 0 1; do
        results=""
        for run in $(seq "$runs"); do
            seed=$run
            # The machine's speed moved during the run when the engine's
            # two figures around it differ by more than a tenth: the run
            # is made again, twice at most.
            for attempt in 1 2 3; do
                line=$(window_run "$what" "$skin" "$seed")
                ok=$?
                e1=$(value engine_before "$line")
                e2=$(value engine_after "$line")
                [ $ok -ne 0 ] || [ "$attempt" -eq 3 ] && break
                awk -v a="$e1" -v b="$e2" 'BEGIN { exit !(a - b > 0.1 * (a + b) / 2 || b - a > 0.1 * (a + b) / 2) }' || break
                echo "scenario=$scenario skin=$skin run=$run made again: the engine took $e1 s before it and $e2 s after" >&2
            done
            load=$(cut -d' ' -f1 /proc/loadavg)
            if [ $ok -ne 0 ]; then
                echo "scenario=$scenario skin=$skin run=$run failed" >&2
                status=1
                continue
            fi
            e=$(printf '%s\n%s\n' "$e1" "$e2" | awk '{ sum += $1; n++ } END { if (n) printf "%.3f", sum / n }')
            s=$(value seconds "$line")
            echo "scenario=$scenario skin=$skin run=$run seconds=$s engine_seconds=$e load=$load $(sed 's/^battles=[0-9]* seconds=[0-9.]* //' <<<"$line")" >&2
            results+="$s $e $load $(value battles "$line") $(value clicks "$line") $(value click_worst_ms "$line") $(value clicks_over_100ms "$line") $(value summary_seconds "$line")"$'\n'
        done
        [ -n "$results" ] || continue
        # Columns: seconds engine load battles clicks worst late [summary].
        awk -v sc="$scenario" -v skin="$skin" '
            NF { n++; s[n] = $1; e[n] = $2; r[n] = $1 / $2; l[n] = $3; b = $4; clicks += $5; late += $7
                 if ($6 > worst) worst = $6; if (NF > 7) sum[n] = $8 }
            function median(a,   i, j, t, m) {
                for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
                return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2 }
            END {
                rmin = rmax = r[1]; for (i = 2; i <= n; i++) { if (r[i] < rmin) rmin = r[i]; if (r[i] > rmax) rmax = r[i] }
                summary = length(sum) ? sprintf(" summary_seconds=%.3f", median(sum)) : ""
                printf "scenario=%s skin=%s battles=%s seconds=%.3f engine_seconds=%.3f ratio=%.2f runs=%d ratio_min=%.2f ratio_max=%.2f load=%.2f%s clicks=%d click_worst_ms=%d clicks_over_100ms=%d\n",
                       sc, skin, b, median(s), median(e), median(r), n, rmin, rmax, median(l), summary, clicks, worst, late
            }' <<<"$results"
    done
done
exit $status
