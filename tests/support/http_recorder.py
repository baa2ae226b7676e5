#!/usr/bin/python3
"""A small HTTP server for the tests: records every multipart/form-data POST
it receives and answers as told.

  http_recorder.py --log FILE --port-file FILE [--host 127.0.0.1] [--port 0]
                   [--status N] [--fail-field NAME ...] [--hang | --stall-after-headers]

Every request is appended to the log as lines:
  request <method> <path>
  header <Name>: <value>          (every request header, in order)
  part-name <name>
  part-filename <filename>
  part-type <content type>
  part-encoding <content-transfer-encoding>
  part-body <hex of the part's bytes>
  end
The answer is 200 with the body "<reponse>ok <name></reponse>", or the
--status code (a 3xx carries a Location) for every request, or 500 for the
parts named with --fail-field. With --hang every request is recorded and never
answered; with --stall-after-headers it gets the status line, the headers and
the first bytes of the body, then nothing more. Each request has its own
thread, so a hung one does not keep the next from being recorded.
"""
import argparse
import http.server
import re
import sys
import time


def parse_parts(content_type, body):
    boundary = None
    for item in content_type.split(";"):
        item = item.strip()
        if item.lower().startswith("boundary="):
            boundary = item[len("boundary="):].strip('"')
    if not boundary:
        return []
    parts = []
    delimiter = b"--" + boundary.encode("latin-1")
    for chunk in body.split(delimiter)[1:]:
        if chunk.startswith(b"--"):
            break
        chunk = chunk[2:] if chunk.startswith(b"\r\n") else chunk
        head, _, content = chunk.partition(b"\r\n\r\n")
        if content.endswith(b"\r\n"):
            content = content[:-2]
        part = {"name": "", "filename": "", "type": "", "encoding": "", "body": content}
        for line in head.decode("latin-1").split("\r\n"):
            key, _, value = line.partition(":")
            key, value = key.strip().lower(), value.strip()
            if key == "content-disposition":
                for pkey, pvalue in re.findall(r';\s*(\w+)="([^"]*)"', value):
                    if pkey in ("name", "filename"):
                        part[pkey] = pvalue
            elif key == "content-type":
                part["type"] = value
            elif key == "content-transfer-encoding":
                part["encoding"] = value
        parts.append(part)
    return parts


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--log", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--status", type=int, default=0)
    parser.add_argument("--fail-field", action="append", default=[])
    parser.add_argument("--hang", action="store_true")
    parser.add_argument("--stall-after-headers", action="store_true")
    options = parser.parse_args()
    if not options.host.startswith("127."):
        sys.exit("loopback addresses only")

    class Recorder(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def do_POST(self):
            length = int(self.headers.get("Content-Length", "0"))
            body = self.rfile.read(length)
            parts = parse_parts(self.headers.get("Content-Type", ""), body)
            lines = ["request %s %s" % (self.command, self.path)]
            lines += ["header %s: %s" % (k, v) for k, v in self.headers.items()]
            for p in parts:
                lines += ["part-name " + p["name"], "part-filename " + p["filename"], "part-type " + p["type"],
                          "part-encoding " + p["encoding"], "part-body " + p["body"].hex()]
            lines.append("end")
            with open(options.log, "a", encoding="latin-1") as log:
                log.write("\n".join(lines) + "\n")

            if options.hang:
                time.sleep(3600)
            names = [p["name"] for p in parts]
            status = options.status or (500 if any(n in options.fail_field for n in names) else 200)
            reply = ("<reponse>ok %s</reponse>" % " ".join(names)).encode("latin-1") if status == 200 \
                else b"refus du serveur"
            self.send_response(status)
            if 300 <= status < 400:
                self.send_header("Location", "http://127.0.0.1:9/ailleurs")
            self.send_header("Content-Type", "text/xml")
            self.send_header("Content-Length", str(len(reply)))
            self.end_headers()
            if options.stall_after_headers:
                self.wfile.write(reply[:5])
                self.wfile.flush()
                time.sleep(3600)
            self.wfile.write(reply)

    server = http.server.ThreadingHTTPServer((options.host, options.port), Recorder)
    with open(options.port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    import os
    os.replace(options.port_file + ".tmp", options.port_file)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
