#!/usr/bin/python3
"""A mail server for the network tests, bound to a free port on 127.0.0.1, which it
prints on its first line.  Every message received is parsed with Python's own e-mail
package and written as OUTDIR/mail-N.json (through a temporary name) before the server
answers 250, with the envelope, the headers, each part's decoded bytes in base64, and
whether the session was encrypted and logged in.

  smtp_server.py OUTDIR [--starttls CERT KEY] [--implicit CERT KEY] [--auth USER PASSWORD]

--starttls offers STARTTLS and requires it; --implicit speaks TLS from the start;
--auth requires a login (only over TLS when TLS is offered)."""

import argparse
import asyncio
import base64
import email
import email.policy
import json
import os
import ssl
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Recorder:
    def __init__(self, outdir):
        self.outdir = outdir
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        message = email.message_from_bytes(envelope.original_content, policy=email.policy.default)
        parts = []
        for part in message.walk():
            if part.is_multipart():
                continue
            payload = part.get_payload(decode=True) or b""
            parts.append({
                "content_type": part.get_content_type(),
                "charset": part.get_content_charset() or "",
                "filename": part.get_filename() or "",
                "transfer_encoding": part.get("Content-Transfer-Encoding", ""),
                "data": base64.b64encode(payload).decode("ascii"),
            })
        login = session.auth_data

        def addresses(name):
            header = message[name]
            if header is None:
                return []
            return [[a.display_name, a.addr_spec] for a in header.addresses]

        summary = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "headers": [[key, str(value)] for key, value in message.items()],
            "parts": parts,
            "from": addresses("From"),
            "to": addresses("To"),
            "tls": session.ssl is not None or server.transport.get_extra_info("ssl_object") is not None,
            "login": login.decode() if isinstance(login, bytes) else "",
            "size": len(envelope.original_content),
        }
        self.count += 1
        path = os.path.join(self.outdir, "mail-%d.json" % self.count)
        with open(path + ".tmp", "w") as out:
            json.dump(summary, out)
        os.rename(path + ".tmp", path)
        return "250 Message accepted"


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
    parser.add_argument("outdir")
    parser.add_argument("--starttls", nargs=2, metavar=("CERT", "KEY"))
    parser.add_argument("--implicit", nargs=2, metavar=("CERT", "KEY"))
    parser.add_argument("--auth", nargs=2, metavar=("USER", "PASSWORD"))
    args = parser.parse_args()

    def context(pair):
        result = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        result.load_cert_chain(*pair)
        return result

    options = {"hostname": "test.invalid"}
    if args.starttls:
        options.update(tls_context=context(args.starttls), require_starttls=True)
    if args.auth:
        user, password = args.auth[0].encode(), args.auth[1].encode()

        def authenticator(server, session, envelope, mechanism, data):
            ok = isinstance(data, LoginPassword) and data.login == user and data.password == password
            return AuthResult(success=ok, handled=False, auth_data=data.login if ok else None)

        options.update(authenticator=authenticator, auth_required=True,
                       auth_require_tls=bool(args.starttls))
    exit_with_parent()
    recorder = Recorder(args.outdir)

    async def serve():
        server = await asyncio.get_running_loop().create_server(
            lambda: SMTP(recorder, **options), "127.0.0.1", 0,
            ssl=context(args.implicit) if args.implicit else None)
        print(server.sockets[0].getsockname()[1], flush=True)
        sys.stdout.close()
        await server.serve_forever()

    asyncio.run(serve())


if __name__ == "__main__":
    main()
