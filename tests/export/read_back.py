#!/usr/bin/python3
"""The coordinate files of a batch run read back by readers of their own, against the
listing of the same run's transcript: the CASS data file decoded as GB18030 by Python,
the CSV by Python's csv module, the DXF by ezdxf.

    read_back.py TRELVAN SOURCE_DIR WORK_DIR
"""
import csv
import io
import json
import math
import os
import subprocess
import sys

import ezdxf

TRELVAN, SOURCE, WORK = sys.argv[1:4]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def run(name, names, *files):
    """Computes the worked example with `names` (A, D1..D4, B) and asks for `files`
    (option, file name). Returns the exit status, the listing and standard error."""
    with open(os.path.join(SOURCE, "tests/golden/run_typed_n4.trv"), encoding="utf-8") as f:
        job = json.load(f)
    job["A"]["name"], job["B"]["name"] = names[0], names[-1]
    job["points"] = names[1:-1]
    folder = os.path.join(WORK, name)
    os.makedirs(folder, exist_ok=True)
    for old in os.listdir(folder):
        os.remove(os.path.join(folder, old))
    job_file = os.path.join(folder, "job.trv")
    with open(job_file, "w", encoding="utf-8") as f:
        json.dump(job, f, ensure_ascii=False)
    args = [TRELVAN, "--batch", "--job", job_file]
    for option, file in files:
        args += [option, os.path.join(folder, file)]
    done = subprocess.run(args, capture_output=True)
    # The listing: each point's name, X and Y as the window's boxes show them.
    listing, point = [], {}
    for line in done.stdout.decode("utf-8").splitlines():
        for box, key in (("Text11: ", "name"), ("Text12: ", "X"), ("Text13: ", "Y")):
            if line.startswith(box):
                point[key] = line[len(box):]
        if line.startswith("Text13: "):
            listing.append((point["name"][1:], point["X"].strip(), point["Y"].strip()))
    return done.returncode, listing, done.stderr.decode("utf-8"), folder


# Chinese names, Greek and Cyrillic (in the Chinese code page), Hangul and Arabic (not
# in it), a name a spreadsheet would take for a formula, and a literal backslash-U.
names = ["K07甲", "Ω-Д1", "=SUM(A1)", "가나", "مثال", "界桩\\U+0041"]
status, listing, err, folder = run("written", names, ("--export-dat", "c.dat"), ("--export-csv", "c.csv"),
                                   ("--export-dxf", "c.dxf"))
check(status == 0, f"exit status {status}: {err}")
check([p[0] for p in listing] == names, f"the listing names {listing}")

# CASS: name,,Y,X,0.000 a line, CRLF, GB18030 without a byte-order mark.
data = open(os.path.join(folder, "c.dat"), "rb").read()
check(not data.startswith(b"\xef\xbb\xbf") and not data.startswith(b"\x84\x31\x95\x33"), "a BOM in the .dat")
check(data.endswith(b"\r\n") and data.count(b"\n") == data.count(b"\r\n"), "the .dat's lines do not end CR LF")
lines = data.decode("gb18030").split("\r\n")[:-1]
check(lines == [f"{n},,{y},{x},0.000" for n, x, y in listing], f"the .dat reads {lines}")

# CSV: UTF-8 with a BOM, CRLF, the header, the guarded name, the listed coordinates.
text = open(os.path.join(folder, "c.csv"), "rb").read()
check(text.startswith(b"\xef\xbb\xbf"), "no BOM in the CSV")
check(text.count(b"\n") == text.count(b"\r\n") == len(listing) + 1, "the CSV's lines do not end CR LF")
rows = list(csv.reader(io.StringIO(text[3:].decode("utf-8"), newline="")))
check(rows[0] == ["点名", "X", "Y", "mx", "my", "mp", "E", "F", "φ"], f"the CSV's header {rows[0]}")
guarded = [("'" + n if n[0] in "=+-@" else n) for n in names]
check([r[0] for r in rows[1:]] == guarded, f"the CSV's names {[r[0] for r in rows[1:]]}")
check([tuple(r[1:3]) for r in rows[1:]] == [(x, y) for _, x, y in listing], "the CSV's coordinates")
check(rows[3][3:] == ["4.18", "2.07", "4.66", "4.19", "2.04", "5.2"], f"D2's precision in the CSV {rows[3]}")
check(rows[1][3:] == ["0.00"] * 5 + ["0.0"], f"A's precision in the CSV {rows[1]}")

