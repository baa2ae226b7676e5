"""Reads a stored message with Python's email package and prints what the
tests check, one "key: value" line each (values in UTF-8, JSON-quoted).

    python3 read_mail.py MESSAGE [--copy EML]

--copy compares the message with the program's ".eml" copy: equal bytes
once the server's own X- headers are taken away and line ends made CR LF.
"""
import email
import email.header
import email.policy
import json
import re
import sys


def show(key, value):
    print("%s: %s" % (key, json.dumps(value, ensure_ascii=False)))


def without_server_headers(raw):
    head, sep, body = raw.partition(b"\n\n") if b"\r\n\r\n" not in raw else raw.partition(b"\r\n\r\n")
    lines = [l for l in re.split(rb"\r?\n", head) if not re.match(rb"(?i)x-(peer|mailfrom|rcptto):", l)]
    return b"\r\n".join(lines) + b"\r\n\r\n" + re.sub(rb"\r?\n", b"\r\n", body)


def main():
    raw = open(sys.argv[1], "rb").read()
    message = email.message_from_bytes(raw, policy=email.policy.default)
    show("subject", str(message["Subject"]))
    show("subject-raw", str(email.message_from_bytes(raw, policy=email.policy.compat32)["Subject"]))
    for key in ("From", "To", "Cc", "Bcc", "X-MailFrom", "X-RcptTo", "MIME-Version", "Date", "Message-ID",
                "Content-Transfer-Encoding"):
        show(key.lower(), message.get(key))
    show("content-type", message.get_content_type())
    show("charset", message.get_content_charset())
    payload = message.get_payload(decode=True)
    show("body", payload.decode(message.get_content_charset() or "ascii"))
    show("body-bytes", payload.hex())
    show("longest-line", max(len(l) for l in raw.split(b"\n")))
    show("defects", [type(d).__name__ for d in message.defects])
    if len(sys.argv) > 3 and sys.argv[2] == "--copy":
        copy = open(sys.argv[3], "rb").read()
        show("bare-lf-in-copy", bool(re.search(rb"(?<!\r)\n", copy)))
        show("same-as-copy", without_server_headers(raw) == copy)


main()
