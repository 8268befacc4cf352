#!/usr/bin/python3
"""The same workbook as bench_xlsx, written by openpyxl. Usage: bench_openpyxl.py OUT.xlsx [ROWS]"""
import resource
import sys
import time

import openpyxl
from openpyxl.styles import Font

out = sys.argv[1]
rows = int(sys.argv[2]) if len(sys.argv) > 2 else 5000
start = time.perf_counter()
wb = openpyxl.Workbook()
ws = wb.active
for column, width in zip("ABCDEFGHIJ", (14, 8, 20, 6, 10, 10, 8, 12, 6, 12)):
    ws.column_dimensions[column].width = width
font = Font(name="ＭＳ Ｐゴシック", size=10, strike=False, vertAlign=None, outline=False, shadow=False, u=None)


def number(text):
    try:
        return float(text) if "." in text else int(text)
    except ValueError:
        return text


for r in range(1, rows + 1):
    values = ["8710%06d" % r, "S-%d" % (r % 97), "織ネーム %d" % r, "白", "%.2f" % (r * 1.25),
              "%.1f" % (r % 1000 + 0.5), str(r * 3), "BRAND-%d" % (r % 13), str(r % 50), "2024/05/%02d" % (r % 28 + 1)]
    for c in range(1, 11):
        cell = ws.cell(row=r, column=c)
        # As Excel (and bench_xlsx) does: the value comes before the format, so texts that read as
        # numbers are stored as numbers.
        cell.value = number(values[c - 1])
        cell.font = font
        cell.number_format = "#,##0.00_ " if c in (5, 6) else "#,##0_ " if c in (7, 9) else "@"
wb.save(out)
seconds = time.perf_counter() - start
peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024
print("openpyxl: %d rows x 10 cells in %.3f s, peak memory %.1f MiB" % (rows, seconds, peak))
