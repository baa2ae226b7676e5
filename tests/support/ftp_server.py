#!/usr/bin/python3
"""Loopback FTP server for the tests (Debian's python3-pyftpdlib).

Every command the server receives is logged at DEBUG level to --log, one line
each, as "<ip>:<port>-[<user>] <- COMMAND ARGS" (PASS is masked by the
library). The bound port is written to --port-file once the server listens.

Accounts: --account USER PASSWORD HOME PERM (repeatable); PERM uses the
library's letters ("elr" read only, "elradfmwMT" everything).
Every accepted control connection is logged as "<ip>:<port>-[] == CONNECTION".

Faults, one per server run, chosen by the test:
  --idle-timeout S        closes an idle control connection with 421 after S seconds
  --drop-upload-after N   drops the data connection of every upload once N bytes arrived (426)
  --drop-download-after N drops the data connection of every download after N bytes sent (426)
  --stall-upload-after N  stops reading every upload's data connection once N bytes arrived and
                          answers nothing more on its control connection (a hung transfer)
  --busy                  answers 421 on connect and closes
  --refuse-login          answers 530 to every password, right or wrong
  --refuse-data           answers 425 to every STOR and RETR (no data connection)
  --stall-on VERB         from the command VERB on (CONNECT: from the connection on)
                          answers nothing and ignores every later command
"""
import argparse
import logging
import os
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--log", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--account", nargs=4, action="append", default=[],
                        metavar=("USER", "PASSWORD", "HOME", "PERM"))
    parser.add_argument("--idle-timeout", type=float, default=0)
    parser.add_argument("--drop-upload-after", type=int, default=-1)
    parser.add_argument("--drop-download-after", type=int, default=-1)
    parser.add_argument("--stall-upload-after", type=int, default=-1)
    parser.add_argument("--busy", action="store_true")
    parser.add_argument("--refuse-login", action="store_true")
    parser.add_argument("--refuse-data", action="store_true")
    parser.add_argument("--stall-on", default="")
    args = parser.parse_args()

    logger = logging.getLogger("pyftpdlib")
    handler = logging.FileHandler(args.log)
    handler.setFormatter(logging.Formatter("%(message)s"))
    logger.addHandler(handler)
    logger.setLevel(logging.DEBUG)
    logger.propagate = False

    authorizer = DummyAuthorizer()
    for user, password, home, perm in args.account:
        authorizer.add_user(user, password, home, perm=perm)

    idle_timeout = args.idle_timeout
    stall_on = args.stall_on.upper()

    class Handler(FTPHandler):
        stalled = False

        # The library's own idle timer is not re-armed reliably after a
        # command; this one checks the time of the last command instead.
        def handle(self):
            self.log_prefix_line("== CONNECTION")
            if args.busy:
                self.respond("421 Too many connections. Service temporarily unavailable.")
                self.close_when_done()
                return
            if stall_on == "CONNECT":
                self.stalled = True
                return
            FTPHandler.handle(self)
            if idle_timeout > 0:
                self._last_command = time.monotonic()
                self._idle_check = self.ioloop.call_every(0.05, self._check_idle)

        def log_prefix_line(self, text):
            logger.info("%s:%s-[] %s" % (self.remote_ip, self.remote_port, text))

        def found_terminator(self):
            self._last_command = time.monotonic()
            FTPHandler.found_terminator(self)

        def pre_process_command(self, line, cmd, arg):
            shown = line if cmd != "PASS" else "PASS ******"
            if self.stalled:
                self.logline("<- %s (ignored, stalled)" % shown)
                return
            if cmd == stall_on:
                self.logline("<- %s" % shown)
                self.stalled = True
                return
            FTPHandler.pre_process_command(self, line, cmd, arg)

        def ftp_PASS(self, line):
            if args.refuse_login:
                self.respond("530 Authentication failed.")
                return
            FTPHandler.ftp_PASS(self, line)

        def ftp_STOR(self, file, mode="w"):
            if args.refuse_data:
                self.respond("425 Can't open data connection.")
                return
            return FTPHandler.ftp_STOR(self, file, mode)

        def ftp_RETR(self, file):
            if args.refuse_data:
                self.respond("425 Can't open data connection.")
                return
            return FTPHandler.ftp_RETR(self, file)

        def _check_idle(self):
            if self.data_channel is None and time.monotonic() - self._last_command > idle_timeout:
                self._idle_check.cancel()
                self.respond("421 Control connection timed out.")
                self.close_when_done()

        def close(self):
            check = getattr(self, "_idle_check", None)
            if check is not None and not check.cancelled:
                check.cancel()
            FTPHandler.close(self)

    Handler.authorizer = authorizer
    Handler.auth_failed_timeout = 0  # a refused login answers at once

    if args.drop_upload_after >= 0:
        limit = args.drop_upload_after

        class DroppingDTP(DTPHandler):
            def handle_read(self):
                DTPHandler.handle_read(self)
                if self.receive and self.tot_bytes_received >= limit and not self._closed:
                    self._resp = ("426 Connection closed; transfer aborted.", logger.warning)
                    self.close()

            handle_read_event = handle_read

        Handler.dtp_handler = DroppingDTP

    if args.stall_upload_after >= 0:
        stall_limit = args.stall_upload_after

        # Taken off the event loop, the data socket stays open and unread: the
        # client's bytes pile up, and the 226 never comes.
        class StallingDTP(DTPHandler):
            def handle_read(self):
                DTPHandler.handle_read(self)
                if self.receive and self.tot_bytes_received >= stall_limit and not self._closed:
                    logger.info("data connection stalled after %d bytes" % self.tot_bytes_received)
                    self.del_channel()

            handle_read_event = handle_read

        Handler.dtp_handler = StallingDTP

    if args.drop_download_after >= 0:
        sent_limit = args.drop_download_after

        class DroppingSendDTP(DTPHandler):
            def send(self, data):
                result = DTPHandler.send(self, data)
                if not self.receive and self.tot_bytes_sent >= sent_limit and not self._closed:
                    self._resp = ("426 Connection closed; transfer aborted.", logger.warning)
                    self.close()
                return result

        Handler.dtp_handler = DroppingSendDTP
        Handler.use_sendfile = False  # every byte goes through send()

    server = FTPServer((args.host, args.port), Handler)
    port = server.socket.getsockname()[1]
    temporary = args.port_file + ".tmp"
    with open(temporary, "w") as f:
        f.write(str(port))
    os.replace(temporary, args.port_file)

    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
