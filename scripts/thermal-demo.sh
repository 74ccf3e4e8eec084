#!/usr/bin/env bash
# Runs a thermal camera module of the plug-in for a minute of simulated time
# against the simulated thermal module, on a private bus with the thermography
# service stand-in, and leaves its pictures:
#   1. configures (if needed) and builds the debug preset's runner and plug-in
#   2. runs module $MODULE (default Pico384pMod2T) at 30 frames a second, paced,
#      while the ambient rises from 20 to 30 °C and a hot spot crosses the
#      middle third of the minute
#   3. prints the gdbus commands that read com.zelk.ThermalSensor and change the
#      gain mode while it runs, and where the pictures are
# FRAMES=N shortens or lengthens the run.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="$repo/build/debug"
out_dir="$repo/build/thermal-demo"
module=${MODULE:-Pico384pMod2T}
frames=${FRAMES:-1800}
cd "$repo"

step() { echo "== thermal-demo: $*"; }

step "build"
if [[ ! -f "$build_dir/build.ninja" ]]; then
  cmake --preset debug >/dev/null
fi
cmake --build "$build_dir" -j2 --target pictor_run pictor_thermal_sensors

rm -rf "$out_dir"
mkdir -p "$out_dir/frames"
log="$out_dir/run.txt"

step "run $module for $frames frames"
"$build_dir/tools/pictor_run/pictor_run" "$module" --private-bus --thermography 0 --dbus \
  --paced --fps 30 --frames "$frames" --ambient 20 --ambient-end 30 --scene hotspot-pass \
  --print second --csv "$out_dir/values.csv" --png-dir "$out_dir/frames" --png-every 150 \
  --chart "$out_dir/chart.svg" >"$log" 2>"$out_dir/pictor.log" &
runner=$!
trap 'kill "$runner" 2>/dev/null || true' EXIT

for _ in $(seq 100); do
  grep -q '^dbus:' "$log" 2>/dev/null && break
  kill -0 "$runner" 2>/dev/null || break
  sleep 0.1
done
address=$(sed -n 's/^bus: //p' "$log")
sensor=$(sed -n 's/^dbus: .* of //p' "$log")
if [[ -z "$address" || -z "$sensor" ]]; then
  cat "$log" "$out_dir/pictor.log" >&2
  echo "thermal-demo: the runner did not come up" >&2
  exit 1
fi

cat <<COMMANDS
While it runs, in another shell:
  # the sensor's state
  gdbus call --address '$address' --dest $sensor \\
    --object-path /com/zelk/ThermalSensor/thermal \\
    --method org.freedesktop.DBus.Properties.GetAll com.zelk.ThermalSensor
  # low gain (1), high gain (2), automatic switching (0)
  gdbus call --address '$address' --dest com.zelk.Thermographyd1 \\
    --object-path /com/zelk/Thermographyd1 --method com.zelk.Thermographyd1.SetGainMode 1
COMMANDS
echo
tail -n +1 -f "$log" --pid="$runner" | grep -v '^bus:\|^dbus:' &
wait "$runner"
trap - EXIT
sleep 0.2

step "done"
echo "values per frame: $out_dir/values.csv"
echo "chart over time:  $out_dir/chart.svg"
echo "pictures after gain and offset, every 5 s: $out_dir/frames/"
echo "framework log:    $out_dir/pictor.log"
