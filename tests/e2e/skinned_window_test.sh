#!/usr/bin/env bash
# The demo-skinned launcher under Wine against orlo-devserver: the skin's controls exist at
# their skin positions with their texts and colours (asked through the window API), the server
# tree is filled, the settings button opens the settings dialog, a drag moves the backdrop with
# the main window, and a 16-bit display is handled. Screenshots are kept in ARTEFACTS.
set -euo pipefail
pack=${1:?native orlo-pack}
launcher_exe=${2:?OrloLauncher.exe}
probe_exe=${3:?winprobe.exe}
devserver=${4:?native orlo-devserver}
artefacts=${5:?folder for screenshots}
here=$(cd "$(dirname "$0")/../.." && pwd)
wine_run=$here/scripts/wine-run
wineserver=/usr/lib/wine/wineserver64
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
mkdir -p "$artefacts"

work=$(mktemp -d "${TMPDIR:-/tmp}/orlo-skin.XXXXXX")
pids=()
xvfbs=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  pkill -f 'orlo-skin-test.*OrloLauncher\.exe' 2>/dev/null || true
  [ -d "$work/prefix-16" ] && WINEPREFIX=$work/prefix-16 "$wineserver" -k 2>/dev/null || true
  for x in "${xvfbs[@]}"; do kill "$x" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -f "$work/trace.txt" ] && { echo "--- trace"; cat "$work/trace.txt"; }
  exit 1
}

# A display of its own, at the depth the case needs.
start_display() {  # depth
  local n
  for n in $(seq 60 79); do [ -e "/tmp/.X11-unix/X$n" ] || break; done
  Xvfb ":$n" -screen 0 "1280x1024x$1" >/dev/null 2>&1 &
  xvfbs+=($!)
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
}

# --- devserver and the packed launcher (the path carries a marker so cleanup finds its processes)
"$devserver" --port-file "$work/port" >"$work/devserver.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")
python3 - "$port" "$here/assets/demo-profile.json" "$work/profile.json" <<'PY'
import json, sys
port, src, dst = sys.argv[1:]
p = json.load(open(src, encoding="utf-8"))
for key in ("ServerListURL", "ServerListURL2", "ServerListURL3", "sHomePage", "sConfigAddress", "sGameAddress"):
    p[key] = p[key].replace("127.0.0.1:8600", "127.0.0.1:" + port)
p["sTitle"] = "奥罗传奇 皮肤测试"
json.dump(p, open(dst, "w", encoding="utf-8"), ensure_ascii=False)
PY
mkdir -p "$work/orlo-skin-test"
exe=$work/orlo-skin-test/OrloLauncher.exe
"$pack" pack --launcher "$launcher_exe" --profile "$work/profile.json" --skin "$here/assets/demo-skin/skin.txt" -o "$exe"
title="奥罗传奇 皮肤测试"

probe() { "$wine_run" "$probe_exe" "$@" 2>/dev/null | tr -d '\r'; }
run_launcher() {
  rm -f "$work/trace.txt"
  ORLO_TRACE="$work/trace.txt" "$wine_run" "$exe" >/dev/null 2>&1 &
  pids+=($!)
}
wait_trace() {  # text, seconds
  for _ in $(seq $(( $2 * 10 ))); do grep -q "$1" "$work/trace.txt" 2>/dev/null && return 0; sleep 0.1; done
  return 1
}
stop_launcher() {
  pkill -f 'orlo-skin-test.*OrloLauncher\.exe' 2>/dev/null || true
  for _ in $(seq 50); do pgrep -f 'orlo-skin-test.*OrloLauncher\.exe' >/dev/null || break; sleep 0.1; done
}
child() {  # name: the probe's line for that control of the main window
  grep -P "^$1\t" "$work/children.txt" | head -1
}
field() {  # line, column (1-based)
  cut -f"$2" <<<"$1"
}
expect_child() {  # name left top visible text fontcolor color ("-" skips a column)
  local line
  line=$(child "$1")
  [ -n "$line" ] || fail "no control named $1 in the main window"
  local -a want=("$2" "$3" "$4" "$5" "$6" "$7") cols=(3 4 7 9 10 11) what=(left top visible text fontcolor color)
  for i in "${!want[@]}"; do
    [ "${want[$i]}" = "-" ] && continue
    [ "$(field "$line" "${cols[$i]}")" = "${want[$i]}" ] ||
      fail "$1: ${what[$i]} is '$(field "$line" "${cols[$i]}")', the skin says '${want[$i]}' (line: $line)"
  done
}

