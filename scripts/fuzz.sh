#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehavior-
# Sanitizer) into build-fuzz/ and runs each on a working copy of its
# committed corpus. Any crash, leak, timeout or memory blow-up fails the run;
# the input that caused it is left in build-fuzz/fuzz-findings/<target>/.
#
#   scripts/fuzz.sh                  every target for 60 s
#   scripts/fuzz.sh -t 30            every target for 30 s
#   scripts/fuzz.sh -r 10000000 fuzz_unit
#                                    one target for ten million executions
# Extra libFuzzer flags go after "--".
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_EACH=60
RUNS=""
while getopts "t:r:" opt; do
  case $opt in
    t) SECONDS_EACH=$OPTARG ;;
    r) RUNS=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
TARGETS=()
while (($#)) && [ "$1" != "--" ]; do TARGETS+=("$1"); shift; done
[ "${1:-}" = "--" ] && shift
EXTRA=("$@")

BUILD=build-fuzz
if ((${#TARGETS[@]} == 0)); then
  for f in tests/fuzz/fuzz_*.cpp; do TARGETS+=("$(basename "$f" .cpp)"); done
fi

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTABULON_FUZZ=ON -DTABULON_SANITIZE="address;undefined" -DTABULON_GUI=OFF -DTABULON_BENCH=OFF >/dev/null
nice -n 10 cmake --build "$BUILD" -j2 --target "${TARGETS[@]}"

# Whole files: up to 32 KB, a second each, a few MB per allocation. The
# small targets get tighter bounds still.
status=0
for t in "${TARGETS[@]}"; do
  work="$BUILD/fuzz-work/$t"
  findings="$BUILD/fuzz-findings/$t"
  mkdir -p "$work" "$findings"
  if [ -d "tests/fuzz/corpus/$t" ]; then cp -n "tests/fuzz/corpus/$t"/* "$work"/ 2>/dev/null || true; fi
  flags=(-rss_limit_mb=512 -malloc_limit_mb=16 -timeout=2 -print_final_stats=1 -artifact_prefix="$findings/")
  case $t in
    fuzz_reader | fuzz_biff_stream | fuzz_unit)
      flags+=(-max_len=32768 -dict=tests/fuzz/biff_records.dict) ;;
    fuzz_compound_file) flags+=(-max_len=32768) ;;
    *) flags+=(-max_len=4096 -malloc_limit_mb=4) ;;
  esac
  if [ -n "$RUNS" ]; then flags+=(-runs="$RUNS"); else flags+=(-max_total_time="$SECONDS_EACH"); fi
  echo "== $t" >&2
  if ! nice -n 10 "$BUILD/tests/fuzz/$t" "${flags[@]}" "${EXTRA[@]}" "$work" 2>"$BUILD/fuzz-work/$t.log"; then
    echo "fuzz: $t failed; see $BUILD/fuzz-work/$t.log and $findings/" >&2
    tail -40 "$BUILD/fuzz-work/$t.log" >&2
    status=1
  fi
  grep -E "^stat::number_of_executed_units|DONE" "$BUILD/fuzz-work/$t.log" >&2 || true
done
exit $status
