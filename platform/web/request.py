"""A request as the handlers and the request log see it."""

import time
from http.cookies import CookieError, SimpleCookie
from urllib.parse import parse_qs, unquote, urlsplit


class Request:
    def __init__(self, method, target, headers, body, client_address):
        self.method = method
        self.target = target  # path and query as sent
        parts = urlsplit(target)
        self.path = unquote(parts.path) or "/"
        self.query_string = parts.query
        # First value of each query parameter; `query_lists` keeps them all.
        self.query_lists = parse_qs(parts.query, keep_blank_values=True)
        self.query = {name: values[0] for name, values in self.query_lists.items()}
        self.headers = [(name, value) for name, value in headers.items()]
        host = headers.get("Host", "") or ""
        # "name:port" and "[v6]:port" lose the port; names compare in lower case.
        if host.startswith("["):
            host = host[1:host.find("]")] if "]" in host else host[1:]
        elif ":" in host:
            host = host.rsplit(":", 1)[0]
        self.host = host.strip().lower()
        self.body = body
        self.client_port = client_address[1] if client_address else 0
        self.time = time.time()

    def header(self, name, default=""):
        lower = name.lower()
        for key, value in self.headers:
            if key.lower() == lower:
                return value
        return default

    def cookies(self):
        cookies = SimpleCookie()
        try:
            cookies.load(self.header("Cookie"))
        except CookieError:
            return {}
        return {name: morsel.value for name, morsel in cookies.items()}

    def form(self):
        """The fields of a url-encoded form body, first value of each."""
        try:
            text = self.body.decode("utf-8")
        except UnicodeDecodeError:
            text = self.body.decode("latin-1")
        return {name: values[0] for name, values in parse_qs(text, keep_blank_values=True).items()}

    def log_entry(self):
        return {
            "time": round(self.time, 3),
            "method": self.method,
            "host": self.host,
            "path": self.target,
            "headers": [[name, value] for name, value in self.headers],
            "body": self.body.decode("utf-8", errors="replace"),
            "body_length": len(self.body),
        }
