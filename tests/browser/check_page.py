#!/usr/bin/env python3
"""The report's page as a browser shows it: headless Chromium takes a screenshot (it must
not be blank) and, in a copy of the page with a measuring script added, lays out every
diagram; the boxes of their texts (getBBox, through each text's transform) must not overlap,
and each diagram must hold one point mark per sample drawn.

usage: check_page.py ZELKFILE SOURCE_DIR FILE ID=POINTS,... [NOT_DRAWN|...] [-- FILE ...]
       check_page.py --screenshot ZELKFILE SOURCE_DIR PNG FILE...
Exits 77 (skipped) with one line when Chromium is missing."""

import html
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

WIDTH = 1200

MEASURE = """<script>
//<![CDATA[
(function () {
  const found = [];
  for (const svg of document.querySelectorAll('svg.diagram')) {
    const figure = svg.closest('figure');
    const texts = [];
    for (const t of svg.querySelectorAll('text')) {
      const b = t.getBBox();
      const m = svg.getScreenCTM().inverse().multiply(t.getScreenCTM());
      const xs = [], ys = [];
      for (const [x, y] of [[b.x, b.y], [b.x + b.width, b.y], [b.x, b.y + b.height], [b.x + b.width, b.y + b.height]]) {
        xs.push(m.a * x + m.c * y + m.e);
        ys.push(m.b * x + m.d * y + m.f);
      }
      texts.push({kind: t.getAttribute('class'), text: t.textContent,
                  box: [Math.min(...xs), Math.min(...ys), Math.max(...xs), Math.max(...ys)]});
    }
    const first = svg.querySelector('text');
    found.push({id: figure ? figure.id : '', points: svg.querySelectorAll('circle.point').length,
                width: svg.viewBox.baseVal.width, height: svg.viewBox.baseVal.height,
                font: first ? getComputedStyle(first).fontFamily : '', texts: texts});
  }
  const pre = document.createElement('pre');
  pre.id = 'measured';
  pre.textContent = JSON.stringify({height: document.documentElement.scrollHeight, diagrams: found});
  document.body.appendChild(pre);
})();
//]]>
</script>
"""


def chromium():
    for name in ("chromium", "chromium-browser"):
        path = shutil.which(name)
        if path:
            return path
    return None


def run_chromium(browser, profile, *arguments):
    command = [browser, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
               "--user-data-dir=" + profile, "--force-device-scale-factor=1", *arguments]
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=120)
    return done.stdout.decode("utf-8", "replace")


def png_pixels(path):
    """Width, height and the rows of an 8-bit RGB or RGBA PNG, unfiltered."""
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    assert depth == 8 and colour in (2, 6), "unexpected PNG format"
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append(bytes(line))
        previous = line
    return width, height, channels, rows


def measure(browser, page, work):
    """The page laid out at the normal width: its height and what the script found in each
    diagram, or None when the script left nothing."""
    text = open(page, encoding="utf-8").read()
    measuring = page[:-5] + "-measure.html"
    with open(measuring, "w", encoding="utf-8") as copy:
        copy.write(text.replace("</body>", MEASURE + "</body>"))
    dom = run_chromium(browser, os.path.join(work, "profile"), "--window-size=%d,1000" % WIDTH,
                       "--dump-dom", "file://" + measuring)
    found = re.search(r'<pre id="measured">(.*?)</pre>', dom, re.S)
    return json.loads(html.unescape(found.group(1))) if found else None


