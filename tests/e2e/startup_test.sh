#!/usr/bin/env bash
# Start-up of the real Windows launcher under Wine, on an X display (Xvfb when none is set):
# a second start wakes the first, two titles run side by side, a launcher without a profile
# ends quietly, and a launcher started from the system drive relocates itself to another
# fixed drive and restarts from there (in prefixes whose drives this script lays out).
set -euo pipefail
pack_exe=${1:?orlo-pack (native or .exe)}
launcher_exe=${2:?OrloLauncher.exe}
probe_exe=${3:?winprobe.exe}
here=$(cd "$(dirname "$0")/../.." && pwd)
wine_run=$here/scripts/wine-run
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}

work=$(mktemp -d "${TMPDIR:-/tmp}/orlo-startup.XXXXXX")
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for prefix in "$work"/prefix-*; do [ -d "$prefix" ] && WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true; done
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 80 99); do [ -e "/tmp/.X11-unix/X$n" ] || break; done
  Xvfb ":$n" -screen 0 1280x800x24 >/dev/null 2>&1 & xvfb=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi

fail() { echo "FAIL: $*"; exit 1; }
pack() {  # title, output
  python3 - "$1" > "$work/profile.json" <<'PY'
import json, sys
print(json.dumps({"sTitle": sys.argv[1], "sAppName": "OrloTest", "ServerListURL": "local"}, ensure_ascii=False))
PY
  if [[ $pack_exe == *.exe ]]; then "$wine_run" "$pack_exe" pack --launcher "$launcher_exe" --profile "$work/profile.json" -o "$2"
  else "$pack_exe" pack --launcher "$launcher_exe" --profile "$work/profile.json" -o "$2"; fi
}
windows_titled() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }
wait_window() {  # title, seconds
  for _ in $(seq $(( $2 * 10 ))); do [ -n "$(windows_titled "$1")" ] && return 0; sleep 0.1; done
  return 1
}
count_processes() { pgrep -fc -- "$1" || true; }
start() {  # exe [env...]: starts it in the background, records its pid
  "$wine_run" "$@" >/dev/null 2>&1 & pids+=($!)
}

# --- two titles side by side, then a second start with the first title wakes the first one
pack "Orlo 奥罗 Alpha" "$work/alpha.exe"
cp "$work/alpha.exe" "$work/alpha-copy.exe"
pack "Orlo 奥罗 Beta" "$work/beta.exe"
start "$work/alpha.exe"
wait_window "Orlo 奥罗 Alpha" 20 || fail "the first launcher showed no splash window"
start "$work/beta.exe"
wait_window "Orlo 奥罗 Beta" 20 || fail "a launcher with another title did not start beside the first"
[ -n "$(windows_titled "Orlo 奥罗 Alpha")" ] || fail "the first launcher went away"
echo "ok: two titles run side by side"

# What Windows thinks of the splash windows, asked from the Windows side.
splash=TSplashForm_Login_OrloM2
probe() { "$wine_run" "$probe_exe" "$@" 2>/dev/null | tr -d '\r'; }
probe minimize "$splash" "Orlo 奥罗 Alpha"
[ "$(probe state "$splash" "Orlo 奥罗 Alpha")" = minimized ] || fail "could not minimise the first launcher"
t0=$(date +%s%N)
timeout 10 "$wine_run" "$work/alpha-copy.exe" >/dev/null 2>&1 || fail "the second start did not end by itself"
elapsed=$(( ($(date +%s%N) - t0) / 1000000 ))
echo "second start ended after ${elapsed} ms"
[ "$elapsed" -lt 2000 ] || fail "the second start took ${elapsed} ms to end"
sleep 0.5
[ "$(probe state "$splash" "Orlo 奥罗 Alpha")" = normal ] || fail "the second start did not restore the first launcher"
foreground=$(probe foreground)
[ "$foreground" = "$splash	Orlo 奥罗 Alpha" ] || fail "the second start did not bring the first launcher to the front: $foreground"
[ "$(count_processes alpha-copy.exe)" = 0 ] || fail "the second launcher is still running"
[ "$(count_processes 'alpha.exe')" -ge 1 ] || fail "the first launcher ended"
echo "ok: a second start wakes the first"

# --- no profile: ends quietly, no window
cp "$launcher_exe" "$work/bare.exe"
timeout 20 "$wine_run" "$work/bare.exe" >/dev/null 2>&1 || fail "a launcher without a profile did not end by itself"
echo "ok: a launcher without a profile ends quietly"

"$wineserver" -k 2>/dev/null || true
pids=()

# --- relocation, in prefixes of their own: C: is the system drive, D: a fixed drive (or none)
make_prefix() {  # name, with_d
  local prefix=$work/prefix-$1
  cp -a "$WINEPREFIX" "$prefix"
  rm -f "$prefix/dosdevices/z:" "$prefix/dosdevices/d:"
  if [ "$2" = yes ]; then mkdir -p "$work/drive_d"; ln -s "$work/drive_d" "$prefix/dosdevices/d:"; fi
  mkdir -p "$prefix/drive_c/Games"
  echo "$prefix"
}

pack "Orlo Gamma" "$work/gamma.exe"
prefix=$(make_prefix relocate yes)
cp "$work/gamma.exe" "$prefix/drive_c/Games/launcher.exe"
WINEPREFIX=$prefix start 'C:\Games\launcher.exe'
for _ in $(seq 200); do [ -f "$work/drive_d/Orlom2/launcher.exe" ] && break; sleep 0.1; done
[ -f "$work/drive_d/Orlom2/launcher.exe" ] || fail "no copy in D:/Orlom2/"
wait_window "Orlo Gamma" 30 || fail "the relocated launcher did not start"
cmp -s "$work/gamma.exe" "$work/drive_d/Orlom2/launcher.exe" || fail "the copy differs from the launcher"
for _ in $(seq 100); do [ -f "$prefix/drive_c/Games/launcher.exe" ] || break; sleep 0.1; done
[ ! -f "$prefix/drive_c/Games/launcher.exe" ] || fail "the batch did not delete the old launcher"
pgrep -fa 'launcher.exe' | grep -q 'Orlom2' || fail "the running launcher is not the relocated copy"
echo "ok: started from C:, the launcher moved to D:/Orlom2/ and restarted from there"
WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true

prefix=$(make_prefix inplace no)
cp "$work/gamma.exe" "$prefix/drive_c/Games/launcher.exe"
WINEPREFIX=$prefix start 'C:\Games\launcher.exe'
wait_window "Orlo Gamma" 30 || fail "with no other fixed drive the launcher did not run in place"
[ -f "$prefix/drive_c/Games/launcher.exe" ] || fail "the launcher moved although there is no other fixed drive"
[ ! -d "$prefix/drive_c/Orlom2" ] || fail "a relocation folder was made on the system drive"
echo "ok: with no other fixed drive the launcher runs in place"
WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true

echo "start-up checks passed"
