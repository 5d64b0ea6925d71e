#!/usr/bin/env python3
"""capdump --report on captures of every kind: a damaged one, one of a single type, one of noise
only and an empty file. Each page must parse as HTML with every element closed in order, fetch
nothing (no src, href or url() anywhere), stay under 2 MiB and carry the --stats summary of its
capture.

Usage: report_page_check.py CAPDUMP CAPGEN WORKDIR
"""
import html.parser
import json
import os
import subprocess
import sys

VOID = {"meta", "br", "hr", "img", "input", "link", "col", "wbr", "area", "base", "source"}


class Checker(html.parser.HTMLParser):
    """Follows the open elements and collects what a self-contained page must not hold."""

    def __init__(self):
        super().__init__()
        self.open, self.faults, self.stats, self.in_stats = [], [], "", False

    def handle_starttag(self, tag, attrs):
        self.look_at(tag, attrs)
        if tag not in VOID:
            self.open.append(tag)
        self.in_stats = ("id", "capdump-stats") in attrs

    def handle_startendtag(self, tag, attrs):
        self.look_at(tag, attrs)

    def handle_endtag(self, tag):
        if not self.open or self.open[-1] != tag:
            self.faults.append(f"</{tag}> closes {self.open[-1:] or 'nothing'}")
        else:
            self.open.pop()
        self.in_stats = False

    def handle_data(self, data):
        if "url(" in data or "@import" in data:
            self.faults.append("a style that fetches")
        if self.in_stats:
            self.stats += data

    def look_at(self, tag, attrs):
        for name, _ in attrs:
            if name in ("src", "href", "xlink:href"):
                self.faults.append(f"<{tag} {name}> fetches")


def check(capdump, capture, page, extra):
    subprocess.run([capdump, "--report", page, *extra, capture], check=True)
    stats = subprocess.run([capdump, "--stats", "--format", "jsonl", *extra, capture],
                           check=True, capture_output=True, text=True).stdout
    with open(page, encoding="utf-8") as f:
        text = f.read()
    checker = Checker()
    checker.feed(text)
    checker.close()
    faults = checker.faults + [f"<{tag}> left open" for tag in checker.open]
    if len(text.encode()) >= 2 * 1024 * 1024:
        faults.append(f"{len(text.encode())} bytes")
    if json.loads(checker.stats or "null") != json.loads(stats):
        faults.append("the stats differ from --stats")
    print(f"{os.path.basename(page)}: {len(text.encode())} bytes, "
          f"{text.count('<svg class=')} charts, {'; '.join(faults) or 'ok'}")
    return not faults


def main():
    capdump, capgen, work = sys.argv[1:4]
    os.makedirs(work, exist_ok=True)
    path = lambda name: os.path.join(work, name)
    subprocess.run([capgen, "--size", "512k", "--damage", "all", "--damage-rate", "0.05",
                    path("damaged.cap")], check=True)
    subprocess.run([capgen, "--size", "64k", "--types", "10", path("one-type.cap")], check=True)
    with open(path("noise.cap"), "wb") as f:
        f.write(bytes(10000))
    open(path("empty.cap"), "wb").close()
    cases = [("damaged.cap", ["--recover"]), ("one-type.cap", []), ("noise.cap", []),
             ("empty.cap", [])]
    results = [check(capdump, path(name), path(name + ".html"), extra) for name, extra in cases]
    sys.exit(0 if all(results) else 1)


if __name__ == "__main__":
    main()
