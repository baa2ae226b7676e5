"""A loopback SMTP server for the tests that keeps each message exactly as
received: DIR/NNN.eml (the bytes after DATA) and DIR/NNN.json (the envelope
and whether the client logged in). With --login USER PASSWORD the server
advertises AUTH and refuses mail from clients that did not log in.

Faults, one per server run:
  --refuse-rcpt       answers 550 to every RCPT TO
  --refuse-data       answers 554 once the message has arrived (nothing is kept)
  --stall-after-data  takes the message and never answers it (nothing is kept)
  --silent            accepts connections and never greets (no SMTP at all)

    python3 smtp_server.py --port PORT --dir DIR [--login USER PASSWORD] [FAULT]
"""
import argparse
import asyncio
import json
import os
import signal
import socket
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


class Saver:
    def __init__(self, folder, fault):
        self.folder = folder
        self.fault = fault
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if self.fault == "refuse-rcpt":
            return "550 5.1.1 Mailbox unavailable"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.fault == "refuse-data":
            return "554 5.7.1 Message refused"
        if self.fault == "stall-after-data":
            await asyncio.sleep(3600)
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
    faults = parser.add_mutually_exclusive_group()
    for name in ("refuse-rcpt", "refuse-data", "stall-after-data", "silent"):
        faults.add_argument("--" + name, dest="fault", action="store_const", const=name)
    args = parser.parse_args()
    if not args.host.startswith("127."):
        raise SystemExit("loopback addresses only")
    if args.fault == "silent":
        serve_silently(args.host, args.port)
        return
    options = {}
    if args.login:
        options = dict(authenticator=checker(*args.login), auth_required=True, auth_require_tls=False)
    controller = Controller(Saver(args.dir, args.fault), hostname=args.host, port=args.port, **options)
    controller.start()
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    stop.wait()
    if args.fault == "stall-after-data":
        os._exit(0)  # a stalled session would hold up the orderly stop
    controller.stop()


def serve_silently(host, port):
    """Holds every connection open without a byte, until SIGTERM ends the process."""
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((host, port))
    listener.listen(8)
    held = []
    while True:
        connection, _ = listener.accept()
        held.append(connection)


if __name__ == "__main__":
    main()
