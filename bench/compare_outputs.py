#!/usr/bin/env python3
"""Runs exports with two builds on the same grown extracts and compares what they leave.

usage: compare_outputs.py REFERENCE_BUILD BUILD [--vehicles 1000] [--keys K1,K2]

Both binaries run each key in the same drive (bench_all's layout, the image
server unreachable); after each run the work folder is kept aside. Every file
must be byte-identical, except: the log's time stamps, a zip archive (its
entries are compared instead: names, order, compression, bytes), the run
journal, and the time stamps of the day ("yyyymmddhhnn[ss]") in file names and
contents. Exit 1 on any difference.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

import bench_all

STAMP = re.compile(rb"\d\d/\d\d/\d{4} \d\d:\d\d:\d\d")
TODAY = time.strftime("%Y%m%d").encode()
RUN_STAMP = re.compile(rb"(?<!\d)" + TODAY + rb"\d{4}(?:\d\d)?(?!\d)")
SKIPPED = {"runs.sqlite"}


def snapshot(folder):
    """Relative path (time stamps of names made neutral) -> host path, for every file."""
    files = {}
    for base, _, names in os.walk(folder):
        for name in names:
            if name in SKIPPED:
                continue
            relative = os.path.relpath(os.path.join(base, name), folder)
            files[re.sub(r"\d{12,14}", "<stamp>", relative)] = os.path.join(base, name)
    return files


def neutral(data):
    return RUN_STAMP.sub(b"<stamp>", STAMP.sub(b"<stamp>", data))


def zip_entries(path):
    with zipfile.ZipFile(path) as z:
        return [(neutral(i.filename.encode("cp437", "replace")), i.compress_type, i.flag_bits, neutral(z.read(i)))
                for i in z.infolist()]


def same(a, b):
    if a.endswith(".zip"):
        return zip_entries(a) == zip_entries(b)
    with open(a, "rb") as fa, open(b, "rb") as fb:
        da, db = fa.read(), fb.read()
    return neutral(da) == neutral(db)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("reference")
    parser.add_argument("build")
    parser.add_argument("--vehicles", type=int, default=1000)
    parser.add_argument("--keys", default=",".join(bench_all.KEYS))
    args = parser.parse_args()
    keys = args.keys.split(",")
    binaries = [os.path.join(os.path.abspath(b), "tarvelon") for b in (args.reference, args.build)]
    work = tempfile.mkdtemp(prefix="tarvelon-compare-")
    differences = 0
    try:
        drive, _, _ = bench_all.lay_out(work, args.vehicles, keys, bench_all.extract_names(), False)
        home = os.path.join(work, "program")
        os.makedirs(home)
        with open(os.path.join(home, "Tarvelon.ini"), "wb") as ini:
            ini.write(bench_all.settings(bench_all.free_port(), False))
        env = dict(os.environ, TARVELON_DRIVE_C=drive, TARVELON_HOME=home, SharedTemp="c:\\SharedTemp",
                   PATH="/usr/bin:" + os.environ.get("PATH", ""))
        shared = os.path.join(drive, "SharedTemp")
        for key in keys:
            kept = []
            for i, binary in enumerate(binaries):
                shutil.rmtree(shared)
                os.makedirs(shared)
                subprocess.run([binary, key], env=env, cwd=work, check=True, stdout=subprocess.DEVNULL)
                kept.append(os.path.join(work, "%s-%d" % (key, i)))
                shutil.move(shared, kept[-1])
                os.makedirs(shared)
            ref, new = snapshot(kept[0]), snapshot(kept[1])
            problems = sorted(set(ref) ^ set(new)) + [p for p in sorted(set(ref) & set(new)) if not same(ref[p], new[p])]
            print("%-16s %5d files %s" % (key, len(ref), "same" if not problems else "DIFFERENT: " + ", ".join(problems[:5])))
            differences += len(problems)
            for folder in kept:
                shutil.rmtree(folder)
    finally:
        shutil.rmtree(work)
    sys.exit(1 if differences else 0)


if __name__ == "__main__":
    main()
