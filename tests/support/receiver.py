#!/usr/bin/env python3
"""Test HTTP receiver for the upload engine.

Listens on 127.0.0.1 only (any free port unless --port is given) and prints
"PORT <n>" on its first line of standard output. Every request is recorded byte for
byte as request-NNNN.bin in the record folder, with request-NNNN.json beside it: the
request line and headers, and the multipart parts as Python's email package reads
them. stats.json there counts requests and the most that were in flight at once.

wire_seconds adds up, over all requests, the time from the connection to the last
byte of the body; wire_intervals lists those spans (start and end, in seconds of the
receiver's monotonic clock), so that overlapping uploads can be told apart.

The answer is chosen by the command line and, per request, by the query string of the
request's address (status=, fault=, reply=, delay=, retry_after=), or in arrival order
by --replies; retry_after adds a Retry-After header with that value.
Faults:
  refuse      reset the connection before reading anything
  reset       read the headers and part of the body, then reset the connection
  stall-read  read the headers, then stop reading (the client cannot send)
  stall       read the whole request, then never answer
  close       read the whole request, then close without an answer
  garbage     answer with bytes that are not HTTP
  empty       answer with the status and an empty body
  slow        answer one byte at a time
  huge        answer with a body of 64 MiB
  cut         announce a longer body than the reply, send the reply, then close
  cut-pause   as cut, but hold the connection for --stall-seconds before closing
  cut-chunked send the reply as one chunk of a chunked body, then close before its end
With --store FOLDER the file parts are saved there under their (percent-decoded) names.

CORS: with --cors ORIGIN a preflight (OPTIONS) is answered 204 allowing ORIGIN, POST
and the headers it asks for (--cors-headers LIST instead), and every reply allows
ORIGIN (--reply-origin another); --private-network adds "Access-Control-Allow-Private-Network: true" to a
preflight that asks for it. Without --cors an OPTIONS request is answered like any
other, as by a server that knows nothing of CORS.
"""

import argparse
import email.parser
import email.policy
import hashlib
import json
import os
import socket
import socketserver
import ssl
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

FAULTS = {"none", "refuse", "reset", "stall-read", "stall", "close", "garbage", "empty", "slow", "huge", "cut",
          "cut-pause", "cut-chunked"}


class State:
    def __init__(self, options):
        self.options = options
        self.lock = threading.Lock()
        self.count = 0
        self.in_flight = 0
        self.max_in_flight = 0
        self.wire_seconds = 0.0
        self.wire_intervals = []
        self.replies = json.loads(options.replies) if options.replies else []

    def begin(self):
        with self.lock:
            number = self.count
            self.count += 1
            self.in_flight += 1
            self.max_in_flight = max(self.max_in_flight, self.in_flight)
            # A request that never ends (a stall) counts from its start.
            self.write_stats()
            return number

    def end(self):
        with self.lock:
            self.in_flight -= 1
            self.write_stats()

    def add_wire_time(self, started, ended):
        with self.lock:
            self.wire_seconds += ended - started
            self.wire_intervals.append([started, ended])

    def write_stats(self):
        path = self.options.stats or (self.options.record and os.path.join(self.options.record, "stats.json"))
        if not path:
            return
        with open(path + ".tmp", "w") as out:
            json.dump({"requests": self.count, "max_in_flight": self.max_in_flight,
                       "wire_seconds": self.wire_seconds, "wire_intervals": self.wire_intervals}, out)
        os.replace(path + ".tmp", path)

    def answer_for(self, number, query):
        answer = {"status": self.options.status, "fault": self.options.fault,
                  "reply": self.options.reply, "delay": self.options.delay, "retry_after": None}
        if self.replies:
            answer.update(self.replies[min(number, len(self.replies) - 1)])
        for key in ("status", "fault", "reply", "delay", "retry_after"):
            if key in query:
                answer[key] = query[key][-1]
        answer["status"] = int(answer["status"])
        answer["delay"] = float(answer["delay"])
        return answer


def reset_connection(sock):
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    sock.close()


def read_head(sock):
    data = b""
    while b"\r\n\r\n" not in data:
        piece = sock.recv(65536)
        if not piece:
            return None, data
        data += piece
        if len(data) > 1 << 20:
            return None, data
    head, _, rest = data.partition(b"\r\n\r\n")
    return head + b"\r\n\r\n", rest


def parse_head(head):
    lines = head.decode("latin-1").split("\r\n")
    method, target, version = (lines[0].split(" ") + ["", "", ""])[:3]
    headers = []
    for line in lines[1:]:
        if line:
            name, _, value = line.partition(":")
            headers.append([name, value.strip()])
    return method, target, version, headers


def header_value(headers, name):
    for key, value in headers:
        if key.lower() == name.lower():
            return value
    return None


