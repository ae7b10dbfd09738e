"""A response and how it is to be sent (delays, truncation, raw bytes)."""

import json


class Response:
    def __init__(self, status=200, body=b"", headers=None, content_type=None):
        self.status = status
        self.body = body.encode("utf-8") if isinstance(body, str) else bytes(body)
        self.headers = list(headers or [])
        if content_type and not any(name.lower() == "content-type" for name, _ in self.headers):
            self.headers.append(("Content-Type", content_type))
        self.header_delay = 0.0  # seconds before the status line
        self.chunk_delay = 0.0  # seconds between body chunks
        self.chunk_size = 0  # 0: the body in one piece
        self.declared_length = None  # a Content-Length other than the body's
        self.close = False  # end the connection after this response
        self.raw = None  # bytes sent instead of an HTTP response

    @staticmethod
    def html(text, status=200, headers=None):
        return Response(status, text, headers, "text/html; charset=utf-8")

    @staticmethod
    def text(text, status=200, headers=None):
        return Response(status, text, headers, "text/plain; charset=utf-8")

    @staticmethod
    def json(value, status=200, headers=None):
        return Response(status, json.dumps(value, ensure_ascii=False), headers,
                        "application/json; charset=utf-8")

    @staticmethod
    def redirect(location, status=302):
        return Response.html(f'<a href="{location}">moved</a>', status, [("Location", location)])

    def with_header(self, name, value):
        self.headers.append((name, value))
        return self
