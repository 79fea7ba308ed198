#!/usr/bin/env python3
"""Authors the demo's vector pictures as path data (.paths files).

Every picture is built from parametric shapes: ellipses as four cubic
Béziers, rounded tubes, tapered ribbons along smooth curves, polygons, and
gradients faked by layers of shapes in stepped colours. Each shape is one
solid colour, without outline, and there is no background.

    python3 author_pictures.py            # writes the .paths files beside this script
    python3 author_pictures.py --out DIR  # ... into DIR
    python3 author_pictures.py --svg DIR  # also SVG previews (coordinates rounded
                                          # to whole units, as the metafile has them)

Standard library only.
"""

import argparse
import math
import os
import random

K = 0.5522847498  # Bézier handle length of a quarter circle, as a fraction of the radius


# --- geometry helpers -------------------------------------------------------

def lerp(a, b, t):
    return a + (b - a) * t


def mix(c0, c1, t):
    """Colour between two #RRGGBB values."""
    a = [int(c0[i:i + 2], 16) for i in (1, 3, 5)]
    b = [int(c1[i:i + 2], 16) for i in (1, 3, 5)]
    return "#%02X%02X%02X" % tuple(round(lerp(x, y, t)) for x, y in zip(a, b))


def shade(c, f):
    """Darker (f < 1) or lighter (f > 1, towards white) version of a colour."""
    if f <= 1:
        return mix("#000000", c, f)
    return mix(c, "#FFFFFF", f - 1)


def rot(p, a, c=(0.0, 0.0)):
    s, k = math.sin(a), math.cos(a)
    x, y = p[0] - c[0], p[1] - c[1]
    return (c[0] + x * k - y * s, c[1] + x * s + y * k)


def add(p, q):
    return (p[0] + q[0], p[1] + q[1])


def sub(p, q):
    return (p[0] - q[0], p[1] - q[1])


def mul(p, f):
    return (p[0] * f, p[1] * f)


def norm(v):
    d = math.hypot(v[0], v[1]) or 1.0
    return (v[0] / d, v[1] / d)


def bez(p0, p1, p2, p3, t):
    u = 1 - t
    return (u * u * u * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t * t * t * p3[0],
            u * u * u * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t * t * t * p3[1])


def bez_points(p0, p1, p2, p3, n):
    return [bez(p0, p1, p2, p3, i / (n - 1)) for i in range(n)]


class Path:
    """The commands of one shape: a list of ('M', p), ('L', p), ('C', p1, p2, p), ('Z',)."""

    def __init__(self):
        self.cmds = []

    def M(self, p):
        self.cmds.append(("M", p))
        return self

    def L(self, p):
        self.cmds.append(("L", p))
        return self

    def C(self, p1, p2, p):
        self.cmds.append(("C", p1, p2, p))
        return self

    def Z(self):
        self.cmds.append(("Z",))
        return self

    def extend(self, other):
        self.cmds.extend(other.cmds)
        return self

    def map(self, f):
        out = Path()
        for c in self.cmds:
            out.cmds.append((c[0],) + tuple(f(p) for p in c[1:]))
        return out


def arc_into(path, c, r, a0, a1, start=True, ry=None, tilt=0.0):
    """Appends an elliptic arc from angle a0 to a1 (radians, y down) as Béziers of at most 90°."""
    ry = r if ry is None else ry
    n = max(1, int(math.ceil(abs(a1 - a0) / (math.pi / 2) - 1e-9)))
    step = (a1 - a0) / n
    h = 4.0 / 3.0 * math.tan(step / 4)

    def pt(a):
        return rot((c[0] + r * math.cos(a), c[1] + ry * math.sin(a)), tilt, c)

    def tangent(a):
        return rot((-r * math.sin(a), ry * math.cos(a)), tilt)

    p = pt(a0)
    if start:
        path.M(p)
    for i in range(n):
        s, e = a0 + i * step, a0 + (i + 1) * step
        ts, te = tangent(s), tangent(e)
        path.C(add(pt(s), mul(ts, h)), sub(pt(e), mul(te, h)), pt(e))
    return path


def ellipse(c, rx, ry=None, tilt=0.0, reverse=False):
    ry = rx if ry is None else ry
    p = Path()
    if reverse:
        arc_into(p, c, rx, 2 * math.pi, 0, True, ry, tilt)
    else:
        arc_into(p, c, rx, 0, 2 * math.pi, True, ry, tilt)
    return p.Z()


def polygon(points):
    p = Path().M(points[0])
    for q in points[1:]:
        p.L(q)
    return p.Z()


def catmull_into(path, pts, closed=False, tension=1.0, start=True):
    """Smooth curve through points (Catmull-Rom as cubic Béziers)."""
    n = len(pts)
    if start:
        path.M(pts[0])
    segs = n if closed else n - 1
    for i in range(segs):
        p0 = pts[(i - 1) % n] if (closed or i > 0) else pts[i]
        p1 = pts[i]
        p2 = pts[(i + 1) % n]
        p3 = pts[(i + 2) % n] if (closed or i + 2 < n) else pts[(i + 1) % n]
        c1 = add(p1, mul(sub(p2, p0), tension / 6))
        c2 = sub(p2, mul(sub(p3, p1), tension / 6))
        path.C(c1, c2, p2)
    return path


def blob(pts, tension=1.0):
    return catmull_into(Path(), pts, closed=True, tension=tension).Z()


