#!/usr/bin/python3
"""Speed and memory of the Python package on a realistic capture, against a pure-Python parser.

Usage: PYTHONPATH=build/default/python /usr/bin/python3 bench/python_read.py [BUILD] [SIZE]

Makes a SIZE (default 128M) capgen recording with seed 1 in BUILD/bench-data (BUILD defaults to
build/default) and prints, files in the page cache:
  read          protolib.read: MB/s (best of 3), and its memory: the process's peak resident
                set (ru_maxrss) above its resident set before the first read, against the bytes
                of the arrays returned
  read clock    protolib.read with clock="10.lead:ms" against without: runs of the two taken in
                turn (5 each), the best of each, and the ratio of their times
  iter_packets  packets/s over the whole capture (best of 3)
  baseline      a pure-Python parser (bytes.find for the sync pair, the checksums summed in
                Python, struct for the fields) on the first 4 MiB: MB/s
"""

import os
import resource
import struct
import subprocess
import sys
import threading
import time
from pathlib import Path

import protolib
from protolib import _protolib

MIB = 1024 * 1024
CLOCK = "10.lead:ms"  # the clock capgen's instrument carries


def resident_bytes() -> int:
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")


def peak_resident_bytes() -> int:
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024


def make_capture(build: Path, size: str) -> Path:
    path = build / "bench-data" / f"python-realistic-{size}.cap"
    if not path.exists():
        path.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run([str(build / "capgen" / "capgen"), "--size", size, "--seed", "1", str(path)],
                       check=True)
    return path


def struct_formats() -> dict:
    """For each catalogue type, a struct reading its fields up to the count byte."""
    codes = {"u1": "B", "u2": "H", "i2": "h", "u4": "I", "i4": "i", "f4": "f", "f8": "d"}
    formats = {}
    for packet_type in range(256):
        dtype = _protolib.row_dtype(packet_type)
        if "payload" in dtype.names:
            continue
        text = ">"
        for name in dtype.names[dtype.names.index("exact") + 1:]:
            if name == "entries":
                break
            base, shape = dtype[name].base, dtype[name].shape
            text += codes[f"{base.kind}{base.itemsize}"] * (shape[0] if shape else 1)
        formats[packet_type] = struct.Struct(text)
    return formats


def baseline_parse(data: bytes, formats: dict) -> int:
    """Packets found by a straightforward pure-Python parser."""
    packets, at, end_of_data = 0, 0, len(data)
    while True:
        at = data.find(b"\x81\xa1", at)
        if at < 0 or at + 4 > end_of_data:
            return packets
        length = data[at + 3]
        end = at + 4 + length
        if end + 2 > end_of_data:
            return packets
        sum_a = sum_b = 0
        for byte in data[at + 2:end]:
            sum_a = (sum_a + byte) & 0xFF
            sum_b = (sum_b + sum_a) & 0xFF
        if data[end] != sum_a or data[end + 1] != sum_b:
            at += 1
            continue
        layout = formats.get(data[at + 2])
        if layout is not None and length >= layout.size:
            layout.unpack_from(data, at + 4)
        packets += 1
        at = end + 2


def best_of(runs: int, action):
    best, result = None, None
    for _ in range(runs):
        start = time.perf_counter()
        result = action()
        elapsed = time.perf_counter() - start
        best = elapsed if best is None else min(best, elapsed)
    return best, result


def main() -> None:
    build = Path(sys.argv[1] if len(sys.argv) > 1 else "build/default")
    size = sys.argv[2] if len(sys.argv) > 2 else "128M"
    path = make_capture(build, size)
    megabytes = path.stat().st_size / 1e6
    path.read_bytes()  # into the page cache

    before = resident_bytes()
    capture = protolib.read(path)
    peak = peak_resident_bytes() - before
    arrays = (sum(capture[t].nbytes for t in capture.types) + capture.malformed.nbytes
              + capture.errors.nbytes)
    del capture
    seconds, capture = best_of(3, lambda: protolib.read(path))
    packets = sum(len(capture[t]) for t in capture.types)
    print(f"capture      {path} ({megabytes:.1f} MB, {packets} packets)")
    print(f"read         {megabytes / seconds:7.0f} MB/s  {packets / seconds / 1e6:5.2f} M packets/s"
          f"  ({seconds:.3f} s)")
    print(f"read memory  peak {peak / MIB:.1f} MiB above the start for {arrays / MIB:.1f} MiB of"
          f" arrays: {peak / arrays:.2f} times")
    del capture

    plain, timed = [], []
    for _ in range(5):
        plain.append(best_of(1, lambda: protolib.read(path))[0])
        timed.append(best_of(1, lambda: protolib.read(path, clock=CLOCK))[0])
    print(f"read clock   {megabytes / min(timed):7.0f} MB/s with clock={CLOCK!r},"
          f" {megabytes / min(plain):.0f} MB/s without: {min(timed) / min(plain):.3f} times the"
          f" time (best of 5 each, taken in turn)")

    # The parse runs without the GIL: two threads reading a capture each take about the time
    # of one read, on a machine with two cores to spare.
    def on_two_threads() -> None:
        threads = [threading.Thread(target=protolib.read, args=(path,)) for _ in range(2)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()

    two_seconds, _ = best_of(3, on_two_threads)
    print(f"read threads two captures on two threads in {two_seconds:.3f} s, one after the other"
          f" {2 * seconds:.3f} s")

    seconds, count = best_of(3, lambda: sum(1 for _ in protolib.iter_packets(path)))
    print(f"iter_packets {count / seconds / 1e6:7.2f} M packets/s  ({megabytes / seconds:.0f} MB/s,"
          f" {seconds:.2f} s)")

    data = path.read_bytes()[: 4 * MIB]
    seconds, count = best_of(1, lambda: baseline_parse(data, struct_formats()))
    print(f"baseline     {len(data) / 1e6 / seconds:7.1f} MB/s  {count / seconds / 1e6:5.2f} M"
          f" packets/s  (pure Python, first 4 MiB, {count} packets)")


if __name__ == "__main__":
    main()
