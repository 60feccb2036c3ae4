#!/usr/bin/python3
"""A real FTP server for the tests (pyftpdlib), bound to one loopback address on port 21.

Account: "tester" / "secret" (or --user/--password) with full rights in the server's folder.
Modes:
  normal  an ordinary server
  hang    accepts connections and never answers (a server that stopped responding); logs
          "accepted" for each connection, so a test can tell when a client waits for it
  drop    logs in normally, but hangs up the data connection of every upload after a few bytes
  stall   logs in normally and opens the data connection of an upload, but never reads from it
  refuse  greets, then answers the user name with a positive line before the refusal, as a
          server behind a filtering proxy does (the client sees an unexpected reply)
  lying   an ordinary server whose SIZE answers one byte less than the file holds, as a server
          that lost the end of an upload would
  noport  an ordinary server that refuses active data connections (PORT, EPRT), as one behind a
          firewall that lets no connection out does
  nopasv  an ordinary server that refuses passive data connections (PASV, EPSV)
  keep    an ordinary server that refuses to store over a file that exists (553)
  blind   an ordinary server that answers neither SIZE nor a listing (502)
  many    an ordinary server whose top folder also lists 20,000 empty folders that exist only in
          the listing ("many00000" to "many19999"), which costs no disk
  slowsize an ordinary server that answers SIZE 3 s late
  idle    an ordinary server that hangs up a control connection idle for 1 s, as servers do after
          their own idle limit
--port sets the port (default 21). --reply-delay MS holds back every reply (the greeting
included) by that long, as a server far away answers. Every server of pyftpdlib logs "connected"
and "disconnected" for each control connection and "command <name> <argument>" for each command;
with --timed each line begins with the time, and replies and data connections are logged too.
"""
import argparse
import logging
import os
import socket
import sys
import threading
import time


# --timed: every log line begins with the time (time.monotonic), and replies and data connections
# are logged too, to read a far-link run's critical path off the log.
TIMED = False


def log(*words):
    if TIMED:
        print("%.4f" % time.monotonic(), *words, flush=True)
    else:
        print(*words, flush=True)


def serve_hanging(address, port):
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((address, port))
    listener.listen(64)
    held = []
    print("ready", flush=True)
    while True:
        conn, _ = listener.accept()
        held.append(conn)  # never answered, never closed
        print("accepted", flush=True)


def serve_refusing(address, port):
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((address, port))
    listener.listen(64)
    print("ready", flush=True)

    def refuse(conn):
        with conn:
            conn.sendall(b"220 Pixlance test server ready.\r\n")
            conn.makefile("rb").readline()
            conn.sendall(b"220 Proxy ready.\r\n530 Login refused by the proxy.\r\n")
            time.sleep(5)

    while True:
        conn, _ = listener.accept()
        threading.Thread(target=refuse, args=(conn,), daemon=True).start()