def ribbon(center, widths, cap_start="round", cap_end="round"):
    """A tapered band along a centre line (list of points), widths per point (or one)."""
    if not isinstance(widths, (list, tuple)):
        widths = [widths] * len(center)
    n = len(center)
    left, right = [], []
    for i in range(n):
        a = center[max(i - 1, 0)]
        b = center[min(i + 1, n - 1)]
        d = norm(sub(b, a))
        nrm = (-d[1], d[0])
        h = widths[i] / 2
        left.append(add(center[i], mul(nrm, h)))
        right.append(sub(center[i], mul(nrm, h)))
    p = Path()
    if n == 2:
        p.M(left[0]).L(left[1])
    else:
        catmull_into(p, left)
    cap(p, center[-1], left[-1], right[-1], widths[-1] / 2, cap_end)
    if n == 2:
        p.L(right[0])
    else:
        catmull_into(p, right[::-1], start=False)
    cap(p, center[0], right[0], left[0], widths[0] / 2, cap_start)
    return p.Z()


def cap(p, c, frm, to, r, kind):
    if kind == "round" and r > 0.3:
        a0 = math.atan2(frm[1] - c[1], frm[0] - c[0])
        a1 = math.atan2(to[1] - c[1], to[0] - c[0])
        # the half turn that goes round the end of the band
        d = (a1 - a0) % (2 * math.pi)
        if d > math.pi:
            d -= 2 * math.pi
        arc_into(p, c, r, a0, a0 - math.pi if d > 0 else a0 + math.pi, start=False)
    elif kind == "point":
        pass
    else:
        p.L(to)


def tube(p0, p1, w0, w1=None):
    return ribbon([p0, p1], [w0, w0 if w1 is None else w1])


def curve_ribbon(p0, p1, p2, p3, w0, w1, n=8, caps=("round", "round")):
    pts = bez_points(p0, p1, p2, p3, n)
    ws = [lerp(w0, w1, i / (n - 1)) for i in range(n)]
    return ribbon(pts, ws, caps[0], caps[1])


def leaf(base, tip, width, bend=0.0):
    """An almond leaf from base to tip; returns (left half, right half) paths."""
    d = sub(tip, base)
    L = math.hypot(*d)
    u = norm(d)
    nrm = (-u[1], u[0])
    mid = lambda t, s: add(add(base, mul(u, L * t)), mul(nrm, s + bend * math.sin(math.pi * t) * L))
    vein = [mid(t / 6, 0) for t in range(7)]
    halves = []
    for side in (1, -1):
        p = Path().M(base)
        p.C(mid(0.2, side * width * 0.6), mid(0.55, side * width * 0.62), mid(0.78, side * width * 0.3))
        p.C(mid(0.88, side * width * 0.15), mid(0.95, side * width * 0.05), tip)
        catmull_into(p, vein[::-1], start=False)
        halves.append(p.Z())
    return halves, vein


# --- pictures ---------------------------------------------------------------

class Picture:
    def __init__(self, name, width, height):
        self.name, self.width, self.height = name, width, height
        self.shapes = []
        self.transform = None  # applied to every point of shapes added while set

    def add(self, colour, path, alternate=False):
        if self.transform:
            path = path.map(self.transform)
        self.shapes.append((colour.upper(), alternate, path))

    def paths_text(self, title):
        out = ["# %s: written by author_pictures.py; edit the script, not this file." % title,
               "picture %d %d" % (self.width, self.height)]
        for colour, alt, path in self.shapes:
            out.append("shape %s %s" % (colour, "alternate" if alt else "winding"))
            for c in path.cmds:
                out.append(" ".join([c[0]] + [num(v) for p in c[1:] for v in p]))
        return "\n".join(out) + "\n"

    def svg_text(self):
        out = ['<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">'
               % (self.width, self.height, self.width, self.height)]
        for colour, alt, path in self.shapes:
            d = " ".join(c[0] + " " + " ".join("%d %d" % (rnd(p[0]), rnd(p[1])) for p in c[1:])
                         for c in path.cmds)
            out.append('<path fill="%s" fill-rule="%s" d="%s"/>' % (colour, "evenodd" if alt else "nonzero", d))
        out.append("</svg>")
        return "\n".join(out) + "\n"


def rnd(v):
    return int(math.floor(abs(v) + 0.5)) * (1 if v >= 0 else -1)


def num(v):
    s = "%.2f" % v
    s = s.rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


# --- the embedded picture: a robin on a blossoming branch ------------------

def petal(c, angle, length, width, notch=0.18):
    """A rounded petal with a small notch at its outer end, pointing at `angle`."""
    def P(x, y):
        return add(c, rot((x, y), angle))
    L, W = length, width / 2
    p = Path().M(P(0, 0))
    p.C(P(L * 0.25, -W * 0.9), P(L * 0.8, -W * 1.25), P(L * 0.97, -W * 0.45))
    p.L(P(L * (1 - notch), 0))
    p.L(P(L * 0.97, W * 0.45))
    p.C(P(L * 0.8, W * 1.25), P(L * 0.25, W * 0.9), P(0, 0))
    return p.Z()


def blossom(pic, c, r, turn, colours=("#F3B5C8", "#FAD9E3", "#E07A9A")):
    outer, light, deep = colours
    for i in range(5):
        a = turn + i * 2 * math.pi / 5
        pic.add(outer, petal(c, a, r, r * 0.95))
    for i in range(5):
        a = turn + i * 2 * math.pi / 5
        pic.add(light, petal(add(c, rot((r * 0.12, 0), a)), a, r * 0.7, r * 0.55, 0.0))
    pic.add(deep, ellipse(c, r * 0.32))
    # stamens: thin lines with pollen dots, all in one shape each
    st = Path()
    dots = Path()
    for i in range(7):
        a = turn + 0.4 + i * 2 * math.pi / 7
        tip = add(c, rot((r * 0.62, 0), a))
        st.extend(tube(c, tip, 0.9, 0.7))
        dots.extend(ellipse(tip, 1.3))
    pic.add("#B2456A", st)
    pic.add("#F2C230", dots)


