#!/usr/bin/env python3
"""Tests of trellan-host through its sockets: who may connect, the fixed files, page
sessions and their processes, hostile WebSocket frames, and the demo receiver.

usage: test_host.py BIN_DIR   (TRELLAN_REGISTRY_DIR names the store with the module)
"""

import http.client
import json
import os
import pathlib
import random
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse

import wsclient

BIN = pathlib.Path(sys.argv.pop(1)) if len(sys.argv) > 1 else pathlib.Path("build/bin")


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def eventually(condition, seconds=10.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return False


class Host:
    """A trellan-host on a free port, with its own temporary folder for sessions."""

    def __init__(self, *arguments):
        self.port = free_port()
        self.temp = tempfile.TemporaryDirectory()
        environment = dict(os.environ, TMPDIR=self.temp.name, XDG_CONFIG_HOME=self.temp.name)
        self.process = subprocess.Popen([str(BIN / "trellan-host"), "--port", str(self.port), *arguments],
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=environment, text=True)
        line = self.process.stdout.readline()
        assert "listening" in line, line + self.process.stderr.read()

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        self.process.wait(10)
        self.temp.cleanup()

    def request(self, method, path, headers=None, body=None, host=None):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=10)
        connection.putrequest(method, path, skip_host=True)
        connection.putheader("Host", f"127.0.0.1:{self.port}" if host is None else host)
        for name, value in (headers or {}).items():
            connection.putheader(name, value)
        if body is not None:
            connection.putheader("Content-Length", str(len(body)))
        connection.endheaders(body)
        response = connection.getresponse()
        data = response.read()
        connection.close()
        return response, data

    def session(self, **kwargs):
        session = wsclient.Session(self.port, **kwargs)
        session.sock.settimeout(20)
        session.wait_for(lambda m: m["t"] == "ready")
        return session

    def children(self):
        path = pathlib.Path(f"/proc/{self.process.pid}/task/{self.process.pid}/children")
        return [int(pid) for pid in path.read_text().split()]

    def session_folders(self):
        return sorted(pathlib.Path(self.temp.name).glob("trellan-session-*"))

    def alive(self):
        return self.process.poll() is None


def post(session, command):
    session.send_json({"t": "post", "text": json.dumps(command)})


def init_answers(session):
    post(session, {"name": "init", "config": {"PostUrl": "http://127.0.0.1:9/upload"}})
    event = session.wait_for(lambda m: m["t"] == "event")
    return json.loads(event["text"])["name"] == "load_complete"


class AccessTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.host = Host("--allow-origin", "https://pages.example:8443")

    @classmethod
    def tearDownClass(cls):
        cls.host.stop()

    def test_serves_only_its_fixed_files(self):
        response, body = self.host.request("GET", "/trellan.js")
        self.assertEqual(response.status, 200)
        self.assertIn(b"export const Trellan", body)
        self.assertTrue(response.getheader("Content-Type").startswith("text/javascript"))
        response, body = self.host.request("GET", "/trellan.d.ts?v=1")
        self.assertEqual(response.status, 200)
        self.assertIn(b"TrellanControl", body)
        for path in ["/etc/passwd", "/../trellan.js", "/trellan.js/..", "//trellan.js", "/web/trellan.js",
                     "/demo/", "/demo/upload", "/%2e%2e/trellan.js"]:
            response, _ = self.host.request("GET", path)
            self.assertIn(response.status, (404, 405), path)

    def test_host_header_must_name_loopback_with_the_port(self):
        port = self.host.port
        for host in [f"localhost:{port}", f"LOCALHOST:{port}", f"[::1]:{port}", f"127.0.0.1:{port}"]:
            response, _ = self.host.request("GET", "/trellan.js", host=host)
            self.assertEqual(response.status, 200, host)
        for host in [f"rebound.example:{port}", "127.0.0.1", f"127.0.0.1:{port + 1}", f"localhost.example:{port}",
                     f"127.0.0.2:{port}", ""]:
            response, _ = self.host.request("GET", "/trellan.js", host=host)
            self.assertEqual(response.status, 403, host)

    def test_private_network_preflight_only_for_allowed_origins(self):
        asked = {"Access-Control-Request-Method": "GET", "Access-Control-Request-Private-Network": "true"}
        response, _ = self.host.request("OPTIONS", "/trellan.js", {"Origin": "https://pages.example:8443", **asked})
        self.assertEqual(response.status, 204)
        self.assertEqual(response.getheader("Access-Control-Allow-Origin"), "https://pages.example:8443")
        self.assertEqual(response.getheader("Access-Control-Allow-Private-Network"), "true")
        response, _ = self.host.request("OPTIONS", "/trellan.js", {"Origin": "https://evil.example", **asked})
        self.assertEqual(response.status, 403)
        self.assertIsNone(response.getheader("Access-Control-Allow-Origin"))
        self.assertIsNone(response.getheader("Access-Control-Allow-Private-Network"))

    def test_status_says_whether_the_origin_is_allowed(self):
        for origin, allowed in [("https://pages.example:8443", True), ("https://evil.example", False)]:
            response, body = self.host.request("GET", "/status", {"Origin": origin})
            self.assertEqual(response.getheader("Access-Control-Allow-Origin"), "*")
            self.assertEqual(json.loads(body)["originAllowed"], allowed)

    def test_frame_may_be_shown_only_by_allowed_pages(self):
        response, body = self.host.request("GET", "/frame")
        self.assertEqual(response.status, 200)
        self.assertIn(b"/frame/frame.js", body)
        policy = dict(part.strip().split(" ", 1) for part in response.getheader("Content-Security-Policy").split(";"))
        port = self.host.port
        self.assertEqual(sorted(policy["frame-ancestors"].split()),
                         sorted([f"http://127.0.0.1:{port}", f"http://localhost:{port}", "https://pages.example:8443"]))
        self.assertEqual(policy["default-src"], "'none'")
        self.assertEqual(policy["script-src"], "'self'")
        for path in ["/frame/frame.js", "/frame/frame.css"]:
            response, _ = self.host.request("GET", path)
            self.assertEqual(response.status, 200, path)

    def test_sessions_only_from_the_frame_for_an_allowed_page(self):
        def page(origin):
            return "/session?origin=" + urllib.parse.quote(origin, safe="")

        port = self.host.port
        allowed = page("https://pages.example:8443")
        refused = [dict(origin="https://pages.example:8443", path=allowed),  # an allowed page's own socket
                   dict(origin="https://evil.example", path=allowed), dict(origin=None, path=allowed),
                   dict(origin="null", path=allowed), dict(origin="http://127.0.0.1:{port}.evil.example", path=allowed),
                   dict(path="/session"), dict(path=page("https://evil.example")), dict(path=page("null")),
                   dict(path=page("https://pages.example:8443/path")), dict(path=page("https://pages.example")),
                   dict(path="/session?origin=https%3A%2F%2Fpages.example%3A8443%00"),
                   dict(host="rebound.example:{port}", path=allowed), dict(path="/other")]
        for arguments in refused:
            sock, status, _, _ = wsclient.handshake(port, **arguments)
            sock.close()
            self.assertIn(status, (403, 404), arguments)
        for origin in ["http://127.0.0.1:{port}", "http://localhost:{port}", "http://[::1]:{port}"]:
            session = self.host.session(origin=origin, path=allowed)
            self.assertTrue(init_answers(session), origin)
            # The control is told which page it serves.
            [child] = self.host.children()
            arguments = pathlib.Path(f"/proc/{child}/cmdline").read_bytes().split(b"\0")
            self.assertEqual(arguments[arguments.index(b"--page-origin") + 1], b"https://pages.example:8443")
            session.close()
            self.assertTrue(eventually(lambda: not self.host.children()))

    def test_origins_file_and_its_errors(self):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as listing:
            listing.write("# pages that may embed the control\n\nhttps://intranet.example\n")
        host = Host("--origins-file", listing.name)
        try:
            session = host.session(path="/session?origin=https%3A%2F%2Fintranet.example")
            self.assertTrue(init_answers(session))
            session.close()
        finally:
            host.stop()
        with open(listing.name, "a") as more:
            more.write("intranet.example/path\n")
        result = subprocess.run([str(BIN / "trellan-host"), "--port", str(free_port()), "--origins-file", listing.name],
                                capture_output=True, text=True, timeout=10)
        os.unlink(listing.name)
        self.assertEqual(result.returncode, 2)
        self.assertIn(":4: not an origin", result.stderr)


