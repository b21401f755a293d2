#!/usr/bin/python3
"""An FTP server for the network tests: one account rooted in a folder, bound to a
free port on 127.0.0.1, which it prints on its first line.

  ftp_server.py ROOT USER PASSWORD [--tls CERT KEY] [--fault stall|truncate BYTES]

--tls offers explicit TLS and requires it for the login and the data.  --fault makes
every download stop after BYTES: "stall" keeps the connection open and sends nothing
more, "truncate" closes the data connection early."""

import argparse
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler, TLS_DTPHandler, TLS_FTPHandler
from pyftpdlib.servers import FTPServer


class FaultProducer:
    def __init__(self, inner, limit, mode):
        self.inner = inner
        self.limit = limit
        self.mode = mode
        self.sent = 0

    def more(self):
        if self.sent >= self.limit:
            if self.mode == "stall":
                time.sleep(3600)
            return b""
        data = self.inner.more()[: self.limit - self.sent]
        self.sent += len(data)
        return data


class PatientTLS_DTPHandler(TLS_DTPHandler):
    # libcurl opens the data connection, and its TLS handshake, as soon as the server
    # names the passive port, before the transfer command. pyftpdlib 1.5.7 closes a data
    # connection that is readable before it has a transfer to do; this one finishes the
    # handshake and then waits for the command.
    def readable(self):
        if self._ssl_accepting or self._ssl_want_read:
            return True
        if not self.receive and not self._initialized:
            return False
        return super().readable()


def faulty(base, limit, mode):
    class Faulty(base):
        def use_sendfile(self):
            return False

        def push_with_producer(self, producer):
            if getattr(producer, "file", None) is not None:
                producer = FaultProducer(producer, limit, mode)
            base.push_with_producer(self, producer)

    return Faulty


def exit_with_parent():
    """Ends the server when the test that started it has gone, even by a crash: its
    end of our standard input closes then."""
    import os
    import threading

    def watch():
        sys.stdin.buffer.read()
        os._exit(0)

    threading.Thread(target=watch, daemon=True).start()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("user")
    parser.add_argument("password")
    parser.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    parser.add_argument("--fault", nargs=2, metavar=("MODE", "BYTES"))
    args = parser.parse_args()

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    if args.tls:
        class Handler(TLS_FTPHandler):
            pass
        Handler.certfile, Handler.keyfile = args.tls
        Handler.tls_control_required = True
        Handler.tls_data_required = True
        dtp = PatientTLS_DTPHandler
    else:
        class Handler(FTPHandler):
            pass
        dtp = DTPHandler
    if args.fault:
        dtp = faulty(dtp, int(args.fault[1]), args.fault[0])
    Handler.dtp_handler = dtp
    Handler.authorizer = authorizer
    Handler.passive_ports = None
    Handler.banner = "Test server ready."
    # Quicker than the 3 seconds pyftpdlib waits by default before refusing a login.
    Handler.auth_failed_timeout = 0.2

    exit_with_parent()
    server = FTPServer(("127.0.0.1", 0), Handler)
    print(server.address[1], flush=True)
    sys.stdout.close()
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    main()
