#!/usr/bin/env bash
# Generates the unit of every fixture workbook (and of every readable corpus
# workbook up to a size), compiles each with Free Pascal against the stand-in
# component, runs it and compares what it rebuilt with the workbook.
#
# run_replay.sh --tabulon BIN --check BIN --work DIR --fixtures DIR [--corpus DIR] [--max-kb N]
set -uo pipefail

HERE="$(cd "$(dirname "$0")" && pwd)"
TABULON="" CHECK="" WORK="" FIXTURES="" CORPUS="" MAXKB=512 JOBS=2 BATCH=20
while (($#)); do
  case "$1" in
    --tabulon) TABULON="$2"; shift 2 ;;
    --check) CHECK="$2"; shift 2 ;;
    --work) WORK="$2"; shift 2 ;;
    --fixtures) FIXTURES="$2"; shift 2 ;;
    --corpus) CORPUS="$2"; shift 2 ;;
    --max-kb) MAXKB="$2"; shift 2 ;;
    --jobs) JOBS="$2"; shift 2 ;;
    *) echo "run_replay: unknown argument $1" >&2; exit 2 ;;
  esac
done
[[ -x "$TABULON" && -x "$CHECK" && -n "$WORK" && -d "$FIXTURES" ]] || { echo "run_replay: missing arguments" >&2; exit 2; }
command -v fpc >/dev/null || { echo "run_replay: fpc not found (scripts/setup.sh installs fp-compiler)" >&2; exit 1; }

# The generated unit carries no directives, so the mode comes from here: long
# strings and UTF-8 source, which is what the unit is written in.
FPCFLAGS=(-Mobjfpc -Sh -FcUTF8 -O1 -g- -ve -l- -Xs)
START=$SECONDS
rm -rf "$WORK"
mkdir -p "$WORK/stand" "$WORK/units" "$WORK/out"

if ! fpc "${FPCFLAGS[@]}" -FU"$WORK/stand" -Fu"$HERE" "$HERE/Replay.pas" >"$WORK/stand.log" 2>&1; then
  echo "run_replay: the stand-in units do not compile:"; cat "$WORK/stand.log"; exit 1
fi

