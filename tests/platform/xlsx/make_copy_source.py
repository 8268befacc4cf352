#!/usr/bin/python3
"""Writes a template-like workbook for the sheet-copy tests, with openpyxl.

Usage: make_copy_source.py OUT.xlsx IMAGE.png
Sheet "Form": styled cells, a merge, column widths, row heights, A4 landscape page setup, a picture,
a sheet-scoped name "Qul" and a print area. Sheet "Other" holds a name of its own.
"""
import sys

import openpyxl
from openpyxl.drawing.image import Image
from openpyxl.styles import Border, Font, PatternFill, Side
from openpyxl.workbook.defined_name import DefinedName

out, image = sys.argv[1], sys.argv[2]
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Form"
ws["A1"] = "見出し"
ws["A1"].font = Font(name="ＭＳ Ｐゴシック", size=14, bold=True, color="FFFF0000")
ws["A1"].fill = PatternFill("solid", fgColor="FFFFFF00")
ws["B2"] = 3.14159
ws["B2"].number_format = "0.000"
ws["B2"].border = Border(bottom=Side(style="double"))
ws["C4"] = "結合"
ws.merge_cells("C4:E4")
ws.column_dimensions["B"].width = 20
ws.row_dimensions[2].height = 30
ws.page_setup.paperSize = ws.PAPERSIZE_A4
ws.page_setup.orientation = "landscape"
ws.add_image(Image(image), "D6")
wb.defined_names.append(DefinedName("Qul", localSheetId=0, attr_text="Form!$B$10:$F$20"))
ws.print_area = "A1:H30"
other = wb.create_sheet("Other")
other["A1"] = "other"
wb.defined_names.append(DefinedName("Qul", localSheetId=1, attr_text="Other!$A$1:$A$2"))
wb.save(out)
