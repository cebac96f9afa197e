#!/usr/bin/env python3
"""Typesets the user manual (manual/qmz4_manual.txt) into a PDF.

    make_manual.py SOURCE OUTPUT.pdf [--font REGULAR.ttf] [--mono MONO.ttf]

The source is plain text in a small line-based markup:

    % comment            ignored
    = Title              document title (first page); "~ text" lines under it are subtitles
    @contents            the list of chapters with their page numbers
    # Chapter            chapter heading (in the contents and the PDF outline)
    ## Section           section heading
    - item               bullet item; following lines indented by two blanks continue it
    ! text               caution box; following non-blank lines continue it
    | a | b |            table row; the first row of a table is its header
    ```                  starts and ends a code block (kept verbatim, monospaced)
    other lines          paragraph text; a blank line ends the paragraph

Inline, `text` is set in the monospaced font. Japanese needs a font with its glyphs
(IPA Gothic from Debian's fonts-ipafont-gothic) and CJK line breaking; like the Japanese
Windows fonts, IPA Gothic draws the backslash as a yen sign, while copied text keeps "\\".
Debian's python3-reportlab serves /usr/bin/python3; manual/CMakeLists.txt picks an
interpreter that has it.
"""

import argparse
import os
import sys
from xml.sax.saxutils import escape

from reportlab.lib import colors
from reportlab.lib.enums import TA_CENTER
from reportlab.lib.pagesizes import A4
from reportlab.lib.styles import ParagraphStyle
from reportlab.lib.units import mm
from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.platypus import (BaseDocTemplate, Frame, PageBreak, PageTemplate, Paragraph,
                                Preformatted, Spacer, Table, TableStyle)
from reportlab.platypus.tableofcontents import TableOfContents

# Proportional IPA P Gothic reads best for text; fixed-pitch IPA Gothic keeps code columns.
REGULAR_FONTS = [
    "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf",
    "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf",
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
]
MONO_FONTS = [
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
    "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf",
]

PAGE_MARGIN = 20 * mm
ACCENT = colors.HexColor("#1F4E79")


class ManualError(Exception):
    pass


def first_existing(candidates, what):
    for path in candidates:
        if path and os.path.isfile(path):
            return path
    raise ManualError("no %s font found (install fonts-ipafont-gothic); tried: %s" %
                      (what, ", ".join(c for c in candidates if c)))


# --- parsing -----------------------------------------------------------------------------


def join_lines(parts):
    """Joins wrapped source lines: no blank between Japanese text, one between words."""
    text = ""
    for part in parts:
        part = part.strip()
        if not part:
            continue
        if text and (text[-1].isascii() and part[0].isascii()):
            text += " "
        text += part
    return text


def parse(lines):
    """Turns the source lines into blocks: (kind, payload, line number)."""
    blocks = []
    para = []  # (line number, text) of the paragraph being read
    i = 0

    def flush():
        if para:
            blocks.append(("para", join_lines(text for _, text in para), para[0][0]))
            para.clear()

    while i < len(lines):
        line = lines[i].rstrip()
        number = i + 1
        i += 1
        if line.startswith("%"):
            continue
        if not line:
            flush()
            continue
        if line.startswith("```"):
            flush()
            code = []
            while i < len(lines) and not lines[i].startswith("```"):
                code.append(lines[i].rstrip("\n").rstrip())
                i += 1
            if i == len(lines):
                raise ManualError("line %d: code block without its closing ```" % number)
            i += 1
            blocks.append(("code", code, number))
            continue
        if line.startswith("= "):
            flush()
            blocks.append(("title", line[2:].strip(), number))
            continue
        if line.startswith("~ "):
            flush()
            blocks.append(("subtitle", line[2:].strip(), number))
            continue
        if line == "@contents":
            flush()
            blocks.append(("contents", None, number))
            continue
        if line.startswith("## "):
            flush()
            blocks.append(("h2", line[3:].strip(), number))
            continue
        if line.startswith("# "):
            flush()
            blocks.append(("h1", line[2:].strip(), number))
            continue
        if line.startswith("- "):
            flush()
            item = [line[2:]]
            while i < len(lines) and lines[i].startswith("  ") and lines[i].strip():
                item.append(lines[i])
                i += 1
            blocks.append(("bullet", join_lines(item), number))
            continue
        if line.startswith("! "):
            flush()
            note = [line[2:]]
            while i < len(lines) and lines[i].strip() and not lines[i].startswith(
                    ("#", "-", "|", "```", "!", "%")):
                note.append(lines[i])
                i += 1
            blocks.append(("caution", join_lines(note), number))
            continue
        if line.startswith("|"):
            flush()
            rows = [line]
            while i < len(lines) and lines[i].startswith("|"):
                rows.append(lines[i].rstrip())
                i += 1
            table = []
            for row in rows:
                cells = [c.strip() for c in row.strip().strip("|").split("|")]
                table.append(cells)
            width = len(table[0])
            for k, row in enumerate(table):
                if len(row) != width:
                    raise ManualError("line %d: table row %d has %d cells, the header %d" %
                                      (number, k + 1, len(row), width))
            blocks.append(("table", table, number))
            continue
        para.append((number, line))
    flush()
    return blocks