def bud(pic, c, angle, size):
    pic.add("#6E8F3A", petal(c, angle, size * 0.6, size * 0.7, 0.0))
    pic.add("#E888A8", petal(add(c, rot((size * 0.3, 0), angle)), angle, size, size * 0.62, 0.0))
    pic.add("#F7C3D3", petal(add(c, rot((size * 0.45, -size * 0.05), angle)), angle, size * 0.5, size * 0.25, 0.0))


def add_leaf(pic, base, tip, width, bend=0.0, dark="#4E7A2E", light="#79A843", vein="#C9DE95"):
    (left, right), v = leaf(base, tip, width, bend)
    pic.add(dark, left)
    pic.add(light, right)
    pic.add(vein, ribbon(v[:-1], [1.6, 1.4, 1.2, 1.0, 0.8, 0.6], "round", "round"))


def twig(pic, pts, w0, w1, colour="#5A4030"):
    n = len(pts)
    pic.add(colour, ribbon(pts, [lerp(w0, w1, i / (n - 1)) for i in range(n)]))


def embedded():
    pic = Picture("embedded", 224, 287)
    bark, bark_dark, bark_light = "#6B4C36", "#4A3324", "#9C7A5C"

    # Back twigs with leaves and blossoms, behind the bird.
    up = [(168, 196), (176, 160), (190, 120), (200, 86), (206, 52)]
    twig(pic, up, 6, 2)
    side = [(190, 122), (170, 100), (150, 70), (146, 40)]
    twig(pic, side, 3.5, 1.5)
    add_leaf(pic, (200, 90), (222, 70), 9, 0.05)
    add_leaf(pic, (184, 140), (214, 150), 10, -0.05)
    add_leaf(pic, (160, 84), (132, 76), 9, 0.08)
    add_leaf(pic, (176, 106), (160, 126), 8, -0.06)
    add_leaf(pic, (206, 56), (214, 22), 8, 0.1)
    add_leaf(pic, (148, 50), (126, 36), 8, -0.08)
    blossom(pic, (206, 48), 13, 0.3)
    blossom(pic, (146, 38), 12, 1.2)
    blossom(pic, (196, 104), 11, 0.8)
    bud(pic, (150, 70), -2.4, 11)
    bud(pic, (176, 160), -0.2, 10)

    # The main branch, lower left to the right edge, with bark marks and a stub.
    a, b, c, d = (-6, 262), (60, 248), (150, 214), (230, 190)
    spine = bez_points(a, b, c, d, 10)
    pic.add(bark, ribbon(spine, [lerp(17, 9, i / 9) for i in range(10)], "flat", "flat"))
    top = [add(p, (0, -lerp(5.5, 3, i / 9))) for i, p in enumerate(spine)]
    pic.add(bark_light, ribbon(top[1:-1], [lerp(3, 1.6, i / 7) for i in range(8)]))
    low = [add(p, (0, lerp(5, 3, i / 9))) for i, p in enumerate(spine)]
    pic.add(bark_dark, ribbon(low[1:-1], [lerp(3.4, 2, i / 7) for i in range(8)]))
    marks = Path()
    for t in (0.12, 0.3, 0.47, 0.66, 0.85):
        p = bez(a, b, c, d, t)
        marks.extend(curve_ribbon(add(p, (-5, 1)), add(p, (-1, -2)), add(p, (3, -1)), add(p, (7, 2)), 1.4, 0.8, 6))
    pic.add(bark_dark, marks)
    twig(pic, [(30, 247), (22, 262), (18, 284)], 5, 1.8)
    add_leaf(pic, (20, 276), (4, 286), 6, 0.1)
    add_leaf(pic, (24, 262), (44, 282), 8, -0.1)
    twig(pic, [(70, 236), (58, 214), (40, 196), (30, 170)], 5, 1.6)
    add_leaf(pic, (46, 203), (16, 204), 9, 0.1)
    add_leaf(pic, (36, 186), (50, 160), 8, -0.1)
    add_leaf(pic, (31, 172), (10, 150), 8, 0.08)
    blossom(pic, (30, 168), 12, 0.1)
    bud(pic, (60, 216), -1.0, 9)

    # The robin, facing left, placed so that its feet reach the branch.
    bird_dy = 22
    pic.transform = lambda p: (p[0], p[1] + bird_dy)
    body, body_dark, body_light = "#7A6656", "#574638", "#9C8877"
    tail_base = (150, 170)
    for i, (end, w) in enumerate([((196, 226), 12), ((205, 214), 11), ((186, 232), 10)]):
        col = [body_dark, "#66544A", "#4B3C31"][i]
        pic.add(col, curve_ribbon(tail_base, add(tail_base, (14, 14)), sub(end, (8, 10)), end, 9, w, 6,
                                  ("round", "flat")))
    pic.add(body, ellipse((120, 142), 43, 33, 0.62))
    pic.add(body_light, ellipse((112, 130), 28, 18, 0.62))
    pic.add(body, ellipse((116, 140), 30, 24, 0.62))
    # The orange breast, a gradient in four layers, then the pale belly.
    breast = [(68, 108), (64, 126), (72, 152), (92, 174), (116, 182), (130, 176), (124, 156), (108, 132),
              (96, 114)]
    c0 = (95, 145)
    for i, colour in enumerate(["#B9471F", "#D6602C", "#E8793A", "#F39A5A"]):
        f = 1 - i * 0.17
        pic.add(colour, blob([add(c0, mul(sub(p, c0), f)) for p in breast]))
    pic.add("#F2E4CC", blob([(104, 176), (120, 184), (144, 182), (156, 172), (140, 168), (122, 172)]))
    pic.add("#E0CDAE", blob([(118, 181), (132, 184), (146, 180), (136, 176)]))
    # Head: a dark crown above an orange face.
    pic.add(body, ellipse((86, 101), 26, 24, -0.2))
    pic.add(body_dark, blob([(64, 94), (72, 80), (90, 76), (106, 84), (108, 96), (96, 88), (80, 88)]))
    face = [(62, 100), (66, 114), (78, 122), (92, 118), (92, 108), (82, 100), (72, 97)]
    pic.add("#D6602C", blob(face))
    pic.add("#E8793A", blob([add((78, 110), mul(sub(p, (78, 110)), 0.65)) for p in face]))
    # The wing: a dark teardrop, coverts and long feathers reaching the tail.
    pic.add(body_dark, blob([(104, 124), (128, 124), (156, 146), (180, 176), (174, 180), (146, 170),
                             (118, 156), (104, 140)]))
    for i in range(4):
        y = 132 + i * 9
        pic.add(mix(body_light, body_dark, i / 4),
                curve_ribbon((110 + i * 3, y), (130, y + 2), (155, y + 12 + i * 2), (178 - i * 4, 176 - i),
                             5 - i * 0.6, 1.2, 8, ("round", "point")))
    for i in range(3):
        x = 112 + i * 10
        pic.add(body_light, petal((x, 128 + i * 3), 0.55, 16, 7, 0.0))
    # Eye and beak.
    pic.add("#F6EEE0", ellipse((77, 96), 5.2))
    pic.add("#1B1410", ellipse((77, 96), 3.8))
    pic.add("#FFFFFF", ellipse((75.6, 94.6), 1.3))
    pic.add("#3B2A1E", blob([(64, 98), (54, 101), (44, 104), (55, 104), (64, 106)], 0.8))
    pic.add("#E3A33A", blob([(63, 99), (55, 101.4), (46, 103.6), (56, 102.6), (63, 103)], 0.8))
    pic.add("#2A1F18", blob([(63, 106), (54, 105.5), (46, 105), (56, 108), (64, 109)], 0.8))

    # Legs and toes gripping the branch.
    pic.transform = None
    for x in (108, 126):
        t = 0.0
        # where the branch's top edge lies under the foot
        best = min(range(101), key=lambda k: abs(bez(a, b, c, d, k / 100)[0] - x))
        t = best / 100
        p = bez(a, b, c, d, t)
        w = lerp(17, 9, t) / 2
        foot = (p[0], p[1] - w + 1)
        pic.add("#8C5A3C", tube((x + 2, 176 + bird_dy), foot, 3.0, 2.2))
        toes = Path()
        toes.extend(curve_ribbon(foot, add(foot, (-5, -1)), add(foot, (-9, 2)), add(foot, (-10, 6)), 2.2, 1.0, 6,
                                 ("round", "point")))
        toes.extend(curve_ribbon(foot, add(foot, (4, -1)), add(foot, (8, 1)), add(foot, (9, 6)), 2.0, 0.9, 6,
                                 ("round", "point")))
        toes.extend(curve_ribbon(foot, add(foot, (-1, 2)), add(foot, (0, 6)), add(foot, (-2, 10)), 2.0, 0.9, 6,
                                 ("round", "point")))
        pic.add("#6E4330", toes)

    # A spray reaching in from the top left.
    twig(pic, [(-4, 30), (18, 40), (40, 42), (58, 34)], 4, 1.5)
    add_leaf(pic, (24, 41), (34, 66), 8, -0.1)
    add_leaf(pic, (12, 36), (20, 12), 8, 0.1)
    add_leaf(pic, (44, 41), (62, 56), 7, 0.1)
    blossom(pic, (58, 32), 11, 0.5)
    bud(pic, (34, 40), -1.6, 9)

    # Front leaves and blossoms, over the branch.
    add_leaf(pic, (96, 228), (84, 262), 10, 0.08)
    add_leaf(pic, (100, 226), (124, 258), 9, -0.06)
    blossom(pic, (98, 226), 13, 0.9)
    add_leaf(pic, (200, 190), (214, 222), 9, -0.08)
    add_leaf(pic, (194, 192), (176, 220), 8, 0.08)
    blossom(pic, (197, 190), 12, 0.2)
    bud(pic, (150, 214), 1.2, 10)
    return pic


