#!/usr/bin/python3
"""Checks the workbook templates with openpyxl: sheets, A4 print setup, a label beside every cell the
program fills, the prepared list rows and the named grid area.

Usage: check_templates.py TEMPLATE_DIR   (prints the faults found, one a line; exit 1 when any)
"""
import os
import sys
import warnings

import openpyxl
from openpyxl.utils import column_index_from_string, get_column_letter
from openpyxl.utils.cell import coordinate_from_string

warnings.simplefilter("ignore")
faults = []


def rc(ref):
    col, row = coordinate_from_string(ref)
    return row, column_index_from_string(col)


def top_left(ws, row, col):
    for m in ws.merged_cells.ranges:
        if m.min_row <= row <= m.max_row and m.min_col <= col <= m.max_col:
            return m.min_row, m.min_col
    return row, col


def text_at(ws, row, col):
    if row < 1 or col < 1:
        return None
    r, c = top_left(ws, row, col)
    v = ws.cell(row=r, column=c).value
    return v if v not in (None, "") else None


def check_label(ws, ref, header_row=None):
    row, col = rc(ref)
    if text_at(ws, row, col) is not None:
        faults.append("%s!%s is filled by the program but holds %r" % (ws.title, ref, text_at(ws, row, col)))
    if header_row is not None:
        if text_at(ws, header_row, col) is None:
            faults.append("%s!%s has no column heading in row %d" % (ws.title, ref, header_row))
        return
    if text_at(ws, row, col - 1) is None and text_at(ws, row - 1, col) is None:
        faults.append("%s!%s has no label beside it" % (ws.title, ref))


def check_caption(ws, ref, caption):
    row, col = rc(ref)
    if text_at(ws, row, col - 1) != caption:
        faults.append("%s!%s is captioned %r, not %r" % (ws.title, ref, text_at(ws, row, col - 1), caption))


def check_print(ws):
    if ws.page_setup.paperSize != 9:
        faults.append("%s does not print on A4" % ws.title)
    if not (ws.sheet_properties.pageSetUpPr and ws.sheet_properties.pageSetUpPr.fitToPage):
        faults.append("%s is not fitted to the page" % ws.title)


def check_rows(ws, first, last, blocks):
    merged = {str(m) for m in ws.merged_cells.ranges}
    for r in range(first, last + 1):
        for cols, fmt in blocks:
            c1, c2 = cols.split(":")
            rng = "%s%d:%s%d" % (c1, r, c2, r)
            if rng not in merged:
                faults.append("%s!%s is not merged" % (ws.title, rng))
            cell = ws["%s%d" % (c1, r)]
            if cell.number_format != fmt:
                faults.append("%s!%s%d has format %r, not %r" % (ws.title, c1, r, cell.number_format, fmt))
            if cell.border.bottom.style != "dotted":
                faults.append("%s!%s%d has no dotted bottom edge" % (ws.title, c1, r))
            if cell.font.name != "ＭＳ Ｐゴシック" or cell.font.sz != 10:
                faults.append("%s!%s%d is not in ＭＳ Ｐゴシック 10" % (ws.title, c1, r))
    # Nothing of the template lies below the prepared rows, where the program adds rows.
    if ws.max_row > last:
        faults.append("%s has content below row %d" % (ws.title, last))


def load(folder, name, sheets):
    path = os.path.join(folder, name)
    wb = openpyxl.load_workbook(path)
    if wb.sheetnames != sheets:
        faults.append("%s has sheets %r, not %r" % (name, wb.sheetnames, sheets))
    for ws in wb.worksheets:
        check_print(ws)
    if wb.worksheets[0]["A1"].font.name is None:
        pass
    return wb


HEADER = ["AE3", "AQ3", "AG5", "D5"]


