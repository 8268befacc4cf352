#!/usr/bin/python3
"""Prints what openpyxl, an independent reader, finds in a workbook, as JSON.

Usage: dump_xlsx.py WORKBOOK
"""
import json
import sys
import warnings

import openpyxl
from openpyxl.utils import get_column_letter

warnings.simplefilter("ignore")


def color(c):
    if c is None:
        return None
    if c.type == "indexed":
        return {"indexed": c.indexed}
    if c.type == "rgb":
        return {"rgb": c.rgb}
    if c.type == "theme":
        return {"theme": c.theme}
    if c.type == "auto" or getattr(c, "auto", None):
        return {"auto": True}
    return None


def cell_info(cell):
    f = cell.font
    b = cell.border
    return {
        "value": cell.value,
        "type": cell.data_type,
        "format": cell.number_format,
        "font": {
            "name": f.name, "size": f.sz, "bold": bool(f.b), "italic": bool(f.i), "strike": bool(f.strike),
            "vertAlign": f.vertAlign, "outline": bool(f.outline), "shadow": bool(f.shadow), "underline": f.u,
            "color": color(f.color),
        },
        "horizontal": cell.alignment.horizontal,
        "border": {side: getattr(b, side).style for side in ("left", "right", "top", "bottom")},
    }


def anchor_of(image):
    a = image.anchor
    start = getattr(a, "_from", None)
    if start is None:
        return None
    return {"col": start.col, "row": start.row, "colOff": start.colOff, "rowOff": start.rowOff}


def main(path):
    wb = openpyxl.load_workbook(path)
    out = {"sheets": [], "names": [], "active": wb.index(wb.active)}
    for dn in wb.defined_names.definedName:
        out["names"].append({"name": dn.name, "localSheetId": dn.localSheetId, "value": dn.attr_text})
    for ws in wb.worksheets:
        s = {
            "name": ws.title,
            "cells": {c.coordinate: cell_info(c) for row in ws.iter_rows() for c in row
                      if c.value is not None or c.has_style},
            "merges": sorted(str(r) for r in ws.merged_cells.ranges),
            "widths": {k: v.width for k, v in ws.column_dimensions.items() if v.customWidth},
            "heights": {str(k): v.height for k, v in ws.row_dimensions.items() if v.height is not None},
            "images": [{"anchor": anchor_of(i), "format": i.format, "width": i.width, "height": i.height}
                       for i in ws._images],
            "paperSize": ws.page_setup.paperSize,
            "orientation": ws.page_setup.orientation,
            "fitToWidth": ws.page_setup.fitToWidth,
            "fitToPage": ws.sheet_properties.pageSetUpPr.fitToPage if ws.sheet_properties.pageSetUpPr else None,
            "printArea": ",".join(ws.print_area) if ws.print_area else None,
            "printTitles": ws.print_title_rows,
        }
        out["sheets"].append(s)
    json.dump(out, sys.stdout, ensure_ascii=False, default=str)


if __name__ == "__main__":
    main(sys.argv[1])
