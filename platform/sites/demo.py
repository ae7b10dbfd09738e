"""The demo platform: the web host with the login and server-choice pages,
the payment host and the game host, told apart by the request's Host
header. Pages are plain HTML with inline styles, sized for the login
window (380 x 287 pixels of page) and the game window.

The hosts default to the program's build defaults; QEL_PLATFORM_HOST,
QEL_PAYMENT_HOST and QEL_GAME_HOST in the environment override them."""

import html
import io
import math
import os
import struct
import wave
from urllib.parse import quote, unquote_to_bytes

from web.response import Response

PLATFORM_HOST = os.environ.get("QEL_PLATFORM_HOST", "www.qelmora.example")
PAYMENT_HOST = os.environ.get("QEL_PAYMENT_HOST", "pay.qelmora.example")
GAME_HOST = os.environ.get("QEL_GAME_HOST", "game.qelmora.example")
HOSTS = (PLATFORM_HOST, PAYMENT_HOST, GAME_HOST)

# One palette with the client's skins.
INK = "#e8e6f0"
MUTED = "#9a96ad"
GOLD = "#f5d58a"
PAGE = "#10131c"
PANEL = "#1b2030"
BUTTON = "#d9a441"

# The servers of the list: id, name (encoded for the address in the ANSI
# code page of a Chinese system, GBK), tag.
SERVERS = [
    (1, "云梦泽", "新服"),
    (2, "Orion 2", "火爆"),
]
PLAYER = "Aster"


def game_address(server_id, server_name, player):
    """A game address: "m=game" and "|server|player", both names
    percent-encoded from their GBK bytes."""
    server = quote(server_name.encode("gbk"), safe="")
    name = quote(player.encode("gbk"), safe="")
    return f"http://{GAME_HOST}/wd/play/?m=game&sid={server_id}|{server}|{name}"


def page(title, body, background=PAGE):
    return (
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
        f"<title>{html.escape(title)}</title></head>"
        f"<body style=\"margin:0;padding:0;background-color:{background};color:{INK};font-size:13px\">"
        f"{body}</body></html>"
    )


def row_link(href, label, note, attrs=""):
    # One row of fixed height, so that a player's click lands predictably.
    return (
        f"<a href=\"{html.escape(href)}\"{attrs} style=\"display:block;height:22px;margin:0 12px 2px 12px;"
        f"padding:2px 8px 0 8px;background-color:{PANEL};color:{INK};font-size:12px\">"
        f"{html.escape(label)} <span style=\"color:{MUTED}\">{html.escape(note)}</span></a>"
    )


def login_page(query):
    uid = query.get("uid", [""])[0]
    suid = query.get("suid", [""])[0]
    body = (
        f"<div style=\"padding:14px 16px 10px 16px;background-color:{PANEL}\">"
        f"<div style=\"font-size:16px;font-weight:bold;color:{GOLD}\">欢迎回来，冒险者</div>"
        f"<div id=\"greeting\" style=\"margin:6px 0 0 0;color:{MUTED};font-size:12px\">"
        f"uid {html.escape(uid) or '（未设置）'} · suid {html.escape(suid) or '（未设置）'}</div></div>"
        "<form action=\"/game/s/servers/\" method=\"get\" style=\"margin:0;padding:16px\">"
        f"<input type=\"hidden\" name=\"uid\" value=\"{html.escape(uid)}\">"
        f"<input type=\"hidden\" name=\"suid\" value=\"{html.escape(suid)}\">"
        f"<div style=\"color:{MUTED};font-size:12px\">账号</div>"
        f"<div style=\"margin:4px 0 10px 0;padding:6px 8px;background-color:#0b0e16;color:{INK}\">"
        f"{html.escape(uid) or '游客'}</div>"
        f"<div style=\"color:{MUTED};font-size:12px\">角色</div>"
        f"<div style=\"margin:4px 0 14px 0;padding:6px 8px;background-color:#0b0e16;color:{INK}\">{PLAYER}</div>"
        f"<a id=\"login\" href=\"/game/s/servers/?uid={quote(uid)}&suid={quote(suid)}\" "
        f"style=\"display:block;height:30px;padding:8px 0 0 0;text-align:center;background-color:{BUTTON};"
        "color:#ffffff;font-size:14px;font-weight:bold\">登 录</a>"
        "</form>"
    )
    return page("Qelmora 登录", body)


def servers_page(query):
    uid = query.get("uid", [""])[0]
    rows = []
    for server_id, name, tag in SERVERS:
        rows.append(
            f"<a id=\"server{server_id}\" href=\"{html.escape(game_address(server_id, name, PLAYER))}\" "
            f"style=\"display:block;height:24px;margin:0 12px 4px 12px;padding:4px 8px 0 8px;"
            f"background-color:{BUTTON};color:#ffffff;font-size:13px;font-weight:bold\">"
            f"{html.escape(name)} <span style=\"color:#fff3d6;font-weight:normal\">[{tag}]</span></a>"
        )
    links = [
        row_link(f"http://{PLATFORM_HOST}/kefu/", "客服中心", "（不在客户端内打开）"),
        row_link(f"http://{PAYMENT_HOST}/pay/", "充值中心", "（不在客户端内打开）"),
        row_link(f"http://{PLATFORM_HOST}/mg/s/new_server/", "新服预约", "（不在客户端内打开）"),
        row_link(f"http://{GAME_HOST}/bbs/", "游戏论坛", "（不在客户端内打开）"),
        row_link(f"http://{GAME_HOST}/wd/guide/", "新手指南", "（客户端内打开）"),
        row_link(f"http://{PLATFORM_HOST}/news/", "官方公告", "（新窗口）", " target=\"_blank\""),
    ]
    body = (
        f"<div style=\"padding:6px 12px 4px 12px;font-size:14px;font-weight:bold;color:{GOLD}\">"
        f"选择服务器 <span style=\"color:{MUTED};font-size:11px;font-weight:normal\">uid {html.escape(uid)}</span></div>"
        + "".join(rows)
        + "".join(links)
        + message_box_button()
    )
    return page("选择服务器", body)