class ActivatedHost(Host):
    """A trellan-host that systemd-socket-activate starts on the first connection to one
    of the sockets ADDRESSES name (address:port, {port} standing for a free port), as the
    user's socket unit does."""

    def __init__(self, addresses, *arguments):
        self.port = free_port()
        self.temp = tempfile.TemporaryDirectory()
        environment = dict(os.environ, TMPDIR=self.temp.name, XDG_CONFIG_HOME=self.temp.name)
        # systemd-socket-activate passes on only the variables it is told to.
        passed = [f"--setenv={name}" for name in ("TMPDIR", "XDG_CONFIG_HOME", "TRELLAN_REGISTRY_DIR")]
        listen = ["--listen=" + address.format(port=self.port) for address in addresses]
        self.process = subprocess.Popen(["systemd-socket-activate", *listen, *passed,
                                         str(BIN / "trellan-host"), *arguments],
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=environment, text=True)
        assert eventually(self.listening), self.process.stderr.read()

    def listening(self):
        with socket.socket() as probe:
            return probe.connect_ex(("127.0.0.1", self.port)) == 0 or not self.alive()


@unittest.skipUnless(shutil.which("systemd-socket-activate"), "needs systemd-socket-activate")
class ActivationTest(unittest.TestCase):
    def test_serves_on_the_passed_socket_and_exits_when_idle(self):
        host = ActivatedHost(["127.0.0.1:{port}", "[::1]:{port}"], "--idle-exit", "2")
        try:
            response, body = host.request("GET", "/trellan.js")
            self.assertEqual(response.status, 200)
            self.assertIn(b"export const Trellan", body)
            # An open page session keeps the host, however long the page stays.
            session = host.session()
            # The session's process holds none of the listening sockets.
            [child] = host.children()
            listening = {os.readlink(f"/proc/{host.process.pid}/fd/{fd}") for fd in (3, 4)}
            held = {os.readlink(link) for link in pathlib.Path(f"/proc/{child}/fd").iterdir()}
            self.assertFalse(listening & held)
            time.sleep(4)
            self.assertTrue(host.alive())
            self.assertTrue(init_answers(session))
            session.close()
            self.assertEqual(host.process.wait(10), 0)
            self.assertEqual(host.session_folders(), [])
        finally:
            host.stop()

    def test_refuses_sockets_off_the_loopback_addresses_or_on_two_ports(self):
        other = free_port()
        for addresses, reason in [(["0.0.0.0:{port}"], "not a loopback address"),
                                  (["127.0.0.1:{port}", f"127.0.0.1:{other}"], "different ports")]:
            host = ActivatedHost(addresses)
            try:
                with socket.create_connection(("127.0.0.1", host.port), timeout=5):
                    pass
                self.assertEqual(host.process.wait(10), 1)
                self.assertIn(reason, host.process.stderr.read())
            finally:
                host.stop()


