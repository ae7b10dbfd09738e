"""The test site: fixture files and scripted responses.

    /status/CODE                  that status, a small HTML body
    /redirect/CODE?to=URL         301, 302, 303, 307 or 308 to URL
    /attachment?name=N&size=B     B bytes (default 1024) saved as file N
    /slow?head=S&gap=S&chunks=K&size=B
                                  S seconds before the headers, K chunks of a
                                  B-byte HTML body with S seconds between them
    /truncated?length=L&send=B    Content-Length L, B bytes sent, then the
                                  connection is closed
    /garbage                      bytes that are not HTTP, then close
    /close                        the connection is closed without a reply
    /tone.wav?ms=M&hz=F           a sine tone, 16-bit mono PCM
    /cookie/set?name=N&value=V[&max_age=S][&path=P]
                                  sets the cookie
    /cookie/echo                  the cookies the request carried, as JSON
    /echo                         the request itself, as JSON
    /page?title=T&text=X          a small page with that title and text
    /generated?elements=N&bytes=B&title=T
                                  a page of N text elements (div, p, span and
                                  a in turn, ids e0 to eN-1) filled to about B
                                  bytes; its script at the end looks up every
                                  tenth of them by id and titles the page
                                  "T 10" when all are there
    anything else                 the fixture file of that path (index.html
                                  for a folder), 404 when there is none

Numbers are read leniently and clamped, so a bad query gives a sane reply.
In HTML fixtures "{{PORT}}" stands for the server's port.
"""

import html
import io
import json
import math
import mimetypes
import struct
import wave

from web.response import Response

MAX_SIZE = 64 * 1024 * 1024
MAX_ELEMENTS = 1_000_000
MAX_DELAY_SECONDS = 30.0
REDIRECT_CODES = {301, 302, 303, 307, 308}


def number(text, default, low, high, kind=int):
    try:
        value = kind(text)
    except (TypeError, ValueError):
        return default
    if kind is float and value != value:  # NaN
        return default
    return max(low, min(high, value))


def page(title, text, status=200):
    return Response.html(
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>"
        + html.escape(title) + "</title></head>\n<body><p id=\"text\">"
        + html.escape(text) + "</p></body></html>\n", status)