def message_box_button():
    # The page asks the client for a toast; the client's answer is shown.
    return (
        "<div style=\"margin:2px 12px 0 12px;height:22px\">"
        f"<button id=\"toast\" style=\"width:110px;height:22px;background-color:{PANEL};color:{GOLD};font-size:12px\" "
        "onclick=\"showToast()\">客户端提示</button>"
        f"<span id=\"reply\" style=\"margin:0 0 0 8px;color:{MUTED};font-size:12px\"></span></div>"
        "<script>"
        "function showToast() {"
        " KelCefWebInstance.call('ShowMessageBox', '欢迎来到 Qelmora！', function (hasError, result) {"
        "  var text = hasError ? 'error' : result.message;"
        "  document.getElementById('reply').innerText = '答复：' + text;"
        "  document.title = 'reply:' + text;"
        " });"
        "}"
        "</script>"
    )


def simple_page(title, heading, text):
    body = (
        f"<div style=\"padding:16px\"><div style=\"font-size:16px;font-weight:bold;color:{GOLD}\">"
        f"{html.escape(heading)}</div><div style=\"margin:8px 0 0 0\">{html.escape(text)}</div>"
        "<a href=\"javascript:history.back()\" style=\"display:block;margin:12px 0 0 0;color:" + BUTTON + "\">返回</a></div>"
    )
    return page(title, body)


def game_page(query_string):
    # The server and player ride after the first "|" of the address (which
    # a browser may send as %7C).
    parts = query_string.replace("%7C", "|").replace("%7c", "|").split("|")
    server = _decode_gbk(parts[1]) if len(parts) > 1 else "?"
    player = _decode_gbk(parts[2]) if len(parts) > 2 else server
    body = (
        "<div style=\"padding:40px 0 0 0;text-align:center\">"
        f"<div style=\"font-size:28px;font-weight:bold;color:{GOLD}\">Qelmora</div>"
        f"<div style=\"margin:14px 0 0 0;font-size:16px\">服务器 <span id=\"server\" style=\"color:{GOLD}\">"
        f"{html.escape(server)}</span> · 角色 <span id=\"player\" style=\"color:{GOLD}\">{html.escape(player)}</span></div>"
        f"<div style=\"margin:10px 0 0 0;color:{MUTED}\">战斗音乐播放中（窗口失去焦点时自动静音）</div>"
        "<audio src=\"/wd/theme.wav\" autoplay loop></audio>"
        f"<div style=\"margin:24px auto 0 auto;width:480px;padding:16px;background-color:{PANEL}\">"
        f"<div style=\"color:{INK}\">星海远征 · 第 1 章</div>"
        f"<div style=\"margin:8px 0 0 0;color:{MUTED};font-size:12px\">这里是游戏画面。</div>"
        "</div>"
        + message_box_button()
        + "</div>"
    )
    return page(f"{server}-{player}", body, background="#0b0e16")


def _decode_gbk(part):
    try:
        return unquote_to_bytes(part).decode("gbk")
    except UnicodeDecodeError:
        return part


def theme_wav():
    """Two seconds of a soft three-note chime, 8 kHz mono 8-bit."""
    rate = 8000
    notes = [523.25, 659.25, 783.99]
    frames = bytearray()
    for i in range(rate * 2):
        t = i / rate
        note = notes[int(t / (2 / 3)) % 3]
        local = t % (2 / 3)
        level = math.exp(-local * 4) * 0.5
        frames.append(int(128 + 127 * level * math.sin(2 * math.pi * note * t)))
    out = io.BytesIO()
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(rate)
        w.writeframes(bytes(frames))
    return out.getvalue()


def handle(request):
    host, path, query = request.host, request.path, request.query_lists
    if host == PLATFORM_HOST:
        if path == "/game/s/wdAccess/":
            return Response.html(login_page(query))
        if path == "/game/s/servers/":
            return Response.html(servers_page(query))
        if path == "/news/":
            return Response.html(simple_page("官方公告", "官方公告", "新服「云梦泽」今日开启。"))
        if path.startswith("/kefu/"):
            return Response.html(simple_page("客服中心", "客服中心", "在线客服。"))
        if path.startswith("/mg/s/new_server/"):
            return Response.html(simple_page("新服预约", "新服预约", "预约成功。"))
    elif host == PAYMENT_HOST:
        return Response.html(simple_page("充值中心", "充值中心", "请选择充值金额。"))
    elif host == GAME_HOST:
        if path == "/wd/play/":
            return Response.html(game_page(request.query_string), headers=[("Cache-Control", "no-store")])
        if path == "/wd/theme.wav":
            return Response(200, theme_wav(), content_type="audio/wav")
        if path.startswith("/wd/guide/"):
            return Response.html(simple_page("新手指南", "新手指南", "点击服务器即可进入游戏。"))
        if path.startswith("/bbs/"):
            return Response.html(simple_page("游戏论坛", "游戏论坛", "论坛首页。"))
    return Response.html(page("404", "<div style=\"padding:16px\">未找到该页面</div>"), status=404)
