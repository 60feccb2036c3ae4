#!/usr/bin/env python3
"""Tests of the release tools: the zip writer, the archive check and the version resource reader.

    release_tools_test.py PIXLANCE_EXE VERSION
"""
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")
EXE, VERSION = sys.argv[1], sys.argv[2]


def tool(name, *args):
    return subprocess.run([sys.executable, os.path.join(TOOLS, name), *args],
                          capture_output=True, text=True)


class ReleaseTools(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)
        self.readme = self.file("README.txt", "Pixlance %s\nCtrl+Shift+F Settings.dat Unsent "
                                "History.tsv Morvex.lnk\n" % VERSION)
        self.changelog = self.file("CHANGELOG.md", "## [%s] - 2026-12-10\n" % VERSION)
        with open(EXE, "rb") as f:
            self.exe = self.file("Pixlance.exe", f.read())

    def file(self, name, content):
        path = os.path.join(self.dir.name, "in-" + name)
        with open(path, "wb") as f:
            f.write(content.encode() if isinstance(content, str) else content)
        return path

    def archive(self, tag, *entries, stamp="1765324800"):
        folder = os.path.join(self.dir.name, tag)
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, "Pixlance-%s-win64.zip" % VERSION)
        result = tool("make-zip.py", path, stamp, *entries)
        self.assertEqual(result.returncode, 0, result.stderr)
        return path

    def good_entries(self):
        return ["Pixlance.exe=" + self.exe, "README.txt=" + self.readme,
                "CHANGELOG.md=" + self.changelog]

    def check(self, path):
        return tool("check-archive.py", path, os.path.join(self.dir.name, "out"))

    def test_same_files_give_same_bytes_whatever_their_file_times(self):
        first = self.archive("a", *self.good_entries())
        os.utime(self.readme, (1000000000, 1000000000))
        second = self.archive("b", *self.good_entries())
        with open(first, "rb") as a, open(second, "rb") as b:
            self.assertEqual(a.read(), b.read())
        with zipfile.ZipFile(first) as z:
            self.assertEqual([i.date_time for i in z.infolist()], [(2025, 12, 10, 0, 0, 0)] * 3)

    def test_good_archive_passes_and_unpacks(self):
        result = self.check(self.archive("a", *self.good_entries()))
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(os.path.join(self.dir.name, "out", "Pixlance.exe"), "rb") as f, \
                open(self.exe, "rb") as g:
            self.assertEqual(f.read(), g.read())

    def test_wrong_order_or_extra_file_fails(self):
        entries = self.good_entries()
        self.assertNotEqual(self.check(self.archive("a", *reversed(entries))).returncode, 0)
        extra = self.archive("b", *entries, "notes.txt=" + self.readme)
        self.assertIn("instead of", self.check(extra).stderr)

    def test_folder_entry_fails(self):
        path = self.archive("a", *self.good_entries())
        with zipfile.ZipFile(path, "a") as z:
            z.writestr("docs/", b"")
        self.assertNotEqual(self.check(path).returncode, 0)

    def test_changelog_without_the_version_fails(self):
        entries = self.good_entries()
        entries[2] = "CHANGELOG.md=" + self.file("old.md", "## [0.0.1] - 2020-01-01\n")
        self.assertIn("no section", self.check(self.archive("a", *entries)).stderr)

    def test_damaged_archive_fails(self):
        path = self.archive("a", *self.good_entries())
        with open(path, "r+b") as f:
            f.seek(200)
            f.write(b"\xff" * 16)
        self.assertNotEqual(self.check(path).returncode, 0)

    def test_version_reader_reads_the_built_program(self):
        result = tool("pe-version.py", EXE, "--expect", VERSION)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("080404b0.ProductName=Pixlance\n", result.stdout)
        self.assertIn("Translation=0000:04b0 0804:04b0\n", result.stdout)

    def test_version_reader_sees_another_version(self):
        self.assertNotEqual(tool("pe-version.py", EXE, "--expect", "9.9.9").returncode, 0)
        with open(EXE, "rb") as f:
            data = f.read()
        # The same program with its version text changed in both blocks.
        other = VERSION.translate(str.maketrans("0123456789", "1234567890"))
        changed = data.replace(VERSION.encode("utf-16-le"), other.encode("utf-16-le"))
        self.assertNotEqual(changed, data)
        result = tool("pe-version.py", self.file("changed.exe", changed), "--expect", VERSION)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("000004b0.FileVersion", result.stderr)

    def test_version_reader_refuses_a_file_without_resource(self):
        result = tool("pe-version.py", self.readme)
        self.assertEqual(result.returncode, 1)
        self.assertIn("no MZ header", result.stderr)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
