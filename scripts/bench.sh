#!/usr/bin/env bash
# Installs what is missing, builds Brimwell and runs every benchmark. Each figure is printed
# beside its floor (the same work done by plain Qt or the system, measured in the same run) and
# their ratio, with the target it is held to. Absolute times wander with the machine's load;
# the ratios hold much better.
#
# Arguments go to the two Google Benchmark programs, for example --benchmark_filter=Sprites.
# BRIMWELL_STARTUP_RUNS sets the number of start-up runs of each process (default 21),
# BRIMWELL_CLI_RUNS those of the command-line program and its floors (default 41).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build >/dev/null

export QT_QPA_PLATFORM=offscreen
# Repetitions in random order across benchmarks spread a change of load over all of them.
repeated=(--benchmark_repetitions=10 --benchmark_enable_random_interleaving=true
  --benchmark_report_aggregates_only=true --benchmark_min_time=0.05)

echo "== Model and document =="
build/bench/brimwell_model_bench "${repeated[@]}" "$@"
echo
echo "== Editor windows, offscreen =="
build/bench/brimwell_editor_bench "${repeated[@]}" "$@"
echo
echo "== Start-up, whole processes, offscreen =="
build/bench/brimwell_startup_bench "${BRIMWELL_STARTUP_RUNS:-21}"
echo
echo "== Command-line program, whole processes =="
build/bench/brimwell_cli_bench "${BRIMWELL_CLI_RUNS:-41}"
echo
echo "== Start-up of the Windows build under wine =="
if [ -f build-windows/src/brimwell.exe ] && [ -f build-windows/brimwell_bare_window.exe ]; then
  bench/wine-startup.sh build-windows "$(scripts/build-qt-windows.sh 2>/dev/null | tail -n 1)"
else
  echo "Not built: scripts/test-windows.sh builds it."
fi
