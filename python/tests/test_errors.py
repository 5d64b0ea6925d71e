"""Bad input raises Python exceptions."""

import io
import json
import subprocess

import pytest

import protolib
from conftest import CLOCK, program

CALLS = {
    "read": protolib.read,
    "listing": lambda source: protolib.listing(source, 10),
    "iter_packets": lambda source: list(protolib.iter_packets(source)),
}


@pytest.mark.parametrize("call", sorted(CALLS))
def test_a_missing_or_unreadable_path_names_the_path(call, tmp_path):
    missing = tmp_path / "missing.cap"
    with pytest.raises(FileNotFoundError) as raised:
        CALLS[call](missing)
    assert raised.value.filename == str(missing)
    with pytest.raises(IsADirectoryError) as raised:
        CALLS[call](str(tmp_path))
    assert raised.value.filename == str(tmp_path)


class FailingFile:
    def read(self, size):
        raise OSError("the device went away")


@pytest.mark.parametrize("call", sorted(CALLS))
@pytest.mark.parametrize("source, error", [
    (42, TypeError),
    (None, TypeError),
    (io.StringIO("text"), TypeError),
    (FailingFile(), OSError),
])
def test_a_bad_source_raises(call, source, error):
    with pytest.raises(error):
        CALLS[call](source)


@pytest.mark.parametrize("call", [
    lambda: protolib.read(b"", types=[256]),
    lambda: protolib.read(b"", types=[-1]),
    lambda: protolib.read(b"")[300],
    lambda: protolib.listing(b"", 3),
    lambda: protolib.encode(256, {}),
    lambda: protolib.encode(5, {"lead": 1}),
    lambda: protolib.encode(1, {"lead": 1, "lede": 2}),
    lambda: protolib.encode(1, {"uword": 70000}),
    lambda: protolib.encode(2, {"words": [1, 2, 3]}),
    lambda: protolib.encode(21, {"entries": [{}] * 17}),
    lambda: protolib.encode(21, {"entries": [{"valu": 1}]}),
    lambda: protolib.encode(3, {"payload": bytes(256)}),
    lambda: protolib.read(b"", gap=1.0),
    lambda: protolib.read(b"", clock=CLOCK, gap=0),
    lambda: protolib.read(b"", clock=CLOCK, gap=float("nan")),
    lambda: protolib.read(b"").to_pandas(10, index="time"),
    lambda: protolib.read(b"", clock=CLOCK).to_pandas(10, index="lead"),
])
def test_a_bad_type_or_field_raises_value_error(call):
    with pytest.raises(ValueError):
        call()


@pytest.mark.parametrize("packet_type, fields, named", [
    (22, {"entries": [{"f": 1e39}]}, "entries[0] field 'f' "),
    (22, {"entries": [{"d1": 0.5}, {"f": -3.5e38}]}, "entries[1] field 'f' "),
    (21, {"count": 2, "entries": [{}]}, "field 'entries' "),
    (21, {"count": 0, "entries": [{"value": 1}]}, "field 'entries' "),
    (21, {"count": 256}, "field 'count' "),
    (21, {"entries": [{"value": 32768}]}, "entries[0] field 'value' "),
    (1, {"uword": 65536}, "field 'uword' "),
    (2, {"words": [0] * 8 + [-32769]}, "field 'words' "),
])
def test_encode_refuses_what_capgen_refuses_in_the_same_words(packet_type, fields, named,
                                                              tmp_path):
    capgen = subprocess.run(
        [program("capgen"), "--from-jsonl", "-", str(tmp_path / "out.cap")],
        input=json.dumps({"type": packet_type, **fields}), capture_output=True, text=True)
    with pytest.raises(ValueError) as raised:
        protolib.encode(packet_type, fields)
    assert str(raised.value).startswith(named)
    assert capgen.returncode != 0 and capgen.stderr.endswith(f":1: {raised.value}\n")


def test_a_field_of_the_wrong_kind_raises_type_error():
    with pytest.raises(TypeError):
        protolib.encode(1, {"lead": "one"})


@pytest.mark.parametrize("call", ["read", "iter_packets"])
@pytest.mark.parametrize("clock, named", [
    ("10.lede", "its scalar integer fields: lead, tail"),
    ("10.words", "its scalar integer fields: lead, tail"),
    ("7.lead", "TYPE is a catalogue type"),
    ("10.lead:fortnight", "ns, us, ms, s"),
])
def test_a_bad_clock_raises_value_error_naming_what_is_valid(call, clock, named):
    with pytest.raises(ValueError, match=named):
        list(getattr(protolib, call)(b"", clock=clock))