# --- Socer: a football -------------------------------------------------------

def smooth_polygon(pts, corner_deg=32):
    """A closed outline through dense points: sharp at corners, Catmull-Rom curves between."""
    n = len(pts)
    corners = []
    for i in range(n):
        a, b, c = pts[i - 1], pts[i], pts[(i + 1) % n]
        d1, d2 = norm(sub(b, a)), norm(sub(c, b))
        ang = math.degrees(math.acos(max(-1.0, min(1.0, d1[0] * d2[0] + d1[1] * d2[1]))))
        if ang > corner_deg:
            corners.append(i)
    if not corners:
        return blob(pts[::2] if n > 24 else pts)
    p = Path().M(pts[corners[0]])
    for k in range(len(corners)):
        i0, i1 = corners[k], corners[(k + 1) % len(corners)]
        run = [pts[i % n] for i in range(i0, i1 + (n if i1 <= i0 else 0) + 1)]
        if len(run) > 2:
            catmull_into(p, run, start=False)
        else:
            p.L(run[-1])
    return p.Z()


def v3add(a, b):
    return tuple(x + y for x, y in zip(a, b))


def v3sub(a, b):
    return tuple(x - y for x, y in zip(a, b))


def v3mul(a, f):
    return tuple(x * f for x in a)


def v3unit(a):
    d = math.sqrt(sum(x * x for x in a))
    return tuple(x / d for x in a)


