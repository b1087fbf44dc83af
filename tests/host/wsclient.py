"""A small WebSocket client over a raw socket, for tests of trellan-host.

It speaks just enough of the protocol to open a session, send and read messages, and
send frames a browser never would (oversized, unmasked, broken), which is what the
host's tests need.
"""

import base64
import json
import os
import socket
import struct
import urllib.parse


class Closed(Exception):
    def __init__(self, code, reason):
        super().__init__(f"closed with {code} {reason}")
        self.code = code
        self.reason = reason


# Sessions are opened by the control's frame (Origin: the host's own) for a page it names.
FRAME_ORIGIN = "http://127.0.0.1:{port}"
SESSION_PATH = "/session?origin=http%3A%2F%2F127.0.0.1%3A{port}"


def page_path(page_origin):
    """The session path with which the frame opens a session for a page of page_origin."""
    return "/session?origin=" + urllib.parse.quote(page_origin, safe="")


def handshake(port, origin=FRAME_ORIGIN, host="127.0.0.1:{port}", path=SESSION_PATH, timeout=10):
    """Opens a connection and sends the upgrade request; returns (socket, status, headers, rest)."""
    sock = socket.create_connection(("127.0.0.1", port), timeout=timeout)
    # As browsers do for WebSockets.
    sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    key = base64.b64encode(os.urandom(16)).decode()
    lines = [f"GET {path.format(port=port)} HTTP/1.1", "Host: " + host.format(port=port), "Upgrade: websocket",
             "Connection: Upgrade", f"Sec-WebSocket-Key: {key}", "Sec-WebSocket-Version: 13"]
    if origin is not None:
        lines.append("Origin: " + origin.format(port=port))
    sock.sendall(("\r\n".join(lines) + "\r\n\r\n").encode())
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = sock.recv(4096)
        if not chunk:
            break
        data += chunk
    head, _, rest = data.partition(b"\r\n\r\n")
    status_line, *header_lines = head.decode("latin-1").split("\r\n")
    status = int(status_line.split()[1]) if status_line else 0
    headers = {k.strip().lower(): v.strip() for k, v in (h.split(":", 1) for h in header_lines if ":" in h)}
    return sock, status, headers, rest


def frame(opcode, payload, fin=True, mask=True, length_override=None):
    """One frame as bytes."""
    first = (0x80 if fin else 0) | opcode
    length = len(payload) if length_override is None else length_override
    mask_bit = 0x80 if mask else 0
    if length < 126:
        header = struct.pack("!BB", first, mask_bit | length)
    elif length < 65536:
        header = struct.pack("!BBH", first, mask_bit | 126, length)
    else:
        header = struct.pack("!BBQ", first, mask_bit | 127, length)
    if not mask:
        return header + payload
    key = os.urandom(4)
    masked = bytes(b ^ key[i % 4] for i, b in enumerate(payload))
    return header + key + masked


class Session:
    """An open session: send JSON or bytes, read messages until one matches."""

    def __init__(self, port, **kwargs):
        self.sock, self.status, self.headers, self.buffer = handshake(port, **kwargs)
        if self.status != 101:
            self.sock.close()
            raise ConnectionRefusedError(f"handshake answered {self.status}")

    def close(self):
        try:
            self.sock.sendall(frame(8, struct.pack("!H", 1000)))
        except OSError:
            pass
        self.sock.close()

    def send_json(self, message):
        self.sock.sendall(frame(1, json.dumps(message).encode()))

    def send_bytes(self, data):
        self.sock.sendall(frame(2, data))

    def _read(self, count):
        while len(self.buffer) < count:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise Closed(1006, "connection ended")
            self.buffer += chunk
        data, self.buffer = self.buffer[:count], self.buffer[count:]
        return data

    def read_message(self):
        """(opcode, payload) of the next data message, its fragments joined; raises
        Closed on a close frame."""
        opcode, payload, fin = self._read_frame()
        while not fin:
            _, more, fin = self._read_frame()
            payload += more
        return opcode, payload

    def _read_frame(self):
        first, second = self._read(2)
        length = second & 0x7F
        if length == 126:
            length = struct.unpack("!H", self._read(2))[0]
        elif length == 127:
            length = struct.unpack("!Q", self._read(8))[0]
        payload = self._read(length)
        opcode = first & 0x0F
        if opcode == 8:
            code = struct.unpack("!H", payload[:2])[0] if len(payload) >= 2 else 1005
            raise Closed(code, payload[2:].decode(errors="replace"))
        if opcode in (9, 10):
            return self._read_frame()
        return opcode, payload, bool(first & 0x80)

    def wait_for(self, predicate, limit=2000):
        """Reads messages until predicate(message) is true for a text message's JSON;
        binary pictures are acknowledged on the way. Returns the message."""
        for _ in range(limit):
            opcode, payload = self.read_message()
            if opcode == 2:
                self.ack(payload)
                continue
            message = json.loads(payload)
            if predicate(message):
                return message
        raise AssertionError("the awaited message did not come")

    def ack(self, picture):
        number = struct.unpack("<I", picture[5:9])[0]
        self.send_json({"t": "ack", "n": number})