def generated(elements, size, title):
    """A big page, the same bytes for the same query."""
    head = ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>"
            + html.escape(title) + "</title></head>\n<body>\n")
    step = max(1, elements // 10)
    script = ("<script>var found = 0;\n"
              f"for (var i = {elements - 1}; i >= 0; i -= {step}) {{\n"
              "  if (document.getElementById('e' + i)) found++;\n}\n"
              f"document.title = {json.dumps(title)} + ' ' + found;\n</script>\n")
    tail = "</body></html>\n"
    tags = ("div", "p", "span", "a")
    # The markup without text, then the text shared out to reach the size.
    markup = sum(len(f'<{tags[i % 4]} id="e{i}"></{tags[i % 4]}>\n') for i in range(elements))
    room = max(0, size - len(head) - len(script) - len(tail) - markup)
    each, extra = divmod(room, elements) if elements else (0, 0)
    words = "lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor "
    filler = (words * (each // len(words) + 2))
    parts = [head]
    for i in range(elements):
        tag = tags[i % 4]
        length = each + (1 if i < extra else 0)
        parts.append(f'<{tag} id="e{i}">{filler[:length]}</{tag}>\n')
    parts += [script, tail]
    return Response.html("".join(parts))


def tone(milliseconds, frequency):
    rate = 22050
    frames = rate * milliseconds // 1000
    samples = bytearray()
    for index in range(frames):
        value = int(12000 * math.sin(2 * math.pi * frequency * index / rate))
        samples += struct.pack("<h", value)
    buffer = io.BytesIO()
    with wave.open(buffer, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(rate)
        out.writeframes(bytes(samples))
    return Response(200, buffer.getvalue(), content_type="audio/wav")


def fixture(request, context):
    root = context.fixtures
    try:
        candidate = (root / request.path.lstrip("/")).resolve()
    except (OSError, ValueError):
        return page("Not found", request.path, 404)
    if not candidate.is_relative_to(root):
        return page("Forbidden", request.path, 403)
    if candidate.is_dir():
        candidate = candidate / "index.html"
    if not candidate.is_file():
        return page("Not found", request.path, 404)
    data = candidate.read_bytes()
    kind = mimetypes.guess_type(candidate.name)[0] or "application/octet-stream"
    if kind == "text/html":
        data = data.replace(b"{{PORT}}", str(context.port).encode())
        kind = "text/html; charset=utf-8"
    elif kind.startswith("text/") or kind == "application/javascript":
        kind += "; charset=utf-8"
    return Response(200, data, content_type=kind)


def handle(request, context):
    path, query = request.path, request.query
    parts = path.strip("/").split("/")

    if parts[0] == "status" and len(parts) == 2:
        code = number(parts[1], 200, 100, 599)
        return page(f"Status {code}", f"status {code}", code)

    if parts[0] == "redirect" and len(parts) == 2:
        code = number(parts[1], 302, 300, 399)
        if code not in REDIRECT_CODES:
            code = 302
        return Response.redirect(query.get("to", "/"), code)

    if path == "/attachment":
        size = number(query.get("size"), 1024, 0, MAX_SIZE)
        name = query.get("name", "download.bin").replace('"', "")
        body = bytes(index % 251 for index in range(size))
        return Response(200, body, [
            ("Content-Type", "application/octet-stream"),
            ("Content-Disposition", f'attachment; filename="{name}"'),
        ])

    if path == "/slow":
        chunks = number(query.get("chunks"), 1, 1, 1000)
        size = number(query.get("size"), 64, 1, 1024 * 1024)
        filler = b"<p>" + b"x" * max(0, size - 8) + b"</p>\n"
        response = Response(200, filler[:size] * chunks, content_type="text/html; charset=utf-8")
        response.header_delay = number(query.get("head"), 0.0, 0.0, MAX_DELAY_SECONDS, float)
        response.chunk_delay = number(query.get("gap"), 0.0, 0.0, MAX_DELAY_SECONDS, float)
        response.chunk_size = size
        return response

    if path == "/truncated":
        length = number(query.get("length"), 1000, 1, MAX_SIZE)
        send = number(query.get("send"), length // 2, 0, length - 1)
        response = Response(200, b"<p>" + b"t" * max(0, send - 3), content_type="text/html")
        response.body = response.body[:send]
        response.declared_length = length
        return response

    if path == "/garbage":
        response = Response()
        response.raw = b"\x00\xffNOT HTTP\r\n\x1b[0m\x80\x81garbage" * 8
        return response

    if path == "/close":
        response = Response()
        response.raw = b""
        return response

    if path == "/tone.wav":
        milliseconds = number(query.get("ms"), 1000, 1, 60000)
        frequency = number(query.get("hz"), 440, 20, 20000)
        return tone(milliseconds, frequency)

    if path == "/cookie/set":
        name = query.get("name", "qel")
        value = query.get("value", "1")
        cookie = f"{name}={value}; Path={query.get('path', '/')}"
        if "max_age" in query:
            cookie += f"; Max-Age={number(query['max_age'], 0, 0, 10 ** 8)}"
        return Response.json({"set": {name: value}}, headers=[("Set-Cookie", cookie)])

    if path == "/cookie/echo":
        return Response.json(request.cookies())

    if path == "/echo":
        return Response.json(request.log_entry())

    if path == "/page":
        return page(query.get("title", "Page"), query.get("text", ""))

    if path == "/generated":
        return generated(number(query.get("elements"), 2000, 0, MAX_ELEMENTS),
                         number(query.get("bytes"), 200_000, 0, MAX_SIZE),
                         query.get("title", "Generated"))

    return fixture(request, context)
