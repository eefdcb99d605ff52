# Shared by ./run and ./test: install what is missing, build, prepare Wine.
# Sourced, not run.

NORVIX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${NORVIX_BUILD_DIR:-$NORVIX_ROOT/build}
export WINEPREFIX="$BUILD_ROOT/wineprefix"
export WINEDEBUG=-all
export WINEARCH=win64
# No Mono or Gecko installer prompts: the program needs neither.
export WINEDLLOVERRIDES="mscoree=;mshtml="
JOBS=${NORVIX_JOBS:-$(nproc 2>/dev/null || echo 2)}

PACKAGES="wine64 wine64-tools libwine-dev libx11-dev fonts-wine xvfb xauth x11-utils x11-apps openbox xdotool cmake make g++ googletest libgtest-dev zlib1g-dev libjpeg62-turbo-dev python3 clang libclang-rt-14-dev libcurl4-openssl-dev libssl-dev ca-certificates"

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
    local missing=""
    for p in $PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
    done
    if [ -n "$missing" ]; then
        echo "Installing:$missing"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
    fi
}

# configure_tree NAME [cmake options...]
configure_tree() {
    local name=$1; shift
    local dir="$BUILD_ROOT/$name"
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$NORVIX_ROOT" -B "$dir" "$@" >/dev/null
    fi
}

build_native() {
    configure_tree native -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNORVIX_SANITIZE=ON
    cmake --build "$BUILD_ROOT/native" -j "$JOBS"
}

# build_win [TARGET...]: the whole Win32 tree, or only the named targets.
build_win() {
    configure_tree win -DNORVIX_WIN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=wineg++ -DCMAKE_C_COMPILER=winegcc
    cmake --build "$BUILD_ROOT/win" -j "$JOBS" ${1:+--target "$@"}
}

# Every Wine step has a time limit: a hung one is stopped rather than
# holding the run. The prefix is made once: frames drawn by Wine itself, Marlett for the
# caption buttons. `prepare_wineprefix unmanaged` keeps the windows away from
# any window manager: under a bare Xvfb, Wine otherwise waits two seconds for
# one whenever a window is hidden.
prepare_wineprefix() {
    local managed=Y
    [ "${1:-}" = unmanaged ] && managed=N
    # A creation cut short (a killed terminal) leaves a prefix without the
    # system's libraries, in which nothing starts: make it again.
    if [ ! -f "$WINEPREFIX/.norvix-ready" ] || [ ! -f "$WINEPREFIX/drive_c/windows/system32/user32.dll" ]; then
        echo "Creating the Wine prefix in $WINEPREFIX"
        timeout 60 wineserver -k 2>/dev/null || true
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        timeout 300 wineboot -i >/dev/null 2>&1 || true
        timeout 300 wineserver -w
        if [ ! -f "$WINEPREFIX/drive_c/windows/system32/user32.dll" ]; then
            echo "Could not create the Wine prefix in $WINEPREFIX (wineboot failed); run again or remove it" >&2
            return 1
        fi
        timeout 120 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
        timeout 300 wineserver -w
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp -n /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
        touch "$WINEPREFIX/.norvix-ready"
    fi
    if [ "$(cat "$WINEPREFIX/.norvix-managed" 2>/dev/null)" != "$managed" ]; then
        timeout 120 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$managed" /f >/dev/null 2>&1
        timeout 300 wineserver -w
        echo "$managed" > "$WINEPREFIX/.norvix-managed"
    fi
}

# Whether a window manager runs on $DISPLAY: it names a window of its own
# on the root window, and that window names itself (a stale name left by a
# manager that has gone does not count).
window_manager_running() {
    local id
    id=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # \(0x[0-9a-fA-F]*\).*/\1/p')
    [ -n "$id" ] && xprop -id "$id" _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id # $id\$"
}
