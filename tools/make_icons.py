#!/usr/bin/env python3
"""Draws Vantry's 16x16 icons as XPM files (src/wx/icons): the six item kinds that
carry an icon and the ten folder-tree pictures. Run it again after changing a shape."""
import math
import os

SIZE = 16
OUT = os.path.join(os.path.dirname(__file__), "..", "src", "wx", "icons")


def blank():
    return [[None] * SIZE for _ in range(SIZE)]


def put(img, x, y, c):
    if 0 <= x < SIZE and 0 <= y < SIZE:
        img[y][x] = c


def rect(img, x0, y0, x1, y1, c):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            put(img, x, y, c)


def outline(img, x0, y0, x1, y1, c):
    for x in range(x0, x1 + 1):
        put(img, x, y0, c)
        put(img, x, y1, c)
    for y in range(y0, y1 + 1):
        put(img, x0, y, c)
        put(img, x1, y, c)


def disc(img, cx, cy, r, c):
    for y in range(SIZE):
        for x in range(SIZE):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                put(img, x, y, c)


def ring(img, cx, cy, r, c):
    for y in range(SIZE):
        for x in range(SIZE):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if r - 0.8 <= d <= r + 0.2:
                put(img, x, y, c)


def line(img, x0, y0, x1, y1, c):
    steps = max(abs(x1 - x0), abs(y1 - y0)) * 2 + 1
    for i in range(steps + 1):
        t = i / steps
        put(img, round(x0 + (x1 - x0) * t), round(y0 + (y1 - y0) * t), c)


def contact():
    img = blank()
    disc(img, 8, 5, 3.2, "#3B6EA5")
    disc(img, 8, 15, 6.5, "#3B6EA5")
    rect(img, 0, 15, 15, 15, None)
    disc(img, 8, 5, 2.2, "#F2C9A0")
    return img


def call():
    img = blank()
    for y in range(2, 14):
        put(img, 3, y, "#2E7D32")
        put(img, 4, y, "#2E7D32")
    rect(img, 3, 1, 7, 3, "#2E7D32")
    rect(img, 3, 12, 7, 14, "#2E7D32")
    line(img, 9, 4, 11, 6, "#66BB6A")
    line(img, 10, 2, 13, 5, "#66BB6A")
    return img


def mail():
    img = blank()
    rect(img, 1, 3, 14, 12, "#FFFFFF")
    outline(img, 1, 3, 14, 12, "#8D6E63")
    line(img, 1, 3, 7, 8, "#8D6E63")
    line(img, 14, 3, 8, 8, "#8D6E63")
    return img


def pay():
    img = blank()
    disc(img, 8, 8, 7, "#E0A800")
    ring(img, 8, 8, 7, "#9A7400")
    line(img, 8, 3, 8, 13, "#5D4600")
    line(img, 10, 5, 6, 5, "#5D4600")
    line(img, 6, 5, 6, 8, "#5D4600")
    line(img, 6, 8, 10, 8, "#5D4600")
    line(img, 10, 8, 10, 11, "#5D4600")
    line(img, 10, 11, 6, 11, "#5D4600")
    return img


def agreement():
    img = blank()
    rect(img, 2, 1, 12, 14, "#FFFFFF")
    outline(img, 2, 1, 12, 14, "#607D8B")
    for y in (4, 6, 8):
        line(img, 4, y, 10, y, "#90A4AE")
    disc(img, 11, 12, 3, "#C62828")
    return img


def location():
    img = blank()
    disc(img, 8, 8, 7, "#4FA3E0")
    ring(img, 8, 8, 7, "#1F5F8F")
    line(img, 1, 8, 15, 8, "#1F5F8F")
    line(img, 8, 1, 8, 15, "#1F5F8F")
    ring(img, 8, 8, 3.6, "#1F5F8F")
    return img


def folder(badge=None):
    img = blank()
    rect(img, 1, 3, 6, 4, "#D9A400")
    rect(img, 1, 5, 14, 13, "#F4C542")
    outline(img, 1, 5, 14, 13, "#A67C00")
    if badge:
        disc(img, 12, 12, 3.3, badge)
        ring(img, 12, 12, 3.3, "#333333")
    return img


# The folder tree's pictures by index, which is the folder's default item type (0 to 9).
TREE = [
    ("tree_folder", None),          # 0 none specifically (and the top folder)
    ("tree_action", "#EF6C00"),     # 1 action
    ("tree_agreement", "#C62828"),  # 2 agreement
    ("tree_call", "#2E7D32"),       # 3 phone call
    ("tree_contact", "#3B6EA5"),    # 4 contact
    ("tree_fact", "#7E57C2"),       # 5 fact
    ("tree_location", "#4FA3E0"),   # 6 location
    ("tree_mail", "#8D6E63"),       # 7 mail
    ("tree_pay", "#E0A800"),        # 8 pay
    ("tree_todo", "#FFFFFF"),       # 9 to-do
]


def write(name, img):
    colours = {}
    for row in img:
        for c in row:
            if c not in colours:
                colours[c] = " " if c is None else ".#+@$%&*=-;>,')!~{]^/("[len(colours) % 22]
    lines = ['"%d %d %d 1",' % (SIZE, SIZE, len(colours))]
    for c, ch in colours.items():
        lines.append('"%s c %s",' % (ch, "None" if c is None else c))
    rows = ['"%s"' % "".join(colours[c] for c in row) for row in img]
    with open(os.path.join(OUT, name + ".xpm"), "w") as f:
        f.write("/* XPM */\nstatic const char* %s_xpm[] = {\n" % name)
        f.write("\n".join(lines) + "\n" + ",\n".join(rows) + "};\n")


if __name__ == "__main__":
    for name, draw in [("contact", contact), ("call", call), ("mail", mail), ("pay", pay),
                       ("agreement", agreement), ("location", location)]:
        write(name, draw())
    for name, badge in TREE:
        write(name, folder(badge))