def check(browser, zelkfile, source, file, points, not_drawn, work):
    problems = []
    page = os.path.join(work, os.path.basename(file) + ".html")
    done = subprocess.run([zelkfile, "report", file, "--html", page], cwd=source,
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if done.returncode != 0:
        return ["%s: zelkfile report failed: %s" % (file, done.stderr.decode())]
    if shutil.which("xmllint"):
        lint = subprocess.run(["xmllint", "--noout", page], stderr=subprocess.PIPE)
        if lint.returncode != 0:
            problems.append("%s: the page is not well-formed: %s" % (file, lint.stderr.decode()))
    text = open(page, encoding="utf-8").read()
    for outside in ("<script", "<link", " src=", "url(", "@import"):
        if outside in text:
            problems.append("%s: the page holds %r" % (file, outside))

    measured = measure(browser, page, work)
    if not measured:
        return problems + ["%s: the measuring script left nothing in the DOM" % file]
    diagrams = measured["diagrams"]
    if not diagrams:
        problems.append("%s: no diagram on the page" % file)
    for d in diagrams:
        name = "%s, %s" % (file, d["id"])
        expected = points.get(d["id"], points.get("*"))
        if expected is None:
            problems.append("%s: no count of points expected" % name)
        elif d["points"] != expected:
            problems.append("%s: %d point marks, expected %d" % (name, d["points"], expected))
        if "DejaVu Sans" not in d["font"]:
            problems.append("%s: text set in %s" % (name, d["font"]))
        boxes = [t for t in d["texts"] if t["box"][2] > t["box"][0]]
        for t in boxes:
            l, top, r, b = t["box"]
            if l < -0.5 or top < -0.5 or r > d["width"] + 0.5 or b > d["height"] + 0.5:
                problems.append("%s: %r leaves the picture: %s" % (name, t["text"], t["box"]))
        # Overlap by more than half a pixel either way counts.
        for i, a in enumerate(boxes):
            for b in boxes[i + 1:]:
                if (min(a["box"][2], b["box"][2]) - max(a["box"][0], b["box"][0]) > 0.5 and
                        min(a["box"][3], b["box"][3]) - max(a["box"][1], b["box"][1]) > 0.5):
                    problems.append("%s: %r (%s) and %r (%s) overlap" % (name, a["text"], a["kind"],
                                                                          b["text"], b["kind"]))
    for said in filter(None, not_drawn.split("|")):
        if said not in html.unescape(text):
            problems.append("%s: the page does not say %r" % (file, said))

    shot = page[:-5] + ".png"
    run_chromium(browser, os.path.join(work, "profile"), "--window-size=%d,%d" % (WIDTH, measured["height"]),
                 "--screenshot=" + shot, "file://" + page)
    if not os.path.exists(shot):
        return problems + ["%s: no screenshot" % file]
    width, height, channels, rows = png_pixels(shot)
    inked = sum(1 for row in rows[::4] for i in range(0, len(row), channels * 4) if row[i:i + 3] != b"\xff\xff\xff")
    sampled = (height + 3) // 4 * ((width + 3) // 4)
    if inked < sampled // 100:
        problems.append("%s: the screenshot is blank (%d of %d pixels inked)" % (file, inked, sampled))
    print("%s: %d diagram(s), %s point marks, %d texts measured; screenshot %dx%d, %.1f%% inked" %
          (file, len(diagrams), [d["points"] for d in diagrams], sum(len(d["texts"]) for d in diagrams),
           width, height, 100.0 * inked / sampled))
    return problems


def screenshot(browser, zelkfile, source, png, files):
    with tempfile.TemporaryDirectory() as work:
        page = os.path.join(work, "page.html")
        subprocess.run([zelkfile, "report", *files, "--html", page], cwd=source, check=True,
                       stdout=subprocess.DEVNULL)
        measured = measure(browser, page, work)
        run_chromium(browser, os.path.join(work, "profile"), "--window-size=%d,%d" % (WIDTH, measured["height"]),
                     "--screenshot=" + os.path.abspath(png), "file://" + page)
    print("wrote " + png)


def main(argv):
    browser = chromium()
    if argv and argv[0] == "--screenshot":
        if not browser:
            sys.exit("chromium not found: install the Debian package chromium")
        screenshot(browser, argv[1], argv[2], argv[3], argv[4:])
        return 0
    if not browser:
        print("skipped: chromium not found (Debian package chromium)")
        return 77
    zelkfile, source, rest = argv[0], argv[1], argv[2:]
    problems = []
    with tempfile.TemporaryDirectory() as work:
        while rest:
            group = rest[:rest.index("--")] if "--" in rest else rest
            rest = rest[len(group) + 1:]
            file, counts = group[0], group[1]
            not_drawn = group[2] if len(group) > 2 else ""
            points = {}
            for part in counts.split(","):
                key, _, value = part.rpartition("=")
                points[key or "*"] = int(value)
            problems += check(browser, zelkfile, source, file, points, not_drawn, work)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