class SessionTest(unittest.TestCase):
    def setUp(self):
        self.host = Host("--max-sessions", "3", "--hang-timeout", "2")

    def tearDown(self):
        self.host.stop()

    def test_round_trip_and_pictures_of_the_window(self):
        session = self.host.session()
        self.assertTrue(init_answers(session))
        session.send_json({"t": "place", "x": 0, "y": 0, "w": 320, "h": 200, "vw": 1024, "vh": 768})
        window = session.wait_for(lambda m: m["t"] == "window" and m["w"] == 320)
        self.assertEqual(window["h"], 200)
        while True:
            opcode, payload = session.read_message()
            if opcode != 2:
                continue
            session.ack(payload)
            kind, window_id = struct.unpack("<BI", payload[:5])
            copy_w, copy_h = struct.unpack("<ii", payload[17:25])
            count, = struct.unpack("<I", payload[29:33])
            x, y, size = struct.unpack("<iiI", payload[33:45])
            png = payload[45:45 + size]
            self.assertEqual((kind, window_id, copy_w, copy_h, count), (2, window["id"], 0, 0, 1))
            self.assertEqual(len(payload), 45 + size)
            self.assertEqual(png[:8], b"\x89PNG\r\n\x1a\n")
            width, height = struct.unpack(">II", png[16:24])
            self.assertLessEqual(x + width, 320)
            self.assertLessEqual(y + height, 200)
            break
        session.close()

    def test_oversized_message_ends_only_its_session(self):
        first, second = self.host.session(), self.host.session()
        first.sock.settimeout(3)
        try:
            first.sock.sendall(wsclient.frame(1, b" " * (5 << 20)))
        except OSError:
            pass  # the host stopped reading once the frame's header showed its size
        with self.assertRaises(wsclient.Closed) as closed:
            while True:
                first.read_message()
        self.assertEqual(closed.exception.code, 1009)
        self.assertTrue(init_answers(second))

    def test_hostile_frames_end_their_session_and_nothing_else(self):
        witness = self.host.session()
        hostile = [
            wsclient.frame(1, b"{}", mask=False),                       # a client frame must be masked
            wsclient.frame(3, b"x"),                                    # reserved opcode
            wsclient.frame(9, b"p" * 126),                              # control frame over 125 bytes
            wsclient.frame(9, b"p", fin=False),                         # fragmented control frame
            wsclient.frame(0, b"orphan"),                               # continuation with nothing to continue
            bytes([0xC1, 0x80, 0, 0, 0, 0]),                            # reserved bit set
            struct.pack("!BBQ", 0x81, 0xFF, 1 << 62) + b"\0\0\0\0",     # a length of 2^62
            wsclient.frame(1, b"\xff\xfe not UTF-8"),                   # text that is not UTF-8
        ]
        generator = random.Random(15)
        hostile += [bytes(generator.randrange(256) for _ in range(generator.randrange(1, 64))) for _ in range(40)]
        for data in hostile:
            session = self.host.session()
            session.sock.sendall(data)
            session.sock.settimeout(5)
            try:
                while True:
                    session.read_message()
            except (wsclient.Closed, OSError):
                pass
            session.sock.close()
            self.assertTrue(self.host.alive())
        self.assertTrue(init_answers(witness))

    def test_hostile_page_messages_are_dropped(self):
        session = self.host.session()
        for text in ['{"t":"mouse","a":"down","b":0,"x":1e300,"y":"a"}', '{"t":"key","vk":9999,"down":true}',
                     '{"t":"wheel","d":-99999999999,"x":1,"y":1}', '{"t":"place","w":-5,"h":1e9,"vw":0,"vh":0}',
                     '{"t":"file","id":1,"name":"../../escape","size":3}', '{"t":"drop","ids":{},"x":0,"y":0}',
                     '[' * 100000, '{"t":"post","text":{"name":"init"}}', '"just a string"', '{"t":"ack","n":-1}']:
            session.sock.sendall(wsclient.frame(1, text.encode()))
        session.send_bytes(b"\x01\x00")
        session.send_bytes(struct.pack("<I", 1) + b"abc")
        self.assertTrue(init_answers(session))
        self.assertEqual(list(pathlib.Path(self.host.session_folders()[0]).iterdir()), [])

    def test_the_number_of_sessions_is_bounded(self):
        sessions = [self.host.session() for _ in range(3)]
        sock, status, _, _ = wsclient.handshake(self.host.port)
        sock.close()
        self.assertEqual(status, 503)
        sessions.pop().close()
        self.assertTrue(eventually(lambda: len(self.host.children()) == 2))
        self.assertTrue(init_answers(self.host.session()))

    def test_a_crashed_process_ends_its_page_with_an_error(self):
        doomed, witness = self.host.session(), self.host.session()
        children = self.host.children()
        os.kill(children[0], signal.SIGKILL)
        with self.assertRaises(wsclient.Closed) as closed:
            doomed.wait_for(lambda m: False)
        self.assertEqual(closed.exception.code, 4002)
        self.assertIn("ended", closed.exception.reason)
        self.assertTrue(init_answers(witness))

    def test_a_hung_process_is_ended(self):
        hung, witness = self.host.session(), self.host.session()
        stopped = self.host.children()[0]
        os.kill(stopped, signal.SIGSTOP)
        with self.assertRaises(wsclient.Closed) as closed:
            hung.wait_for(lambda m: False)
        self.assertEqual(closed.exception.code, 4003)
        self.assertTrue(eventually(lambda: stopped not in self.host.children()))
        self.assertTrue(init_answers(witness))

    def test_closing_the_page_ends_its_process_and_folder(self):
        session = self.host.session()
        self.assertEqual(len(self.host.children()), 1)
        self.assertEqual(len(self.host.session_folders()), 1)
        session.close()
        self.assertTrue(eventually(lambda: not self.host.children() and not self.host.session_folders()))

    def test_dropped_files_keep_their_names_and_paths(self):
        session = self.host.session()
        folder = self.host.session_folders()[0]

        def send_file(file_id, name, content):
            session.send_json({"t": "file", "id": file_id, "name": name, "size": len(content)})
            for start in range(0, len(content), 1000):
                session.send_bytes(struct.pack("<I", file_id) + content[start:start + 1000])

        photo = bytes(range(256)) * 20
        send_file(1, "照片 1.jpg", photo)
        send_file(2, "照片 1.jpg", photo)
        send_file(3, "照片 1.jpg", b"another picture")
        session.send_json({"t": "file", "id": 4, "name": "cut.jpg", "size": 100})
        session.send_bytes(struct.pack("<I", 4) + b"only part")
        session.send_json({"t": "file", "id": 5, "name": "cut.jpg", "size": 3})
        session.send_bytes(struct.pack("<I", 5) + b"too many bytes")
        self.assertTrue(init_answers(session))  # the reader has handled everything sent before
        self.assertEqual((folder / "照片 1.jpg").read_bytes(), photo)
        self.assertEqual((folder / "2" / "照片 1.jpg").read_bytes(), b"another picture")
        self.assertFalse((folder / "cut.jpg").exists())
        names = sorted(str(path.relative_to(folder)) for path in folder.rglob("*") if path.is_file())
        # The cut file is still coming; it has no name of its own yet.
        self.assertEqual(names, [".incoming-4", "2/照片 1.jpg", "照片 1.jpg"])


