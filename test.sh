#!/usr/bin/env bash
# Sets up, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
bash scripts/build.sh -DTABULON_WERROR=ON
ctest --test-dir build --output-on-failure -j"$(nproc)"
# Sanitizers, valgrind and bounded fuzzing (about 30 minutes on 2 cores);
# TABULON_QUICK=1 skips them while working.
if [ -z "${TABULON_QUICK:-}" ]; then
  bash scripts/ci_sanitize.sh
fi