def parse_parts(headers, body):
    content_type = header_value(headers, "Content-Type")
    if not content_type or not content_type.startswith("multipart/"):
        return []
    message = email.parser.BytesParser(policy=email.policy.HTTP).parsebytes(
        b"Content-Type: " + content_type.encode("latin-1") + b"\r\n\r\n" + body)
    parts = []
    for part in message.iter_parts():
        payload = part.get_payload(decode=True) or b""
        entry = {
            "name": part.get_param("name", header="content-disposition"),
            "filename": part.get_param("filename", header="content-disposition"),
            "content_type": part.get("Content-Type"),
            "length": len(payload),
            "sha256": hashlib.sha256(payload).hexdigest(),
        }
        if entry["filename"] is None:
            entry["value"] = payload.decode("latin-1")
        parts.append(entry)
    return parts


def store_files(folder, parts_raw):
    stored = []
    for name, payload in parts_raw:
        base = os.path.basename(urllib.parse.unquote_plus(name))
        if base in ("", ".", ".."):
            base = "unnamed"
        path = os.path.join(folder, base)
        with open(path, "wb") as out:
            out.write(payload)
        stored.append(path)
    return stored


def file_payloads(headers, body):
    content_type = header_value(headers, "Content-Type") or ""
    message = email.parser.BytesParser(policy=email.policy.HTTP).parsebytes(
        b"Content-Type: " + content_type.encode("latin-1") + b"\r\n\r\n" + body)
    if not message.is_multipart():
        return []
    return [(part.get_param("filename", header="content-disposition"), part.get_payload(decode=True) or b"")
            for part in message.iter_parts()
            if part.get_param("filename", header="content-disposition") is not None]


def cors_headers(options, method, headers):
    if not options.cors:
        return b""
    lines = ["Access-Control-Allow-Origin: " + (options.cors if method == "OPTIONS" or not options.reply_origin
                                                else options.reply_origin)]
    if method == "OPTIONS":
        lines.append("Access-Control-Allow-Methods: POST")
        allowed = options.cors_headers
        if allowed is None:
            allowed = header_value(headers, "Access-Control-Request-Headers")
        if allowed:
            lines.append("Access-Control-Allow-Headers: " + allowed)
        if options.private_network and header_value(headers, "Access-Control-Request-Private-Network") == "true":
            lines.append("Access-Control-Allow-Private-Network: true")
    return "".join(line + "\r\n" for line in lines).encode("latin-1")


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        state = self.server.state
        sock = self.request
        number = state.begin()
        self.in_flight = True
        try:
            self.exchange(state, sock, number)
        except OSError:
            pass
        finally:
            self.leave_flight()

    def leave_flight(self):
        # Called just before an answer goes out: once the client has its answer it may
        # connect again, and that must not count as one more request in flight.
        if self.in_flight:
            self.in_flight = False
            self.server.state.end()

    def exchange(self, state, sock, number):
        options = state.options
        if options.fault == "refuse":
            reset_connection(sock)
            return
        started = time.monotonic()
        head, rest = read_head(sock)
        raw = head or rest
        if head is None:
            self.record(number, raw, None)
            return
        method, target, version, headers = parse_head(head)
        query = urllib.parse.parse_qs(urllib.parse.urlsplit(target).query)
        answer = state.answer_for(number, query)
        fault = answer["fault"]
        if fault not in FAULTS:
            fault = "none"
        length = int(header_value(headers, "Content-Length") or 0)
        if fault == "refuse":
            reset_connection(sock)
            return
        if fault == "reset":
            self.read_body(sock, rest, min(length, max(len(rest), 1000)))
            reset_connection(sock)
            return
        if fault == "stall-read":
            self.wait_closed(sock, read=False)
            return
        body = self.read_body(sock, rest, length)
        state.add_wire_time(started, time.monotonic())
        self.record(number, head + body, (method, target, version, headers, body))
        reply = answer["reply"].encode("utf-8")
        if options.store:
            stored = store_files(options.store, file_payloads(headers, body))
            reply = json.dumps({"success": 1, "files": stored}).encode("utf-8")
        extra = cors_headers(options, method, headers)
        if answer["retry_after"] is not None:
            extra += b"Retry-After: %s\r\n" % str(answer["retry_after"]).encode("ascii")
        if method == "OPTIONS" and options.cors:
            answer["status"], fault, reply = 204, "none", b""
        if answer["delay"] > 0:
            time.sleep(answer["delay"])
        if fault == "stall":
            self.wait_closed(sock, read=True)
        elif fault == "close":
            self.leave_flight()
            sock.close()
        elif fault == "garbage":
            self.leave_flight()
            sock.sendall(b"\x00\xffNOT HTTP AT ALL\r\n\x01\x02\x03")
        elif fault.startswith("cut"):
            self.leave_flight()
            self.send_cut(sock, answer["status"], reply, fault)
        else:
            if fault == "empty":
                reply = b""
            elif fault == "huge":
                reply = b"{" * (64 << 20)
            self.leave_flight()
            response = (b"HTTP/1.1 %d Reply\r\nContent-Type: application/json\r\n%s"
                        b"Content-Length: %d\r\nConnection: close\r\n\r\n" % (answer["status"], extra, len(reply)))
            if fault == "slow":
                for byte in response + reply:
                    sock.sendall(bytes([byte]))
                    time.sleep(options.slow_interval)
            else:
                sock.sendall(response + reply)

    def send_cut(self, sock, status, reply, fault):
        head = b"HTTP/1.1 %d Reply\r\nContent-Type: application/json\r\nConnection: close\r\n" % status
        if fault == "cut-chunked":
            sock.sendall(head + b"Transfer-Encoding: chunked\r\n\r\n%x\r\n%s\r\n" % (len(reply), reply))
        else:
            sock.sendall(head + b"Content-Length: %d\r\n\r\n%s" % (len(reply) + 87, reply))
        if fault == "cut-pause":
            self.wait_closed(sock, read=True)
        sock.close()

    def read_body(self, sock, rest, length):
        body = bytearray(max(length, len(rest)))
        body[:len(rest)] = rest
        view = memoryview(body)
        received = len(rest)
        while received < length:
            count = sock.recv_into(view[received:], min(1 << 20, length - received))
            if not count:
                break
            received += count
        return bytes(body[:received])

    def wait_closed(self, sock, read):
        # Holds the connection open until the client goes away or the stall ends.
        deadline = time.monotonic() + self.server.state.options.stall_seconds
        sock.settimeout(0.1)
        while time.monotonic() < deadline:
            if not read:
                time.sleep(0.1)
                try:
                    if sock.recv(1, socket.MSG_PEEK) == b"":
                        return
                except socket.timeout:
                    pass
                continue
            try:
                if sock.recv(65536) == b"":
                    return
            except socket.timeout:
                pass

    def record(self, number, raw, parsed):
        folder = self.server.state.options.record
        if not folder:
            return
        base = os.path.join(folder, "request-%04d" % number)
        with open(base + ".bin", "wb") as out:
            out.write(raw)
        summary = {"complete": parsed is not None}
        if parsed:
            method, target, version, headers, body = parsed
            summary.update({"method": method, "target": target, "version": version,
                            "headers": headers, "body_length": len(body),
                            "parts": parse_parts(headers, body), "arrival": number,
                            "received_at": time.monotonic()})
        with open(base + ".json.tmp", "w") as out:
            json.dump(summary, out)
        os.replace(base + ".json.tmp", base + ".json")


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64