def v3dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def ball_panels():
    """The 12 pentagons and 20 hexagons of a truncated icosahedron, vertices in order."""
    g = (1 + 5 ** 0.5) / 2
    ico = []
    for s1 in (-1, 1):
        for s2 in (-1, 1):
            ico += [(0, s1, s2 * g), (s1, s2 * g, 0), (s2 * g, 0, s1)]
    near = lambda a, b: abs(math.dist(a, b) - 2) < 1e-6
    pents = []
    for v in ico:
        nb = [w for w in ico if near(v, w)]
        u = v3unit(v)
        e1 = v3unit(v3sub(nb[0], v3mul(u, v3dot(nb[0], u))))
        e2 = (u[1] * e1[2] - u[2] * e1[1], u[2] * e1[0] - u[0] * e1[2], u[0] * e1[1] - u[1] * e1[0])
        nb.sort(key=lambda w: math.atan2(v3dot(w, e2), v3dot(w, e1)))
        pents.append([v3add(v, v3mul(v3sub(w, v), 1 / 3)) for w in nb])
    hexes = []
    for i in range(12):
        for j in range(i + 1, 12):
            for k in range(j + 1, 12):
                a, b, c = ico[i], ico[j], ico[k]
                if near(a, b) and near(b, c) and near(a, c):
                    ring = []
                    for p, q in ((a, b), (b, c), (c, a)):
                        ring += [v3add(p, v3mul(v3sub(q, p), 1 / 3)), v3add(p, v3mul(v3sub(q, p), 2 / 3))]
                    hexes.append(ring)
    return pents, hexes


def socer():
    pic = Picture("Socer", 210, 238)
    cx, cy, R = 105.0, 103.0, 100.0
    # shadow on the ground, in layers
    for i, colour in enumerate(["#C9CCD0", "#B0B4B9", "#989DA3", "#868B91"]):
        f = 1 - i * 0.2
        pic.add(colour, ellipse((cx + 4, 224), 84 * f, 12 * f))
    # the seams show where the panels leave the dark ball between them
    pic.add("#1E1F22", ellipse((cx, cy), R + 1.5))

    def orient(v):
        # a pentagon almost facing us, turned a little
        x, y, z = v
        a = 0.55
        y, z = y * math.cos(a) - z * math.sin(a), y * math.sin(a) + z * math.cos(a)
        b = -0.28
        x, z = x * math.cos(b) + z * math.sin(b), -x * math.sin(b) + z * math.cos(b)
        c = 0.2
        x, y = x * math.cos(c) - y * math.sin(c), x * math.sin(c) + y * math.cos(c)
        return (x, y, z)

    light = v3unit((-0.45, -0.55, 0.7))  # from the upper left, towards the viewer

    def outline(ring, shrink, toward=None, dense=6):
        centre = v3unit(tuple(sum(p[i] for p in ring) / len(ring) for i in range(3)))
        pts = []
        for i in range(len(ring)):
            p, q = ring[i], ring[(i + 1) % len(ring)]
            for k in range(dense):
                pts.append(v3unit(v3add(p, v3mul(v3sub(q, p), k / dense))))
        target = toward or centre
        pts = [v3unit(v3add(target, v3mul(v3sub(p, target), shrink))) for p in pts]
        return clip_front(pts), centre

    def clip_front(pts):
        out = []
        n = len(pts)
        for i in range(n):
            p, q = pts[i], pts[(i + 1) % n]
            if p[2] >= 0:
                out.append(p)
            if (p[2] >= 0) != (q[2] >= 0):
                t = p[2] / (p[2] - q[2])
                m = v3add(p, v3mul(v3sub(q, p), t))
                m = v3unit((m[0], m[1], 0.0))
                if p[2] >= 0:
                    out.append(("exit", m))
                else:
                    out.append(("enter", m))
        # walk the rim from each exit to the next entry
        res = []
        for i, item in enumerate(out):
            if isinstance(item[0], str):
                kind, m = item
                res.append(m)
                if kind == "exit":
                    nxt = next((o for o in out[i + 1:] + out[:i] if isinstance(o[0], str) and o[0] == "enter"), None)
                    if nxt:
                        a0 = math.atan2(m[1], m[0])
                        a1 = math.atan2(nxt[1][1], nxt[1][0])
                        d = (a1 - a0 + math.pi) % (2 * math.pi) - math.pi
                        steps = max(1, int(abs(d) / 0.15))
                        for k in range(1, steps):
                            a = a0 + d * k / steps
                            res.append((math.cos(a), math.sin(a), 0.0))
            else:
                res.append(item)
        return res

    def project(pts):
        return [(cx + R * p[0], cy + R * p[1]) for p in pts]

    pents, hexes = ball_panels()
    faces = [(orient_ring, True) for orient_ring in ([orient(v) for v in r] for r in pents)]
    faces += [(orient_ring, False) for orient_ring in ([orient(v) for v in r] for r in hexes)]
    faces.sort(key=lambda f: sum(p[2] for p in f[0]))
    for ring, black in faces:
        pts, centre = outline(ring, 0.955)
        if len(pts) < 3 or centre[2] < -0.35:
            continue
        lit = max(0.0, v3dot(centre, light))
        rim = max(0.0, centre[2])
        if black:
            base = mix("#050506", "#2A2B2F", lit * 0.9 + 0.1)
            top = mix("#101113", "#4A4C52", lit)
        else:
            base = mix("#7D848C", "#E4E7EA", min(1.0, lit * 0.75 + rim * 0.35))
            top = mix("#A9AFB5", "#FFFFFF", min(1.0, lit * 0.8 + rim * 0.35))
        pic.add(base, smooth_polygon(project(pts)))
        # a lighter inner layer pulled towards the light makes each panel puff out
        toward = v3unit(v3add(centre, v3mul(light, 0.12)))
        inner, _ = outline(ring, 0.72, toward)
        if len(inner) >= 3 and centre[2] > 0.15:
            pic.add(top, smooth_polygon(project(inner)))
    # a gloss spot
    for i, colour in enumerate(["#F4F6F8", "#FFFFFF"]):
        pic.add(colour, ellipse((cx - 42 + i * 2, cy - 52 + i * 2), 15 - i * 6, 8 - i * 3.5, -0.6))
    return pic


