#!/usr/bin/env bash
# Builds the program in release mode (run directory build/release/run), starts the stand-in
# simulator fms-sim in its sample scenario (airborne near Seattle) in the background and opens
# the CDU window from the run directory. Arguments go to fms-sim (for example
# --scenario ksea-ground; --help lists all); arguments after "--" go to the CDU program.
# Options of this script come first:
#   --world    the CDU runs on the world database instead of the sample: world/navdata.tar.xz
#              is unpacked once into build/release/run/world/data, and the CDU runs from
#              build/release/run/world (its own FMS.ini and stored routes).
#   --units 2  two CDUs side by side as unit 1 and unit 2 of a dual installation, each in a
#              working directory of its own (unit1/ and unit2/ of the CDU's folder).
# Without a display the CDU runs under xvfb-run: the script switches the unit on with a click
# on ON/OFF/DIM and saves a screenshot to build/release/run/fms-screenshot.png (one per unit,
# in its folder).
set -euo pipefail
cd "$(dirname "$0")/.."

world=no
units=1
while [ $# -gt 0 ]; do
  case "$1" in
    --world) world=yes; shift ;;
    --units)
      units=${2:-}
      if [ "$units" != 1 ] && [ "$units" != 2 ]; then
        echo "run.sh: --units takes 1 or 2" >&2
        exit 2
      fi
      shift 2 ;;
    *) break ;;
  esac
done

./scripts/deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DFMS_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)"
echo "Built into build/release/run"

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

# The working directory of each CDU: the data root itself for one unit; for two, a folder per
# unit sharing the data root's bezel picture and database, with an FMS.ini that names the
# unit and places the windows side by side (made once, then the unit's own).
unit_dirs=("$cdu")
if [ "$units" = 2 ]; then
  unit_dirs=("$cdu/unit1" "$cdu/unit2")
  for n in 1 2; do
    mkdir -p "$cdu/unit$n"
    ln -sfn ../textures "$cdu/unit$n/textures"
    ln -sfn ../data "$cdu/unit$n/data"
    if [ ! -f "$cdu/unit$n/FMS.ini" ]; then
      if [ "$n" = 1 ]; then
        printf 'FMS1:yes\nx_window_position:0\n' >"$cdu/unit$n/FMS.ini"
      else
        printf 'FMS1:no\nx_window_position:520\n' >"$cdu/unit$n/FMS.ini"
      fi
    fi
  done
fi

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
  pids=()
  for dir in "${unit_dirs[@]}"; do
    (cd "$dir" && exec "$fms_program" "$@") &
    pids+=($!)
  done
  # The simulator stops once every CDU has ended.
  for pid in "${pids[@]}"; do wait "$pid" || true; done
  exit 0
fi

echo "No display: running the CDU under xvfb-run and saving a screenshot"
for dir in "${unit_dirs[@]}"; do rm -f "$dir/fms-screenshot.png"; done
xvfb-run -a -s "-screen 0 1100x768x24 -nolisten tcp" bash -c '
  fms_program=$1
  count=$2
  shift 2
  dirs=("${@:1:$count}")
  shift "$count"
  pids=()
  for dir in "${dirs[@]}"; do
    (cd "$dir" && exec "$fms_program" --no-dialogs --screenshot "$dir/fms-screenshot.png" --screenshot-ms 5000 \
      --quit-after-screenshot "$@") &
    pids+=($!)
  done
  # Switch each unit on: ON/OFF/DIM lies at 71.55 % x 83.7 % of the viewport, which is as
  # high as the window and 0.9 times that wide.
  for pid in "${pids[@]}"; do
    if win=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1); then
      eval "$(xdotool getwindowgeometry --shell "$win")"
      x=$(awk -v h="$HEIGHT" "BEGIN { printf \"%d\", int(0.9 * h) * 0.7155 }")
      y=$(awk -v h="$HEIGHT" "BEGIN { printf \"%d\", h * 0.837 }")
      xdotool mousemove --window "$win" "$x" "$y" click 1
    fi
  done
  for pid in "${pids[@]}"; do wait "$pid" || true; done
' run "$fms_program" "${#unit_dirs[@]}" "${unit_dirs[@]}" "$@"
for dir in "${unit_dirs[@]}"; do
  [ -f "$dir/fms-screenshot.png" ] && echo "Screenshot: $dir/fms-screenshot.png"
done
exit 0
