#!/usr/bin/env python3
"""Writes the SVG sources of the client's art (launcher background, caption
and toolbar glyphs, the emblem) into resources/art/svg. render.sh turns them
into the theme's PNG files. The stars are placed by a fixed seed, so the
output is the same on every run."""
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "svg")

GOLD = "#d9a441"
GOLD_LIGHT = "#f5d58a"
GLYPH = "#e8ebf2"


def write(name, body, width, height):
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, name + ".svg"), "w", encoding="utf-8") as f:
        f.write(
            f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="0 0 {width} {height}">\n{body}\n</svg>\n'
        )


def emblem(size):
    # A four-pointed star inside a ring: the product's mark.
    c = size / 2
    r = size * 0.46
    p = size * 0.40
    q = size * 0.11
    star = (f"M{c},{c - p} L{c + q},{c - q} L{c + p},{c} L{c + q},{c + q} "
            f"L{c},{c + p} L{c - q},{c + q} L{c - p},{c} L{c - q},{c - q} Z")
    return (
        f'<defs><linearGradient id="eg" x1="0" y1="0" x2="0" y2="1">'
        f'<stop offset="0" stop-color="{GOLD_LIGHT}"/><stop offset="1" stop-color="{GOLD}"/>'
        f"</linearGradient></defs>"
        f'<circle cx="{c}" cy="{c}" r="{r - 0.75}" fill="none" stroke="url(#eg)" stroke-width="1.5"/>'
        f'<path d="{star}" fill="url(#eg)"/>'
    )


def launcher_background():
    w, h = 960, 600
    rnd = random.Random(20261209)
    stars = []
    for _ in range(140):
        x, y = rnd.uniform(0, w), rnd.uniform(0, 330)
        r = rnd.choice([0.6, 0.8, 0.8, 1.0, 1.3])
        o = rnd.uniform(0.35, 0.95) * (1 - y / 420)
        stars.append(f'<circle cx="{x:.1f}" cy="{y:.1f}" r="{r}" fill="#ffffff" opacity="{o:.2f}"/>')
    # Spires of the citadel on the middle ridge.
    spires = []
    for x, top, wd in [(300, 318, 10), (318, 296, 14), (340, 330, 9), (360, 308, 12), (384, 338, 8)]:
        spires.append(
            f'<path d="M{x},{top} L{x + wd / 2},{top - 26} L{x + wd},{top} L{x + wd},400 L{x},400 Z" fill="#1a1838"/>'
        )
        spires.append(f'<rect x="{x + wd / 2 - 1}" y="{top + 10}" width="2" height="4" fill="{GOLD_LIGHT}" opacity="0.85"/>')
    body = f"""
<defs>
  <linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#080c1c"/>
    <stop offset="0.38" stop-color="#18204a"/>
    <stop offset="0.62" stop-color="#46306a"/>
    <stop offset="0.80" stop-color="#b0605a"/>
    <stop offset="1" stop-color="#e39a5c"/>
  </linearGradient>
  <radialGradient id="moonglow" cx="0.5" cy="0.5" r="0.5">
    <stop offset="0" stop-color="#ffe9c2" stop-opacity="0.55"/>
    <stop offset="0.45" stop-color="#ffcf8a" stop-opacity="0.16"/>
    <stop offset="1" stop-color="#ffcf8a" stop-opacity="0"/>
  </radialGradient>
  <radialGradient id="moon" cx="0.42" cy="0.38" r="0.62">
    <stop offset="0" stop-color="#fff6e4"/>
    <stop offset="0.7" stop-color="#f1d7a8"/>
    <stop offset="1" stop-color="#d9b47a"/>
  </radialGradient>
  <linearGradient id="title" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#fff0c8"/>
    <stop offset="0.55" stop-color="{GOLD_LIGHT}"/>
    <stop offset="1" stop-color="{GOLD}"/>
  </linearGradient>
  <linearGradient id="shade" x1="0" y1="0" x2="1" y2="0">
    <stop offset="0" stop-color="#05070f" stop-opacity="0.70"/>
    <stop offset="0.55" stop-color="#05070f" stop-opacity="0.10"/>
    <stop offset="1" stop-color="#05070f" stop-opacity="0.35"/>
  </linearGradient>
  <linearGradient id="floor" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#05070f" stop-opacity="0"/>
    <stop offset="1" stop-color="#05070f" stop-opacity="0.85"/>
  </linearGradient>
  <filter id="blur8"><feGaussianBlur stdDeviation="8"/></filter>
  <filter id="blur3"><feGaussianBlur stdDeviation="3"/></filter>
  <filter id="drop" x="-10%" y="-30%" width="120%" height="160%">
    <feGaussianBlur in="SourceAlpha" stdDeviation="4"/>
    <feOffset dx="0" dy="3" result="b"/>
    <feFlood flood-color="#000000" flood-opacity="0.6"/>
    <feComposite in2="b" operator="in"/>
    <feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge>
  </filter>
</defs>
<rect width="{w}" height="{h}" fill="url(#sky)"/>
{''.join(stars)}
<circle cx="690" cy="150" r="150" fill="url(#moonglow)"/>
<circle cx="690" cy="150" r="58" fill="url(#moon)"/>
<circle cx="672" cy="136" r="9" fill="#d8b97f" opacity="0.35"/>
<circle cx="708" cy="170" r="13" fill="#d8b97f" opacity="0.28"/>
<path d="M0,330 L90,286 L170,318 L260,250 L330,296 L430,232 L520,300 L610,262 L700,310 L800,244 L890,296 L960,270 L960,600 L0,600 Z" fill="#3a2c5e" opacity="0.85"/>
<ellipse cx="480" cy="352" rx="560" ry="26" fill="#f0b08a" opacity="0.22" filter="url(#blur8)"/>
{''.join(spires)}
<path d="M0,400 L120,352 L210,380 L330,330 L420,372 L540,346 L640,392 L760,340 L860,384 L960,360 L960,600 L0,600 Z" fill="#1a1838"/>
<ellipse cx="300" cy="420" rx="420" ry="22" fill="#c9a7d8" opacity="0.16" filter="url(#blur8)"/>
<path d="M0,470 L140,430 L260,458 L380,420 L520,462 L660,432 L800,470 L960,440 L960,600 L0,600 Z" fill="#0e0d22"/>
<rect width="{w}" height="{h}" fill="url(#shade)"/>
<rect y="420" width="{w}" height="180" fill="url(#floor)"/>
<rect width="{w}" height="40" fill="#05070f" opacity="0.45"/>
<rect y="40" width="{w}" height="1" fill="#ffffff" opacity="0.06"/>
<g filter="url(#drop)">
  <text x="64" y="158" font-family="DejaVu Serif" font-weight="bold" font-size="76" letter-spacing="3" fill="url(#title)">Qelmora</text>
</g>
<rect x="68" y="178" width="64" height="2" fill="{GOLD}"/>
<text x="68" y="212" font-family="WenQuanYi Micro Hei" font-size="20" letter-spacing="4" fill="#e8e2f2" opacity="0.92">星海彼岸 · 永恒之旅</text>
<text x="68" y="238" font-family="DejaVu Sans" font-size="12" letter-spacing="5" fill="#bdb6d0" opacity="0.8">BEYOND THE SEA OF STARS</text>
<rect x="48" y="384" width="420" height="168" rx="6" fill="#070914" opacity="0.62"/>
<rect x="48.5" y="384.5" width="419" height="167" rx="6" fill="none" stroke="#ffffff" stroke-opacity="0.10"/>
<rect x="48" y="384" width="3" height="36" fill="{GOLD}"/>
<rect x="508" y="235" width="396" height="336" rx="6" fill="#000000" opacity="0.55" filter="url(#blur3)"/>
<rect x="508.5" y="235.5" width="395" height="335" rx="6" fill="#0b0e1c" fill-opacity="0.7" stroke="{GOLD}" stroke-opacity="0.55"/>
"""
    write("launcher_bg", body, w, h)