# Self-signed certificates for another host name, by kind: (days valid, extension).
# "-days -1" makes one that expired a day before it was made.
CERTIFICATES = {
    "self-signed": ("1", None),
    "expired": ("-1", None),
    "client-only": ("1", "extendedKeyUsage=clientAuth"),
}


def tls_context(folder, kind):
    days, extension = CERTIFICATES[kind]
    key = os.path.join(folder, "key.pem")
    request = os.path.join(folder, "request.pem")
    cert = os.path.join(folder, "cert.pem")
    subprocess.run(["openssl", "req", "-new", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=not-this-host",
                    "-keyout", key, "-out", request] + (["-addext", extension] if extension else []),
                   check=True, capture_output=True)
    subprocess.run(["openssl", "x509", "-req", "-in", request, "-signkey", key, "-copy_extensions", "copy",
                    "-days", days, "-out", cert], check=True, capture_output=True)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    return context


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--record", help="folder for the recorded requests")
    parser.add_argument("--store", help="folder for the uploaded files")
    parser.add_argument("--stats", help="file for the counts, without recording requests")
    parser.add_argument("--status", type=int, default=200)
    parser.add_argument("--reply", default='{"success":1}')
    parser.add_argument("--replies", help="JSON array of answers used in arrival order")
    parser.add_argument("--fault", default="none", choices=sorted(FAULTS))
    parser.add_argument("--delay", type=float, default=0.0, help="seconds before answering")
    parser.add_argument("--stall-seconds", type=float, default=120.0)
    parser.add_argument("--slow-interval", type=float, default=0.02)
    parser.add_argument("--tls", nargs="?", const="self-signed", choices=sorted(CERTIFICATES),
                        help="https with a self-signed certificate of this kind")
    parser.add_argument("--cors", help="the origin that preflights and replies allow")
    parser.add_argument("--cors-headers", help="the headers a preflight allows (default: those asked for)")
    parser.add_argument("--reply-origin", help="the origin that replies other than preflights allow")
    parser.add_argument("--private-network", action="store_true",
                        help="preflights allow a public page to reach this private address")
    parser.add_argument("--exit-on-stdin-eof", action="store_true")
    options = parser.parse_args()

    server = Server(("127.0.0.1", options.port), Handler)
    server.state = State(options)
    server.state.write_stats()
    if options.tls:
        folder = tempfile.mkdtemp(prefix="receiver-tls-")
        server.socket = tls_context(folder, options.tls).wrap_socket(server.socket, server_side=True)
    if options.exit_on_stdin_eof:
        def watch():
            sys.stdin.buffer.read()
            os._exit(0)
        threading.Thread(target=watch, daemon=True).start()
    print("PORT %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
