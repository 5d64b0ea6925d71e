"""protolib.read against capdump's JSON Lines and --stats on damaged captures."""

import io
import os
import pathlib
import threading

import numpy as np
import pytest

import protolib
from conftest import capdump_lines


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


@pytest.mark.parametrize("recover", [False, True])
def test_every_field_matches_capdump(damaged, recover):
    flags = ["--errors"] + (["--recover"] if recover else [])
    lines = capdump_lines(*flags, str(damaged))
    capture = protolib.read(damaged, recover=recover)

    packets = [line for line in lines if "error" not in line]
    by_type = {}
    for line in packets:
        by_type.setdefault(line["type"], []).append(line)
    assert capture.types == sorted(by_type)
    for packet_type, expected in by_type.items():
        rows = capture[packet_type]
        assert len(rows) == len(expected)
        for row, line in zip(rows, expected):
            check_fields(row, line)

    errors = [(line["offset"], line["error"]) for line in lines if "error" in line]
    assert list(zip(capture.errors["offset"].tolist(), capture.errors["reason"].tolist())) == errors
    assert errors, "the damaged capture has rejected packets"


@pytest.mark.parametrize("recover", [False, True])
def test_stats_match_capdump(damaged, recover):
    flags = ["--stats", "--format", "jsonl"] + (["--recover"] if recover else [])
    expected = capdump_lines(*flags, str(damaged))[0]
    expected["packets_by_type"] = {int(t): n for t, n in expected["packets_by_type"].items()}
    assert protolib.read(damaged, recover=recover).stats == expected


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
            assert frame["entries_1_value" if packet_type == 21 else "entries_1_d2"].tolist() == (
                rows["entries"][:, 1]["value" if packet_type == 21 else "d2"].tolist())
            assert "entries_0_bytes_3" in frame
        assert frame["offset"].tolist() == rows["offset"].tolist()
