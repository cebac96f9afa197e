#!/usr/bin/env python3
"""Checks the typeset user manual against its source.

    check_manual.py SOURCE.txt MANUAL.pdf

- poppler reads the PDF, it has more than three pages, and every font is embedded (the
  help file must show Japanese on a Windows without Japanese fonts);
- its text holds the title, the contents list (every chapter, in order) when the source
  asks for one, and then every chapter and section heading in source order;
- no word lies outside the page's margins (a table or code line that does not wrap).
The headings are read from the source, so the test follows every edit of the manual.
"""

import re
import subprocess
import sys

MM = 72 / 25.4
# The text area starts 20 mm from each edge; the footer sits 18 mm above the bottom.
SIDE_LIMIT = 15 * MM
TOP_LIMIT = 15 * MM
BOTTOM_LIMIT = 10 * MM


def run(*command):
    try:
        return subprocess.run(command, check=True, capture_output=True).stdout.decode("utf-8")
    except FileNotFoundError:
        sys.exit("%s is missing (poppler-utils; run tools/install_deps.sh)" % command[0])
    except subprocess.CalledProcessError as error:
        sys.exit("%s failed: %s" % (" ".join(command), error.stderr.decode(errors="replace")))


def source_outline(path):
    """The title, whether a contents list is asked for, and the headings as (level, text)."""
    title, contents, headings = None, False, []
    in_code = False
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip()
            if line.startswith("```"):
                in_code = not in_code
            elif in_code:
                continue
            elif line.startswith("= "):
                title = line[2:].strip()
            elif line == "@contents":
                contents = True
            elif line.startswith("## "):
                headings.append((2, line[3:].strip()))
            elif line.startswith("# "):
                headings.append((1, line[2:].strip()))
    return title, contents, headings


def squeeze(text):
    # Line breaks and the blanks poppler puts between words carry no meaning here.
    return re.sub(r"\s+", "", text.replace("`", ""))


def main(source, pdf):
    failures = []
    title, contents, headings = source_outline(source)
    if title is None or len(headings) < 5:
        sys.exit("%s: no title or too few headings to check" % source)

    info = run("pdfinfo", pdf)
    pages = int(re.search(r"^Pages:\s+(\d+)", info, re.M).group(1))
    if pages <= 3:
        failures.append("only %d pages" % pages)

    fonts = run("pdffonts", pdf).splitlines()[2:]
    if not fonts:
        failures.append("no fonts in the PDF")
    for row in fonts:
        # name, type, encoding, emb, sub, uni, object id: "emb" is the fourth field from the end.
        fields = row.split()
        if fields[-5] != "yes":
            failures.append("font not embedded: %s" % row)
        if fields[-3] != "yes":
            failures.append("font without a Unicode map (text cannot be searched): %s" % row)

    text = squeeze(run("pdftotext", "-enc", "UTF-8", pdf, "-"))
    expected = [("title", title)]
    if contents:
        expected += [("contents entry", h) for level, h in headings if level == 1]
    expected += [("heading", h) for level, h in headings]
    at = 0
    for what, heading in expected:
        found = text.find(squeeze(heading), at)
        if found < 0:
            failures.append("%s missing or out of order: %s" % (what, heading))
        else:
            at = found + len(squeeze(heading))

    layout = run("pdftotext", "-bbox", pdf, "-")
    page_re = re.compile(r'<page width="([\d.]+)" height="([\d.]+)">(.*?)</page>', re.S)
    word_re = re.compile(
        r'<word xMin="([\d.-]+)" yMin="([\d.-]+)" xMax="([\d.-]+)" yMax="([\d.-]+)">(.*?)</word>')
    for number, (width, height, body) in enumerate(page_re.findall(layout), 1):
        width, height = float(width), float(height)
        for x0, y0, x1, y1, word in word_re.findall(body):
            x0, y0, x1, y1 = map(float, (x0, y0, x1, y1))
            if (x0 < SIDE_LIMIT or x1 > width - SIDE_LIMIT or y0 < TOP_LIMIT or
                    y1 > height - BOTTOM_LIMIT):
                failures.append("page %d: '%s' outside the margins (%.0f,%.0f)-(%.0f,%.0f)" %
                                (number, word, x0, y0, x1, y1))

    for failure in failures[:20]:
        print("FAIL:", failure)
    if failures:
        return 1
    print("manual: %d pages, title, %d headings%s in order, all within the margins" %
          (pages, len(headings), " and the contents" if contents else ""))
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
