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

# A prefix per build folder, set up once with the settings the tests rely on.
ensure_wine_prefix() {
    local marker="$WINEPREFIX/.quillery-ready"
    [ -f "$marker" ] && return 0
    echo "setting up the Wine prefix $WINEPREFIX" >&2
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # Without a window manager, hiding or destroying a managed window takes 2 s.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # A crash must fail its test, not open a debugger dialog that hangs the run.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # A fresh prefix gives every exe the generic icon without this.
    wine reg add 'HKCR\.exe' /ve /d exefile /f >/dev/null 2>&1
    wineserver -w
    touch "$marker"
}

XVFB_PID=
start_xvfb() {
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        local i
        for i in $(seq 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            sleep 0.1
        done
        if kill -0 "$XVFB_PID" 2>/dev/null; then
            export DISPLAY=":$n"
            return 0
        fi
    done
    echo "could not start Xvfb" >&2
    return 1
}

stop_xvfb() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=
}
