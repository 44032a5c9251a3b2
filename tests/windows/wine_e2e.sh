#!/usr/bin/env bash
# vextune-cli.exe under Wine against davozi-sim on a pseudo-terminal mapped to
# COM5, in a Wine prefix of its own: check, read, set, send (verified) and
# update give the same results as the Linux vextune-cli against the same
# simulator, and Ctrl-C aborts a check as it does there; doctor finds the
# device.
#   wine_e2e.sh VEXTUNE_CLI_EXE DAVOZI_SIM LINUX_VEXTUNE_CLI WORK_DIR
set -euo pipefail

cli_exe=$1
sim=$2
linux_cli=$3
work=$4
here=$(cd "$(dirname "$0")" && pwd)

export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
wine=$(command -v wine || command -v wine64)
run=$work/run
rm -rf "$run"
mkdir -p "$run"
"$here/wine_prefix.sh" "$WINEPREFIX"

# COM5 names the simulator's link, which names its pseudo-terminal; the link
# stays the same for every simulator started below.
line=$run/davozi
ln -sfn "$line" "$WINEPREFIX/dosdevices/com5"
"$wine" reg add 'HKLM\Software\Wine\Ports' /v COM5 /t REG_SZ /d "$line" /f >/dev/null

sim_pid=
start_sim() {
  local report
  report=$("$sim" --background --link "$line" "$@")
  sim_pid=$(printf '%s\n' "$report" | sed -n 2p)
  [[ -n $sim_pid ]] || { echo "davozi-sim did not start: $report" >&2; exit 1; }
}
# Wine's server holds the terminal open: it goes first, then the simulator.
stop_sim() {
  wineserver -k 2>/dev/null || true
  if [[ -n $sim_pid ]]; then
    kill "$sim_pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$sim_pid" 2>/dev/null || break; sleep 0.1; done
    sim_pid=
  fi
}
trap stop_sim EXIT

failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# win NAME ARGS...: vextune-cli.exe with ARGS; output in NAME.out, NAME.err
# (line ends made Unix), exit status in NAME.status. Likewise lin for Linux.
win() {
  local name=$1 status=0
  shift
  (cd "$run" && "$wine" "$cli_exe" "$@") >"$run/$name.out" 2>"$run/$name.err" || status=$?
  sed -i 's/\r$//' "$run/$name.out" "$run/$name.err"
  echo "$status" >"$run/$name.status"
}
lin() {
  local name=$1 status=0
  shift
  (cd "$run" && "$linux_cli" "$@") >"$run/$name.out" 2>"$run/$name.err" || status=$?
  echo "$status" >"$run/$name.status"
}
expect_status() {
  local name=$1 want=$2
  local got
  got=$(cat "$run/$name.status")
  [[ $got == "$want" ]] || fail "$name: exit status $got, expected $want: $(cat "$run/$name.err")"
}
# Both runs say the same once the port's name is the same and the clock
# readings of the progress lines are left out.
same_output() {
  local a=$1 b=$2 stream
  local times='s/[0-9]+:[0-9]{2} (elapsed|left)/TIME \1/g'
  for stream in out err; do
    if ! diff <(sed -E -e 's/(\\\\\.\\)?COM5/PORT/g' -e "$times" "$run/$a.$stream") \
              <(sed -E -e "s#$line#PORT#g" -e "$times" "$run/$b.$stream") \
              >"$run/$a-$b.$stream.diff"; then
      fail "$a and $b differ on std$stream: $(cat "$run/$a-$b.$stream.diff")"
    fi
  done
}

# Configuration: check, read, set, send with verification.
start_sim
win win_check check --port COM5
lin lin_check check --port "$line"
expect_status win_check 0
grep -q 'V\.' "$run/win_check.out" ||
  fail "check printed no firmware version: $(cat "$run/win_check.out" "$run/win_check.err")"
same_output win_check lin_check