# --- typesetting -------------------------------------------------------------------------


def inline(text, mono):
    """Escapes text for a Paragraph and sets `quoted` parts in the monospaced font."""
    pieces = text.split("`")
    if len(pieces) % 2 == 0:
        raise ManualError("unpaired ` in: %s" % text)
    out = []
    for k, piece in enumerate(pieces):
        piece = escape(piece)
        out.append('<font name="%s">%s</font>' % (mono, piece) if k % 2 else piece)
    return "".join(out)


def make_styles(regular, mono):
    base = dict(fontName=regular, wordWrap="CJK")
    s = {
        "body": ParagraphStyle("body", fontSize=10, leading=15, spaceAfter=4, **base),
        "title": ParagraphStyle("title", fontSize=26, leading=34, alignment=TA_CENTER,
                                textColor=ACCENT, spaceBefore=40 * mm, spaceAfter=6 * mm,
                                **base),
        "subtitle": ParagraphStyle("subtitle", fontSize=12, leading=18, alignment=TA_CENTER,
                                   textColor=colors.HexColor("#404040"), **base),
        "h1": ParagraphStyle("h1", fontSize=17, leading=24, textColor=ACCENT, spaceBefore=6,
                             spaceAfter=8, keepWithNext=1, **base),
        "h2": ParagraphStyle("h2", fontSize=12.5, leading=18, textColor=ACCENT, spaceBefore=9,
                             spaceAfter=4, keepWithNext=1, **base),
        "bullet": ParagraphStyle("bullet", fontSize=10, leading=14.5, leftIndent=14,
                                 bulletIndent=3, bulletFontName=regular, spaceAfter=2, **base),
        "cell": ParagraphStyle("cell", fontSize=9, leading=13, **base),
        "head": ParagraphStyle("head", fontSize=9, leading=13, textColor=colors.white, **base),
        "caution": ParagraphStyle("caution", fontSize=10, leading=15, **base),
        "code": ParagraphStyle("code", fontName=mono, fontSize=8.5, leading=11.5),
        "toc": ParagraphStyle("toc", fontSize=11, leading=20, leftIndent=10, **base),
        "toch": ParagraphStyle("toch", fontSize=14, leading=20, textColor=ACCENT,
                               spaceBefore=14 * mm, spaceAfter=4, **base),
    }
    return s


def table_widths(table, available, font, size):
    """Column widths: each column as wide as its longest cell when everything fits; else
    short columns keep their full width (up to eight characters) and the long ones share the
    rest after their length, wrapping."""
    padding = 8
    count = len(table[0])
    natural = [max(pdfmetrics.stringWidth(row[c].replace("`", ""), font, size) for row in table) +
               padding for c in range(count)]
    least = [min(n, 8 * size + padding) for n in natural]
    if sum(natural) <= available:
        return [available * n / sum(natural) for n in natural]
    spare = available - sum(least)
    stretch = [n - m for n, m in zip(natural, least)]
    return [m + spare * s / sum(stretch) for m, s in zip(least, stretch)]


