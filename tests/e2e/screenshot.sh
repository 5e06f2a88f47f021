#!/usr/bin/env bash
# Starts the built program in a fresh folder on the test display, saves a
# picture of its main window and checks a few of its pixels; with DPI, on a
# screen at that scale.
# Usage: screenshot.sh BUILD_BIN_DIR OUTPUT_PNG [DPI]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "$1" && pwd)
out=$(realpath -m "$2")
dpi=${3:-96}
run=("$here/../../scripts/wine-run")
[ "$dpi" = 96 ] || run=("$here/../../scripts/wine-run-scaled" "$dpi")
# A design size at the scale, rounded as the program rounds it.
s() { echo $(( ($1 * dpi * 2 + 96) / 192 )); }
work=$(mktemp -d)
program=
server=
trap '[ -n "$program" ] && kill "$program" 2>/dev/null; [ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
cp "$bin/Quillery.exe" "$work/"
mkdir -p "$(dirname "$out")"

# A catalogue to show: three groups, the first one opened below.
shortcut() { # GROUP NAME PROGRAM_PATH
    mkdir -p "$work/Favorites/$1"
    printf '%s' "$3" | iconv -f UTF-8 -t GBK >"$work/Favorites/$1/$2.txt"
}
shortcut 常用工具 记事本 'C:\windows\notepad.exe'
shortcut 常用工具 注册表编辑器 'C:\windows\regedit.exe'
shortcut 常用工具 'Wine 设置' 'C:\windows\system32\winecfg.exe'
shortcut 游戏 扫雷 'C:\windows\system32\winemine.exe'
mkdir -p "$work/Favorites/网络"
# A playlist, whose first track the music bar shows.
printf 'D:\\音乐\\高山流水.mp3\r\nD:\\音乐\\渔舟唱晚.mp3' | iconv -f UTF-8 -t GBK >"$work/Favorites/mp3.txt"

# A forecast to show, from a server of our own on 127.0.0.1 with a sample page.
mkdir -p "$work/site/inc"
cp "$here/../../fuzz/seeds/weather/normal-page.html" "$work/site/inc/07_dc269.htm"
python3 -c '
import functools, http.server, sys
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=sys.argv[1])
handler.log_message = lambda *args: None
server = http.server.HTTPServer(("127.0.0.1", 0), handler)
open(sys.argv[2] + ".part", "w").write(str(server.server_port))
__import__("os").rename(sys.argv[2] + ".part", sys.argv[2])
server.serve_forever()' "$work/site" "$work/port" </dev/null >/dev/null 2>&1 &
server=$!
for _ in $(seq 50); do [ -f "$work/port" ] && break; sleep 0.1; done
[ -f "$work/port" ] || { echo "the weather server did not start"; exit 1; }
printf '[基本配置]\r\n天气主机=127.0.0.1:%s\r\n' "$(cat "$work/port")" | iconv -f UTF-8 -t GBK >"$work/Instal.ini"

cd "$work"
"${run[@]}" Quillery.exe </dev/null >/dev/null 2>&1 &
program=$!

window=
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Quillery$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "no Quillery window appeared"; exit 1; }
sleep 1 # let it paint and fetch the forecast from the local server

eval "$(xdotool getwindowgeometry --shell "$window")"
echo "window at $X,$Y size ${WIDTH}x$HEIGHT"
[ "$WIDTH" = "$(s 275)" ] && [ "$HEIGHT" = "$(s 555)" ] || { echo "unexpected size"; exit 1; }

# Open the first group (its row is the top of the list at 11,96), then take
# the pointer off the window so no row shows the hover highlight.
xdotool mousemove $((X + $(s 100))) $((Y + $(s 108))) click 1 </dev/null >/dev/null 2>&1
sleep 0.3
xdotool mousemove $((X + WIDTH + 300)) $((Y + 600)) </dev/null >/dev/null 2>&1
sleep 1

import -window root -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$work/raw.png"
# The corners outside the window's shape become transparent: a staircase
# of three design pixels, each step scaled.
draw=""
for step in 0 1 2; do
    for ((y = $(s $step); y < $(s $((step + 1))); y++)); do
        cut=$(s $((3 - step)))
        for row in $y $((HEIGHT - 1 - y)); do
            for ((x = 0; x < cut; x++)); do
                draw+="color $x,$row point color $((WIDTH - 1 - x)),$row point "
            done
        done
    done
done
convert "$work/raw.png" -alpha set -fill none -draw "$draw" "$out"

pixel() { convert "$work/raw.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }
# The list panel is white below its rows, the frame dark green.
[ "$(pixel "$(s 137)" "$(s 480)")" = "255,255,255" ] || { echo "list panel is $(pixel "$(s 137)" "$(s 480)")"; exit 1; }
# The frame is a design pixel wide at the scale, no more.
[ "$(pixel $(($(s 1) - 1)) "$(s 300)")" = "46,104,18" ] || { echo "frame is $(pixel $(($(s 1) - 1)) "$(s 300)")"; exit 1; }
[ "$(pixel "$(s 1)" "$(s 300)")" != "46,104,18" ] || { echo "the frame is wider than the scale"; exit 1; }

"${run[@]}" taskkill /IM Quillery.exe >/dev/null 2>&1 || true
status=0
wait "$program" || status=$?
program=
[ "$status" = 0 ] || { echo "exit code $status"; exit 1; }
[ -f Instal.ini ] || { echo "no Instal.ini written"; exit 1; }
echo "screenshot: $out"
