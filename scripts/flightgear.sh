#!/usr/bin/env bash
# Starts FlightGear with what fms-fgbridge needs: the bridge's protocol files
# (tools/fms-fgbridge/flightgear/Protocol, found through --data), its four UDP channels on
# localhost, the Cessna 172P airborne near Seattle (KSEA) in calm air at noon.
#   --headless     no window: under Xvfb, with the 3D scene switched off (software rendering of
#                  the scene falls below real time), frames capped at 60
#   --port N       the bridge's first port (5500; as fms-fgbridge --port)
#   --lat/--lon/--altitude/--heading/--speed   the start (47.40 N, 122.30 W, 3000 ft, 360, 100 kt)
# Other arguments go to fgfs as they are. FlightGear needs a D-Bus session or
# DBUS_FATAL_WARNINGS=0 to start where there is none (a container, a CI machine, ssh): the
# script sets it. Its log is in $FG_HOME/fgfs.log (FG_HOME defaults to ~/.fgfs).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
headless=no
port=5500
lat=47.40 lon=-122.30 altitude=3000 heading=360 speed=100
extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    --headless) headless=yes; shift ;;
    --port) port=$2; shift 2 ;;
    --lat) lat=$2; shift 2 ;;
    --lon) lon=$2; shift 2 ;;
    --altitude) altitude=$2; shift 2 ;;
    --heading) heading=$2; shift 2 ;;
    --speed) speed=$2; shift 2 ;;
    *) extra+=("$1"); shift ;;
  esac
done
fgfs=$(command -v fgfs || echo /usr/games/fgfs)
if [ ! -x "$fgfs" ]; then
  echo "flightgear.sh: FlightGear is not installed (apt-get install flightgear)" >&2
  exit 1
fi
export DBUS_FATAL_WARNINGS=0
args=(
  --aircraft=c172p --lat="$lat" --lon="$lon" --altitude="$altitude" --heading="$heading"
  --vc="$speed" --in-air
  --timeofday=noon --wind=0@0 --disable-real-weather-fetch --disable-terrasync
  --disable-ai-traffic --disable-splash-screen --max-fps=60
  --data="$root/tools/fms-fgbridge/flightgear"
  --generic=socket,out,60,127.0.0.1,"$port",udp,fmsbridge
  --generic=socket,in,60,127.0.0.1,$((port + 1)),udp,fmsbridge
  --generic=socket,in,60,127.0.0.1,$((port + 2)),udp,fmsbridge-aileron
  --generic=socket,in,60,127.0.0.1,$((port + 3)),udp,fmsbridge-hold
)
if [ "$headless" = yes ]; then
  args+=(
    --disable-sound --geometry=320x240 --disable-hud --disable-panel
    --prop:/sim/rendering/draw-otw=false
    --prop:/sim/rendering/draw-mask/terrain=false --prop:/sim/rendering/draw-mask/models=false
    --prop:/sim/rendering/draw-mask/aircraft=false --prop:/sim/rendering/draw-mask/clouds=false
  )
  exec xvfb-run -a -s "-screen 0 640x480x24" "$fgfs" "${args[@]}" "${extra[@]}"
fi
exec "$fgfs" "${args[@]}" "${extra[@]}"