class ManualDocument(BaseDocTemplate):

    def __init__(self, output, footer, regular, **kw):
        super().__init__(output, pagesize=A4, leftMargin=PAGE_MARGIN, rightMargin=PAGE_MARGIN,
                         topMargin=PAGE_MARGIN, bottomMargin=PAGE_MARGIN + 4 * mm, **kw)
        self._footer = footer
        self._regular = regular
        frame = Frame(self.leftMargin, self.bottomMargin, self.width, self.height, id="text")
        self.addPageTemplates([PageTemplate(id="page", frames=[frame], onPage=self._decorate)])
        self._chapter = 0

    def _decorate(self, canv, doc):
        canv.saveState()
        canv.setFont(self._regular, 8)
        canv.setFillColor(colors.HexColor("#606060"))
        y = PAGE_MARGIN - 2 * mm
        canv.drawString(self.leftMargin, y, self._footer)
        canv.drawRightString(self.leftMargin + self.width, y, "%d" % doc.page)
        canv.setStrokeColor(colors.HexColor("#B0B0B0"))
        canv.setLineWidth(0.5)
        canv.line(self.leftMargin, y + 10, self.leftMargin + self.width, y + 10)
        canv.restoreState()

    def afterFlowable(self, flowable):
        name = getattr(getattr(flowable, "style", None), "name", None)
        if name not in ("h1", "h2"):
            return
        text = flowable.getPlainText()
        key = "heading%d" % id(flowable)
        self.canv.bookmarkPage(key)
        level = 0 if name == "h1" else 1
        self.canv.addOutlineEntry(text, key, level=level, closed=level > 0)
        if level == 0:
            self.notify("TOCEntry", (0, text, self.page, key))


def build_story(blocks, styles, regular, mono, available):
    story = []
    footer = None
    for kind, payload, number in blocks:
        if kind == "title":
            footer = payload
            story.append(Paragraph(inline(payload, mono), styles["title"]))
        elif kind == "subtitle":
            story.append(Paragraph(inline(payload, mono), styles["subtitle"]))
        elif kind == "contents":
            toc = TableOfContents(dotsMinLevel=0)
            toc.levelStyles = [styles["toc"]]
            # Tables start their cells in the standard font unless told otherwise.
            toc.tableStyle = TableStyle([("FONTNAME", (0, 0), (-1, -1), regular),
                                         ("VALIGN", (0, 0), (-1, -1), "TOP")])
            story.append(Paragraph("目次", styles["toch"]))
            story.append(toc)
            story.append(PageBreak())
        elif kind in ("h1", "h2"):
            story.append(Paragraph(inline(payload, mono), styles[kind]))
        elif kind == "para":
            story.append(Paragraph(inline(payload, mono), styles["body"]))
        elif kind == "bullet":
            story.append(Paragraph(inline(payload, mono), styles["bullet"], bulletText="・"))
        elif kind == "caution":
            text = '<font color="#B03A10">注意</font>　' + inline(payload, mono)
            box = Table([[Paragraph(text, styles["caution"])]], colWidths=[available])
            box.setStyle(TableStyle([
                ("FONTNAME", (0, 0), (-1, -1), regular),
                ("BACKGROUND", (0, 0), (-1, -1), colors.HexColor("#FFF1E0")),
                ("BOX", (0, 0), (-1, -1), 0.8, colors.HexColor("#D9822B")),
                ("LEFTPADDING", (0, 0), (-1, -1), 8),
                ("RIGHTPADDING", (0, 0), (-1, -1), 8),
                ("TOPPADDING", (0, 0), (-1, -1), 5),
                ("BOTTOMPADDING", (0, 0), (-1, -1), 6),
            ]))
            story.append(Spacer(1, 3))
            story.append(box)
            story.append(Spacer(1, 7))
        elif kind == "code":
            body = Preformatted("\n".join(payload), styles["code"])
            if body.minWidth() > available - 16:
                raise ManualError("line %d: code line too wide for the page" % number)
            box = Table([[body]], colWidths=[available])
            box.setStyle(TableStyle([
                ("FONTNAME", (0, 0), (-1, -1), regular),
                ("BACKGROUND", (0, 0), (-1, -1), colors.HexColor("#F2F4F7")),
                ("BOX", (0, 0), (-1, -1), 0.5, colors.HexColor("#C0C6CF")),
                ("LEFTPADDING", (0, 0), (-1, -1), 8),
                ("TOPPADDING", (0, 0), (-1, -1), 5),
                ("BOTTOMPADDING", (0, 0), (-1, -1), 5),
            ]))
            story.append(box)
            story.append(Spacer(1, 7))
        elif kind == "table":
            widths = table_widths(payload, available, regular, styles["cell"].fontSize)
            rows = [[Paragraph(inline(cell, mono), styles["head"] if r == 0 else styles["cell"])
                     for cell in row] for r, row in enumerate(payload)]
            table = Table(rows, colWidths=widths, repeatRows=1)
            table.setStyle(TableStyle([
                ("FONTNAME", (0, 0), (-1, -1), regular),
                ("BACKGROUND", (0, 0), (-1, 0), ACCENT),
                ("ROWBACKGROUNDS", (0, 1), (-1, -1), [colors.white, colors.HexColor("#EEF3F8")]),
                ("GRID", (0, 0), (-1, -1), 0.4, colors.HexColor("#9AA8B8")),
                ("VALIGN", (0, 0), (-1, -1), "TOP"),
                ("LEFTPADDING", (0, 0), (-1, -1), 4),
                ("RIGHTPADDING", (0, 0), (-1, -1), 4),
            ]))
            story.append(table)
            story.append(Spacer(1, 8))
    if footer is None:
        raise ManualError("the source has no title line (= ...)")
    return story, footer