# DXF: read by ezdxf. AutoCAD 2000, the Chinese code page, six layers; a POINT and a
# name at every listed point (x east, y north) to the millimetre; one ellipse for
# each unknown point, centred on it; the sides; the factor stated.
doc = ezdxf.readfile(os.path.join(folder, "c.dxf"))
check(doc.dxfversion == "AC1015", f"DXF version {doc.dxfversion}")
auditor = doc.audit()
check(not auditor.has_errors, f"ezdxf's audit: {[e.message for e in auditor.errors]}")
layers = {layer.dxf.name for layer in doc.layers}
for layer in ("已知点", "待定点", "点名", "推算路线边", "其他边", "误差椭圆"):
    check(layer in layers, f"no layer {layer} in {layers}")
msp = doc.modelspace()
points = [(e.dxf.location.x, e.dxf.location.y, e.dxf.layer) for e in msp.query("POINT")]
check(len(points) == len(listing), f"{len(points)} POINTs for {len(listing)} points")
for (x, y, layer), (n, X, Y), i in zip(points, listing, range(len(listing))):
    check(abs(x - float(Y)) < 0.0005 and abs(y - float(X)) < 0.0005, f"POINT of {n} at {x}, {y}")
    check(layer == ("已知点" if i in (0, len(listing) - 1) else "待定点"), f"{n}'s POINT on {layer}")
texts = {ezdxf.decode_dxf_unicode(e.dxf.text): e for e in msp.query("TEXT")}
for n, X, Y in listing:
    check(n in texts and texts[n].dxf.layer == "点名", f"no name {n} on 点名 among {list(texts)}")
    if n in texts:
        at = texts[n].dxf.insert
        check(math.hypot(at.x - float(Y), at.y - float(X)) < 100, f"{n} stands away from its point")
ellipses = list(msp.query("ELLIPSE"))
check(len(ellipses) == len(listing) - 2, f"{len(ellipses)} ellipses for {len(listing) - 2} unknown points")
for e, (n, X, Y) in zip(ellipses, listing[1:-1]):
    check(e.dxf.layer == "误差椭圆", f"{n}'s ellipse on {e.dxf.layer}")
    check(abs(e.dxf.center.x - float(Y)) < 0.0005 and abs(e.dxf.center.y - float(X)) < 0.0005, f"{n}'s ellipse")
route = [e for e in msp.query("LINE") if e.dxf.layer == "推算路线边"]
other = [e for e in msp.query("LINE") if e.dxf.layer == "其他边"]
check((len(route), len(other)) == (5, 4), f"{len(route)} route sides and {len(other)} other sides")
check(any(t.startswith("误差椭圆放大") and t.endswith("倍") for t in texts), "no text states the ellipses' factor")

# Names a format cannot hold refuse that format, with a message naming the point, and
# leave no file; the other formats are written.
status, _, err, folder = run("refused", ["K07", "D,1", "𠀀2", "D3", "D4", "K08"], ("--export-dat", "r.dat"),
                             ("--export-csv", "r.csv"), ("--export-dxf", "r.dxf"))
check(status == 4, f"refused: exit status {status}")
check(sorted(os.listdir(folder)) == ["job.trv", "r.csv"], f"refused: files {sorted(os.listdir(folder))}")
check("点号 1 的点名“D,1”含有逗号" in err, f"the .dat's refusal: {err}")
check("点号 2 的点名“𠀀2”含有 AutoCAD 2000 格式的 DXF 文件无法表示的字符 U+20000" in err, f"the DXF's refusal: {err}")

for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
