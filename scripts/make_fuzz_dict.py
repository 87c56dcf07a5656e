#!/usr/bin/env python3
"""Writes tests/fuzz/biff_records.dict: every record identifier the reader
knows (src/biff/BiffRecords.h) as the two little-endian bytes of a record
header, plus the few other byte strings whole files hinge on. Run it after
adding records."""
import pathlib
import re

root = pathlib.Path(__file__).resolve().parent.parent
ids = {}
for m in re.finditer(r'X\(\w+,\s*0x([0-9A-Fa-f]{4}),\s*"(\w+)"', (root / "src/biff/BiffRecords.h").read_text()):
    ids.setdefault(int(m.group(1), 16), m.group(2))

def esc(bs):
    return "".join("\\x%02X" % b for b in bs)

lines = ["# Record identifiers of src/biff/BiffRecords.h (scripts/make_fuzz_dict.py writes this file)."]
for rid, name in sorted(ids.items()):
    lines.append('%s_%04X="%s"' % (name, rid, esc(rid.to_bytes(2, "little"))))
lines += [
    "# BOF version words and substream types.",
    'biff5_version="\\x00\\x05"',
    'biff8_version="\\x00\\x06"',
    'substream_globals="\\x05\\x00"',
    'substream_worksheet="\\x10\\x00"',
    'substream_chart="\\x20\\x00"',
    'substream_macro="\\x40\\x00"',
    "# Compound documents: signature and the workbook stream names.",
    'cfb_signature="\\xD0\\xCF\\x11\\xE0\\xA1\\xB1\\x1A\\xE1"',
    'name_workbook="W\\x00o\\x00r\\x00k\\x00b\\x00o\\x00o\\x00k\\x00"',
    'name_book="B\\x00o\\x00o\\x00k\\x00"',
    'free_sector="\\xFF\\xFF\\xFF\\xFF"',
    'end_of_chain="\\xFE\\xFF\\xFF\\xFF"',
]
(root / "tests/fuzz/biff_records.dict").write_text("\n".join(lines) + "\n")