SOURCE = pathlib.Path(__file__).resolve().parents[2]


def make_photos(folder, count, size):
    listing = subprocess.run([sys.executable, str(SOURCE / "tests/support/make_photos.py"), str(folder), str(count),
                              "--size", size, "--grain", "--prefix", "big"], check=True, capture_output=True, text=True)
    return [pathlib.Path(line) for line in listing.stdout.split()]


class DemoTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        samples = pathlib.Path(cls.folder.name, "samples")
        samples.mkdir()
        for name in ["b.jpg", "a.png", "notes.txt"]:
            (samples / name).write_bytes(b"x")
        cls.host = Host("--demo", cls.folder.name)

    @classmethod
    def tearDownClass(cls):
        cls.host.stop()
        cls.folder.cleanup()

    def test_demo_page_and_samples(self):
        response, body = self.host.request("GET", "/demo/")
        self.assertEqual(response.status, 200)
        self.assertIn(b'id="uploader"', body)
        _, body = self.host.request("GET", "/demo/samples")
        self.assertEqual([pathlib.Path(p).name for p in json.loads(body)], ["a.png", "b.jpg"])

    def test_receiver_stores_uploads(self):
        boundary = "-----------------------------7db3a1e2b0f18"
        parts = (f"--{boundary}\r\nContent-Disposition: form-data; name=\"id\"\r\n\r\n42\r\n"
                 f"--{boundary}\r\nContent-Disposition: form-data; name=\"file\"; filename=\"../../evil 相片.jpg\"\r\n"
                 f"Content-Type: image/jpeg\r\n\r\n").encode() + b"\xff\xd8JPEG\r\n--not-the-boundary" + \
            f"\r\n--{boundary}--\r\n".encode()
        headers = {"Content-Type": f"multipart/form-data; boundary={boundary}"}
        for attempt in ["evil 相片.jpg", "evil 相片-2.jpg"]:
            response, body = self.host.request("POST", "/demo/upload", headers, parts)
            reply = json.loads(body)
            self.assertEqual(response.status, 200)
            self.assertEqual(reply["success"], 1)
            self.assertEqual(reply["fields"], {"id": "42"})
            self.assertEqual(reply["files"], [{"field": "file", "name": attempt, "size": 26}])
            stored = pathlib.Path(self.folder.name, "uploads", attempt)
            self.assertEqual(stored.read_bytes(), b"\xff\xd8JPEG\r\n--not-the-boundary")
        response, _ = self.host.request("POST", "/demo/upload", {**headers, "Origin": "https://evil.example"}, parts)
        self.assertEqual(response.status, 403)
        response, body = self.host.request("POST", "/demo/upload", {"Content-Type": "text/plain"}, b"hello")
        self.assertEqual((response.status, json.loads(body)["success"]), (400, 0))
        response, body = self.host.request("POST", "/demo/upload", headers, parts[:60])
        self.assertEqual((response.status, json.loads(body)["success"]), (400, 0))

    def test_a_session_uploads_photos_of_several_megabytes(self):
        photos = make_photos(pathlib.Path(self.folder.name, "photos"), 3, "2000x1500")
        session = self.host.session()
        post(session, {"name": "init", "config": {"PostUrl": f"http://127.0.0.1:{self.host.port}/demo/upload"}})
        for photo in photos:
            post(session, {"name": "addFile", "path": str(photo)})
        session.send_json({"t": "place", "x": 0, "y": 0, "w": 800, "h": 560, "vw": 1024, "vh": 768})
        session.wait_for(lambda m: m["t"] == "window" and m["w"] == 800)
        for action in ["move", "down", "up"]:  # the toolbar's upload button
            session.send_json({"t": "mouse", "a": action, "b": 0, "x": 135, "y": 16})
        done = session.wait_for(lambda m: m["t"] == "event" and json.loads(m["text"])["name"] == "post_complete",
                                limit=20000)
        accepted = json.loads(done["text"])["imgs"]
        self.assertEqual(len(accepted), 3)
        for photo in photos:
            # Each stored file holds exactly the bytes the engine encodes for its photo.
            expected = pathlib.Path(self.folder.name, "expected-" + photo.name)
            subprocess.run([str(BIN / "trellan-picture"), "encode", "--format", "png", str(photo), str(expected)],
                           check=True, capture_output=True)
            svr = next(img["svr"] for img in accepted
                       if urllib.parse.unquote_plus(img["svr"]["fields"]["remark"]) == photo.name)
            stored = pathlib.Path(self.folder.name, "uploads", svr["files"][0]["name"])
            self.assertGreater(expected.stat().st_size, 4 << 20)
            self.assertEqual(stored.read_bytes(), expected.read_bytes(), photo.name)
        session.close()

    def test_bodies_over_the_limit_are_answered_413(self):
        # The client sends its whole body before it reads the answer, as simple clients do.
        cases = [("POST", "/demo/upload", (128 << 20) + 1), ("POST", "/status", (64 << 10) + 1)]
        for method, path, size in cases:
            response, body = self.host.request(method, path, {"Content-Type": "application/octet-stream"},
                                               b"\0" * size)
            self.assertEqual(response.status, 413, path)
            self.assertIn(b"too large", body)


if __name__ == "__main__":
    unittest.main()
