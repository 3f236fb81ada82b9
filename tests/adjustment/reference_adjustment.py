#!/usr/bin/env python3
"""Independent cross-check of a whole chain adjustment.

Reads a reply file of the batch mode (every value confirmed at once, no re-entries),
adjusts the chain rigorously by iterated least squares with numerical derivatives
(no condition-coefficient formulas), and prints the figures the window shows.
With a transcript as second argument it compares them line by line.

    python3 tests/adjustment/reference_adjustment.py CASE.replies [CASE.transcript]

Side weights: a side's reciprocal weight is (meanSide/rho)^2 square metres per
square second of unit weight; the orientation angles have unit weight (seconds).
"""

import math
import sys
from decimal import Decimal
from fractions import Fraction

RHO = 206265.0


def packed_to_degrees(text):
    """A packed angle ddd.mmss... read from its digits as typed: 64.21 is 64° 21′."""
    text = text.strip().lstrip("+")
    if any(c in text for c in "eE"):
        a = float(text)
        fix = math.trunc
        return fix(a) + (fix(100 * a) - 100 * fix(a)) / 60 + (10000 * a - 100 * fix(100 * a)) / 3600
    whole, _, frac = text.partition(".")
    frac = frac.ljust(2, "0")
    seconds = frac[2:4].ljust(2, "0") + "." + frac[4:]
    return float(Fraction(int(whole or "0")) + Fraction(int(frac[:2]), 60) + Fraction(Decimal(seconds)) / 3600)


def signed_packed(text):
    text = text.strip()
    negative = text.startswith("-")
    value = packed_to_degrees(text.lstrip("-"))
    s = 0 if value == 0 else (-1 if negative else 1)
    return s, s * value


def azimuth_to(frm, to):
    a = math.degrees(math.atan2(to[1] - frm[1], to[0] - frm[0]))
    return a + 360 if a < 0 else a


def read_replies(path):
    lines = [l.rstrip("\r\n") for l in open(path, encoding="utf-8")]
    it = iter(lines)

    def text(confirmed=True):
        t = next(it)
        if confirmed:
            assert next(it).strip() == "", "re-entries are not supported"
        return t

    def value(confirmed=True):
        return float(text(confirmed))

    d = {}
    d["N"] = n = int(value(False))
    for key in ("Xa", "Ya", "Xb", "Yb", "Xpa", "Ypa", "Xpb", "Ypb"):
        d[key] = value()
    if d["Xpa"] == 0 and d["Ypa"] == 0:
        d["Ta"] = packed_to_degrees(text())
    elif d["Xpa"] != 0 and d["Ypa"] != 0:
        d["Ta"] = azimuth_to((d["Xa"], d["Ya"]), (d["Xpa"], d["Ypa"]))
    else:
        d["Ta"] = 0.0
    if d["Xpb"] == 0 and d["Ypb"] == 0:
        d["Tb"] = packed_to_degrees(text())
    elif d["Xpb"] != 0 and d["Ypb"] != 0:
        d["Tb"] = azimuth_to((d["Xb"], d["Yb"]), (d["Xpb"], d["Ypb"]))
    else:
        d["Tb"] = 0.0
    d["sa"], d["Qa"] = signed_packed(text())
    d["sb"], d["Qb"] = signed_packed(text())
    d["Mb"] = value(False)
    d["names"] = [next(it) for _ in range(n + 2)]
    sides = [value() for _ in range(2 * n + 1)]
    d["signs"] = [1 if sides[2 * i - 1] > 0 else -1 for i in range(1, n + 1)]
    d["sides"] = [abs(s) for s in sides]
    return d


def propagate(d, obs):
    """Points 0..N+1 (each at the end of its route side) and the closing azimuth."""
    n, signs = d["N"], d["signs"]
    qa = d["sa"] * obs[0] / 3600
    qb = d["sb"] * obs[-1] / 3600
    s = [None] + list(obs[1:-1])
    az = math.radians(d["Ta"] + qa)
    pts = [(0.0, 0.0)]  # relative to A, to keep the digits
    pts.append((pts[0][0] + s[1] * math.cos(az), pts[0][1] + s[1] * math.sin(az)))
    turn = pts[1]
    for i in range(1, n + 1):
        a, b, c = s[2 * i - 1], s[2 * i], s[2 * i + 1]
        beta = math.acos((a * a + c * c - b * b) / (2 * a * c))
        fan = i >= 2 and signs[i - 1] == signs[i - 2]
        if fan:
            az = az + signs[i - 1] * beta
        else:
            turn = pts[i]
            az = az + math.pi + signs[i - 1] * beta
        pts.append((turn[0] + c * math.cos(az), turn[1] + c * math.sin(az)))
    closing = math.degrees(az) + 180 + qb
    return pts, closing


def solve(m, b):
    n = len(b)
    m = [row[:] + [b[i]] for i, row in enumerate(m)]
    for c in range(n):
        p = max(range(c, n), key=lambda r: abs(m[r][c]))
        m[c], m[p] = m[p], m[c]
        for r in range(n):
            if r != c:
                f = m[r][c] / m[c][c]
                m[r] = [x - f * y for x, y in zip(m[r], m[c])]
    return [m[i][n] / m[i][i] for i in range(n)]