win win_doctor doctor --port COM5
expect_status win_doctor 0
grep -q "^DAV-OZI on COM5 at 38400 Bd, firmware V\." "$run/win_doctor.out" ||
  fail "doctor did not find the DAV-OZI: $(cat "$run/win_doctor.out")"

win win_read read --port COM5 -o win.vxg
lin lin_read read --port "$line" -o lin.vxg
expect_status win_read 0
lin read_diff diff lin.vxg win.vxg
expect_status read_diff 0

cp "$run/win.vxg" "$run/changed.vxg"
win win_set set changed.vxg TxDelay=41 Callsign=DL9WIN-3
expect_status win_set 0
lin changed_diff diff win.vxg changed.vxg
expect_status changed_diff 1

win win_send send --port COM5 --yes changed.vxg
expect_status win_send 0
lin lin_readback read --port "$line" -o readback.vxg
expect_status lin_readback 0
lin send_diff diff changed.vxg readback.vxg
expect_status send_diff 0
stop_sim

# Ctrl-C: with the device locked up after its first byte, an interrupt that
# comes while the check waits for an answer ends it as aborted, not as
# unanswered. Wine turns SIGINT into the console's Ctrl-C event.
for build in win lin; do
  rm -f "$run/$build-interrupt.log"
  start_sim --stop-after 1 --log "$run/$build-interrupt.log"
  if [[ $build == win ]]; then
    (cd "$run" && exec "$wine" "$cli_exe" check --port COM5) \
      >"$run/win_interrupt.out" 2>"$run/win_interrupt.err" &
  else
    (cd "$run" && exec "$linux_cli" check --port "$line") \
      >"$run/lin_interrupt.out" 2>"$run/lin_interrupt.err" &
  fi
  pid=$!
  # The program is in its probe once the device has seen a byte.
  for _ in $(seq 300); do
    [[ -s "$run/$build-interrupt.log" ]] && break
    sleep 0.1
  done
  kill -INT "$pid"
  status=0
  wait "$pid" || status=$?
  echo "$status" >"$run/${build}_interrupt.status"
  sed -i 's/\r$//' "$run/${build}_interrupt.out" "$run/${build}_interrupt.err"
  stop_sim
done
expect_status win_interrupt "$(cat "$run/lin_interrupt.status")"
grep -q 'Aborted' "$run/win_interrupt.err" "$run/win_interrupt.out" ||
  fail "Ctrl-C did not abort the check: $(cat "$run/win_interrupt.err")"
same_output win_interrupt lin_interrupt

# Firmware update in BIOS mode: the flash holds the image, padded to its
# 256-byte sectors, from either build.
image=$run/firmware.amb
: >"$image"
stamp=$(( (2024 - 1980) << 25 | 5 << 21 | 1 << 16 | 12 << 11 ))
for ((i = 0; i < 1000; i++)); do
  byte=$(( (i * 37 + 11) & 0xFF ))
  if ((i >= 12 && i < 16)); then byte=$(( (stamp >> (8 * (i - 12))) & 0xFF )); fi
  printf "\\$(printf '%03o' "$byte")" >>"$image"
done
padded=$run/padded.bin
cp "$image" "$padded"
truncate -s 1024 "$padded"

for build in win lin; do
  start_sim --bios --flash-out "$run/$build-flash.bin"
  if [[ $build == win ]]; then
    win win_update update --port COM5 --yes --no-wait firmware.amb
  else
    lin lin_update update --port "$line" --yes --no-wait firmware.amb
  fi
  stop_sim
  expect_status ${build}_update 0
  cmp -s "$padded" "$run/$build-flash.bin" || fail "$build update: the flash does not hold the image"
done
grep -q 'Update transfer complete.' "$run/win_update.err" "$run/win_update.out" ||
  fail "update did not say it completed: $(cat "$run/win_update.err")"
same_output win_update lin_update

if ((failures > 0)); then
  echo "$failures check(s) failed; the runs are in $run" >&2
  exit 1
fi
echo "vextune-cli.exe under Wine: check, read, set, send and update as on Linux"
