#!/usr/bin/python3
"""Writes the benchmark's input set: about 50 MB of PO-like PDFs and XML files, the same bytes on every run.

  make_inputs.py OUT_DIR [TOTAL_MB]

PDFs come from three sources, so the set has the mix a PO folder sees:
  * ghostscript (pdfwrite) renderings of generated PostScript label sheets (compressed content streams
    and fonts, as PDF printer drivers write them), when gs is installed;
  * generated PDFs with uncompressed text content streams (label layouts: text, rules, bar codes);
  * generated PDFs whose pages carry Flate-compressed raster images (scanned-looking care symbols).
XML files are PO data files in code page 932: table rows with Japanese text and embedded CSV print data.
"""

import os
import random
import shutil
import subprocess
import sys
import zlib

WORDS_JA = ["下札", "洗濯ネーム", "付属", "綿", "ポリエステル", "レーヨン", "日本製", "中国製", "手洗い", "ドライ",
            "漂白不可", "タンブル乾燥不可", "アイロン中温", "サイズ", "カラー", "品番", "発注", "納期", "数量", "単価"]
WORDS_EN = ["TAG", "CAR", "ACC", "label", "cotton", "polyester", "size", "color", "qty", "price", "PO", "line"]


def pdf_document(objects):
    """Serialises numbered PDF objects (bytes bodies) with a cross-reference table."""
    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for i, body in enumerate(objects, start=1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % i + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for off in offsets:
        out += b"%010d 00000 n \n" % off
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
    return bytes(out)


def stream(data, compress):
    if compress:
        data = zlib.compress(data, 6)
        return b"<< /Length %d /Filter /FlateDecode >>\nstream\n" % len(data) + data + b"\nendstream"
    return b"<< /Length %d >>\nstream\n" % len(data) + data + b"\nendstream"


def label_page(rng, po, page):
    ops = []
    for row in range(rng.randint(30, 60)):
        y = 800 - row * 13
        ops.append(b"BT /F1 %d Tf %d %d Td (%s %s-%04d %s) Tj ET" % (
            rng.choice([7, 8, 9]), 40 + rng.randint(0, 5), y, po.encode(), rng.choice(WORDS_EN).encode(),
            rng.randint(0, 9999), rng.choice(WORDS_EN).encode()))
        if rng.random() < 0.3:
            ops.append(b"%.2f w %d %d m %d %d l S" % (rng.random(), 40, y - 3, 560, y - 3))
        if rng.random() < 0.15:  # a bar code: many thin filled rectangles
            x = 300.0
            for _ in range(60):
                w = rng.choice([0.7, 1.4, 2.1])
                ops.append(b"%.1f %d %.1f 20 re f" % (x, y - 20, w))
                x += w + rng.choice([0.7, 1.4])
    ops.append(b"BT /F1 6 Tf 40 20 Td (page %d) Tj ET" % page)
    return b"\n".join(ops)


def text_pdf(rng, po, pages, compress):
    objs = [b"<< /Type /Catalog /Pages 2 0 R >>", None,
            b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"]
    kids = []
    for p in range(pages):
        objs.append(stream(label_page(rng, po, p + 1), compress))
        objs.append(b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents %d 0 R "
                    b"/Resources << /Font << /F1 3 0 R >> >> >>" % (len(objs)))
        kids.append(len(objs))
    objs[1] = b"<< /Type /Pages /Kids [%s] /Count %d >>" % (b" ".join(b"%d 0 R" % k for k in kids), len(kids))
    return pdf_document(objs)


def image_pdf(rng, po, pages):
    objs = [b"<< /Type /Catalog /Pages 2 0 R >>", None,
            b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"]
    kids = []
    for p in range(pages):
        w, h = 400, 300
        raw = bytearray()
        for y in range(h):  # symbols on a light background with scanner noise
            base = 230 if (y // 40) % 2 else 200
            raw += bytes(max(0, min(255, base - (80 if (x // 25 + y // 25) % 3 == 0 else 0) + rng.randint(-6, 6)))
                         for x in range(w))
        objs.append(stream(raw, True)[:-len(b"\nendstream")].replace(
            b"<< /Length", b"<< /Type /XObject /Subtype /Image /Width %d /Height %d /ColorSpace /DeviceGray "
                           b"/BitsPerComponent 8 /Length" % (w, h), 1) + b"\nendstream")
        img = len(objs)
        objs.append(stream(b"q 400 0 0 300 100 400 cm /Im1 Do Q\n" + label_page(rng, po, p + 1)[:2000], False))
        objs.append(b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents %d 0 R "
                    b"/Resources << /Font << /F1 3 0 R >> /XObject << /Im1 %d 0 R >> >> >>" % (len(objs), img))
        kids.append(len(objs))
    objs[1] = b"<< /Type /Pages /Kids [%s] /Count %d >>" % (b" ".join(b"%d 0 R" % k for k in kids), len(kids))
    return pdf_document(objs)


def gs_pdf(rng, po, path):
    ps = ["%!PS"]
    for page in range(rng.randint(2, 6)):
        ps.append("/Helvetica findfont 8 scalefont setfont")
        for row in range(55):
            ps.append("40 %d moveto (%s %s-%04d %s %d) show" % (800 - row * 14, po, rng.choice(WORDS_EN),
                                                              rng.randint(0, 9999), rng.choice(WORDS_EN),
                                                              rng.randint(1, 500)))
        for _ in range(8):
            ps.append("newpath %d %d %d 0 360 arc stroke" % (rng.randint(100, 500), rng.randint(100, 700),
                                                            rng.randint(5, 60)))
        ps.append("showpage")
    src = path + ".ps"
    with open(src, "w") as f:
        f.write("\n".join(ps) + "\n")
    subprocess.run(["gs", "-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=pdfwrite",
                    "-dCreationDate=(D:20240101000000)", "-o", path, src], check=True)
    os.remove(src)


def po_xml(rng, po, rows):
    lines = ['<?xml version="1.0" encoding="Shift_JIS"?>', '<PO PO_NO="%s" PO_KBN="0">' % po]
    for table in ["TBL_PO_H", "TBL_PO_M", "TBL_H", "TBL_SKU", "rcv_csvdata"]:
        lines.append("  <%s>" % table)
        for r in range(rows):
            fields = "".join("<%s>%s</%s>" % (k, v, k) for k, v in [
                ("ORD_NO", 100000 + r), ("GYOU", r % 40 + 1), ("HINBAN", "%s-%05d" % (rng.choice(WORDS_EN), rng.randint(0, 99999))),
                ("HINMEI", rng.choice(WORDS_JA) + rng.choice(WORDS_JA)), ("SIZE", rng.choice(["S", "M", "L", "LL", "F"])),
                ("SURYO", rng.randint(1, 5000)), ("KIBO_DATE", "2024/%02d/%02d" % (rng.randint(1, 12), rng.randint(1, 28))),
                ("BIKO", rng.choice(WORDS_JA) if rng.random() < 0.5 else "")])
            lines.append("    <ROW>%s</ROW>" % fields)
        lines.append("  </%s>" % table)
    csv = "\n".join(",".join('"%s"' % rng.choice(WORDS_JA + WORDS_EN) for _ in range(12)) for _ in range(rows))
    lines.append("  <CSV><![CDATA[%s]]></CSV>" % csv)
    lines.append("</PO>")
    return ("\n".join(lines) + "\n").encode("cp932")


def main():
    out = sys.argv[1]
    total = int(float(sys.argv[2] if len(sys.argv) > 2 else 50) * 1024 * 1024)
    os.makedirs(out, exist_ok=True)
    rng = random.Random(20240607)
    have_gs = shutil.which("gs") is not None
    size = 0
    n = 0
    while size < total:
        po = "%07d" % (1200000 + n)
        kind = n % 4
        if kind == 0:
            path = os.path.join(out, po + ".xml")
            data = po_xml(rng, po, rng.randint(100, 600))
        elif kind == 1:
            path = os.path.join(out, po + "-1.pdf")
            data = text_pdf(rng, po, rng.randint(10, 60), compress=False)
        elif kind == 2:
            path = os.path.join(out, po + "-2.pdf")
            data = image_pdf(rng, po, rng.randint(2, 8))
        else:
            path = os.path.join(out, po + "-3.pdf")
            if have_gs:
                gs_pdf(rng, po, path)
                data = None
            else:
                data = text_pdf(rng, po, rng.randint(3, 25), compress=True)
        if data is not None:
            with open(path, "wb") as f:
                f.write(data)
        size += os.path.getsize(path)
        n += 1
    print("%d files, %d bytes in %s" % (n, size, out))


if __name__ == "__main__":
    main()
