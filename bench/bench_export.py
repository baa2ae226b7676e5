#!/usr/bin/env python3
"""Times `tarvelon AUTOSCOUT24` on a synthetic extract, FTP and tagging off.

usage: bench_export.py TARVELON_BINARY EXTRACT WORK_FOLDER

Lays out a drive folder with the extract and every photo (and thumbnail) the
extract names, runs the export and prints its wall time and peak memory next
to `xmllint --noout` on the same extract and a plain copy of the photo files.
"""
import os
import re
import resource
import shutil
import subprocess
import sys
import time

SETTINGS = """[Options]
PathImages=c:\\\\projects\\\\kord\\\\images
NoFTP=1
NoTAG=1
[Pictlore]
ServeurFTP=127.0.0.1:9
[AUTOSCOUT24]
idClient=4711
TestFTPPictlore=0
"""


def timed(argv, env=None):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    result = subprocess.run(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = time.monotonic() - start
    if result.returncode != 0:
        sys.exit("%s failed (%d): %s" % (argv[0], result.returncode, result.stderr.decode(errors="replace")))
    peak_kb = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    return elapsed, max(peak_kb, before.ru_maxrss)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    binary, extract, work = sys.argv[1:]
    drive = os.path.join(work, "c")
    extracts = os.path.join(drive, "projects/kord/data/Tarvelon")
    store = os.path.join(drive, "projects/kord/images")
    home = os.path.join(work, "program")
    shared = os.path.join(work, "temp")
    for folder in (extracts, store, home, shared):
        os.makedirs(folder, exist_ok=True)
    shutil.copy(extract, os.path.join(extracts, "ExpDatasAutoScout24.xml"))
    with open(os.path.join(home, "Tarvelon.ini"), "w", newline="\r\n") as ini:
        ini.write(SETTINGS.replace("\\\\\\\\", "\\\\"))

    sample = os.path.join(work, "sample.jpg")
    subprocess.run(["/usr/bin/convert", "-size", "320x240", "gradient:", "-quality", "60", sample], check=True)
    with open(extract, encoding="cp1252") as text:
        names = re.findall(r"<NomImage>([^<]+)</NomImage>", text.read())
    for name in names:
        base = os.path.join(store, name)
        os.makedirs(os.path.dirname(base), exist_ok=True)
        for suffix in (".jpg", "m.jpg"):
            if not os.path.exists(base + suffix):
                os.symlink(sample, base + suffix)

    lint, _ = timed(["xmllint", "--noout", extract])
    copy_target = os.path.join(work, "copy")
    start = time.monotonic()
    os.makedirs(copy_target)
    for i, name in enumerate(names):
        shutil.copyfile(os.path.join(store, name + ".jpg"), os.path.join(copy_target, "%d.jpg" % i))
    copy = time.monotonic() - start

    env = dict(os.environ, TARVELON_DRIVE_C=drive, TARVELON_HOME=home, SharedTemp=shared)
    export, peak_kb = timed([binary, "AUTOSCOUT24"], env)
    # Removed only now: a mass deletion just before the export would slow the
    # file system's allocation of the export's own files.
    shutil.rmtree(copy_target)
    budget = 5 * lint + copy
    print("%-28s %8.2f s" % ("xmllint --noout", lint))
    print("%-28s %8.2f s  (%d photos)" % ("copy of the photo files", copy, len(names)))
    print("%-28s %8.2f s  peak %d MB" % ("tarvelon AUTOSCOUT24", export, peak_kb // 1024))
    print("%-28s %8.2f s  -> %s" % ("target 5 x xmllint + copy", budget, "met" if export <= budget else "MISSED"))


if __name__ == "__main__":
    main()
