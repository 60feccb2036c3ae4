#!/usr/bin/python3
"""The upload service recipe (deploy/upload-service) as a client sees it: the built-in account
stores new files in passive and active mode and does nothing else; the web server hands the files
out byte for byte and lists no folder.

    upload_service_test.py   (PIXLANCE_FTP_ROOT_SERVICE_RECIPE, PIXLANCE_FTP_ADDRESS_SERVICE_RECIPE
                              and PIXLANCE_SERVICE_URL_SERVICE_RECIPE name the running service)
"""
import ftplib
import io
import os
import pwd
import re
import socket
import struct
import time
import unittest
import urllib.error
import urllib.request

ROOT = os.environ["PIXLANCE_FTP_ROOT_SERVICE_RECIPE"]
ADDRESS = os.environ["PIXLANCE_FTP_ADDRESS_SERVICE_RECIPE"]
WEB = os.environ["PIXLANCE_SERVICE_URL_SERVICE_RECIPE"]


def builtin_account():
    """The user name and password the program carries (output/BuiltinTarget.h)."""
    header = os.path.join(os.path.dirname(__file__), "..", "..", "output", "BuiltinTarget.h")
    with open(header, encoding="utf-8") as f:
        text = f.read()
    value = lambda name: re.search(name + r' = L"([^"]*)";', text).group(1)
    return value("kUsername"), value("kPassword")


USER, PASSWORD = builtin_account()
# Every byte value, and more than one data block.
IMAGE = b"\x89PNG\r\n\x1a\n" + bytes(range(256)) * 300


def login(passive=True):
    ftp = ftplib.FTP()
    ftp.connect(ADDRESS, 21, timeout=20)
    ftp.login(USER, PASSWORD)
    ftp.set_pasv(passive)
    return ftp


def reply_code(action):
    """The code of the server's reply to the action, a refusal or not."""
    try:
        return action()[:3]
    except ftplib.Error as refusal:
        return str(refusal)[:3]


def data_command_code(ftp, command):
    """The code of the server's reply to a command that opens a data connection."""
    def transfer():
        ftp.transfercmd(command).close()
        return ftp.voidresp()
    return reply_code(transfer)


def http_get(path):
    """Status, content type and body of a GET, refusals included."""
    try:
        with urllib.request.urlopen(WEB + path, timeout=20) as answer:
            return answer.status, answer.headers.get("Content-Type"), answer.read()
    except urllib.error.HTTPError as refusal:
        return refusal.code, refusal.headers.get("Content-Type"), refusal.read()


def on_disk(name):
    with open(os.path.join(ROOT, name), "rb") as f:
        return f.read()


class UploadServiceTest(unittest.TestCase):
    def setUp(self):
        self.ftp = login()

    def tearDown(self):
        self.ftp.close()

    def store(self, name, data, passive=True):
        self.ftp.set_pasv(passive)
        return self.ftp.storbinary("STOR /" + name, io.BytesIO(data))

    def test_a_new_file_is_stored_in_both_modes_and_served_byte_for_byte(self):
        for passive, name in ((True, "passive_k3Qx9TzB2mWcL7pA.png"),
                              (False, "active_Hs81LmQa0ZxPw3Ke.png")):
            self.assertEqual(self.store(name, IMAGE, passive)[:3], "226")
            self.assertEqual(self.ftp.sendcmd("SIZE /" + name), "213 %d" % len(IMAGE))
            self.assertEqual(on_disk(name), IMAGE)
            # The guest account owns the file, and the web server may read it.
            stat = os.stat(os.path.join(ROOT, name))
            self.assertEqual(stat.st_uid, pwd.getpwnam("ftp").pw_uid)
            self.assertEqual(stat.st_mode & 0o777, 0o644)
            self.assertEqual(http_get("/" + name), (200, "image/png", IMAGE))

    def test_nothing_but_storing_is_allowed(self):
        name = "kept_9f8e7d6c5b4a3f2e.png"
        self.store(name, IMAGE)
        ftp = self.ftp
        refusals = {
            "LIST": data_command_code(ftp, "LIST"),
            "NLST": data_command_code(ftp, "NLST"),
            "MLSD": data_command_code(ftp, "MLSD"),
            "RETR": data_command_code(ftp, "RETR /" + name),
            "APPE": data_command_code(ftp, "APPE /" + name),
            "STAT": reply_code(lambda: ftp.sendcmd("STAT /")),
            "DELE": reply_code(lambda: ftp.sendcmd("DELE /" + name)),
            "RNFR": reply_code(lambda: ftp.sendcmd("RNFR /" + name)),
            "MKD": reply_code(lambda: ftp.sendcmd("MKD /folder")),
            "RMD": reply_code(lambda: ftp.sendcmd("RMD /")),
            "SITE": reply_code(lambda: ftp.sendcmd("SITE CHMOD 777 /" + name)),
        }
        self.assertEqual(refusals, {command: "550" for command in refusals})
        # A second STOR of the name is refused and leaves the first file as it was.
        self.assertEqual(reply_code(lambda: self.store(name, b"overwritten")), "553")
        self.assertEqual(on_disk(name), IMAGE)
        self.assertFalse(os.path.exists(os.path.join(ROOT, "folder")))
        # The control connection is still good after all of that.
        self.assertEqual(ftp.sendcmd("NOOP")[:3], "200")

    def test_a_broken_transfer_leaves_nothing(self):
        name = "broken_Zq1Wx2Ec3Rv4Tb5Y.png"
        data = self.ftp.transfercmd("STOR /" + name)
        data.sendall(IMAGE)
        # A reset, not a close: the server sees the transfer fail.
        data.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        data.close()
        self.assertEqual(reply_code(self.ftp.voidresp), "426")
        deadline = time.monotonic() + 10
        while os.path.exists(os.path.join(ROOT, name)) and time.monotonic() < deadline:
            time.sleep(0.05)
        self.assertFalse(os.path.exists(os.path.join(ROOT, name)))

    def test_only_the_built_in_account_logs_in(self):
        for user, password in (("anonymous", "guest@example.com"), ("ftp", ""),
                               ("root", PASSWORD), (USER, PASSWORD + "x")):
            ftp = ftplib.FTP()
            ftp.connect(ADDRESS, 21, timeout=20)
            self.assertEqual(reply_code(lambda: ftp.login(user, password)), "530", user)
            ftp.close()

    def test_the_web_server_lists_no_folder_and_serves_only_images(self):
        name = "listed_Ab12Cd34Ef56Gh78.png"
        self.store(name, IMAGE)
        self.store("page_Ab12Cd34Ef56Gh78.html", b"<script>alert(1)</script>")
        for path in ("/", "/?C=M", "/" + name + "/", "/page_Ab12Cd34Ef56Gh78.html"):
            status, _, body = http_get(path)
            self.assertIn(status, (403, 404), path)
            self.assertNotIn(b"Ab12Cd34Ef56Gh78", body, path)
        self.assertEqual(http_get("/" + name)[0], 200)


if __name__ == "__main__":
    unittest.main(verbosity=2)
