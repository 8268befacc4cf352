#!/usr/bin/python3
"""Prints what openpyxl, an independent reader, finds in the product master workbook, as JSON:
{"sheets": [...], "maxRow": n, "maxColumn": n, "cells": {"A1": {...}, ...}}.

Usage: read_products.py WORKBOOK [ROWS]  -- cells of the first ROWS rows (default 10) and of the last row.
"""
import json
import sys
import warnings

import openpyxl

warnings.simplefilter("ignore")


def color(c):
    if c is None:
        return None
    if c.type == "indexed":
        return {"indexed": c.indexed}
    if c.type == "auto" or getattr(c, "auto", None):
        return {"auto": True}
    if c.type == "rgb":
        return {"rgb": c.rgb}
    return {"theme": c.theme}


def cell_info(cell):
    f = cell.font
    return {
        "value": cell.value,
        "type": cell.data_type,
        "format": cell.number_format,
        "font": {"name": f.name, "size": f.sz, "strike": bool(f.strike), "vertAlign": f.vertAlign,
                 "outline": bool(f.outline), "shadow": bool(f.shadow), "underline": f.u, "color": color(f.color)},
    }


def main(path, rows):
    wb = openpyxl.load_workbook(path)
    ws = wb.worksheets[0]
    # Read the extent first: looking at a row beyond it would add empty cells.
    max_row, max_column = ws.max_row, ws.max_column
    wanted = set(range(1, min(rows, max_row) + 1)) | {max_row}
    cells = {}
    for r in sorted(wanted):
        for c in ws[r]:
            cells[c.coordinate] = cell_info(c)
    json.dump({"sheets": wb.sheetnames, "maxRow": max_row, "maxColumn": max_column, "cells": cells},
              sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 10)
