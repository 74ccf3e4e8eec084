#!/usr/bin/env bash
# Builds the daemon and runs it on the host platform under a fresh platform
# root: starts the scene simulator with the example scenario, then the daemon
# (it detaches, once it reaches the scene service), shows its log, stops both
# with SIGTERM and shows what the daemon left in the event log.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
cmake --preset debug >/dev/null
cmake --build --preset debug --target dwellwatch scenesim video_scene_subscriber -- -j2

root=$(mktemp -d /tmp/camlet-demo-XXXXXX)
export CAMLET_ROOT=$root
# The daemon loads the scene subscriber library (its stand-in) by name.
export LD_LIBRARY_PATH=$PWD/build/debug/platform/video_scene_subscriber
log=$root/dwellwatch.log
simlog=$root/scenesim.log
mkdir -p "$root/etc/camlet"
cat > "$root/etc/camlet/parameters.conf" <<'PARAMS'
# A single-channel fixed camera.
root.Properties.EmbeddedDevelopment.Version=2.16
root.Brand.ProdNbr=Q1700
root.Brand.ProdType=Network Camera
root.Properties.PTZ.PTZ=no
root.ImageSource.I0.Name=Camera 1
ImageSource.I0.Sensor.AspectRatio=16:9
root.Properties.Image.Resolution=1920x1080,1280x720,640x360
PARAMS

# The pid of the detached daemon: the process whose environment names this root.
daemon_pid() {
  local environ
  for environ in /proc/[0-9]*/environ; do
    if { tr "\0" "\n" < "$environ"; } 2>/dev/null | grep -qx "CAMLET_ROOT=$root" &&
       [[ "$(cat "${environ%/environ}/comm" 2>/dev/null)" == dwellwatch ]]; then
      basename "${environ%/environ}"
      return 0
    fi
  done
  return 1
}

echo "Platform root: $root"
build/debug/tools/scenesim/scenesim tools/scenesim/examples/walk_and_loiter.jsonl --loop \
  >"$simlog" 2>&1 &
sim_pid=$!
trap 'kill -TERM "$sim_pid" 2>/dev/null || true' EXIT
echo "scenesim plays tools/scenesim/examples/walk_and_loiter.jsonl as pid $sim_pid"
build/debug/app/main/dwellwatch 2>"$log"
echo "dwellwatch detached (launcher exit status $?)"
for _ in $(seq 50); do
  grep -q "Dwellwatch started" "$log" && break
  sleep 0.1
done
pid=$(daemon_pid) || { echo "dwellwatch is not running"; cat "$log"; exit 1; }
echo "dwellwatch runs as pid $pid; its log:"
sed 's/^/  | /' "$log"

echo "Stopping it with SIGTERM"
kill -TERM "$pid"
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "dwellwatch did not stop"
  exit 1
fi
echo "dwellwatch stopped. Log:"
sed 's/^/  | /' "$log"
echo "Stopping scenesim"
kill -TERM "$sim_pid"
wait "$sim_pid" || true
trap - EXIT
events=$root/var/log/camlet/events.jsonl
echo "Event log ($events):"
if [[ -s "$events" ]]; then sed 's/^/  | /' "$events"; else echo "  (no events declared)"; fi
rm -rf "$root"
