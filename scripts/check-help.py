#!/usr/bin/env python3
"""Checks Quarto's HTML manual: every page well-formed HTML5 within the tags a QTextBrowser
renders, no scripts or outside resources, every internal link and anchor resolving, and the
pages and anchors that the window's help commands open by name all present. Pictures live in
images/: each a PNG of modest size, shown by some page, with a text for readers who cannot see
it.

Usage: scripts/check-help.py [FOLDER]   (default res/help). Prints each fault; exit 1 on any."""
import os
import re
import sys
from html.parser import HTMLParser

# Tags that QTextBrowser renders and that the manual uses.
ALLOWED = {
    "html", "head", "meta", "title", "link", "body", "h1", "h2", "h3", "h4", "p", "br", "hr",
    "ul", "ol", "li", "table", "thead", "tbody", "tr", "th", "td", "a", "b", "i", "u", "em",
    "strong", "code", "kbd", "pre", "span", "div", "img", "sub", "sup", "small",
}
VOID = {"meta", "link", "br", "hr", "img"}
# The window opens these by name (context help and the help commands).
REQUIRED = {
    "index.html": [], "comparing.html": [], "views.html": ["sorting"], "marking.html": [],
    "actions.html": [], "snapshots.html": [], "command-files.html": [], "command-line.html": [],
    "keyboard.html": [],
    "settings.html": ["check", "comparitors", "confirmations", "drive-colors", "editor",
                      "files-colors", "filters", "mark-clear", "miscellaneous", "run-programs",
                      "show", "startup"],
}
# The manual describes Quarto on Linux; these belong to other platforms or to no user's page.
FORBIDDEN = re.compile(r"\b(Windows|registry|notepad|\.exe|[A-Z]:\\|specification|spec\b)", re.I)
OUTSIDE = re.compile(r"^([a-z][a-z0-9+.-]*:|//)", re.I)
IMAGES = "images"
IMAGE_LIMIT = 200 * 1024  # bytes: the pictures are compiled into the program
PNG_MAGIC = b"\x89PNG\r\n\x1a\n"


class Page(HTMLParser):
    def __init__(self, name):
        super().__init__(convert_charrefs=True)
        self.name, self.faults = name, []
        self.stack, self.ids, self.links = [], set(), []
        self.doctype = self.lang = self.charset = self.stylesheet = False
        self.title = ""

    def fault(self, text):
        self.faults.append(f"{self.name}:{self.getpos()[0]}: {text}")

    def handle_decl(self, decl):
        self.doctype = self.doctype or decl.lower() == "doctype html"

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag not in ALLOWED:
            self.fault(f"<{tag}> is not a tag the help window renders")
        if any(key.startswith("on") for key in attrs):
            self.fault(f"<{tag}> carries an event handler")
        if "id" in attrs:
            if attrs["id"] in self.ids:
                self.fault(f"id '{attrs['id']}' twice")
            self.ids.add(attrs["id"])
        if tag == "img" and not (attrs.get("alt") or "").strip():
            self.fault(f"<img src='{attrs.get('src')}'> has no alt text")
        if tag == "html":
            self.lang = bool(attrs.get("lang"))
        if tag == "meta" and (attrs.get("charset") or "").lower() == "utf-8":
            self.charset = True
        if tag == "link":
            # The help window applies a linked stylesheet only when its type is given.
            self.stylesheet = self.stylesheet or (attrs.get("rel") == "stylesheet" and attrs.get("type") == "text/css"
                                                  and attrs.get("href") == "quarto.css")
        for key in ("href", "src"):
            if key in attrs:
                self.links.append((self.getpos()[0], attrs[key] or ""))
        if tag not in VOID:
            self.stack.append(tag)

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        if tag not in VOID:
            self.stack.pop()
            self.fault(f"<{tag}/> is not a void element")

    def handle_endtag(self, tag):
        if tag in VOID:
            self.fault(f"</{tag}> closes a void element")
        elif not self.stack or self.stack[-1] != tag:
            self.fault(f"</{tag}> does not close the open <{self.stack[-1] if self.stack else ''}>")
        else:
            self.stack.pop()

    def handle_data(self, data):
        if self.stack and self.stack[-1] == "title":
            self.title += data.strip()
        for match in FORBIDDEN.finditer(data):
            self.fault(f"'{match.group(0)}' does not belong in Quarto's manual")


def check_images(folder):
    """The pictures under images/ by their manual-relative paths, and their faults."""
    images, faults = set(), []
    for name in sorted(os.listdir(os.path.join(folder, IMAGES))):
        path = os.path.join(folder, IMAGES, name)
        with open(path, "rb") as f:
            data = f.read()
        if not name.endswith(".png") or not data.startswith(PNG_MAGIC):
            faults.append(f"{IMAGES}/{name}: not a PNG picture")
        elif len(data) > IMAGE_LIMIT:
            faults.append(f"{IMAGES}/{name}: {len(data)} bytes, more than {IMAGE_LIMIT}")
        images.add(f"{IMAGES}/{name}")
    return images, faults


def check(folder):
    pages, faults, images = {}, [], set()
    for name in sorted(os.listdir(folder)):
        if name == IMAGES and os.path.isdir(os.path.join(folder, name)):
            images, image_faults = check_images(folder)
            faults += image_faults
        elif name.endswith(".html"):
            page = Page(name)
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                page.feed(f.read())
            page.close()
            if page.stack:
                page.fault(f"unclosed <{'>, <'.join(page.stack)}>")
            for ok, what in ((page.doctype, "<!DOCTYPE html>"), (page.lang, "<html lang>"),
                             (page.charset, '<meta charset="utf-8">'), (page.title, "a <title>"),
                             (page.stylesheet, '<link rel="stylesheet" type="text/css" href="quarto.css">')):
                if not ok:
                    page.fault(f"missing {what}")
            pages[name] = page
            faults += page.faults
        elif name.endswith(".css"):
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                if re.search(r"url\(|@import", f.read()):
                    faults.append(f"{name}: loads an outside resource")
        else:
            faults.append(f"{name}: not a page or a stylesheet")
    linked = set()
    for name, page in pages.items():
        for line, target in page.links:
            if OUTSIDE.match(target):
                faults.append(f"{name}:{line}: '{target}' leaves the manual")
                continue
            path, _, anchor = target.partition("#")
            path = path or name
            linked.add(path)
            if not os.path.isfile(os.path.join(folder, path)):
                faults.append(f"{name}:{line}: '{target}' names no file")
            elif anchor and (path not in pages or anchor not in pages[path].ids):
                faults.append(f"{name}:{line}: '{target}' names no anchor")
    for name, anchors in REQUIRED.items():
        if name not in pages:
            faults.append(f"{name}: missing (the help commands open it)")
            continue
        faults += [f"{name}: missing anchor '{a}'" for a in anchors if a not in pages[name].ids]
    faults += [f"{name}: no page links to it" for name in pages if name not in linked and name != "index.html"]
    faults += [f"{name}: no page shows it" for name in sorted(images) if name not in linked]
    return len(pages), faults


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "res/help"
    count, faults = check(folder)
    for fault in faults:
        print(fault)
    print(f"{count} pages checked, {len(faults)} faults")
    return 1 if faults or count == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
