#!/usr/bin/python3
"""Writes damaged variants of a valid workbook for the reader's error tests.

Usage: make_malformed.py VALID.xlsx OUTDIR
"""
import os
import sys
import zipfile

valid, outdir = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(valid) as z:
    parts = {n: z.read(n) for n in z.namelist()}


def write(name, files, method=zipfile.ZIP_DEFLATED):
    with zipfile.ZipFile(os.path.join(outdir, name), "w", method) as z:
        for n, data in files.items():
            z.writestr(n, data)


def without(*names):
    return {n: d for n, d in parts.items() if n not in names}


def replaced(name, data):
    files = dict(parts)
    files[name] = data
    return files


with open(os.path.join(outdir, "not_a_zip.xlsx"), "wb") as f:
    f.write(b"ID;PWXL;N;E\nC;Y1;X1;K\"text\"\n")
with open(os.path.join(outdir, "truncated.xlsx"), "wb") as f:
    f.write(open(valid, "rb").read()[:300])
write("missing_workbook.xlsx", without("xl/workbook.xml"))
write("missing_content_types.xlsx", without("[Content_Types].xml"))
write("missing_sheet.xlsx", without("xl/worksheets/sheet1.xml"))
sheet = parts["xl/worksheets/sheet1.xml"]
write("broken_sheet_xml.xlsx", replaced("xl/worksheets/sheet1.xml", sheet[: len(sheet) // 2]))
write("broken_styles_xml.xlsx", replaced("xl/styles.xml", b"<styleSheet><fonts></styleSheet>"))
write("bad_string_index.xlsx", replaced("xl/worksheets/sheet1.xml",
      sheet.replace(b'<v>0</v>', b'<v>999999</v>', 1)))
write("bad_cell_ref.xlsx", replaced("xl/worksheets/sheet1.xml", sheet.replace(b'r="A1"', b'r="A0"', 1)))
write("no_sheets.xlsx", replaced("xl/workbook.xml", parts["xl/workbook.xml"].replace(b"<sheet ", b"<notsheet ")))

many = dict(parts)
for i in range(10001):
    many["xl/extra/%d.bin" % i] = b""
write("many_entries.xlsx", many, zipfile.ZIP_STORED)

# A zip bomb: a small file whose one part inflates to 200 MiB.
with zipfile.ZipFile(os.path.join(outdir, "bomb.xlsx"), "w", zipfile.ZIP_DEFLATED) as z:
    for n, data in parts.items():
        if n != "xl/worksheets/sheet1.xml":
            z.writestr(n, data)
    with z.open("xl/worksheets/sheet1.xml", "w", force_zip64=True) as f:
        chunk = b"\0" * (1 << 20)
        for _ in range(200):
            f.write(chunk)
