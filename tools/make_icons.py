#!/usr/bin/env python3
"""Draws the folder tree's ten 16x16 pictures as XPM files (src/wx/icons). Run it again
after changing a shape. (The rows' and the ribbon's pictures are SVG files beside them.)"""
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
    for name, badge in TREE:
        write(name, folder(badge))
