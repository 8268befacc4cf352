#!/usr/bin/env python3
"""Fails when a file written by sql/generate.py differs from what the generator writes now: the
creation scripts and the table catalogue must be regenerated and committed with every change of the
definitions. Usage: check_generated.py SOURCE_DIR"""
import difflib
import os
import subprocess
import sys
import tempfile

source = sys.argv[1]
with tempfile.TemporaryDirectory() as out:
    subprocess.run([sys.executable, os.path.join(source, "sql", "generate.py"), "--out", out], check=True)
    written = sorted(os.path.relpath(os.path.join(d, f), out) for d, _, files in os.walk(out) for f in files)
    if not written:
        sys.exit("the generator wrote nothing")
    stale = []
    for rel in written:
        with open(os.path.join(out, rel), encoding="utf-8") as f:
            fresh = f.read()
        committed_path = os.path.join(source, rel)
        committed = open(committed_path, encoding="utf-8").read() if os.path.exists(committed_path) else ""
        if fresh != committed:
            stale.append(rel)
            sys.stdout.writelines(difflib.unified_diff(committed.splitlines(True), fresh.splitlines(True),
                                                       "committed/" + rel, "generated/" + rel, n=1))
    if stale:
        sys.exit("out of date (run sql/generate.py and commit): " + ", ".join(stale))
    print(f"{len(written)} generated files are current")