def glyphs():
    s = f'stroke="{GLYPH}" stroke-width="1.4" fill="none" stroke-linecap="round"'
    write("close", f'<path d="M2,2 L10,10 M10,2 L2,10" {s}/>', 12, 12)
    write("min", f'<rect x="1" y="5.5" width="10" height="1.2" fill="{GLYPH}"/>', 12, 12)
    write("max", f'<rect x="1.5" y="1.5" width="9" height="9" stroke="{GLYPH}" stroke-width="1.2" fill="none"/>', 12, 12)
    write("restore",
          f'<path d="M3.5,3.5 V1.5 H10.5 V8.5 H8.5" stroke="{GLYPH}" stroke-width="1.2" fill="none"/>'
          f'<rect x="1.5" y="3.5" width="7" height="7" stroke="{GLYPH}" stroke-width="1.2" fill="none"/>', 12, 12)
    t = f'stroke="{GLYPH}" stroke-width="1.6" fill="none" stroke-linecap="round" stroke-linejoin="round"'
    write("back", f'<path d="M10,3 L5,8 L10,13" {t}/>', 16, 16)
    write("forward", f'<path d="M6,3 L11,8 L6,13" {t}/>', 16, 16)
    write("refresh",
          f'<path d="M12.6,9.5 A5,5 0 1 1 11.2,4.2" {t}/>'
          f'<path d="M12.4,1.8 L12.2,5.2 L8.8,5.0" {t}/>', 16, 16)
    write("devtool", f'<path d="M5.5,4 L1.8,8 L5.5,12 M10.5,4 L14.2,8 L10.5,12 M9,2.8 L7,13.2" {t}/>', 16, 16)


def main():
    launcher_background()
    glyphs()
    write("emblem", emblem(20), 20, 20)
    write("emblem_large", emblem(64), 64, 64)


if __name__ == "__main__":
    main()
