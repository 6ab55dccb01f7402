#!/usr/bin/env bash
# Builds the program in release mode (run directory build/release/run), starts the stand-in
# simulator fms-sim in its sample scenario (airborne near Seattle) in the background and opens
# the CDU window from the run directory. Arguments go to fms-sim (for example
# --scenario ksea-ground; --help lists all); arguments after "--" go to the CDU program.
# With --world (first argument) the CDU runs on the world database instead of the sample:
# world/navdata.tar.xz is unpacked once into build/release/run/world/data, and the CDU runs
# from build/release/run/world (its own FMS.ini and stored routes).
# Without a display the CDU runs under xvfb-run: the script switches the unit on with a click
# on ON/OFF/DIM and saves a screenshot to build/release/run/fms-screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DFMS_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)"
echo "Built into build/release/run"

world=no
if [ "${1:-}" = "--world" ]; then world=yes; shift; fi

sim_args=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do sim_args+=("$1"); shift; done
[ $# -gt 0 ] && shift
cd build/release/run

# The CDU's data root: the run folder, or its world/ folder with the world database.
cdu_dir=.
if [ "$world" = yes ]; then
  tarball=../../../world/navdata.tar.xz
  if [ ! -f world/data/airports.txt ] || [ "$tarball" -nt world/data/airports.txt ]; then
    echo "Unpacking the world database into build/release/run/world/data"
    rm -rf world/data.new && mkdir -p world/data.new
    tar -xJf "$tarball" -C world/data.new
    cp ../../../world/NOTICE world/data.new/NOTICE
    rm -rf world/data && mv world/data.new world/data
    touch world/data/airports.txt
  fi
  # The bezel picture and the sample procedure files serve the world database too.
  ln -sfn ../textures world/textures
  ln -sfn ../../data/Proc world/data/Proc
  cdu_dir=world
fi
cdu=$(cd "$cdu_dir" && pwd)
# One unit alone is unit 1, the one that steers; the program fills in the other settings.
[ -f "$cdu/FMS.ini" ] || printf 'FMS1:yes\n' >"$cdu/FMS.ini"
fms_program=$PWD/fms

# A simulator of our own, whatever else runs on the machine; it ends with the CDU. With a
# display and a terminal, its console stays on the terminal while the CDU window is open.
export FMS_SIM_DIR=${FMS_SIM_DIR:-$(mktemp -d /tmp/fms-run-XXXXXX)}
have_display=no
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then have_display=yes; fi
if [ "$have_display" = yes ] && [ -t 0 ] && [ -t 1 ]; then
  echo "fms-sim console: type help for its commands; close the CDU window to end both."
  ./fms-sim --scenario ksea "${sim_args[@]}" </dev/tty &
  sim=$!
else
  ./fms-sim --scenario ksea --no-console "${sim_args[@]}" >fms-sim.log 2>&1 &
  sim=$!
fi
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -n "$(ls -A "$FMS_SIM_DIR" 2>/dev/null)" ] && break
  kill -0 "$sim" 2>/dev/null || { cat fms-sim.log; exit 1; }
  sleep 0.1
done

if [ "$have_display" = yes ]; then
  (cd "$cdu" && "$fms_program" "$@")
  exit 0
fi

echo "No display: running the CDU under xvfb-run and saving a screenshot"
shot=$cdu/fms-screenshot.png
rm -f "$shot"
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash -c '
  shot=$1; fms_program=$2; cdu=$3; shift 3
  cd "$cdu"
  "$fms_program" --no-dialogs --screenshot "$shot" --screenshot-ms 5000 --quit-after-screenshot "$@" &
  fms=$!
  # Switch the unit on: ON/OFF/DIM lies at 71.55 % x 83.7 % of the viewport, which is as
  # high as the window and 0.9 times that wide.
  if win=$(timeout 30 xdotool search --sync --onlyvisible --name "FMS DEMO" | head -n 1); then
    eval "$(xdotool getwindowgeometry --shell "$win")"
    x=$(awk -v h="$HEIGHT" "BEGIN { printf \"%d\", int(0.9 * h) * 0.7155 }")
    y=$(awk -v h="$HEIGHT" "BEGIN { printf \"%d\", h * 0.837 }")
    xdotool mousemove --window "$win" "$x" "$y" click 1
  fi
  wait "$fms"
 ' run "$shot" "$fms_program" "$cdu" "$@"
[ -f "$shot" ] && echo "Screenshot: $shot"
exit 0
