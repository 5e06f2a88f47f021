# Shared by the scripts: paths, the Wine prefix of the build folder, Xvfb.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# zh_CN.UTF-8 gives Wine the code page 936 the program's users have.
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8

source "$ROOT/scripts/lib/arch.sh"

# The program is a 32-bit executable, and its 32-bit tests run wherever the
# host runs 32-bit code. Some virtual machines run 64-bit user code only:
# there the tests, benchmarks and scripts/run use a 64-bit build of the same
# code under 64-bit Wine (in its own folder), and the whole 32-bit tree is
# still built beside it. QUILLERY_TEST_ARCH=x86_64 or i686 picks either.
choose_arch() {
    ARCH=$(test_arch) || exit 1
    if [ "$ARCH" = i686 ]; then
        BUILD_DIR=${QUILLERY_BUILD_DIR:-$ROOT/build}
    else
        BUILD_DIR=${QUILLERY_BUILD_DIR:-$ROOT/build-x86_64}
        # "wine" picks the 32-bit loader whenever it is installed; this one does not.
        local shim="$BUILD_DIR/wine-bin"
        if [ ! -x "$shim/wine" ]; then
            mkdir -p "$shim"
            printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/wine"
            chmod +x "$shim/wine"
        fi
        case ":$PATH:" in *":$shim:"*) ;; *) export PATH="$shim:$PATH" ;; esac
    fi
    export WINEPREFIX=${CALLER_WINEPREFIX:-$BUILD_DIR/wineprefix}
}
CALLER_WINEPREFIX=${WINEPREFIX:-}
choose_arch

# Configures (once) and builds the tree in folder with the toolchain of arch.
build_tree() { # FOLDER ARCH [cmake --build arguments...]
    local folder=$1 arch=$2
    shift 2
    if [ ! -f "$folder/CMakeCache.txt" ]; then
        cmake -S "$ROOT" -B "$folder" -DCMAKE_BUILD_TYPE="${QUILLERY_BUILD_TYPE:-Release}" \
              -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" >&2
    fi
    cmake --build "$folder" -j "$(nproc)" "$@" >&2
}

# Installs what is missing and builds everything that runs here.
configure_and_build() {
    "$ROOT/scripts/install-deps"
    build_tree "$BUILD_DIR" "$ARCH"
}

# The 32-bit tree (program, tests, benchmarks), wherever the tests run: where
# they run 64-bit, this still proves that everything we ship and test
# compiles as 32-bit code, which a 64-bit build cannot (a plain lambda
# converts to a CALLBACK pointer only there). Prints the program's path.
build_tree_32() {
    local folder=${QUILLERY_BUILD_DIR_32:-$ROOT/build}
    if [ "$ARCH" = i686 ]; then
        folder=$BUILD_DIR
    elif ! build_tree "$folder" i686; then
        echo "the 32-bit build in $folder failed (the compiler's messages are above)" >&2
        return 1
    fi
    echo "$folder/bin/Quillery.exe"
}

# A prefix per build folder, set up once with the settings the tests rely
# on; the marker is only written when every step worked.
ensure_wine_prefix() {
    local marker="$WINEPREFIX/.quillery-ready"
    [ -f "$marker" ] && return 0
    echo "setting up the Wine prefix $WINEPREFIX" >&2
    mkdir -p "$WINEPREFIX"
    wine wineboot -i </dev/null >/dev/null 2>&1 || true
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

# A copy of the prefix whose screen runs at another scale (LogPixels = DPI),
# for the tests that check the program at 150 % or 200 %.
ensure_scaled_prefix() {
    local dpi=$1 base=$WINEPREFIX target="$WINEPREFIX-$1"
    [ -f "$target/.quillery-ready" ] && return 0
    ensure_wine_prefix || return 1
    echo "setting up the Wine prefix $target at $dpi DPI" >&2
    rm -rf "$target"
    cp -a "$base" "$target" && rm -f "$target/.quillery-ready" || return 1
    WINEPREFIX=$target wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
        </dev/null >/dev/null 2>&1 &&
    WINEPREFIX=$target wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1 || {
        echo "could not set the scale of $target" >&2
        return 1
    }
    WINEPREFIX=$target wineserver -w
    touch "$target/.quillery-ready"
}

XVFB_PID=
# Xvfb picks a free display itself and says which once it is ready.
start_xvfb() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
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
