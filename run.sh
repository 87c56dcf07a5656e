#!/usr/bin/env bash
# Sets up, builds and runs Tabulon.
#   ./run.sh                 opens the window (with a display), else prints the sample's unit
#   ./run.sh --cli [BOOK]    prints the generated unit of BOOK (default: the sample) on stdout
#   ./run.sh BOOK.xls [...]  passes the arguments to the command line
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
bash scripts/build.sh >&2
SAMPLE="$PWD/examples/sample.xls"
if [ "${1:-}" = "--cli" ]; then
  shift
  exec build/src/cli/tabulon "${@:-$SAMPLE}"
elif [ $# -gt 0 ]; then
  exec build/src/cli/tabulon "$@"
elif [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/src/gui/tabulon-gui ]; then
  exec build/src/gui/tabulon-gui
else
  exec build/src/cli/tabulon "$SAMPLE"
fi
