# Shared by the scripts: paths, the Wine prefix of the build folder, Xvfb.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD_DIR=${QUILLERY_BUILD_DIR:-$ROOT/build}
export WINEPREFIX=${WINEPREFIX:-$BUILD_DIR/wineprefix}
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# zh_CN.UTF-8 gives Wine the code page 936 the program's users have.
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8

configure_and_build() {
    "$ROOT/scripts/install-deps"
    local type=${QUILLERY_BUILD_TYPE:-Release}
    if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
        cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE="$type" \
              -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" >&2
    fi
    cmake --build "$BUILD_DIR" -j "$(nproc)" >&2
}

# A prefix per build folder, set up once with the settings the tests rely
# on; the marker is only written when every step worked.
ensure_wine_prefix() {
    local marker="$WINEPREFIX/.quillery-ready"
    [ -f "$marker" ] && return 0
    echo "setting up the Wine prefix $WINEPREFIX" >&2
    mkdir -p "$WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1 || true
    wineserver -w
    [ -f "$WINEPREFIX/system.reg" ] || { echo "wineboot did not create $WINEPREFIX" >&2; return 1; }
    # Without a window manager, hiding or destroying a managed window takes 2 s.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 &&
    # A crash must fail its test, not open a debugger dialog that hangs the run.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1 &&
    # A fresh prefix gives every exe the generic icon without this.
    wine reg add 'HKCR\.exe' /ve /d exefile /f </dev/null >/dev/null 2>&1 || {
        echo "could not configure the Wine prefix $WINEPREFIX" >&2
        return 1
    }
    wineserver -w
    touch "$marker"
}

XVFB_PID=
# Xvfb picks a free display itself and says which once it is ready.
start_xvfb() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    local number=
    read -r -t 15 number <"$fifo" || true
    rm -f "$fifo"
    if [ -z "$number" ] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
        echo "could not start Xvfb" >&2
        return 1
    fi
    export DISPLAY=":$number"
}

stop_xvfb() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=
}