BOOKS=()   # "origin<TAB>path"
for f in "$FIXTURES"/*.xls; do [[ -e "$f" ]] && BOOKS+=("fixture	$f"); done
if [[ -n "$CORPUS" && -f "$CORPUS/MANIFEST.tsv" ]]; then
  while IFS=$'\t' read -r file _ _ _ _ _ encrypted _; do
    [[ "$file" == file || "$encrypted" != no ]] && continue
    [[ "$file" == damaged/* || "$file" == encrypted/* ]] && continue
    path="$CORPUS/$file"
    [[ -f "$path" ]] || continue
    (( $(stat -c %s "$path") <= MAXKB * 1024 )) || continue
    BOOKS+=("corpus	$path")
  done <"$CORPUS/MANIFEST.tsv"
fi

# The cell listing arrived with the cell-contents work; exit status 2 is an
# unknown option.
DUMP=1
first="${BOOKS[0]#*	}"
"$TABULON" --dump-cells "$first" >/dev/null 2>&1
[[ $? == 2 ]] && DUMP=0

fail=0 unread=0 generated=0
UNITS=()
declare -A BOOK_OF ORIGIN_OF
n=0
for entry in "${BOOKS[@]}"; do
  origin="${entry%%	*}" book="${entry#*	}"
  n=$((n + 1)); u="u$n"
  if ! "$TABULON" "$book" -o "$WORK/units/$u.pas" --unit "$u" 2>"$WORK/out/$u.gen.err"; then
    if [[ $origin == fixture ]]; then
      echo "FAIL $book: tabulon refused it: $(head -c 300 "$WORK/out/$u.gen.err")"; fail=$((fail + 1))
    else
      unread=$((unread + 1)); echo "$book: $(head -n1 "$WORK/out/$u.gen.err")" >>"$WORK/unread.txt"
    fi
    continue
  fi
  if ((DUMP)) && ! "$TABULON" --dump-cells "$book" >"$WORK/out/$u.dump" 2>"$WORK/out/$u.dump.err"; then
    echo "FAIL $book: the cell listing failed: $(head -c 300 "$WORK/out/$u.dump.err")"; fail=$((fail + 1)); continue
  fi
  generated=$((generated + 1)); UNITS+=("$u"); BOOK_OF[$u]="$book"; ORIGIN_OF[$u]="$origin"
done

# Several units per program: one fpc run compiles a batch. A batch that fails
# is compiled unit by unit to name the failing ones.
write_program() { # name units...
  local name="$1"; shift
  {
    echo "program $name;"
    echo "uses Replay$(printf ', %s' "$@");"
    echo "begin"
    echo "  case ParamStr(1) of"
    for u in "$@"; do echo "    '$u': Halt(RunReplay(@$u.CreateXLSData));"; done
    echo "  end;"
    echo "  Halt(2);"
    echo "end."
  } >"$WORK/units/$name.pas"
}
compile() { # name
  mkdir -p "$WORK/ppu/$1"
  fpc "${FPCFLAGS[@]}" -FU"$WORK/ppu/$1" -Fu"$WORK/stand" -Fu"$WORK/units" -o"$WORK/$1" "$WORK/units/$1.pas" >"$WORK/out/$1.fpc.log" 2>&1
}
export WORK
export FPCFLAGS_STR="${FPCFLAGS[*]}"

declare -A PROGRAM_OF
batches=()
for ((i = 0; i < ${#UNITS[@]}; i += BATCH)); do
  b="batch$((i / BATCH + 1))"; chunk=("${UNITS[@]:i:BATCH}")
  write_program "$b" "${chunk[@]}"; batches+=("$b")
  for u in "${chunk[@]}"; do PROGRAM_OF[$u]="$b"; done
done
printf '%s\n' "${batches[@]}" | xargs -r -P"$JOBS" -I{} bash -c \
  'mkdir -p "$WORK/ppu/{}"; fpc $FPCFLAGS_STR -FU"$WORK/ppu/{}" -Fu"$WORK/stand" -Fu"$WORK/units" -o"$WORK/{}" "$WORK/units/{}.pas" >"$WORK/out/{}.fpc.log" 2>&1 || touch "$WORK/out/{}.failed"'

compiled=0 same=0 cells=0
REPLAYED=()
for u in "${UNITS[@]}"; do
  b="${PROGRAM_OF[$u]}"
  if [[ -e "$WORK/out/$b.failed" ]]; then
    write_program "single_$u" "$u"
    if ! compile "single_$u"; then
      echo "FAIL ${BOOK_OF[$u]}: the generated unit does not compile:"
      grep -E 'Error|Fatal' "$WORK/out/single_$u.fpc.log" | head -n 5 | sed 's/^/  /'
      fail=$((fail + 1)); continue
    fi
    b="single_$u"
  fi
  compiled=$((compiled + 1))
  timeout 120 "$WORK/$b" "$u" >"$WORK/out/$u.replay" 2>"$WORK/out/$u.replay.err"
  rc=$?
  if ((rc != 0 && rc != 3)); then
    echo "FAIL ${BOOK_OF[$u]}: the replay ended with status $rc: $(head -c 300 "$WORK/out/$u.replay.err")"
    fail=$((fail + 1)); continue
  fi
  REPLAYED+=("$u")
done

# Cells are compared once the listing exists and the generator writes cells:
# a run in which no unit rebuilt a single cell means the emitter is not there.
CELLS=0
if ((DUMP)); then
  for u in "${REPLAYED[@]}"; do
    if grep -q '^[0-9]' "$WORK/out/$u.replay"; then CELLS=1; break; fi
  done
fi

# Fonts likewise, once any unit adds one.
FONTS=0
for u in "${REPLAYED[@]}"; do
  if grep -q '^font' "$WORK/out/$u.replay"; then FONTS=1; break; fi
done

for u in "${REPLAYED[@]}"; do
  args=("${BOOK_OF[$u]}" "$WORK/out/$u.replay")
  ((CELLS)) && args+=(--cells "$WORK/out/$u.dump")
  ((FONTS)) && args+=(--fonts)
  if report=$("$CHECK" "${args[@]}"); then
    same=$((same + 1))
    c=$(sed -n 's/.*(\([0-9]*\) cells)$/\1/p' <<<"$report"); cells=$((cells + ${c:-0}))
  else
    echo "FAIL $report"; fail=$((fail + 1))
  fi
done

echo "replay: ${#BOOKS[@]} workbooks ($(grep -c . <<<"$(printf '%s\n' "${BOOKS[@]}" | grep '^fixture')") fixtures), $generated units generated, $unread corpus files not readable, $compiled compiled, $same replayed the same, $cells cells compared, $fail failures, $((SECONDS - START)) s"
((DUMP)) || echo "replay: tabulon has no --dump-cells yet: sheet names compared, cells not"
((DUMP && !CELLS)) && echo "replay: no unit rebuilt any cell (no cell emitter yet): cells not compared"
((unread)) && echo "replay: not readable: see $WORK/unread.txt"
((fail == 0))
