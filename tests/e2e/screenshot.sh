#!/usr/bin/env bash
# Starts the built program in a fresh folder on the test display, saves a
# picture of its main window and checks a few of its pixels.
# Usage: screenshot.sh BUILD_BIN_DIR OUTPUT_PNG
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "$1" && pwd)
out=$(realpath -m "$2")
work=$(mktemp -d)
program=
trap '[ -n "$program" ] && kill "$program" 2>/dev/null; rm -rf "$work"' EXIT
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

cd "$work"
"$here/../../scripts/wine-run" Quillery.exe </dev/null >/dev/null 2>&1 &
program=$!

window=
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Quillery$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "no Quillery window appeared"; exit 1; }
sleep 1 # let it paint

eval "$(xdotool getwindowgeometry --shell "$window")"
echo "window at $X,$Y size ${WIDTH}x$HEIGHT"
[ "$WIDTH" = 275 ] && [ "$HEIGHT" = 555 ] || { echo "unexpected size"; exit 1; }

# Open the first group (its row is the top of the list at 11,96), then take
# the pointer off the window so no row shows the hover highlight.
xdotool mousemove $((X + 100)) $((Y + 108)) click 1 </dev/null >/dev/null 2>&1
sleep 0.3
xdotool mousemove $((X + 600)) $((Y + 600)) </dev/null >/dev/null 2>&1
sleep 1

import -window root -crop "275x555+$X+$Y" +repage "$work/raw.png"
# The corners outside the window's shape become transparent.
w=274 h=554
draw=""
for p in 0,0 0,1 0,2 1,0 1,1 2,0 $((w-2)),0 $((w-1)),0 $w,0 $((w-1)),1 $w,1 $w,2 \
         0,$((h-2)) 0,$((h-1)) 0,$h 1,$((h-1)) 1,$h 2,$h \
         $((w-2)),$h $((w-1)),$h $w,$h $((w-1)),$((h-1)) $w,$((h-1)) $w,$((h-2)); do
    draw+="color $p point "
done
convert "$work/raw.png" -alpha set -fill none -draw "$draw" "$out"

pixel() { convert "$work/raw.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }
# The list panel is white below its rows, the frame dark green.
[ "$(pixel 137 480)" = "255,255,255" ] || { echo "list panel is $(pixel 137 480)"; exit 1; }
[ "$(pixel 0 300)" = "46,104,18" ] || { echo "frame is $(pixel 0 300)"; exit 1; }

"$here/../../scripts/wine-run" taskkill /IM Quillery.exe >/dev/null 2>&1 || true
status=0
wait "$program" || status=$?
program=
[ "$status" = 0 ] || { echo "exit code $status"; exit 1; }
[ -f Instal.ini ] || { echo "no Instal.ini written"; exit 1; }
echo "screenshot: $out"
