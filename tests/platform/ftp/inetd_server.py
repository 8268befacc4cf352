#!/usr/bin/python3
"""Serves 127.0.0.1 on a port the system chooses, running a program for each connection in inetd style
(the connection as its standard input and output), as vsftpd does with listen=NO.

Usage: inetd_server.py PROGRAM [ARGS...]
Prints the port as the first line of standard output and serves until standard input closes or the
process is told to end; the programs still serving then are ended too.
"""
import os
import signal
import socket
import subprocess
import sys
import threading

children = []


def finish(*_):
    for child in children:
        if child.poll() is None:
            child.kill()
    os._exit(0)


def main():
    command = sys.argv[1:]
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.bind(("127.0.0.1", 0))
    server.listen(16)
    print(server.getsockname()[1], flush=True)
    signal.signal(signal.SIGTERM, finish)
    threading.Thread(target=lambda: (sys.stdin.read(), finish()), daemon=True).start()
    while True:
        conn, _ = server.accept()
        children.append(subprocess.Popen(command, stdin=conn.fileno(), stdout=conn.fileno(),
                                         stderr=subprocess.DEVNULL, close_fds=True))
        conn.close()
        children[:] = [c for c in children if c.poll() is None]


if __name__ == "__main__":
    main()
