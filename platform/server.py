#!/usr/bin/env python3
"""A local web server for the tests and the demo (Python standard library only).

Listens on the loopback interface only, on a free port unless one is given,
and writes the port it got to --port-file. Each request is answered by the
site registered for its Host header (platform/sites/*.py, see sites/README),
else by the built-in test site: fixture files from --fixtures and scripted
responses (status codes, redirects, attachments, slow, truncated and garbage
responses, a WAV tone, cookies, an echo of the request). Every request is
appended to the request log (--log, JSON lines) before it is answered, so a
test can prove what was and was not asked for.

Stop it by its process id (SIGTERM).
"""

import argparse
import importlib.util
import json
import os
import signal
import socket
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

from web import builtin  # noqa: E402
from web.request import Request  # noqa: E402
from web.response import Response  # noqa: E402

# Bounds: a connection that says nothing for this long is dropped; bodies
# beyond this size are not read (the request is refused); at most this many
# connections are served at once, the others wait in the listen queue.
IDLE_TIMEOUT_SECONDS = 15
MAX_BODY_BYTES = 4 * 1024 * 1024
MAX_CONNECTIONS = 48


class RequestLog:
    """The JSON-lines request log, shared by every connection thread."""

    def __init__(self, path):
        self.path = Path(path) if path else None
        self.lock = threading.Lock()
        self.entries = []  # kept in memory too, for GET /__log
        if self.path:
            self.path.parent.mkdir(parents=True, exist_ok=True)
            self.path.write_text("")

    def append(self, request):
        entry = request.log_entry()
        line = json.dumps(entry, ensure_ascii=False)
        with self.lock:
            self.entries.append(entry)
            if self.path:
                with self.path.open("a", encoding="utf-8") as log:
                    log.write(line + "\n")

    def reset(self):
        with self.lock:
            self.entries.clear()
            if self.path:
                self.path.write_text("")

    def snapshot(self):
        with self.lock:
            return list(self.entries)


class Sites:
    """Site plug-ins by host name (lower case, without the port)."""

    def __init__(self, folder, context):
        self.by_host = {}
        for path in sorted(Path(folder).glob("*.py")) if folder else []:
            found = importlib.util.spec_from_file_location("qel_site_" + path.stem, path)
            module = importlib.util.module_from_spec(found)
            found.loader.exec_module(module)
            if hasattr(module, "setup"):
                module.setup(context)
            for host in getattr(module, "HOSTS", ()):
                self.by_host[host.lower()] = module

    def find(self, host):
        return self.by_host.get(host)


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "QelmoraTestServer/1"

    def setup(self):
        self.timeout = self.server.idle_timeout
        super().setup()

    # Every method goes through one path.
    def do_GET(self):
        self.serve()

    do_POST = do_PUT = do_DELETE = do_HEAD = do_OPTIONS = do_PATCH = do_GET

    def serve(self):
        length_text = self.headers.get("Content-Length", "0") or "0"
        try:
            length = int(length_text)
        except ValueError:
            length = -1
        if length < 0 or length > MAX_BODY_BYTES:
            self.close_connection = True
            self.send_plain(413 if length > 0 else 400, "bad request body length\n")
            return
        body = self.rfile.read(length) if length else b""
        request = Request(self.command, self.path, self.headers, body, self.client_address)
        context = self.server.context
        if request.path == "/__log/reset":
            context.log.reset()
            self.send_response_object(Response.text("log reset\n"))
            return
        context.log.append(request)
        if request.path == "/__log":
            self.send_response_object(Response.json(context.log.snapshot()))
            return
        try:
            response = None
            site = context.sites.find(request.host)
            if site is not None:
                response = site.handle(request)
            if response is None:
                response = builtin.handle(request, context)
        except Exception as error:  # a broken site answers 500, the server goes on
            response = Response.text(f"server error: {error!r}\n", status=500)
        self.send_response_object(response)

    def send_plain(self, status, text):
        self.send_response_object(Response.text(text, status=status))

    def send_response_object(self, response):
        if response.raw is not None:
            # Not HTTP at all: the bytes as they are, then the connection ends.
            self.close_connection = True
            self.wfile.write(response.raw)
            self.wfile.flush()
            return
        if response.header_delay:
            time.sleep(response.header_delay)
        body = response.body if self.command != "HEAD" else b""
        self.send_response(response.status)
        have_length = False
        for name, value in response.headers:
            if name.lower() == "content-length":
                have_length = True
            self.send_header(name, value)
        if not have_length:
            declared = response.declared_length
            self.send_header("Content-Length", str(len(response.body) if declared is None else declared))
        if response.close or response.declared_length is not None:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        self.wfile.flush()
        step = response.chunk_size or len(body) or 1
        for offset in range(0, len(body), step):
            if offset and response.chunk_delay:
                time.sleep(response.chunk_delay)
            self.wfile.write(body[offset:offset + step])
            self.wfile.flush()
        if response.declared_length is not None:
            # A body shorter than announced: end the connection to show it.
            try:
                self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        pass  # the request log replaces the console log


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64

    def __init__(self, address, context, idle_timeout):
        super().__init__(address, Handler)
        self.context = context
        self.idle_timeout = idle_timeout
        self.slots = threading.BoundedSemaphore(MAX_CONNECTIONS)

    def process_request(self, request, client_address):
        self.slots.acquire()
        try:
            super().process_request(request, client_address)
        except Exception:
            self.slots.release()
            raise

    def process_request_thread(self, request, client_address):
        try:
            super().process_request_thread(request, client_address)
        finally:
            self.slots.release()

    def handle_error(self, request, client_address):
        # A broken connection or a client that went away: never fatal, and
        # nothing for the console unless asked.
        if os.environ.get("QEL_WEB_DEBUG"):
            super().handle_error(request, client_address)


class Context:
    """What the handlers share: the request log, the sites, the fixtures."""

    def __init__(self, log_path, fixtures, sites_folder):
        self.port = 0
        self.log = RequestLog(log_path)
        self.fixtures = Path(fixtures).resolve()
        self.sites = Sites(sites_folder, self)


def make_server(port=0, log_path=None, fixtures=None, sites=None,
                idle_timeout=IDLE_TIMEOUT_SECONDS):
    context = Context(log_path, fixtures or HERE / "fixtures",
                      sites if sites is not None else HERE / "sites")
    server = Server(("127.0.0.1", port), context, idle_timeout)
    context.port = server.server_address[1]
    return server


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--port-file")
    parser.add_argument("--log")
    parser.add_argument("--fixtures", default=str(HERE / "fixtures"))
    parser.add_argument("--sites", default=str(HERE / "sites"))
    args = parser.parse_args()

    server = make_server(args.port, args.log, args.fixtures, args.sites)
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    port = server.server_address[1]
    if args.port_file:
        temporary = args.port_file + ".tmp"
        Path(temporary).write_text(f"{port}\n")
        os.replace(temporary, args.port_file)
    else:
        print(port, flush=True)
    try:
        server.serve_forever(poll_interval=0.2)
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
