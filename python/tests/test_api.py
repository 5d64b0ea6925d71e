"""The package as Python users expect it: Capture as a mapping, one int or one path where a list
is taken, no pandas warnings, payloads as bytes-like or hex, text files refused, named listing
columns, and f32 NaNs kept bit for bit."""

import io
import pathlib
import struct
import warnings

import pandas
import pytest

import protolib
import protolib.dask
from conftest import CLOCK


def test_capture_is_a_read_only_mapping(damaged):
    capture = protolib.read(damaged, clock=CLOCK)
    assert len(capture) == len(capture.types) > 1
    assert list(capture) == list(capture.keys()) == capture.types
    assert all(array is capture[t] for t, array in capture.items())
    first = capture.types[0]
    assert capture.get(first) is capture[first] and first in capture
    missing = next(t for t in range(256) if t not in capture)
    assert capture.get(missing) is None and capture.get(missing, "none") == "none"
    assert len(capture[missing]) == 0  # an empty array of the type's rows, as before
    with pytest.raises(TypeError):
        capture[first] = capture[first]


def test_repr_stays_short_with_many_stray_types():
    stray = b"".join(protolib.encode(t, {"payload": bytes([t])}) for t in range(100, 240))
    capture = protolib.read(stray, keep_malformed=True)
    assert len(capture) == 140
    assert len(repr(capture)) < 300 and "140 types" in repr(capture)


def test_one_int_or_one_path_is_taken(damaged):
    t = protolib.read(damaged).types[-1]
    assert protolib.read(damaged, types=t).types == protolib.read(damaged, types=[t]).types == [t]
    whole = protolib.dask.read_many([damaged], t).compute()
    for path in (str(damaged), pathlib.Path(damaged)):
        frame = protolib.dask.read_many(path, t)
        assert frame.npartitions == 1
        pandas.testing.assert_frame_equal(frame.compute(), whole)


def test_frames_of_every_type_raise_no_pandas_warning(damaged):
    capture = protolib.read(damaged, clock=CLOCK)
    with warnings.catch_warnings():
        warnings.simplefilter("error", pandas.errors.PerformanceWarning)
        for t in capture.types:
            capture.to_pandas(t)
            capture.to_pandas(t, index="time")
        protolib.dask.read_many([damaged], 21, clock=CLOCK).compute()


def test_payload_as_bytes_like_or_hex():
    payload = bytes(range(12))
    packet = protolib.encode(200, {"payload": payload})
    for given in (bytearray(payload), memoryview(payload), payload.hex()):
        assert protolib.encode(200, {"payload": given}) == packet
    strided = memoryview(payload)[::-1]
    assert protolib.encode(200, {"payload": strided}) == protolib.encode(
        200, {"payload": payload[::-1]})
    with pytest.raises(TypeError, match="hex"):
        protolib.encode(200, {"payload": 12})


def test_a_text_mode_file_is_refused(damaged):
    with open(damaged, encoding="latin-1") as text:
        for call in (protolib.read, lambda f: protolib.listing(f, 10), protolib.iter_packets):
            with pytest.raises(TypeError, match="binary"):
                call(text)


@pytest.mark.parametrize("listed, count, names", [
    (10, 42, {0: "1.uword", 2: "10.lead", 11: "10.words[8]", 13: "12.fresh", 41: "20.uwords[2]"}),
    (2, 24, {0: "2.lead", 11: "20.fresh", 23: "20.uwords[2]"}),
])
def test_listing_columns_name_each_number(damaged, listed, count, names):
    columns = protolib.listing_columns(listed)
    assert len(columns) == count == protolib.listing(damaged, listed).shape[1]
    assert {i: columns[i] for i in names} == names
    with pytest.raises(ValueError):
        protolib.listing_columns(3)


def test_a_signalling_nan_in_an_f32_comes_back_bit_for_bit():
    signalling = struct.unpack(">d", bytes.fromhex("7ff0000020000000"))[0]  # f32 7f800001
    packet = protolib.encode(22, {"entries": [{"f": signalling}]})
    assert bytes.fromhex("7f800001") in packet
    (_, _, fields), = protolib.iter_packets(io.BytesIO(packet))
    assert protolib.encode(22, fields) == packet


class _Reversed(io.RawIOBase):
    """A binary file whose read gives each block as a view with a negative stride over the
    block's bytes stored backwards: the right bytes in their order, its pointer at the end."""

    def __init__(self, data):
        self._data = data

    def readable(self):
        return True

    def read(self, size=-1):
        n = len(self._data) if size is None or size < 0 else size
        block, self._data = self._data[:n], self._data[n:]
        return memoryview(block[::-1])[::-1]


def test_a_strided_buffer_is_read_in_its_order(damaged):
    """A file object's read may give a strided view: its bytes in their indexed order, never the
    memory under its pointer (bytes before the buffer, or the wrong bytes)."""
    data = pathlib.Path(damaged).read_bytes()
    expected = protolib.read(data)
    got = protolib.read(_Reversed(data))
    assert got.types == expected.types
    assert all((got[t] == expected[t]).all() for t in expected.types)
    assert protolib.listing(_Reversed(data), 10).shape == protolib.listing(data, 10).shape
    with pytest.raises(BufferError):  # a strided source is refused, not misread
        protolib.read(memoryview(data)[::-1])


@pytest.mark.parametrize("call", [
    lambda data: protolib.read(data, types=[2**70]),
    lambda data: protolib.read(data, types=-1),
    lambda data: protolib.read(data, clock=5),
    lambda data: protolib.listing(data, 2**70),
    lambda data: protolib.iter_packets(data, clock=10.5),
    lambda data: protolib.encode(2**70, {}),
    lambda data: protolib.encode(1, [data]),
])
def test_a_wrong_argument_is_named_not_the_data(call):
    with pytest.raises((TypeError, ValueError)) as raised:
        call(bytes(1 << 20))
    assert len(str(raised.value)) < 200
