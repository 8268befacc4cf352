#!/usr/bin/python3
"""The peer of product_export_bench: openpyxl writes a product sheet of the same shape (header, then
ROWS rows of 7 cells, each with its value, font and number format). Usage: openpyxl_products.py OUT ROWS"""
import sys
import time

import openpyxl
from openpyxl.styles import Font

out, rows = sys.argv[1], int(sys.argv[2])
start = time.perf_counter()
wb = openpyxl.Workbook()
ws = wb.active
font = Font(name="ＭＳ Ｐゴシック", size=10, strike=False, vertAlign=None, outline=False, shadow=False, u=None)
for c, h in enumerate(["商品コード", "ケム資材名", "品名1", "品名2", "上海単価", "提出単価", "ケム単価"], 1):
    cell = ws.cell(row=1, column=c, value=h)
    cell.font = Font(name="ＭＳ Ｐゴシック", size=10)
    cell.number_format = "@"
for i in range(rows):
    values = [int("8710%06d" % i), "S-%d" % (i % 97), "織ネーム %d" % i, "白", i % 1000 + 0.5, i + 1, i * 1.25]
    for c, v in enumerate(values, 1):
        cell = ws.cell(row=i + 2, column=c, value=v)
        cell.font = font
        cell.number_format = "#,##0.00_ " if c >= 5 else "@"
wb.save(out)
print("openpyxl: %d rows written in %.3f s" % (rows, time.perf_counter() - start))
