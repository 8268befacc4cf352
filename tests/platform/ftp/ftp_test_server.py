#!/usr/bin/env python3
"""A pyftpdlib server on 127.0.0.1 for the FTP tests, with faults injected through handler subclasses.

Prints the port it listens on as the first line of standard output and serves until standard input
closes (so it never outlives the test that started it).
"""
import argparse
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--root", required=True)
    p.add_argument("--user", default="kem")
    p.add_argument("--password", default="pw")
    p.add_argument("--fail-retr", action="append", default=[], help="RETR of this name answers 550")
    p.add_argument("--fail-stor", action="append", default=[], help="STOR of this name answers 553")
    p.add_argument("--fail-dele", action="append", default=[], help="DELE of this name answers 550")
    p.add_argument("--fail-rnto", action="append", default=[], help="RNTO to this name answers 550")
    p.add_argument("--drop-retr", action="append", default=[],
                   help="RETR of this name sends part of the file, then drops the connection")
    p.add_argument("--fake-entry", action="append", default=[],
                   help="a file name listed in the root directory that does not exist")
    p.add_argument("--fail-list", action="store_true", help="MLSD and LIST answer 550")
    p.add_argument("--broken-mlsd", action="store_true", help="MLST is offered, but MLSD answers 500")
    p.add_argument("--no-mlsd", action="store_true", help="offer LIST only")
    p.add_argument("--anonymous", action="store_true", help="also let anonymous users in")
    p.add_argument("--cmdlog", help="append every command received to this file")
    return p.parse_args()


ARGS = parse_args()


def log_line(text):
    if ARGS.cmdlog:
        with open(ARGS.cmdlog, "a", encoding="utf-8", errors="surrogateescape") as f:
            f.write(text + "\n")


class FakeEntriesFS(AbstractedFS):
    """Adds names that no file system could hold to the listing of the root directory."""

    def listdir(self, path):
        # Name order, so that "the second file" means the same in every run.
        return sorted(super().listdir(path))

    def _is_root(self, path):
        return os.path.realpath(path) == os.path.realpath(self.root)

    def format_list(self, basedir, listing, ignore_err=True):
        yield from super().format_list(basedir, listing, ignore_err)
        if self._is_root(basedir):
            for name in ARGS.fake_entry:
                line = "-rw-r--r--   1 owner    group          10 Jan 02 03:04 %s\r\n" % name
                yield line.encode("utf8", "surrogateescape")

    def format_mlsx(self, basedir, listing, perms, facts, ignore_err=True):
        yield from super().format_mlsx(basedir, listing, perms, facts, ignore_err)
        if self._is_root(basedir) and len(listing) != 1:
            for name in ARGS.fake_entry:
                yield ("type=file;size=10;modify=20260102030405; %s\r\n" % name).encode("utf8", "surrogateescape")


class DropProducer:
    """Hands out the first half of a file, then closes the whole session instead of the rest."""

    def __init__(self, handler, data):
        self.handler = handler
        self.data = data[: max(1, len(data) // 2)]

    def more(self):
        if self.data:
            chunk, self.data = self.data, b""
            return chunk
        self.handler.close()
        return b""


class FaultyHandler(FTPHandler):
    abstracted_fs = FakeEntriesFS
    auth_failed_timeout = 0.01

    def on_connect(self):
        log_line("CONNECT")

    def pre_process_command(self, line, cmd, arg):
        log_line("PASS ****" if cmd == "PASS" else line)
        return super().pre_process_command(line, cmd, arg)

    def _name(self, path):
        return os.path.basename(path)

    def ftp_MLSD(self, path):
        if ARGS.broken_mlsd:
            self.respond("500 Command not understood.")
            return None
        if ARGS.fail_list:
            self.respond("550 Injected listing failure.")
            return None
        return super().ftp_MLSD(path)

    def ftp_LIST(self, path):
        if ARGS.fail_list:
            self.respond("550 Injected listing failure.")
            return None
        return super().ftp_LIST(path)

    def ftp_RETR(self, file):
        name = self._name(file)
        if name in ARGS.fail_retr:
            self.respond("550 Injected download failure.")
            return None
        if name in ARGS.drop_retr:
            with open(file, "rb") as f:
                data = f.read()
            self.push_dtp_data(DropProducer(self, data), isproducer=True, cmd="RETR")
            return file
        return super().ftp_RETR(file)

    def ftp_STOR(self, file, mode="w"):
        if self._name(file) in ARGS.fail_stor:
            self.respond("553 Injected upload failure.")
            return None
        return super().ftp_STOR(file, mode)

    def ftp_RNTO(self, path):
        if self._name(path) in ARGS.fail_rnto:
            self.respond("550 Injected rename failure.")
            return None
        return super().ftp_RNTO(path)

    def ftp_DELE(self, path):
        if self._name(path) in ARGS.fail_dele:
            self.respond("550 Injected delete failure.")
            return None
        return super().ftp_DELE(path)


def main():
    if ARGS.no_mlsd:
        cmds = dict(FaultyHandler.proto_cmds)
        cmds.pop("MLSD", None)
        cmds.pop("MLST", None)
        FaultyHandler.proto_cmds = cmds
    authorizer = DummyAuthorizer()
    authorizer.add_user(ARGS.user, ARGS.password, ARGS.root, perm="elradfmwMT")
    if ARGS.anonymous:
        authorizer.add_anonymous(ARGS.root, perm="elradfmwMT")
    FaultyHandler.authorizer = authorizer
    FaultyHandler.passive_ports = None
    server = FTPServer(("127.0.0.1", 0), FaultyHandler)
    print(server.socket.getsockname()[1], flush=True)

    def watch_stdin():
        sys.stdin.read()
        os._exit(0)

    threading.Thread(target=watch_stdin, daemon=True).start()
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    import logging
    logging.basicConfig(level=logging.CRITICAL)
    main()
