#!/usr/bin/env python3
"""capdump --report on captures of every kind: a damaged one (with and without a clock), one of a
single type, one of noise only and an empty file. Each page must parse as HTML with every element
closed in order, fetch nothing (no src, href or url() anywhere), stay under 2 MiB and carry the
--stats summary of its capture; its packet rate chart must add up to the packets by type of
--stats, and its table of damaged packets must be the first of those the listing shows.

Usage: report_page_check.py CAPDUMP CAPGEN WORKDIR
"""
import html.parser
import json
import os
import re
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


CHART = '<svg class="chart"'
REASONS = {"checksum_a": "checksum A", "checksum_b": "checksum B",
           "oversize_length": "oversize length"}


def rate_faults(charts, stats):
    """The packet rate chart's rates times each slice's span, against --stats' packets by type."""
    x = charts["x"]
    rates = [c for c in charts["charts"] if c and c[0]["name"].startswith("type ")]
    if not rates:
        return ["no packet rate chart"] if stats["packets"] else []
    faults = []
    for series in rates[0]:
        if series["name"] == "other types":
            continue
        values = series["values"]
        spans = [min(x["slice"], x["extent"] - i * x["slice"]) for i in range(len(values))]
        scale = 1 if x["time"] else 1 / (1024 * 1024)
        total = sum(v * span * scale for v, span in zip(values, spans))
        expected = stats["packets_by_type"][series["name"][5:]]
        if abs(total - expected) > 1e-4 * expected + 1:
            faults.append(f"{series['name']}: the rates add up to {total:.1f}, not {expected}")
    return faults


def damaged_faults(capdump, capture, extra, text):
    """The damaged packets' table against the listing's first rejected and not exact packets."""
    lines = subprocess.run([capdump, "--errors", *extra, capture], check=True,
                           capture_output=True, text=True).stdout.splitlines()
    listed = []
    for line in map(json.loads, lines):
        reason = REASONS.get(line.get("error")) or line.get("form", "").replace("_", " ")
        if reason:
            listed.append([str(line["offset"]), str(line["type"]), str(line["length"]), reason])
    table = re.search(r'<table class="damaged">(.*?)</table>', text)
    rows = [re.findall(r"<td>(.*?)</td>", row)
            for row in re.findall(r"<tr><td>.*?</tr>", table.group(1) if table else "")]
    shown = [[row[0], *row[-3:]] for row in rows]
    if shown != listed[:100]:
        return [f"the damaged packets' table shows {len(shown)} rows, not the listing's first 100 "
                f"of {len(listed)}"]
    return []


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
    charts = re.search(r'<script type="application/json" id="capdump-charts">(.*?)</script>', text)
    charts = json.loads(charts.group(1)) if charts else None
    if charts:
        faults += rate_faults(charts, json.loads(stats))
    faults += damaged_faults(capdump, capture, extra, text)
    print(f"{os.path.basename(page)}: {len(text.encode())} bytes, "
          f"{text.count(CHART)} charts, {'; '.join(faults) or 'ok'}")
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
    cases = [("damaged.cap", ["--recover"]), ("damaged.cap", ["--recover", "--clock", "10.lead:ms"]),
             ("one-type.cap", []), ("noise.cap", []), ("empty.cap", [])]
    results = [check(capdump, path(name), path(f"{name}{len(extra)}.html"), extra)
               for name, extra in cases]
    sys.exit(0 if all(results) else 1)


if __name__ == "__main__":
    main()
