#!/usr/bin/python3
"""Compares `tabulon --dump-cells` with xlrd's view of the same workbooks.

Usage: compare_xlrd.py TABULON FILE...

For every cell either reader holds, the values must agree: numbers exactly
(as doubles), texts exactly, Booleans and error texts. Blank cells only
count where xlrd reports them too (it reports blanks only with
formatting_info). Sheets are matched by order. Prints one line per file
(OK, or the count of disagreements and the first few) and a total.
Runs with Debian's python3 (python3-xlrd).
"""
import subprocess
import sys

import xlrd

ERRORS = {0x00: "#NULL!", 0x07: "#DIV/0!", 0x0F: "#VALUE!", 0x17: "#REF!", 0x1D: "#NAME?", 0x24: "#NUM!",
          0x2A: "#N/A"}


def unescape(s):
    out, i = [], 0
    while i < len(s):
        if s[i] == "\\" and i + 1 < len(s):
            out.append({"t": "\t", "n": "\n", "r": "\r", "\\": "\\"}.get(s[i + 1], s[i + 1]))
            i += 2
        else:
            out.append(s[i])
            i += 1
    return "".join(out)


def ours(tabulon, path):
    res = subprocess.run([tabulon, "--dump-cells", path], capture_output=True)
    if res.returncode != 0:
        raise RuntimeError(res.stderr.decode("utf-8", "replace").strip())
    cells = {}
    for line in res.stdout.decode("utf-8").split("\n"):
        if not line:
            continue
        sheet, row, col, kind, value, _formula = line.split("\t")
        value = unescape(value)
        if kind in ("Float", "NumberFormula"):
            norm = ("n", float(value))
        elif kind == "ArrayFormula":
            try:
                norm = ("n", float(value))
            except ValueError:
                norm = ("b", value == "TRUE") if value in ("TRUE", "FALSE") else ("e", value)
        elif kind in ("String", "StringFormula"):
            norm = ("s", value)
        elif kind in ("Boolean", "BooleanFormula"):
            norm = ("b", value == "TRUE")
        elif kind in ("Error", "ErrorFormula"):
            norm = ("e", value)
        else:
            norm = ("blank", None)
        cells[(int(sheet), int(row), int(col))] = (kind, norm)
    return cells


def theirs(path):
    book = xlrd.open_workbook(path, on_demand=False, logfile=open("/dev/null", "w"))
    cells = {}
    for si in range(book.nsheets):
        sh = book.sheet_by_index(si)
        for r in range(sh.nrows):
            for c in range(sh.row_len(r)):
                cell = sh.cell(r, c)
                t = cell.ctype
                if t in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                    continue
                if t in (xlrd.XL_CELL_NUMBER, xlrd.XL_CELL_DATE):
                    norm = ("n", float(cell.value))
                elif t == xlrd.XL_CELL_TEXT:
                    norm = ("s", cell.value)
                elif t == xlrd.XL_CELL_BOOLEAN:
                    norm = ("b", bool(cell.value))
                else:
                    norm = ("e", ERRORS.get(cell.value, "[int] No error value"))
                cells[(si, r, c)] = norm
    return cells


def main():
    tabulon, files = sys.argv[1], sys.argv[2:]
    total = 0
    for path in files:
        try:
            theirs_cells = theirs(path)
        except Exception as e:  # the other reader refuses the file
            print(f"SKIP {path}: xlrd: {type(e).__name__}: {e}")
            continue
        try:
            ours_cells = ours(tabulon, path)
        except Exception as e:
            print(f"FAIL {path}: tabulon: {e}")
            total += 1
            continue
        diffs = []
        for key, norm in theirs_cells.items():
            mine = ours_cells.get(key)
            if mine is None:
                diffs.append(f"{key}: missing, xlrd {norm!r}")
            elif mine[1] != norm and not (norm[0] == "n" and mine[1][0] == "n" and norm[1] != norm[1]
                                          and mine[1][1] != mine[1][1]):
                diffs.append(f"{key}: ours {mine[0]} {mine[1]!r}, xlrd {norm!r}")
        for key, (kind, norm) in ours_cells.items():
            if key not in theirs_cells and norm[0] != "blank" and not (norm[0] == "s" and norm[1] == ""):
                diffs.append(f"{key}: ours {kind} {norm!r}, xlrd has none")
        total += len(diffs)
        if diffs:
            print(f"DIFF {path}: {len(diffs)} of {len(theirs_cells)} cells; " + "; ".join(diffs[:4]))
        else:
            print(f"OK   {path}: {len(theirs_cells)} cells")
    print(f"total disagreements: {total}")


if __name__ == "__main__":
    main()
