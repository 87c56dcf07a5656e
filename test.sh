#!/usr/bin/env bash
# Sets up, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
bash scripts/build.sh -DTABULON_WERROR=ON
ctest --test-dir build --output-on-failure -j"$(nproc)"
