#!/usr/bin/env bash
# Flies the program in FlightGear: builds in release mode (build/release/run), starts
# FlightGear with the bridge's protocol files (scripts/flightgear.sh: the Cessna 172P airborne
# near Seattle), starts fms-fgbridge, and opens the CDU once the bridge serves. The bridge's
# console stays on this terminal: "engage" puts the autopilot master on and the NAV/GPS switch
# on GPS (the program then steers the plan), "ap off" hands the aircraft back, "hold on" keeps
# altitude and airspeed with elevator and throttle, "help" lists the rest; "quit" or Ctrl-C
# ends all three.
#   --headless     FlightGear without its 3D scene, under Xvfb (a machine without a display or
#                  GPU: software rendering of the scene runs below real time)
#   --hold         the bridge holds altitude and airspeed from the start
# Other arguments go to scripts/flightgear.sh (for example --lat 47.5 --heading 90).
# Needs: apt-get install flightgear (and scripts/deps.sh for the build). FlightGear needs a
# D-Bus session or DBUS_FATAL_WARNINGS=0 to start (flightgear.sh sets it).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bridge_args=()
fg_args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --hold) bridge_args+=(--hold); shift ;;
    *) fg_args+=("$1"); shift ;;
  esac
done

./scripts/deps.sh
command -v fgfs >/dev/null || [ -x /usr/games/fgfs ] || {
  echo "run-flightgear.sh: FlightGear is not installed: apt-get install flightgear" >&2
  exit 1
}
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DFMS_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target fms fms-fgbridge
cd build/release/run
[ -f FMS.ini ] || printf 'FMS1:yes\n' >FMS.ini
export FMS_SIM_DIR=${FMS_SIM_DIR:-$(mktemp -d /tmp/fms-run-XXXXXX)}

setsid "$root/scripts/flightgear.sh" "${fg_args[@]}" >flightgear.log 2>&1 &
flightgear=$!
cdu=
cleanup() {
  [ -n "$cdu" ] && kill "$cdu" 2>/dev/null || true
  kill -- -"$flightgear" 2>/dev/null || true
}
trap cleanup EXIT
echo "FlightGear is starting (log: build/release/run/flightgear.log); the CDU opens when the bridge serves."

# The CDU, once FlightGear's packets flow and the bridge serves.
(
  for _ in $(seq 600); do
    [ -S "$FMS_SIM_DIR/UIPCMAIN" ] && exec ./fms
    sleep 1
  done
  echo "run-flightgear.sh: the bridge did not serve within 10 minutes" >&2
) &
cdu=$!
./fms-fgbridge "${bridge_args[@]}"
