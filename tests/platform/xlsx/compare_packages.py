#!/usr/bin/python3
"""Compares two zip packages (xlsx) by their parts: the same part names, and in every part the same
content, XML parts after canonicalisation (attribute order, quoting, the declaration), others byte for
byte. The zip's own bytes (compression, entry times) do not count.

Usage: compare_packages.py A.xlsx B.xlsx   (prints the differences, one a line; exit 1 when any)
"""
import sys
import zipfile
from xml.etree.ElementTree import canonicalize


def parts(path):
    with zipfile.ZipFile(path) as z:
        return {name: z.read(name) for name in z.namelist()}


def normal(name, data):
    if name.endswith((".xml", ".rels", ".vml")):
        try:
            return canonicalize(data.decode("utf-8")).encode("utf-8")
        except Exception:  # not well-formed: compare the bytes
            return data
    return data


def main():
    a, b = parts(sys.argv[1]), parts(sys.argv[2])
    faults = ["only in %s: %s" % (sys.argv[1], n) for n in sorted(a.keys() - b.keys())]
    faults += ["only in %s: %s" % (sys.argv[2], n) for n in sorted(b.keys() - a.keys())]
    faults += ["part differs: %s" % n for n in sorted(a.keys() & b.keys()) if normal(n, a[n]) != normal(n, b[n])]
    for f in faults:
        print(f)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