# --- a 32-bit display: the skin's pictures on the backdrop, the controls on the main window
start_display 24
run_launcher
wait_trace "载入游戏列表-完成" 60 || fail "the server tree was not filled from the devserver"
sleep 1
probe children TMainForm >"$work/children.txt"
[ -s "$work/children.txt" ] || fail "the main window has no child windows"
# Colours as RRGGBB (the skin writes $00BBGGRR).
#            name             left top visible text          fontcolor color
expect_child StartButton      630  360 1       -             -         -
expect_child ServerListLabel  38   53  1       服务器列表    F0C860    -
expect_child ServerTree       22   80  1       -             -         0C1222
expect_child AccountEdit      669  99  1       -             -         182030
expect_child PhoneCodeButton  766  181 -       获取验证码    -         -
expect_child InfoLabel        14   441 1       服务器列表信息获取完毕 00FF00 000000
expect_child VersionLabel     660  441 1       "客户端版本 1.0.0" 808080 -
# The background is drawn by the backdrop, so it is hidden on the main window.
expect_child Background       0    0   0       -             -         -
# Until the game server answers, Start waits disabled.
[ "$(field "$(child StartButton)" 8)" = 0 ] || fail "Start is enabled before the game server answered"
main_rect=$(probe rect TMainForm)
splash_rect=$(probe rect TSplashForm_Login_OrloM2)
[ -n "$main_rect" ] && [ "$main_rect" = "$splash_rect" ] || fail "the backdrop ($splash_rect) is not under the main window ($main_rect)"
read -r mx my _ _ <<<"$main_rect"
import -window root -crop "867x461+$mx+$my" +repage "$artefacts/skinned-window-32bit.png"

# --- the settings button opens the settings dialog; Cancel closes it
probe click TMainForm ConfigButton
for _ in $(seq 50); do [ "$(probe state TFrmSetting 游戏设置)" = normal ] && break; sleep 0.1; done
[ "$(probe state TFrmSetting 游戏设置)" = normal ] || fail "the settings button did not open the settings dialog"
import -window root "$artefacts/settings-dialog.png"
probe click TFrmSetting BitBtn2
for _ in $(seq 50); do [ "$(probe state TFrmSetting 游戏设置)" = hidden ] && break; sleep 0.1; done
[ "$(probe state TFrmSetting 游戏设置)" = hidden ] || fail "Cancel did not close the settings dialog"

# --- dragging the window by a label moves the backdrop with it
label=$(child ServerListLabel)
lx=$(( mx + $(field "$label" 3) + 10 ))
ly=$(( my + $(field "$label" 4) + 5 ))
xdotool mousemove "$lx" "$ly" mousedown 1
sleep 0.3
xdotool mousemove $(( lx + 40 )) $(( ly + 30 ))
sleep 0.3
xdotool mousemove $(( lx + 80 )) $(( ly + 60 ))
sleep 0.3
xdotool mouseup 1
sleep 1
moved_main=$(probe rect TMainForm)
moved_splash=$(probe rect TSplashForm_Login_OrloM2)
[ "$moved_main" != "$main_rect" ] || fail "the drag did not move the main window ($main_rect)"
[ "$moved_main" = "$moved_splash" ] || fail "after the drag the backdrop ($moved_splash) is not under the main window ($moved_main)"
echo "drag: $main_rect -> $moved_main, backdrop $moved_splash"
stop_launcher

# --- a 16-bit display: start-up asks for true colour; what it cannot change it reports, and the
# skin's pictures then stay on the main window. Wine keeps a prefix's display modes from the
# display it first met, so this display gets a prefix (and Wine server) of its own.
start_display 16
cp -a "$WINEPREFIX" "$work/prefix-16"
export WINEPREFIX=$work/prefix-16
run_launcher
for _ in $(seq 300); do
  grep -q "载入游戏列表-完成" "$work/trace.txt" 2>/dev/null && break
  # A refused colour change is reported in a message box; the player dismisses it.
  if [ -z "${seen_message:-}" ] && [ "$(probe answer 提示)" != missing ]; then
    seen_message=yes
    import -window root "$artefacts/true-colour-refused.png"
  fi
  sleep 0.1
done
grep -q "载入游戏列表-完成" "$work/trace.txt" || fail "on a 16-bit display the launcher did not come up"
sleep 1
probe children TMainForm >"$work/children.txt"
depth=$(probe depth)
echo "16-bit display: the launcher sees $depth bits per pixel${seen_message:+ (the colour change was refused and reported)}"
if [ "$depth" = 16 ]; then
  expect_child Background 0 0 1 - - -
else
  expect_child Background 0 0 0 - - -
fi
rect=$(probe rect TMainForm)
read -r mx my _ _ <<<"$rect"
import -window root -crop "867x461+$mx+$my" +repage "$artefacts/skinned-window-16bit.png"
stop_launcher
echo "skinned window: ok (screenshots in $artefacts)"
