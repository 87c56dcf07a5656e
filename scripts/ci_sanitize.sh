#!/usr/bin/env bash
# The hostile-input checks of CI, after the plain build and tests:
#   1. the unit tests built with AddressSanitizer + UndefinedBehaviorSanitizer
#      (g++, build-asan/, no window: Qt is not built with the sanitizers);
#   2. every file of the shared corpus read and turned into a unit under
#      valgrind's memcheck, which also sees reads of uninitialised memory;
#      any error or leak fails;
#   3. each fuzz target for a bounded time on its corpus (scripts/fuzz.sh).
# Usage: scripts/ci_sanitize.sh [asan] [valgrind] [fuzz]   (default: all three)
set -euo pipefail
cd "$(dirname "$0")/.."

STEPS=("$@")
((${#STEPS[@]})) || STEPS=(asan valgrind fuzz)
CORPUS="${TABULON_CORPUS_DIR:-$(pwd)/../shared/corpus}"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

for step in "${STEPS[@]}"; do
  case $step in
    asan)
      echo "== unit tests under AddressSanitizer + UndefinedBehaviorSanitizer" >&2
      # Warnings are errors in the plain build; g++ 12's stringop checks give
      # false alarms on sanitizer-instrumented code (a vector resize in
      # XLSReaderTest), so here they stay warnings.
      TABULON_BUILD_DIR=build-asan bash scripts/build.sh -DTABULON_WERROR=OFF \
        -DTABULON_SANITIZE="address;undefined" -DTABULON_GUI=OFF -DTABULON_BENCH=OFF
      ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
      ;;
    valgrind)
      echo "== corpus walk under valgrind memcheck" >&2
      [ -x build/tests/fuzz/fuzz_unit ] || bash scripts/build.sh
      if [ ! -d "$CORPUS" ]; then
        echo "no corpus at $CORPUS; skipped" >&2
        continue
      fi
      # The replay program reads each file from an exactly sized block and
      # writes its unit; the committed fuzz corpora and past findings ride along.
      valgrind --quiet --error-exitcode=99 --leak-check=full --show-leak-kinds=definite,indirect \
        --errors-for-leak-kinds=definite,indirect --track-origins=yes \
        build/tests/fuzz/fuzz_unit "$CORPUS" tests/fuzz/corpus/fuzz_unit tests/fuzz/corpus/fuzz_reader \
        tests/fuzz/corpus/fuzz_biff_stream
      ;;
    fuzz)
      echo "== fuzz targets, ${TABULON_FUZZ_SECONDS:-60} s each" >&2
      bash scripts/fuzz.sh -t "${TABULON_FUZZ_SECONDS:-60}"
      ;;
    *)
      echo "unknown step $step" >&2
      exit 2
      ;;
  esac
done