def serve_ftp(address, port, root, mode, user, password, reply_delay):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.filesystems import AbstractedFS, FilesystemError
    from pyftpdlib.handlers import FTPHandler, DTPHandler
    from pyftpdlib.servers import ThreadedFTPServer

    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")

    class DroppingDTPHandler(DTPHandler):
        def handle_read(self):
            super().handle_read()
            if self.tot_bytes_received > 1000 and not self._closed:
                # As a server does that gives up on a transfer: the data connection goes, and the
                # control connection says why.
                self._resp = ("426 Connection closed; transfer aborted.", logging.debug)
                self.socket.shutdown(socket.SHUT_RDWR)
                self.close()

        # The event loop calls handle_read_event, which the base class binds to its own handle_read.
        handle_read_event = handle_read

    class TimedDTPHandler(DTPHandler):
        def __init__(self, sock, cmd_channel):
            log("data connection opened")
            super().__init__(sock, cmd_channel)

        def handle_close(self):
            log("data connection closed after", self.tot_bytes_received, "bytes")
            super().handle_close()

    class StallingDTPHandler(DTPHandler):
        # Takes the transfer but never asks the event loop for its data.
        def enable_receiving(self, type, cmd):
            super().enable_receiving(type, cmd)
            self.ioloop.unregister(self._fileno)

    class DotsFS(AbstractedFS):
        def listdir(self, path):
            return [".", ".."] + super().listdir(path)

    class ManyFoldersFS(AbstractedFS):
        names = ["many%05d" % n for n in range(20000)]

        def _is_top(self, path):
            return os.path.normpath(path) == os.path.normpath(self.root)

        def listdir(self, path):
            listing = super().listdir(path)
            return listing + self.names if self._is_top(path) else listing

        def format_list(self, basedir, listing, ignore_err=True):
            if not self._is_top(basedir):
                yield from super().format_list(basedir, listing, ignore_err)
                return
            real = set(super().listdir(basedir))
            for name in listing:
                if name in real:
                    yield from super().format_list(basedir, [name], ignore_err)
                else:
                    yield ("drwxr-xr-x   1 owner    group           0 Jan 01 00:00 %s\r\n"
                           % name).encode("utf8")

    class Handler(FTPHandler):
        def pre_process_command(self, line, cmd, arg):
            log("command", cmd, "******" if cmd == "PASS" else arg)
            super().pre_process_command(line, cmd, arg)

        def on_connect(self):
            log("connected")

        def on_disconnect(self):
            log("disconnected")

        def respond(self, resp, logfun=logging.debug):
            # Each connection has a thread of its own (ThreadedFTPServer): only this one waits.
            if reply_delay:
                time.sleep(reply_delay / 1000.0)
            if TIMED:
                log("reply", resp)
            super().respond(resp, logfun)

    class NoPortHandler(Handler):
        def ftp_PORT(self, line):
            self.respond("500 Active mode is not allowed here.")

        def ftp_EPRT(self, line):
            self.respond("500 Active mode is not allowed here.")

    class NoPasvHandler(Handler):
        def ftp_PASV(self, line):
            self.respond("500 Passive mode is not allowed here.")

        def ftp_EPSV(self, line):
            self.respond("500 Passive mode is not allowed here.")

    class KeepingHandler(Handler):
        def ftp_STOR(self, file, mode="w"):
            if os.path.exists(file):
                self.respond("553 %s exists; it is not replaced." % self.fs.fs2ftp(file))
                return
            return super().ftp_STOR(file, mode)

    class IdleHandler(Handler):
        # pyftpdlib's own idle timer does not start again after an upload: a timer of its own,
        # from the last reply, that waits while a transfer runs.
        hangup = None

        def respond(self, resp, logfun=logging.debug):
            super().respond(resp, logfun)
            self.restart_hangup()

        def pre_process_command(self, line, cmd, arg):
            if self.hangup is not None and not self.hangup.cancelled:
                self.hangup.cancel()
            super().pre_process_command(line, cmd, arg)

        def restart_hangup(self):
            if self.hangup is not None and not self.hangup.cancelled:
                self.hangup.cancel()
            self.hangup = self.ioloop.call_later(1, self.hang_up, _errback=self.handle_error)

        def hang_up(self):
            if self.data_channel is not None:
                self.restart_hangup()
                return
            self.push("421 Control connection timed out.\r\n")
            self.close_when_done()

    class LyingHandler(Handler):
        def ftp_SIZE(self, path):
            try:
                size = self.run_as_current_user(self.fs.getsize, path)
            except (OSError, FilesystemError) as err:
                self.respond("550 %s." % err)
                return
            self.respond("213 %s" % max(size - 1, 0))

    class BlindHandler(Handler):
        # Tells nothing of the files it holds: no SIZE, no listing.
        def ftp_SIZE(self, path):
            self.respond("502 SIZE is not implemented here.")

        def ftp_LIST(self, path):
            self.respond("502 Listings are not allowed here.")

        ftp_NLST = ftp_MLSD = ftp_LIST

    class SlowSizeHandler(Handler):
        def ftp_SIZE(self, path):
            time.sleep(3)
            super().ftp_SIZE(path)

    Handler = {"lying": LyingHandler, "slowsize": SlowSizeHandler, "noport": NoPortHandler, "nopasv": NoPasvHandler,
               "keep": KeepingHandler, "idle": IdleHandler, "blind": BlindHandler}.get(mode, Handler)
    Handler.authorizer = authorizer
    Handler.banner = "220 Pixlance test server ready."
    Handler.permit_foreign_addresses = True
    if TIMED and mode == "normal":
        Handler.dtp_handler = TimedDTPHandler
    if mode == "drop":
        Handler.dtp_handler = DroppingDTPHandler
    elif mode == "stall":
        Handler.dtp_handler = StallingDTPHandler
    elif mode == "dots":
        Handler.abstracted_fs = DotsFS
    elif mode == "many":
        Handler.abstracted_fs = ManyFoldersFS
    server = ThreadedFTPServer((address, port), Handler)
    print("ready", flush=True)
    server.serve_forever()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--address", required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--mode", default="normal", choices=("normal", "hang", "drop", "stall", "refuse", "dots", "lying", "noport", "nopasv", "keep", "many", "idle", "slowsize", "blind"))
    parser.add_argument("--reply-delay", type=int, default=0)
    parser.add_argument("--timed", action="store_true")
    parser.add_argument("--port", type=int, default=21)
    parser.add_argument("--user", default="tester")
    parser.add_argument("--password", default="secret")
    args = parser.parse_args()
    global TIMED
    TIMED = args.timed
    logging.basicConfig(level=logging.WARNING)
    os.makedirs(args.root, exist_ok=True)
    if args.mode == "hang":
        serve_hanging(args.address, args.port)
    elif args.mode == "refuse":
        serve_refusing(args.address, args.port)
    else:
        serve_ftp(args.address, args.port, args.root, args.mode, args.user, args.password,
                  args.reply_delay)


if __name__ == "__main__":
    main()
