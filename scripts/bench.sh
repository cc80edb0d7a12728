#!/usr/bin/env bash
# Runs every benchmark of the release build and prints one table of figures against their
# targets, as Markdown. `make bench` builds first and then runs this.
#
# The window figures need an X server: this starts Xvfb on QUORVANE_BENCH_DISPLAY (:94 unless
# set) when nothing listens there yet, and stops it again at the end. The table is also written
# to build/release/bench-results.md.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/release
step_bench=$build/bench/quorvane_step_bench
window_bench=$build/bench/quorvane_window_bench
render_bench=$build/bench/quorvane_render_bench
lyapunov_bench=$build/bench/quorvane_lyapunov_bench
diverge_bench=$build/bench/quorvane_diverge_bench
film_bench=$build/bench/quorvane_film_bench
lane_bench=$build/bench/quorvane_lane_bench
lane_estimate_bench=$build/bench/quorvane_lane_estimate_bench
map_bench=$build/bench/quorvane_map_bench
start_bench=$build/bench/quorvane_start_bench
display=${QUORVANE_BENCH_DISPLAY:-:94}
rows=$(mktemp)
xvfb_pid=""

cleanup() {
  rm -f "$rows"
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

for program in "$step_bench" "$window_bench" "$render_bench" "$diverge_bench" "$lyapunov_bench" "$film_bench" "$lane_bench" "$lane_estimate_bench" "$map_bench" "$start_bench" "$build/quorvane"; do
  [ -x "$program" ] || { echo "missing $program: run 'make bench'" >&2; exit 1; }
done

if [ ! -S "/tmp/.X11-unix/X${display#:}" ]; then
  Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    [ -S "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
  done
fi

# Each program prints its figures as "ROW<TAB>figure<TAB>measured<TAB>target<TAB>result"
# among its other output, which goes to the terminal.
collect() {
  echo "== $*" >&2
  local out
  out=$(mktemp)
  if ! "$@" >"$out" 2> >(grep -v -e XDG_RUNTIME_DIR -e propagateSizeHints >&2); then
    cat "$out" >&2
    rm -f "$out"
    echo "failed: $*" >&2
    exit 1
  fi
  grep -v 'ROW	' "$out" >&2 || true
  sed -n 's/^.*\(ROW	\)/\1/p' "$out" >>"$rows"
  rm -f "$out"
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
collect "$step_bench" --benchmark_min_time=0.2 --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true
export DISPLAY=$display
collect "$window_bench" step
QT_QPA_PLATFORM=offscreen collect "$window_bench" step
collect "$window_bench" pace
collect "$window_bench" pump
collect "$window_bench" startup
# The program itself as a user starts it: its libraries, --version, the window.
collect "$start_bench" "$build/quorvane"
collect "$window_bench" memory
collect "$window_bench" reaction
collect "$window_bench" save
collect "$render_bench" steps
# The render command as a user runs it, with no display.
(unset DISPLAY && collect "$render_bench" memory "$build/quorvane") || exit 1
# quorvane diverge against render, the same runs.
collect "$diverge_bench"
collect "$lyapunov_bench" steps
collect "$lyapunov_bench" threads
# Every exponent of each attractor: one step, one Jacobian product and a QR every 10 steps.
collect "$lyapunov_bench" spectrum
# The film writer: a 20-second film against its playing time, and its frames against the pictures.
collect "$film_bench" speed
collect "$film_bench" crisp
# quorvane film as a user runs it, caption and all, with no display.
(unset DISPLAY && collect "$film_bench" command "$build/quorvane") || exit 1
# Four runs at once in vector lanes, against four headless runs.
collect "$lane_bench" --benchmark_min_time=0.2 --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true
# Benettin's estimate in lanes against one at a time, on the second CPU where there is one
# (see BENCHMARKS.md).
if [ "$(nproc)" -ge 2 ]; then
  collect taskset -c 1 "$lane_estimate_bench"
else
  collect "$lane_estimate_bench"
fi
collect "$map_bench" steps
collect "$map_bench" threads

{
  echo "Processor: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores"
  echo "Date: $(date -u '+%Y-%m-%d %H:%M UTC'); load average before and after: $load_before / $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "Command: make bench (display $display)"
  echo
  echo "| Figure | Measured | Target | Result |"
  echo "|---|---|---|---|"
  awk -F'\t' '{ printf "| %s | %s | %s | %s |\n", $2, $3, $4, $5 }' "$rows"
} >"$build/bench-results.md"
echo
cat "$build/bench-results.md"
