#!/usr/bin/env bash
# Times the whole process of `vantrel check FRONTEND` against the floor program (bench/floor:
# the same files read with nothing but SQLite) on the healthy front end of the benchmarks
# (200 links over 5 back ends, 3 link sets). Runs alternate, so load from other work on the
# machine falls on both alike; prints the median wall time of each, their ratio, and the
# check's peak memory.
#
#   scripts/time_check.sh [RUNS] [VANTREL]     (RUNS defaults to 21; VANTREL to the build's)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
runs=${1:-21}
vantrel=${2:-$build/cli/vantrel}
floor=$build/bench/floor/check_floor
fixture_maker=$build/bench/engine/check_bench
for program in "$vantrel" "$floor" "$fixture_maker"; do
  [ -x "$program" ] || { echo "missing $program: build first (scripts/build.sh)" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-time-XXXXXX")
trap 'rm -rf "$work"' EXIT
front_end=$("$fixture_maker" --make-fixture "$work")
"$vantrel" check "$front_end" --ui=console </dev/null  # the first check records the verdicts

python3 - "$runs" "$vantrel" "$floor" "$front_end" <<'PY'
import statistics, subprocess, sys, time

runs, vantrel, floor, front_end = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
commands = {
    "vantrel check": [vantrel, "check", front_end, "--ui=console"],
    "floor": [floor, front_end],
}
times = {name: [] for name in commands}
for _ in range(runs):
    for name, command in commands.items():
        start = time.perf_counter()
        status = subprocess.run(command, stdin=subprocess.DEVNULL).returncode
        times[name].append(time.perf_counter() - start)
        if status != 0:
            sys.exit(f"{name} failed (status {status})")

# Peak memory through GNU time: its own small child is what execs the program, so the figure is
# the program's and not this interpreter's (a forked child starts with its parent's pages).
def peak_mb(command):
    done = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, stdin=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, text=True)
    return int(done.stderr.strip().splitlines()[-1]) / 1024

median = {name: statistics.median(values) * 1000 for name, values in times.items()}
for name, command in commands.items():
    print(f"{name:14} median {median[name]:7.2f} ms   peak RSS {peak_mb(command):5.1f} MB")
print(f"ratio          {median['vantrel check'] / median['floor']:.2f} "
      f"(median of {runs} alternating runs each)")
PY
