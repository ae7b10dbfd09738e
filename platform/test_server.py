"""Self-test of the local web server: run with `python3 -m unittest` here."""

import json
import socket
import tempfile
import threading
import time
import unittest
import urllib.error
import urllib.request
from pathlib import Path

import server as web_server

SITE = '''
from web.response import Response
HOSTS = ("site.test",)
def handle(request):
    if request.path == "/hello":
        return Response.text("hello from the site")
    if request.path == "/broken":
        raise ValueError("broken site")
    return None
'''


class ServerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        root = Path(cls.folder.name)
        (root / "fixtures" / "sub").mkdir(parents=True)
        (root / "fixtures" / "sub" / "index.html").write_text("<p>port {{PORT}}</p>")
        (root / "secret.txt").write_text("outside")
        (root / "sites").mkdir()
        (root / "sites" / "site.py").write_text(SITE)
        cls.log = root / "requests.jsonl"
        cls.server = web_server.make_server(0, cls.log, root / "fixtures", root / "sites",
                                            idle_timeout=1)
        cls.port = cls.server.server_address[1]
        cls.thread = threading.Thread(target=cls.server.serve_forever, daemon=True)
        cls.thread.start()

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()
        cls.server.server_close()
        cls.folder.cleanup()

    def fetch(self, path, host=None, data=None, headers=None):
        request = urllib.request.Request(f"http://127.0.0.1:{self.port}{path}", data=data,
                                         headers=headers or {})
        if host:
            request.add_header("Host", f"{host}:{self.port}")
        try:
            with urllib.request.urlopen(request, timeout=10) as reply:
                return reply.status, dict(reply.headers), reply.read()
        except urllib.error.HTTPError as error:
            return error.code, dict(error.headers), error.read()

    def raw(self, data, read_timeout=5):
        with socket.create_connection(("127.0.0.1", self.port), timeout=read_timeout) as sock:
            sock.sendall(data)
            chunks = []
            while True:
                chunk = sock.recv(65536)
                if not chunk:
                    return b"".join(chunks)
                chunks.append(chunk)

    def test_fixtures_hosts_and_traversal(self):
        self.assertEqual(self.fetch("/sub/")[2], f"<p>port {self.port}</p>".encode())
        self.assertEqual(self.fetch("/hello", host="site.test")[2], b"hello from the site")
        # The site passes what it does not know to the test site.
        self.assertEqual(self.fetch("/status/204", host="SITE.test")[0], 204)
        self.assertEqual(self.fetch("/hello")[0], 404)
        reply = self.raw(b"GET /../secret.txt HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n")
        self.assertNotIn(b"outside", reply)

    def test_scripted_responses(self):
        status, headers, _ = self.fetch("/status/503")
        self.assertEqual(status, 503)
        reply = self.raw(b"GET /redirect/307?to=/page HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n")
        self.assertTrue(reply.startswith(b"HTTP/1.1 307"))
        self.assertIn(b"\r\nLocation: /page\r\n", reply)
        status, headers, body = self.fetch("/attachment?name=a.bin&size=5000")
        self.assertEqual(len(body), 5000)
        self.assertIn("attachment", headers["Content-Disposition"])
        reply = self.raw(b"GET /truncated?length=900&send=100 HTTP/1.1\r\nHost: x\r\n\r\n")
        head, _, body = reply.partition(b"\r\n\r\n")
        self.assertIn(b"Content-Length: 900", head)
        self.assertEqual(len(body), 100)
        self.assertFalse(self.raw(b"GET /garbage HTTP/1.1\r\nHost: x\r\n\r\n").startswith(b"HTTP"))
        _, headers, body = self.fetch("/tone.wav?ms=100")
        self.assertEqual(headers["Content-Type"], "audio/wav")
        self.assertTrue(body.startswith(b"RIFF") and len(body) == 44 + 2 * 2205)

    def test_generated_page_has_its_elements_size_and_script(self):
        _, _, body = self.fetch("/generated?elements=300&bytes=50000&title=Big")
        text = body.decode("utf-8")
        self.assertEqual(len(body), 50000)
        self.assertEqual(text.count(' id="e'), 300)
        self.assertIn('id="e299"', text)
        self.assertIn("for (var i = 299; i >= 0; i -= 30)", text)
        self.assertEqual(self.fetch("/generated?elements=300&bytes=50000&title=Big")[2], body)
        # Fewer bytes than the markup needs: the markup stays whole.
        _, _, small = self.fetch("/generated?elements=10&bytes=1")
        # Ten elements, and title, head, script, body and html.
        self.assertEqual(small.decode("utf-8").count("</"), 10 + 5)

    def test_slow_response_waits_before_headers_and_between_chunks(self):
        started = time.monotonic()
        _, _, body = self.fetch("/slow?head=0.3&gap=0.2&chunks=3&size=10")
        self.assertGreaterEqual(time.monotonic() - started, 0.7)
        self.assertEqual(len(body), 30)

    def test_cookies_round_trip(self):
        _, headers, _ = self.fetch("/cookie/set?name=sid&value=42")
        self.assertEqual(headers["Set-Cookie"], "sid=42; Path=/")
        _, _, body = self.fetch("/cookie/echo", headers={"Cookie": "sid=42; other=x"})
        self.assertEqual(json.loads(body), {"sid": "42", "other": "x"})

    def test_log_records_requests_and_resets(self):
        self.fetch("/__log/reset")
        self.fetch("/echo?q=1", data=b"a=1&b=2")
        self.fetch("/page", host="site.test")
        entries = [json.loads(line) for line in self.log.read_text().splitlines()]
        self.assertEqual([(e["method"], e["host"], e["path"]) for e in entries],
                         [("POST", "127.0.0.1", "/echo?q=1"), ("GET", "site.test", "/page")])
        self.assertEqual(entries[0]["body"], "a=1&b=2")
        self.assertEqual(len(json.loads(self.fetch("/__log")[2])), 3)  # and itself
        self.fetch("/__log/reset")
        self.assertEqual(self.log.read_text(), "")

    def test_bad_requests_leave_the_server_working(self):
        self.raw(b"\x16\x03\x01garbage\r\n\r\n")
        self.raw(b"GET / HTTP/1.1\r\nContent-Length: -5\r\n\r\n")
        self.raw(b"GET / HTTP/1.1\r\nContent-Length: 99999999999\r\n\r\n")
        self.raw(b"POST /echo HTTP/1.1\r\nContent-Length: 10\r\n\r\nabc", read_timeout=10)
        with socket.create_connection(("127.0.0.1", self.port)):
            pass  # connected and gone without a word
        self.assertEqual(self.fetch("/broken", host="site.test")[0], 500)
        self.assertEqual(self.fetch("/status/200")[0], 200)


if __name__ == "__main__":
    unittest.main()