def main(folder):
    # Receipt confirmation and assortment list.
    for name, blocks in (("受領確認.xlsx", [("B:D", "@"), ("E:J", "@"), ("K:P", "@"), ("Q:V", "@"),
                                            ("W:AR", "@"), ("AS:AX", "#,##0_ ")]),
                         ("アソート.xlsx", [("B:D", "@"), ("E:J", "@"), ("K:P", "@"), ("Q:V", "@"),
                                          ("W:AN", "@"), ("AO:AT", "#,##0_ ")])):
        ws = load(folder, name, [name[:-5]]).worksheets[0]
        for ref in HEADER + ["I5"]:
            check_label(ws, ref)
        for cols, _ in blocks:
            check_label(ws, cols.split(":")[0] + "16", header_row=15)
        check_rows(ws, 16, 58, blocks)
        check_caption(ws, "AE3", "発行日")

    ws = load(folder, "MST_CAR_SK.xlsx", ["洗濯ネーム"]).worksheets[0]
    for ref in HEADER:
        check_label(ws, ref)
    check_caption(ws, "AE3", "発注日")  # the list's date is the jobs' order date
    blocks = [("B:G", "@"), ("H:M", "@"), ("N:S", "@"), ("T:X", "#,##0_ "), ("Y:AI", "@"), ("AJ:AX", "@")]
    for cols in ("B", "H", "N", "T", "AJ"):
        check_label(ws, cols + "12", header_row=11)
    check_rows(ws, 12, 32, blocks)

    wb = load(folder, "MST_SK.xlsx", ["SK"])
    ws = wb.worksheets[0]
    for ref in ["B5", "G5", "L5", "Q5", "V5", "G7", "L7", "Q7", "AA6", "AA7", "B7", "AJ2", "AK6", "F9", "F10",
                "F11", "B57"]:
        check_label(ws, ref)
    check_label(ws, "B24", header_row=23)
    # Ten composition rows (B24 to B33) lie between their caption and the grid's caption.
    for r in range(24, 34):
        if ws["B%d" % r].number_format != "@" or "B%d:AH%d" % (r, r) not in {str(m) for m in ws.merged_cells.ranges}:
            faults.append("MST_SK!B%d is not a prepared composition row" % r)
    if text_at(ws, 35, 2) is None or any(text_at(ws, r, 2) for r in range(24, 35)):
        faults.append("MST_SK has no free composition rows 24 to 34 above its grid caption")
    qul = [d for d in wb.defined_names.definedName if d.name == "Qul"]
    if len(qul) != 1 or qul[0].localSheetId != 0 or qul[0].attr_text != "SK!$B$36:$AZ$55":
        faults.append("MST_SK has no area Qul on its sheet: %r" % [(d.localSheetId, d.attr_text) for d in qul])
    elif ws["B36"].font.sz is None:
        faults.append("MST_SK!Qul has no font size")

    wb = load(folder, "MST_PO.xlsx", ["海外納品情報", "Purchase Order"])
    ws = wb["海外納品情報"]
    for ref in ["I3", "AU1", "BC3", "BC2", "H5", "AT5", "L7", "L8", "L9", "L10", "H11", "X11", "AN11", "BJ11",
                "H14", "H15", "H16", "X16", "AN16", "BD16", "AF17", "AF18", "AF19", "AF20", "AF22", "AF23",
                "AR26", "I75", "B27"] + ["K%d" % r for r in range(17, 24)] + ["BA%d" % r for r in range(17, 22)]:
        check_label(ws, ref)
    for r in range(34, 73, 2):
        for col in ("B", "J", "AI", "AR", "AY", "BF"):
            check_label(ws, "%s%d" % (col, r), header_row=33)
        check_label(ws, "J%d" % (r + 1), header_row=33)
    ws = wb["Purchase Order"]
    for ref in ["H7", "H8", "H9", "H11", "H13", "AY7", "AU11", "AU13", "J60", "S62", "L63", "S64", "D71", "AR71",
                "AT60", "AK57"]:
        check_label(ws, ref)
    for ref in ("AT57", "BC57"):  # the totals row: its label "TOTAL" stands to the left
        row, col = rc(ref)
        if not any(text_at(ws, row, c) for c in range(1, col)):
            faults.append("Purchase Order!%s has no label in its row" % ref)
    for r in range(17, 56, 2):
        for col in ("D", "L", "AK", "AT", "BC"):
            check_label(ws, "%s%d" % (col, r), header_row=16)
        check_label(ws, "L%d" % (r + 1), header_row=16)

    load(folder, "MST_DEF.xlsx", ["DEF"])
    for line in faults:
        print(line)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
