#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ (or $FUZZ_BUILD_DIR) and runs each one
# for $FUZZ_SECONDS seconds (default 600) from its seed corpus in fuzz/corpus/<target>.
# `scripts/fuzz.sh smoke` runs each for a few seconds (the test command does this). New inputs
# the fuzzer finds go to the build folder, crashes to build-fuzz/artifacts/; the run fails on
# the first crash. Extra arguments name the targets to run (default: all).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-600}
if [ "${1:-}" = smoke ]; then
  seconds=${FUZZ_SECONDS:-3}
  shift
fi
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(dialect connect paths score console json)

scripts/deps.sh fuzz
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}
cxx=$(command -v clang++-14 || command -v clang++)
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$cxx" \
  -DVANTREL_FUZZ=ON -DBUILD_TESTING=OFF -DVANTREL_QT=OFF -DVANTREL_BENCHMARKS=OFF >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target fuzz_targets

mkdir -p "$build_dir/artifacts"
for t in "${targets[@]}"; do
  work="$build_dir/corpus/$t"
  mkdir -p "$work"
  log="$build_dir/${t}.log"
  echo "== ${t}_fuzz for ${seconds}s"
  if ! "$build_dir/fuzz/${t}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=4096 -print_final_stats=1 -artifact_prefix="$build_dir/artifacts/${t}-" \
      "$work" "fuzz/corpus/$t" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "${t}_fuzz failed; the input is in $build_dir/artifacts/"
    exit 1
  fi
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log"
done