def check_glyphs(blocks, font_name, code_font_name):
    """Refuses characters the fonts lack: the PDF would show empty boxes in their place."""
    covered = pdfmetrics.getFont(font_name).face.charToGlyph
    code_covered = pdfmetrics.getFont(code_font_name).face.charToGlyph
    for kind, payload, number in blocks:
        if kind == "contents":
            continue
        if kind == "table":
            text = "".join("".join(row) for row in payload)
        elif kind == "code":
            text = "".join(payload)
        else:
            text = payload
        fonts = code_covered if kind == "code" else covered
        missing = sorted({c for c in text if ord(c) not in fonts and c not in "\t\n"})
        if missing:
            raise ManualError("line %d: no glyph for %s" %
                              (number, " ".join("U+%04X" % ord(c) for c in missing)))


def main(argv):
    parser = argparse.ArgumentParser(description="Typesets the user manual into a PDF.")
    parser.add_argument("source")
    parser.add_argument("output")
    parser.add_argument("--font", help="TrueType font with Japanese glyphs for the text")
    parser.add_argument("--mono", help="fixed-pitch TrueType font for code")
    args = parser.parse_args(argv)
    try:
        regular_path = first_existing([args.font] + REGULAR_FONTS, "text")
        mono_path = first_existing([args.mono] + MONO_FONTS, "monospaced")
        pdfmetrics.registerFont(TTFont("ManualText", regular_path))
        pdfmetrics.registerFont(TTFont("ManualMono", mono_path))
        with open(args.source, encoding="utf-8") as f:
            blocks = parse(f.readlines())
        check_glyphs(blocks, "ManualText", "ManualMono")
        styles = make_styles("ManualText", "ManualMono")
        available = A4[0] - 2 * PAGE_MARGIN
        story, footer = build_story(blocks, styles, "ManualText", "ManualMono", available)
        # Written beside the target and renamed, so that a failed run leaves no partial PDF.
        partial = args.output + ".part"
        # The canvas starts every page in the text font, so that no unembedded standard
        # font (Helvetica) is referenced.
        doc = ManualDocument(partial, footer, "ManualText", title=footer, subject=footer,
                             invariant=1, initialFontName="ManualText")
        doc.multiBuild(story)
        os.replace(partial, args.output)
    except (ManualError, OSError) as error:
        print("make_manual: %s" % error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