# --- Bicycl: a bicycle rearing up on its back wheel -------------------------

def gear(c, r_root, r_tip, teeth, phase=0.0):
    """A toothed ring outline (lines), teeth as trapezoids."""
    pts = []
    for i in range(teeth):
        a = phase + i * 2 * math.pi / teeth
        step = 2 * math.pi / teeth
        for da, r in ((0.0, r_root), (0.2, r_tip), (0.5, r_tip), (0.7, r_root)):
            pts.append((c[0] + r * math.cos(a + da * step), c[1] + r * math.sin(a + da * step)))
    return polygon(pts)


def bicycl():
    pic = Picture("Bicycl", 300, 360)
    s = 1.08
    tilt = -math.radians(40)
    origin = (81, 242)
    # local side view: rear axle at 0,0, x forward, y down; scaled, rotated, placed
    pic.transform = lambda p: add(origin, rot(mul(p, s), tilt))

    rear, front = (0.0, 0.0), (170.0, 0.0)
    bb = (62.0, 12.0)
    seat_top, saddle = (42.0, -86.0), (36.0, -108.0)
    head_top, head_bottom = (146.0, -90.0), (152.0, -62.0)
    frame, frame_hi, frame_lo = "#D7352B", "#F28B7D", "#9E2119"
    chrome, chrome_dark = "#C8CDD4", "#7E858F"

    def wheel(c, back):
        tyre_o, tyre_i, rim_i = 69.0, 61.0, 56.5
        # shadowed tyre, with a lighter tread ring
        pic.add("#1C1C1E", ellipse(c, tyre_o).extend(ellipse(c, tyre_i, reverse=True)), True)
        pic.add("#3E3F44", ellipse(c, 66.5).extend(ellipse(c, 64.5, reverse=True)), True)
        pic.add(chrome, ellipse(c, tyre_i).extend(ellipse(c, rim_i, reverse=True)), True)
        pic.add(chrome_dark, ellipse(c, 58.6).extend(ellipse(c, rim_i, reverse=True)), True)
        spokes = Path()
        for i in range(24):
            a = i * 2 * math.pi / 24
            lean = 0.42 if i % 2 else -0.42
            hub = (c[0] + 6.5 * math.cos(a), c[1] + 6.5 * math.sin(a))
            tip = (c[0] + 57 * math.cos(a + lean), c[1] + 57 * math.sin(a + lean))
            spokes.extend(tube(hub, tip, 1.5))
        pic.add("#A3AAB3", spokes)
        pic.add(chrome_dark, ellipse(c, 9))
        pic.add(chrome, ellipse(c, 6.5))
        pic.add("#5B616A", ellipse(c, 2.6))
        if back:
            pic.add("#4B5058", gear(c, 9.5, 12.5, 14, 0.1).extend(ellipse(c, 5, reverse=True)), True)

    wheel(rear, True)
    wheel(front, False)

    # the far crank and pedal, behind the frame
    far_pedal = add(bb, rot((27, 0), math.radians(-150)))
    pic.add("#5B616A", tube(bb, far_pedal, 5, 4))
    pic.add("#2A2B2F", tube(add(far_pedal, (-6, 0)), add(far_pedal, (6, 0)), 5))

    # chain: upper and lower runs between chain ring and sprocket
    pic.add("#4B4F57", tube((0, -11.5), (bb[0], bb[1] - 21), 2.4).extend(tube((0, 11.5), (bb[0], bb[1] + 21), 2.4)))

    def frame_tube(p, q, w):
        pic.add(frame, tube(p, q, w))
        d = norm(sub(q, p))
        off = mul((d[1], -d[0]), w * 0.22)  # towards the top-left light
        pic.add(frame_hi, tube(add(p, off), add(q, off), w * 0.28))

    # stays, then the main triangle
    frame_tube(rear, seat_top, 4.2)
    frame_tube(rear, bb, 4.6)
    # seat post and saddle
    pic.add(chrome, tube(seat_top, (saddle[0] + 2, saddle[1] + 4), 4.4))
    pic.add(chrome_dark, tube(seat_top, (saddle[0] + 2, saddle[1] + 4), 1.4))
    sad = [(saddle[0] - 20, saddle[1] - 4), (saddle[0] - 8, saddle[1] - 9), (saddle[0] + 10, saddle[1] - 6),
           (saddle[0] + 26, saddle[1] - 4), (saddle[0] + 24, saddle[1] + 1), (saddle[0] + 4, saddle[1] + 3),
           (saddle[0] - 14, saddle[1] + 6), (saddle[0] - 22, saddle[1] + 2)]
    pic.add("#2B211C", blob(sad))
    pic.add("#5A463C", blob([(saddle[0] - 14, saddle[1] - 5), (saddle[0] + 4, saddle[1] - 7),
                             (saddle[0] + 18, saddle[1] - 4), (saddle[0] + 2, saddle[1] - 3)]))
    frame_tube(seat_top, head_top, 5.5)
    frame_tube(bb, head_bottom, 6.5)
    frame_tube(bb, seat_top, 6.0)
    # head tube and fork
    pic.add(frame_lo, tube(head_top, head_bottom, 9))
    pic.add(frame_hi, tube(add(head_top, (-2, 1)), add(head_bottom, (-2, 0)), 2.5))
    fork = [head_bottom, (158, -40), (163, -18), (168, -5), (170, 0)]
    pic.add(chrome, ribbon(fork, [6, 5.6, 5, 4.2, 3.8]))
    pic.add("#EEF1F4", ribbon([add(p, (-1.4, 0)) for p in fork[:-1]], [1.6, 1.5, 1.3, 1.0]))
    # stem and handlebar, curved back towards the saddle, with a grip
    stem_top = (144.0, -108.0)
    pic.add(chrome_dark, tube(head_top, stem_top, 5))
    bar = bez_points(stem_top, (136, -118), (122, -118), (112, -110), 8)
    pic.add(chrome, ribbon([(stem_top[0] + 4, stem_top[1] + 2)] + bar, 4.2))
    grip = bez_points((120, -116), (114, -115), (108, -112), (104, -104), 5)
    pic.add("#232326", ribbon(grip, [6.5, 6.5, 6.4, 6.2, 6.0]))
    # brake lever: a thin curve under the bar
    pic.add("#8D949D", curve_ribbon((128, -114), (124, -106), (118, -100), (112, -97), 2.2, 1.2, 6))
    # bell
    pic.add("#E3B341", ellipse((140, -114), 4.2, 3.2))

    # chain ring with its spider, near crank and pedal
    ring = gear(bb, 19.5, 23, 28)
    ring.extend(ellipse(bb, 15, reverse=True))
    pic.add("#70767F", ring, True)
    spider = Path()
    for i in range(5):
        spider.extend(tube(bb, add(bb, rot((16, 0), i * 2 * math.pi / 5 + 0.3)), 3.2))
    pic.add("#9BA2AB", spider)
    pic.add(chrome, ellipse(bb, 6))
    near_pedal = add(bb, rot((27, 0), math.radians(30)))
    pic.add("#3C4047", tube(bb, near_pedal, 6, 4.6))
    pic.add("#8D949D", tube(bb, near_pedal, 1.6, 1.2))
    pic.add("#1F2023", tube(add(near_pedal, (-8, 0)), add(near_pedal, (8, 0)), 5.5))
    pic.add("#55585E", tube(add(near_pedal, (-6, -1)), add(near_pedal, (6, -1)), 1.4))
    pic.transform = None
    return pic