def adjust(d):
    n = d["N"]
    obs = [abs(d["Qa"]) * 3600] + d["sides"] + [abs(d["Qb"]) * 3600]
    mean = sum(d["sides"]) / (2 * n + 1)
    side_q = (mean / RHO) ** 2
    q = [1.0] + [side_q] * (2 * n + 1) + [1.0]
    three = d["Tb"] != 0 and d["Qb"] != 0
    m = n // 2 if n % 2 == 0 else (n + 1) // 2

    def conditions(o):
        pts, closing = propagate(d, o)
        f = [pts[-1][0] - (d["Xb"] - d["Xa"]), pts[-1][1] - (d["Yb"] - d["Ya"])]
        if three:
            dt = (closing - d["Tb"]) % 360
            f.insert(0, (dt - 360 if dt > 180 else dt) * 3600)
        return f

    def weak(o):
        return list(propagate(d, o)[0][m])

    def jacobian(fn, o):
        rows = None
        for j in range(len(o)):
            h = 1.0 if j in (0, len(o) - 1) else 1e-3
            up, dn = o[:], o[:]
            up[j] += h
            dn[j] -= h
            col = [(x - y) / (2 * h) for x, y in zip(fn(up), fn(dn))]
            rows = rows or [[0.0] * len(o) for _ in col]
            for r, x in enumerate(col):
                rows[r][j] = x
        return rows

    misclosure = conditions(obs)
    if not three:
        pts, closing = propagate(d, obs)
        dt = (closing - d["Tb"]) % 360
        w1 = (dt - 360 if dt > 180 else dt) * 3600 if d["Tb"] != 0 else None
    else:
        w1 = misclosure[0]
    v = [0.0] * len(obs)
    for _ in range(6):
        x = [a + b for a, b in zip(obs, v)]
        A = jacobian(conditions, x)
        f = conditions(x)
        w = [fi - sum(a * vi for a, vi in zip(row, v)) for fi, row in zip(f, A)]
        N = [[sum(a * qq * b for a, qq, b in zip(ri, q, rj)) for rj in A] for ri in A]
        k = solve(N, [-wi for wi in w])
        v = [qq * sum(A[r][j] * k[r] for r in range(len(A))) for j, qq in enumerate(q)]
    pvv = sum(vi * vi / qq for vi, qq in zip(v, q))
    r = 3 if three else 2
    mb = math.sqrt(pvv / r)
    A = jacobian(conditions, obs)
    N = [[sum(a * qq * b for a, qq, b in zip(ri, q, rj)) for rj in A] for ri in A]
    G = jacobian(weak, obs)
    inv = []
    for g in G:
        ag = [sum(a * qq * b for a, qq, b in zip(ri, q, g)) for ri in A]
        x = solve(N, ag)
        inv.append((sum(b * qq * b for b, qq in zip(g, q)) - sum(a * b for a, b in zip(ag, x))) * 1e6)
    adjusted = [a + b for a, b in zip(obs, v)]
    pts, _ = propagate(d, adjusted)
    ms = mb * math.sqrt(side_q * 1e6)
    mx, my = mb * math.sqrt(inv[0]), mb * math.sqrt(inv[1])
    return {
        "w": (w1, misclosure[-2] * 1000, misclosure[-1] * 1000),
        "mb": mb, "ms": ms, "invPx": inv[0], "invPy": inv[1],
        "mx": mx, "my": my, "md": math.hypot(mx, my), "points": pts, "v": v,
    }


def shown(d, res):
    """The text boxes the reference expects, in the window's formats."""
    w1, wx, wy = res["w"]
    boxes = [
        ("Text15", "不存在" if w1 is None else "%.2f秒" % w1),
        ("Text16", "%.2f毫米" % wx),
        ("Text17", "%.2f毫米" % wy),
        ("Text18", "%g秒" % round(res["mb"], 2)),
        ("Text19", "%g毫米" % round(res["ms"], 2)),
        ("Text20", "%.4f" % res["invPx"]),
        ("Text21", "%.4f" % res["invPy"]),
        ("Text22", "%.2f毫米" % res["mx"]),
        ("Text23", "%.2f毫米" % res["my"]),
        ("Text24", "%.2f毫米" % res["md"]),
    ]
    for name, (x, y) in zip(d["names"], res["points"]):
        x, y = d["Xa"] + x, d["Ya"] + y
        boxes += [("Text11", " " + name), ("Text12", "%.3f" % x), ("Text13", "%.3f" % y)]
    return boxes


def main():
    d = read_replies(sys.argv[1])
    res = adjust(d)
    expected = shown(d, res)
    if len(sys.argv) < 3:
        for name, text in expected:
            print("%s: %s" % (name, text))
        return 0
    wanted = {"Text%d" % i for i in range(11, 25)}
    actual = []
    for line in open(sys.argv[2], encoding="utf-8"):
        name, _, text = line.rstrip("\n").partition(": ")
        if name in wanted:
            actual.append((name, text))
    actual = actual[-len(expected):]
    bad = 0
    for (n1, t1), (n2, t2) in zip(expected, actual):
        flag = "" if (n1, t1) == (n2, t2) else "   <-- differs"
        if flag and n1 in ("Text20", "Text21") and abs(float(t1) - float(t2)) < 1.5e-4:
            # The weight reciprocals depend on where the chain is linearised (observed
            # or adjusted sides, carried or known B) in the order of 1e-5 of their value.
            flag = "   (last digit: linearisation)"
        bad += "differs" in flag
        print("%-7s reference %-16s program %-16s%s" % (n1, t1, t2, flag))
    return 1 if bad or len(actual) != len(expected) else 0


if __name__ == "__main__":
    sys.exit(main())
