"""A loopback SMTP server for the tests that keeps each message exactly as
received: DIR/NNN.eml (the bytes after DATA) and DIR/NNN.json (the envelope
and whether the client logged in). With --login USER PASSWORD the server
advertises AUTH and refuses mail from clients that did not log in.

    python3 smtp_server.py --port PORT --dir DIR [--login USER PASSWORD]
"""
import argparse
import json
import os
import signal
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


class Saver:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, "%03d" % self.count)
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content)
        with open(base + ".json", "w") as f:
            json.dump({"mail_from": envelope.mail_from, "rcpt_tos": envelope.rcpt_tos,
                       "authenticated": bool(session.authenticated)}, f)
        return "250 OK"


def checker(user, password):
    def check(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword) and auth_data.login == user.encode()
              and auth_data.password == password.encode())
        return AuthResult(success=ok, handled=False)
    return check


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--dir", required=True)
    parser.add_argument("--login", nargs=2, metavar=("USER", "PASSWORD"))
    args = parser.parse_args()
    options = {}
    if args.login:
        options = dict(authenticator=checker(*args.login), auth_required=True, auth_require_tls=False)
    controller = Controller(Saver(args.dir), hostname=args.host, port=args.port, **options)
    controller.start()
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    stop.wait()
    controller.stop()


if __name__ == "__main__":
    main()