# --- Hockey2: a hockey player driving the puck --------------------------------

def hockey2():
    pic = Picture("Hockey2", 200, 200)
    jersey, jersey_dark, jersey_light = "#1F5FB8", "#15427F", "#4F8AD8"
    stripe, trim = "#F4F6FA", "#F2C230"
    pants, pants_light = "#1B1F2B", "#3A4154"
    skin, glove, glove_dark = "#E9B48F", "#7A2E1F", "#4F1C12"
    steel, boot = "#C9D1DA", "#17181C"

    def band(a, b, t0, t1, w):
        """A flat-ended stripe across the limb from a to b, between fractions t0 and t1."""
        return ribbon([add(a, mul(sub(b, a), t0)), add(a, mul(sub(b, a), t1))], w, "flat", "flat")

    def skate(ankle, angle):
        def P(x, y):
            return add(ankle, rot((x, y), angle))
        pic.add(boot, blob([P(-6, -8), P(6, -8), P(8, 2), P(-2, 6), P(-20, 7), P(-21, 2), P(-12, -1)]))
        pic.add("#41444C", tube(P(-18, 6.5), P(5, 5.5), 2.2))
        pic.add("#8F98A3", polygon([P(-16, 7), P(4, 7), P(2, 10), P(-14, 10)]))
        pic.add(steel, curve_ribbon(P(-22, 11.5), P(-14, 13), P(0, 13), P(8, 10.5), 2.0, 1.6, 8))

    # far leg, pushing back
    hip = (126.0, 106.0)
    pic.add(pants, ribbon([hip, (142, 120), (152, 134)], [22, 18, 14]))
    pic.add(jersey_dark, ribbon([(151, 133), (164, 146), (176, 156)], [13, 11, 9.5]))
    pic.add(stripe, band((151, 133), (176, 156), 0.3, 0.55, 11.6))
    skate((180, 160), -0.45)

    # far arm to the top hand on the shaft
    butt, heel, toe = (114.0, 74.0), (72.0, 176.0), (44.0, 181.0)
    along = lambda t: (lerp(butt[0], heel[0], t), lerp(butt[1], heel[1], t))
    top_hand, low_hand = along(0.12), along(0.42)
    pic.add(jersey_dark, ribbon([(104, 64), (118, 78), top_hand], [13, 11, 9]))
    pic.add(glove_dark, ellipse(top_hand, 7.5, 6.5, 0.6))

    # torso: the jersey, leaning forward, with hem stripes
    torso = [(84, 64), (96, 56), (112, 58), (128, 74), (138, 96), (138, 112), (122, 116), (104, 110), (92, 94),
             (84, 80)]
    pic.add(jersey, blob(torso))
    pic.add(jersey_light, blob([(92, 64), (104, 60), (116, 66), (110, 80), (98, 86), (90, 78)]))
    pic.add(stripe, ribbon([(102, 104), (120, 110), (138, 106)], 6, "flat", "flat"))
    pic.add(trim, ribbon([(102, 104), (120, 110), (138, 106)], 2.2, "flat", "flat"))
    # pants and the near leg, bent under the body
    pic.add(pants, blob([(104, 108), (122, 112), (140, 110), (144, 122), (130, 132), (112, 134), (100, 124)]))
    pic.add(pants_light, ribbon([(108, 114), (122, 118), (138, 116)], 2.2, "flat", "flat"))
    pic.add(pants, ribbon([(116, 118), (106, 132), (102, 142)], [20, 17, 14]))
    pic.add(jersey, ribbon([(102, 140), (104, 154), (108, 166)], [14, 12, 10]))
    pic.add(stripe, band((102, 140), (108, 166), 0.3, 0.55, 13.2))
    pic.add(trim, band((102, 140), (108, 166), 0.39, 0.46, 13.2))
    skate((110, 170), 0.05)

    # head: face, helmet with a shine, and a cage of thin bars
    pic.add(skin, ellipse((80, 46), 11, 12, 0.2))
    pic.add(jersey, blob([(70, 38), (74, 26), (88, 20), (102, 26), (104, 40), (98, 50), (90, 44), (80, 36)]))
    pic.add(jersey_light, blob([(80, 26), (90, 23), (98, 28), (90, 29)]))
    pic.add(stripe, tube((88, 21), (102, 34), 2.2))
    pic.add("#2A2D33", blob([(92, 44), (98, 48), (96, 58), (88, 56)]))  # chin strap and ear guard
    cage = Path()
    for i in range(4):
        x = 66.5 + i * 4.2
        cage.extend(tube((x, 38 + i * 0.5), (x - 1.5, 58 - i * 0.4), 1.1))
    for j in range(4):
        y = 40 + j * 5.5
        cage.extend(tube((67 - j * 0.4, y), (82 - j * 0.2, y + 1), 1.1))
    cage.extend(curve_ribbon((68, 37), (74, 35), (80, 36), (84, 38), 2.0, 2.0, 6))
    pic.add("#B8BEC7", cage)
    pic.add("#1E2024", ellipse((76, 44), 1.6))  # the eye behind the cage

    # the stick: a wooden shaft with a taped blade and knob
    pic.add("#C89B5C", ribbon([butt, heel], [5, 4]))
    pic.add("#E4C08A", ribbon([add(butt, (-1.2, -0.3)), add(heel, (-1.2, -0.3))], [1.4, 1.1]))
    pic.add("#202126", tube(butt, along(0.05), 6))
    pic.add("#E8E0D0", ribbon([heel, (62, 180), toe], [5.5, 5.0, 5.5], "round", "round"))
    tape = Path()
    for i in range(5):
        q = lerp(heel[0], toe[0], 0.15 + i * 0.16)
        tape.extend(tube((q + 1.2, 177.5), (q - 1.2, 182.5), 1.1))
    pic.add("#7D7F86", tape)

    # near arm, sleeve stripes and the lower glove
    shoulder = (92.0, 68.0)
    elbow = (82.0, 92.0)
    pic.add(jersey, ribbon([shoulder, elbow, low_hand], [16, 13, 10]))
    pic.add(stripe, band(elbow, low_hand, 0.12, 0.32, 12.4))
    pic.add(trim, band(elbow, low_hand, 0.19, 0.25, 12.4))
    pic.add(glove, blob([add(low_hand, d) for d in ((-8, -6), (4, -8), (9, 0), (4, 8), (-6, 8), (-10, 1))]))
    pic.add(glove_dark, tube(add(low_hand, (-7, -2)), add(low_hand, (5, -5)), 2.0))
    pic.add(glove, ellipse(top_hand, 6.5, 5.5, 0.6))

    # the puck, and ice spray from the pushing skate
    puck = (28.0, 182.0)
    pic.add("#0E0F11", ellipse((puck[0], puck[1] + 2.5), 12, 4.2).extend(
        polygon([(puck[0] - 12, puck[1]), (puck[0] + 12, puck[1]), (puck[0] + 12, puck[1] + 2.5),
                 (puck[0] - 12, puck[1] + 2.5)])))
    pic.add("#3A3D44", ellipse(puck, 12, 4.2))
    pic.add("#5C606A", ellipse((puck[0] - 3, puck[1] - 1), 5, 1.4))
    rng = random.Random(7)
    spray = Path()
    for i in range(9):
        a = math.radians(200 + i * 14)
        r = 10 + rng.random() * 14
        c = (186 + r * math.cos(a) * 0.8 + 10, 172 + r * math.sin(a) * 0.5)
        spray.extend(ellipse(c, 1.2 + rng.random() * 2.2, 0.9 + rng.random() * 1.2, rng.random() * 3))
    pic.add("#CFE6F5", spray)
    speed = Path()
    for i, (y, x0, x1) in enumerate([(70, 148, 184), (84, 152, 194), (98, 156, 188)]):
        speed.extend(tube((x0, y), (x1, y), 2.4 - i * 0.4, 0.6))
    pic.add("#9EC3E6", speed)
    return pic


PICTURES = {
    "embedded": (embedded, "a robin on a blossoming branch"),
    "Socer": (socer, "a football"),
    "Bicycl": (bicycl, "a bicycle"),
    "Hockey2": (hockey2, "a hockey player with stick and puck"),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", default=here, help="folder for the .paths files")
    ap.add_argument("--svg", help="also write SVG previews into this folder")
    ap.add_argument("names", nargs="*", help="pictures to write (default: all)")
    args = ap.parse_args()
    for name in args.names or PICTURES:
        make, title = PICTURES[name]
        pic = make()
        with open(os.path.join(args.out, name + ".paths"), "w", newline="\n") as f:
            f.write(pic.paths_text(title))
        if args.svg:
            os.makedirs(args.svg, exist_ok=True)
            with open(os.path.join(args.svg, name + ".svg"), "w") as f:
                f.write(pic.svg_text())
        print("%s.paths: %d x %d, %d shapes" % (name, pic.width, pic.height, len(pic.shapes)))


if __name__ == "__main__":
    main()
