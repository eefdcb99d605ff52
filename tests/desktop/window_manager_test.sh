#!/usr/bin/env bash
# ./run tells a display with a window manager from a bare X server: the
# display this runs on has one (the desktop group runs under openbox), a
# fresh Xvfb has none, and one whose manager has gone has none either.
source "$(dirname "$0")/../../tools/common.sh"
passed=0 failed=0
check() {
    if [ "$2" = "$3" ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1 (got $2, expected $3)"; fi
}
# yes or no; "unreachable" when there is no display to ask.
answer() {
    if ! xprop -root >/dev/null 2>&1; then echo unreachable; elif window_manager_running; then echo yes; else echo no; fi
}

check "a display with openbox" "$(answer)" yes
check "a bare X server" "$(xvfb-run -a bash -c "source '$NORVIX_ROOT/tools/common.sh'; $(declare -f answer); answer")" no
check "a manager that has gone" "$(xvfb-run -a bash -c "source '$NORVIX_ROOT/tools/common.sh'; $(declare -f answer)
    openbox >/dev/null 2>&1 & manager=\$!
    for i in \$(seq 50); do window_manager_running && break; sleep 0.1; done
    kill \$manager; wait \$manager 2>/dev/null
    answer")" no
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
