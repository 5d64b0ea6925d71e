"""protolib.read against capdump's JSON Lines and --stats on damaged captures."""

import io
import math
import os
import pathlib
import threading

import numpy as np
import pytest

import protolib
from conftest import CLOCK, capdump_lines, run

# The columns of a row before the record's fields.
HEAD = ("offset", "time", "length", "exact", "recovered")


def capdump_flags(recover=False, clock=None, keep_malformed=False, gap=None) -> list:
    """capdump's options for read's arguments (keep_malformed has none: capdump lists all)."""
    return ((["--recover"] if recover else []) + (["--clock", clock] if clock else [])
            + (["--gap", str(gap)] if gap else []))


def listed(rows: np.ndarray, names) -> list:
    """The named columns of rows as dicts, a NaN time as None (capdump's null)."""
    at = [rows.dtype.names.index(name) for name in names]
    return [{name: None if name == "time" and math.isnan(row[i]) else row[i]
             for name, i in zip(names, at)} for row in rows.tolist()]


def capdump_columns(line: dict, names) -> dict:
    """The named columns of capdump's object: exact where it has no form, recovered false where
    it does not say, a type or length it lacks -1, the reason of an error its "error"."""
    implied = {"exact": "form" not in line, "recovered": False, "type": -1, "length": -1,
               "reason": line.get("error")}
    return {name: line[name] if name in line else implied[name] for name in names}


def assert_field(value: np.ndarray, owner: dict, name: str):
    """A field's value in a row against capdump's object: numbers converted to the field's
    type (so float32 values compare as float32); a NaN or infinity by its bit pattern."""
    if owner[name] is None:
        bits = value.view(f"u{value.itemsize}")
        assert int(bits) == int(owner[f"{name}_bits"], 16), name
    else:
        assert np.array_equal(value, np.array(owner[name], dtype=value.dtype)), name


def check_fields(row, line: dict):
    """Every field of row against capdump's object for the same packet."""
    for name in row.dtype.names:
        if name in HEAD:
            continue
        if name == "payload":
            payload = bytes.fromhex(line["payload"])
            assert bytes(row["payload"][: len(payload)]) == payload
            assert not row["payload"][len(payload):].any()
        elif name == "entries":
            count = line["count"]
            entries = row["entries"]
            assert len(line["entries"]) == min(count, len(entries))
            for entry, expected in zip(entries, line["entries"]):
                for field in entries.dtype.names:
                    assert_field(entry[field], expected, field)
            assert not entries[count:].tobytes().strip(b"\0")
        else:
            assert_field(row[name], line, name)


READS = [{"recover": recover, "clock": clock, "keep_malformed": keep}
         for recover in (False, True) for clock in (None, CLOCK) for keep in (False, True)]


@pytest.mark.parametrize("options", READS, ids=str)
def test_every_row_matches_capdump(damaged, options):
    lines = capdump_lines("--errors", *capdump_flags(**options), str(damaged))
    capture = protolib.read(damaged, **options)
    packets = [line for line in lines if "error" not in line]
    errors = [line for line in lines if "error" in line]
    malformed = [line for line in packets if "form" in line]
    assert errors and malformed, "the damaged capture has rejected and malformed packets"

    by_type = {}
    for line in packets:
        if options["keep_malformed"] or "form" not in line:
            by_type.setdefault(line["type"], []).append(line)
    assert capture.types == sorted(by_type)
    for packet_type, expected in by_type.items():
        rows = capture[packet_type]
        head = [name for name in HEAD if name in rows.dtype.names]
        assert listed(rows, head) == [capdump_columns(line, head) for line in expected]
        for row, line in zip(rows, expected):
            check_fields(row, line)

    for rows, expected in [(capture.malformed, malformed), (capture.errors, errors)]:
        names = rows.dtype.names
        assert listed(rows, names) == [capdump_columns(line, names) for line in expected]
    for rows in [capture.malformed, capture.errors, *(capture[t] for t in capture.types)]:
        names = rows.dtype.names
        assert ("time" in names) == bool(options["clock"])
        assert ("recovered" in names) == (options["recover"] and rows is not capture.errors)


