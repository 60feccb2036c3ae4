#!/usr/bin/env python3
"""Checks a release archive and unpacks it.

    check-archive.py ARCHIVE.zip FOLDER

The archive must open, pass its CRC checks and hold exactly Pixlance.exe, README.txt and
CHANGELOG.md, in that order, at its root, with no folder entries; the changelog must have a
section for the version in the archive's name. The files are written into FOLDER.
"""
import os
import re
import sys
import zipfile

EXPECTED = ["Pixlance.exe", "README.txt", "CHANGELOG.md"]


def problems_of(archive, folder):
    match = re.search(r"Pixlance-(\d+\.\d+\.\d+)-win64\.zip$", archive)
    if not match:
        return ["the archive's name %r carries no version" % os.path.basename(archive)]
    version = match.group(1)
    try:
        z = zipfile.ZipFile(archive)
    except (OSError, zipfile.BadZipFile) as error:
        return ["does not open: %s" % error]
    with z:
        names = z.namelist()
        if names != EXPECTED:
            return ["holds %s instead of %s" % (names, EXPECTED)]
        broken = z.testzip()
        if broken:
            return ["%s fails its CRC check" % broken]
        os.makedirs(folder, exist_ok=True)
        for name in names:
            with open(os.path.join(folder, name), "wb") as out:
                out.write(z.read(name))
        problems = []
        if not z.read("Pixlance.exe").startswith(b"MZ"):
            problems.append("Pixlance.exe is no executable")
        readme = z.read("README.txt").decode("utf-8")
        for needed in ("Pixlance " + version, "Morvex.lnk", "Settings.dat", "Unsent",
                       "History.tsv", "Ctrl+Shift+F"):
            if needed not in readme:
                problems.append("README.txt does not mention %r" % needed)
        if "@VERSION@" in readme:
            problems.append("README.txt still holds @VERSION@")
        changelog = z.read("CHANGELOG.md").decode("utf-8")
        if "## [%s]" % version not in changelog:
            problems.append("CHANGELOG.md has no section for %s" % version)
        return problems


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    problems = problems_of(argv[1], argv[2])
    for problem in problems:
        print("%s: %s" % (argv[1], problem), file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
