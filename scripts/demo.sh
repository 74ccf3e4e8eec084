#!/usr/bin/env bash
# Builds the daemon and shows it at work on the host platform under a fresh
# platform root: the scene simulator plays a scenario (people walking through,
# one person loitering in the area with a break in their track, a swaying bush
# beside it), the daemon starts, a configuration with one loitering area is set
# through the JSON API, and every alarm start and end is printed as it happens.
# The camera's overlay services (overlaysim) run on a private message bus that
# stands for the system bus; the alarm overlay is enabled for the profile, and
# what the video stream would show is written as a PNG picture.
# Ctrl-C stops both cleanly; with --until-done the demo ends by itself after
# the scenario has been played once.
set -euo pipefail
cd "$(dirname "$0")/.."

until_done=false
[[ "${1:-}" == "--until-done" ]] && until_done=true

scripts/bootstrap.sh
cmake --preset debug >/dev/null
cmake --build --preset debug --target dwellwatch scenesim video_scene_subscriber overlaysim -- -j2

scenario=tools/scenesim/examples/loiter_demo.jsonl
scenario_seconds=40
root=$(mktemp -d /tmp/camlet-demo-XXXXXX)
export CAMLET_ROOT=$root
export CAMLET_HTTP_PORT=${CAMLET_HTTP_PORT:-8080}
url="http://127.0.0.1:$CAMLET_HTTP_PORT/local/dwellwatch/control.cgi"
log=$root/dwellwatch.log
simlog=$root/scenesim.log
events=$root/var/log/camlet/events.jsonl
picture=$root/var/lib/overlaysim/stream1.png
mkdir -p "$root/etc/camlet" "$root/usr/local/packages/dwellwatch/localdata"
cat > "$root/etc/camlet/parameters.conf" <<'PARAMS'
# A single-channel fixed camera.
root.Properties.EmbeddedDevelopment.Version=2.16
root.Brand.ProdNbr=CL-1010
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

sim_pid=""
pid=""
tail_pid=""
bus_pid=""
overlay_pid=""
stop_child() {
  [[ -n "$1" ]] || return 0
  kill -TERM "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
cleanup() {
  trap - EXIT INT TERM
  [[ -n "$tail_pid" ]] && kill "$tail_pid" 2>/dev/null || true
  if [[ -n "$pid" ]] && kill -TERM "$pid" 2>/dev/null; then
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && echo "dwellwatch did not stop" || echo "dwellwatch stopped"
  fi
  stop_child "$sim_pid"
  stop_child "$overlay_pid"
  stop_child "$bus_pid"
  rm -rf "$root"
}
trap cleanup EXIT
trap 'echo; echo "Stopping"; exit 0' INT TERM

echo "Platform root: $root"

# A private message bus taken for the system bus, with the overlay services on
# it and one H.264 stream of 1920 x 1080; nothing of this machine's own buses
# is used.
mkdir -p "$root/run/dbus"
cat > "$root/run/dbus/bus.conf" <<BUS
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <listen>unix:path=$root/run/dbus/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/><allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
  </policy>
</busconfig>
BUS
dbus-daemon --nofork --nopidfile --config-file="$root/run/dbus/bus.conf" 2>"$root/dbus.log" &
bus_pid=$!
for _ in $(seq 50); do [[ -S "$root/run/dbus/system_bus_socket" ]] && break; sleep 0.1; done
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$root/run/dbus/system_bus_socket"
echo '{"at": 0, "event": "addStream", "id": 1, "type": "h264", "resolution": "1920x1080"}' \
  > "$root/run/dbus/streams.jsonl"
build/debug/platform/overlay_service/overlaysim "$root/run/dbus/streams.jsonl" \
  >"$root/overlaysim.log" 2>&1 &
overlay_pid=$!
for _ in $(seq 50); do grep -q serving "$root/overlaysim.log" 2>/dev/null && break; sleep 0.1; done

loop=--loop
$until_done && loop=""
# Frames carry the time of their sending, so the overlay places each box where
# the object is when the frame is shown.
build/debug/tools/scenesim/scenesim "$scenario" $loop --stamp monotonic >"$simlog" 2>&1 &
sim_pid=$!
start_s=$(date +%s.%N)
build/debug/app/main/dwellwatch 2>"$log"
for _ in $(seq 100); do
  curl -s -o /dev/null "$url" 2>/dev/null && break
  sleep 0.1
done
pid=$(daemon_pid) || { echo "dwellwatch is not running"; cat "$log"; exit 1; }
echo "dwellwatch runs as pid $pid and serves $url"

# One loitering area in the middle of the view: alarm when one person stays
# longer than 8 s.
config='{"apiVersion":"1.4","method":"setConfiguration","params":{
 "cameras":[{"id":1,"active":true,"rotation":0,"overlayResolution":"1920x1080"}],
 "profiles":[{"name":"Entrance","uid":1,"camera":1,"alarmOverlayEnabled":true,
  "filters":[{"type":"sizePercentage","data":[5,5],"active":false},
             {"type":"distanceSwayingObject","data":5,"active":true}],
  "triggers":[{"type":"loiteringArea","data":[[-0.5,-0.5],[-0.5,0.5],[0.5,0.5],[0.5,-0.5]],
   "conditions":[{"type":"individual","data":8,"active":true}]}]}]}}'
