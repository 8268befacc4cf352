#!/usr/bin/python3
"""Lists the pictures of every sheet as openpyxl reads them, with what zbarimg decodes from each.

Usage: sheet_images.py WORKBOOK   (prints JSON: {sheet: [{row, col, rowOff, colOff, cy, code}]})
Rows and columns count from 0, offsets and heights are in EMU; code is null when nothing scans.
"""
import json
import os
import subprocess
import sys
import tempfile
import warnings

import openpyxl

warnings.simplefilter("ignore")


def decode(data, folder, n):
    path = os.path.join(folder, "image%d" % n)
    with open(path, "wb") as f:
        f.write(data)
    try:
        out = subprocess.run(["zbarimg", "--raw", "-q", path], capture_output=True, timeout=60).stdout
    except FileNotFoundError:
        return None
    codes = out.decode("latin-1").split()
    return codes[0] if codes else None


def main(path):
    wb = openpyxl.load_workbook(path)
    result = {}
    with tempfile.TemporaryDirectory() as folder:
        n = 0
        for ws in wb.worksheets:
            images = []
            for image in ws._images:
                n += 1
                start = image.anchor._from
                ext = getattr(image.anchor, "ext", None)
                images.append({"row": start.row, "col": start.col, "rowOff": start.rowOff,
                               "colOff": start.colOff, "cy": ext.height if ext is not None else None,
                               "code": decode(image._data(), folder, n)})
            result[ws.title] = images
    json.dump(result, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv[1])
