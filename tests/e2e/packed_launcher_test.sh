#!/usr/bin/env bash
# Packs the Windows launcher with the Windows orlo-pack under Wine (with and without kit
# archives), signs one copy with osslsigncode and a throw-away certificate, then checks that
# the reader sees the same record in each: orlo-pack show (Windows, and native when built)
# and the launcher itself, whose start-up trace lists the profile it read.
set -euo pipefail
pack_exe=${1:?orlo-pack.exe}
launcher_exe=${2:?OrloLauncher.exe}
native_pack=${3:-}
here=$(cd "$(dirname "$0")/../.." && pwd)
wine_run=$here/scripts/wine-run

work=$(mktemp -d "${TMPDIR:-/tmp}/orlo-e2e.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

"$wine_run" "$pack_exe" profile init -o profile.json
python3 - <<'PY'
import json
p = json.load(open("profile.json", encoding="utf-8"))
p["sTitle"] = "奥罗传奇·签名测试"
p["sAppName"] = "签名登录器"
p["nGMNum"] = -42
p["sSdkChannel"] = "渠道" * 20
json.dump(p, open("profile.json", "w", encoding="utf-8"), ensure_ascii=False)
PY
head -c 1000 /dev/urandom > kit32.zip
head -c 2000 /dev/urandom > kit64.zip

"$wine_run" "$pack_exe" pack --launcher "$launcher_exe" --profile profile.json -o plain.exe
"$wine_run" "$pack_exe" pack --launcher "$launcher_exe" --profile profile.json --kit32 kit32.zip --kit64 kit64.zip -o kits.exe

openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -subj "/CN=Orlo Test Operator" -days 2 2>/dev/null
osslsigncode sign -certs cert.pem -key key.pem -n "Orlo" -in kits.exe -out signed.exe >/dev/null
[ "$(stat -c %s signed.exe)" -gt "$(stat -c %s kits.exe)" ] || { echo "signing added nothing"; exit 1; }

same_profile() {  # file with JSON from show, against profile.json
  python3 - "$1" <<'PY'
import json, sys
want = json.load(open("profile.json", encoding="utf-8"))
got = json.load(open(sys.argv[1], encoding="utf-8"))
if got != want:
    diff = {k: (want.get(k), got.get(k)) for k in set(want) | set(got) if want.get(k) != got.get(k)}
    sys.exit(f"{sys.argv[1]}: fields differ: {diff}")
PY
}

for f in plain.exe kits.exe signed.exe; do
  "$wine_run" "$pack_exe" show "$f" > "$f.win.json"
  same_profile "$f.win.json"
  if [ -n "$native_pack" ] && [ -x "$native_pack" ]; then
    "$native_pack" show "$f" > "$f.native.json"
    same_profile "$f.native.json"
  fi
  # The launcher reads its own file; its trace shows what it took from the profile. It then
  # keeps running with its window open, so it is ended once the trace says enough.
  ORLO_TRACE="$work/$f.trace" "$wine_run" "$work/$f" >/dev/null 2>&1 &
  launcher=$!
  for _ in $(seq 600); do grep -q "nGMChannel" "$f.trace" 2>/dev/null && break; sleep 0.1; done
  kill "$launcher" 2>/dev/null || true
  wait "$launcher" 2>/dev/null || true
  # The next file has the same title: it must not find this one still running.
  for _ in $(seq 100); do pgrep -f "$work/$f" >/dev/null || break; sleep 0.1; done
  grep -q "sAppName 签名登录器" "$f.trace" || { echo "$f: launcher did not read its profile"; cat "$f.trace"; exit 1; }
  grep -q "nGMNum -42" "$f.trace"
  echo "$f: profile read by orlo-pack and by the launcher"
done
grep -q "证书大小 00000000" plain.exe.trace
if grep -q "证书大小 00000000" signed.exe.trace; then echo "signed.exe: certificate table not seen"; exit 1; fi
echo "packed launcher checks passed"