echo "Setting the configuration: $(curl -s -X POST --data-binary "$config" "$url")"
cat <<HELP

Get the configuration:
  curl -s -X POST --data '{"apiVersion":"1.4","method":"getConfiguration"}' $url
Change it (the whole document, as above, with method "setConfiguration"):
  curl -s -X POST --data-binary @config.json $url
What may be configured:
  curl -s -X POST --data '{"apiVersion":"1.4","method":"getConfigurationCapabilities"}' $url
An SVG picture of every frame of the profile for 15 minutes (key "svgframe" in
$events), and its end:
  curl -s -X POST --data '{"apiVersion":"1.4","method":"startVisualConfirmation","params":{"profile":1,"transform":[1,0,0,0,1,0,0,0,1]}}' $url
  curl -s -X POST --data '{"apiVersion":"1.4","method":"stopVisualConfirmation"}' $url

The alarm overlay: what the video stream would show (red boxes around the
people in alarm over grey), rewritten twice a second:
  $picture

Alarms as they happen (scene time from the start of the scenario):
HELP

mkdir -p "$(dirname "$events")"
touch "$events"
tail -n +1 -F "$events" 2>/dev/null | python3 -u -c '
import json, re, sys, time
start = float(sys.argv[1])
offset = None  # event clock minus scene time, fixed at the first alarm
profiles = {}  # declaration id -> (camera, profile name)
for line in sys.stdin:
    try:
        e = json.loads(line)
    except ValueError:
        continue
    if e.get("op") == "declare":
        for key in e.get("keys", []):
            m = re.fullmatch(r"Camera(\d+)Profile(\d+)", str(key.get("value")))
            if key.get("key") == "topic2" and m:
                nice = (key.get("niceNames") or ["", ""])[1]
                profiles[e["id"]] = (m.group(1), nice.split(": ", 1)[-1] or "Profile " + m.group(2))
    elif e.get("op") == "send" and e.get("id") in profiles:
        camera, name = profiles[e["id"]]
        active = (e.get("values") or {}).get("active")
        if offset is None:
            offset = e["time_us"] / 1e6 - (time.time() - start)
        when = e["time_us"] / 1e6 - offset
        what = "ALARM START" if active else "alarm end  "
        print("  %s  profile \"%s\" on camera %s at scene time %5.1f s" % (what, name, camera, when))
' "$start_s" &
tail_pid=$!

if $until_done; then
  sleep $((scenario_seconds + 5))
  echo "The scenario has been played."
  # The platform root goes with the demo: keep the last overlay picture.
  kept=${TMPDIR:-/tmp}/camlet-demo-overlay.png
  if cp "$picture" "$kept" 2>/dev/null; then echo "Last overlay picture kept as $kept"; fi
else
  echo "(Ctrl-C to stop)"
  wait "$tail_pid"
fi