def keyed_by_int(stats: dict) -> dict:
    """capdump's stats with the objects keyed by type keyed by int, as read gives them."""
    for owner, key in [(stats, "packets_by_type"), (stats, "not_exact_by_type"),
                       (stats.get("clock", {}), "rate_by_type")]:
        if key in owner:
            owner[key] = {int(t): value for t, value in owner[key].items()}
    return stats


@pytest.mark.parametrize("options", [
    {"recover": False},
    {"recover": True},
    {"clock": CLOCK},
    {"clock": CLOCK, "recover": True, "gap": 0.015},
], ids=str)
def test_stats_and_gaps_match_capdump(damaged, options):
    expected = capdump_lines("--stats", "--format", "jsonl", *capdump_flags(**options),
                             str(damaged))[0]
    capture = protolib.read(damaged, **options)
    assert capture.stats == keyed_by_int(expected)
    assert expected["not_exact"] == len(capture.malformed)
    if "clock" in options:
        clock = expected["clock"]
        assert len(capture.gaps) == clock["gaps"]
        if "gap" in options and clock["steps"]:
            assert clock["gaps"], "15 ms finds the steps over lost clock packets"
        longest = sorted(capture.gaps.tolist(), key=lambda gap: -gap[2])[:10]
        assert [{"offset": offset, "time": start, "seconds": seconds}
                for offset, start, seconds in longest] == clock["longest_gaps"]
    else:
        assert len(capture.gaps) == 0


def test_types_keeps_the_types_asked_for(damaged):
    whole = protolib.read(damaged)
    absent = next(t for t in range(256) if t not in whole.types)
    kept = protolib.read(damaged, types=[10, 21, absent])
    assert kept.types == [t for t in whole.types if t in (10, 21)]
    for packet_type in kept.types:
        assert np.array_equal(kept[packet_type], whole[packet_type])
    assert len(kept[absent]) == 0 and kept[absent].dtype == whole[absent].dtype
    assert kept.stats == whole.stats


def pipe_reader(data: bytes):
    read_end, write_end = os.pipe()

    def feed():
        with os.fdopen(write_end, "wb") as out:
            out.write(data)

    threading.Thread(target=feed, daemon=True).start()
    return os.fdopen(read_end, "rb")


SOURCES = {
    "str": lambda path: str(path),
    "pathlib": lambda path: pathlib.Path(path),
    "bytes": lambda path: path.read_bytes(),
    "bytearray": lambda path: bytearray(path.read_bytes()),
    "memoryview": lambda path: memoryview(path.read_bytes()),
    "file": lambda path: open(path, "rb"),
    "unbuffered file": lambda path: open(path, "rb", buffering=0),
    "BytesIO": lambda path: io.BytesIO(path.read_bytes()),
    "pipe": lambda path: pipe_reader(path.read_bytes()),
}


@pytest.mark.parametrize("kind", sorted(SOURCES))
def test_every_kind_of_source_reads_the_same(damaged, kind):
    expected = protolib.read(damaged)
    capture = protolib.read(SOURCES[kind](damaged))
    assert capture.types == expected.types
    for packet_type in expected.types:
        assert np.array_equal(capture[packet_type], expected[packet_type])
    assert np.array_equal(capture.errors, expected.errors)
    assert protolib.listing(SOURCES[kind](damaged), 10).tolist() == protolib.listing(damaged, 10).tolist()


def test_to_pandas_spreads_arrays_into_columns(damaged):
    capture = protolib.read(damaged)
    for packet_type in capture.types:
        rows = capture[packet_type]
        frame = capture.to_pandas(packet_type)
        assert len(frame) == len(rows)
        if "words" in rows.dtype.names:
            width = rows.dtype["words"].shape[0]
            for i in range(width):
                assert frame[f"words_{i}"].tolist() == rows["words"][:, i].tolist()
            assert f"words_{width}" not in frame
        if "entries" in rows.dtype.names:
            for name in rows.dtype["entries"].base.names:
                column = rows["entries"][:, 1][name]
                if column.ndim == 1:
                    assert frame[f"entries_1_{name}"].tolist() == column.tolist()
                else:
                    assert f"entries_0_{name}_{column.shape[1] - 1}" in frame
        assert frame["offset"].tolist() == rows["offset"].tolist()


def test_version_is_the_programs():
    for name in ("capgen", "capdump", "dumpten", "dumptwo"):
        assert run(name, "--version") == f"{name} {protolib.__version__}\n"
