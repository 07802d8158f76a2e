#!/usr/bin/env python3
"""An SMTP server on 127.0.0.1 for the mail tests (Debian's python3-aiosmtpd).

Prints its port first. Every message it accepts is written to OUT_DIR as
message-N.txt: "MAIL FROM:<...>", one "RCPT TO:<...>" line per recipient,
an empty line, then the message as it arrived (dot-stuffing undone), and each
connection adds a line to OUT_DIR/sessions.txt.

  smtp_server.py OUT_DIR [--reject-rcpt] [--auth-required] [--tls CERT KEY]

--reject-rcpt answers RCPT with 550; --auth-required answers MAIL with 530
(no AUTH is offered without TLS); --tls offers STARTTLS with that
certificate and demands it before MAIL, and each message adds "tls" or
"plain" to OUT_DIR/tls.txt. Exits with 77 when aiosmtpd is missing.
"""

import asyncio
import os
import ssl
import sys

try:
    from aiosmtpd.smtp import SMTP, AuthResult
except ImportError:
    sys.exit(77)


class Handler:
    def __init__(self, out_dir, reject_rcpt):
        self.out_dir = out_dir
        self.reject_rcpt = reject_rcpt
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if self.reject_rcpt:
            return "550 5.1.1 <%s>: Recipient address rejected: User unknown" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        with open(os.path.join(self.out_dir, "tls.txt"), "a") as f:
            f.write("tls\n" if session.ssl is not None else "plain\n")
        self.count += 1
        path = os.path.join(self.out_dir, "message-%d.txt" % self.count)
        with open(path + ".part", "wb") as f:
            f.write(b"MAIL FROM:<%s>\n" % envelope.mail_from.encode("latin-1"))
            for rcpt in envelope.rcpt_tos:
                f.write(b"RCPT TO:<%s>\n" % rcpt.encode("latin-1"))
            f.write(b"\n")
            f.write(envelope.original_content)
        os.rename(path + ".part", path)
        return "250 2.0.0 Ok: queued as %d" % self.count


class CountingSMTP(SMTP):
    def connection_made(self, transport):
        with open(os.path.join(self.event_handler.out_dir, "sessions.txt"), "a") as f:
            f.write("session\n")
        super().connection_made(transport)


def refuse(server, session, envelope, mechanism, auth_data):
    return AuthResult(success=False)


async def main():
    out_dir = sys.argv[1]
    handler = Handler(out_dir, "--reject-rcpt" in sys.argv)
    auth = "--auth-required" in sys.argv
    tls = None
    if "--tls" in sys.argv:
        at = sys.argv.index("--tls")
        tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        tls.load_cert_chain(sys.argv[at + 1], sys.argv[at + 2])
    loop = asyncio.get_running_loop()
    server = await loop.create_server(
        lambda: CountingSMTP(handler, hostname="test.local", auth_required=auth, auth_require_tls=True,
                             authenticator=refuse, tls_context=tls, require_starttls=tls is not None),
        host="127.0.0.1", port=0)
    print(server.sockets[0].getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    try:
        asyncio.run(main())
    except KeyboardInterrupt:
        pass
