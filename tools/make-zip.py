#!/usr/bin/env python3
"""Writes a zip archive that depends only on the files' bytes and the given time.

    make-zip.py ARCHIVE SECONDS_SINCE_EPOCH NAME=FILE [NAME=FILE ...]

The entries stand at the archive's root in the order given, all with the given time (UTC, as zip
keeps no zone), the same permissions and no folder entries, so one commit packaged twice gives
the same bytes.
"""
import os
import sys
import time
import zipfile


def main(argv):
    if len(argv) < 4:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    archive, seconds = argv[1], int(argv[2])
    # Zip times start in 1980 and have two-second steps.
    stamp = time.gmtime(max(seconds, 315532800) & ~1)[:6]
    temporary = archive + ".part"
    with zipfile.ZipFile(temporary, "w") as z:
        for entry in argv[3:]:
            name, _, path = entry.partition("=")
            if not name or not path or "/" in name or "\\" in name:
                print("make-zip.py: want NAME=FILE with a plain name, got %r" % entry,
                      file=sys.stderr)
                return 2
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3
            info.external_attr = 0o100644 << 16
            with open(path, "rb") as f:
                z.writestr(info, f.read(), compresslevel=9)
    os.replace(temporary, archive)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
