"""Captures of the packet stream as NumPy arrays and pandas frames.

A capture is the raw byte stream: packets of sync pair 0x81 0xA1, type, length, big-endian
payload and two checksum bytes, with noise or damage between them. This package reads captures
with the C++ library, finding, rejecting and decoding packets exactly as capdump, dumpten and
dumptwo do.

    capture = protolib.read("run.cap", clock="10.lead:ms")
    capture.types            # [1, 2, 10, 12, 15, 20, ...]
    capture[10]["lead"]      # NumPy arrays, one row per exact packet
    capture[10]["time"]      # seconds by the clock: type 10's lead counts milliseconds
    capture.malformed        # the packets whose payload is not exactly their layout
    capture.to_pandas(10, index="time")  # a DataFrame, arrays spread into columns
"""

from __future__ import annotations

import io
import json
import operator
import os
from collections.abc import Mapping
from typing import Any, BinaryIO, Dict, Iterable, Iterator, List, Optional, Union

import numpy as np

from . import _protolib

__all__ = ["Capture", "Packet", "read", "listing", "listing_columns", "iter_packets", "encode"]

__version__: str = _protolib.__version__

Source = Union[str, "os.PathLike[str]", bytes, bytearray, memoryview, BinaryIO]


class Capture(Mapping):
    """The packets of one capture by type, those that are not exact, its rejected packets, its
    clock's gaps and its figures; see help(protolib.read) for the arrays' fields.

    A read-only mapping from type to array: len, iteration over the types with rows (in
    ascending order), keys, items, values, get and in. capture[t] is a NumPy structured array
    with one row per packet of type t in capture order; for a type 0 to 255 without rows it is
    an empty array of that type's row layout (get gives the default instead). clock is the
    clock read gave, or None. Captures compare and hash by identity.
    """

    __eq__ = object.__eq__
    __hash__ = object.__hash__

    def __init__(self, arrays: Dict[int, np.ndarray], malformed: np.ndarray, errors: np.ndarray,
                 gaps: np.ndarray, stats: Dict[str, Any], *, clock: Optional[str],
                 recovered: bool):
        self._arrays = arrays
        self.malformed = malformed
        self.errors = errors
        self.gaps = gaps
        self.stats = stats
        self.clock = clock
        self._recovered = recovered

    @property
    def types(self) -> List[int]:
        """The sorted types of the packets read (those kept by read's types and keep_malformed)."""
        return sorted(self._arrays)

    def __getitem__(self, packet_type: int) -> np.ndarray:
        rows = self._arrays.get(packet_type)
        if rows is None:
            dtype = _protolib.row_dtype(operator.index(packet_type), self.clock is not None,
                                        self._recovered)
            return np.empty(0, dtype=dtype)
        return rows

    def __contains__(self, packet_type: object) -> bool:
        return packet_type in self._arrays

    def __len__(self) -> int:
        return len(self._arrays)

    def __iter__(self) -> Iterator[int]:
        return iter(self.types)

    def get(self, packet_type: int, default: Any = None) -> Any:
        return self._arrays.get(packet_type, default)

    def __repr__(self) -> str:
        shown = self.types[:_REPR_TYPES]
        counts = ", ".join(f"{t}: {len(self._arrays[t])}" for t in shown)
        if len(self._arrays) > len(shown):
            counts += f", ... {len(self._arrays)} types"
        return (f"<protolib.Capture packets {{{counts}}}, {len(self.malformed)} malformed,"
                f" {len(self.errors)} errors>")

    def to_pandas(self, packet_type: int,
                  index: Optional[str] = None) -> "pandas.DataFrame":  # noqa: F821
        """The packets of packet_type as a pandas DataFrame, one column per scalar.

        Arrays are spread into one column per element: words becomes words_0 ... words_8, and
        counted entries entries_0_value, entries_0_bytes_0, ... for every entry up to the
        capacity (entries past a packet's count are 0).

        index: None for a RangeIndex; "time" for a TimedeltaIndex named "time" made of the time
        column (which the frame then lacks): the clock's seconds, NaT before its first packet,
        so that resample and time slicing work. A clock counts from an arbitrary point, not
        from a date, hence time spans and not datetimes. Raises ValueError for "time" when the
        capture was read without a clock, and for any other index.
        """
        return self._frame(packet_type, index)

    def _frame(self, packet_type: int, index: Optional[str],
               first: Optional[Dict[str, Any]] = None) -> "pandas.DataFrame":  # noqa: F821
        """to_pandas with the columns of first before the packets': built at once, one block a
        dtype, so that no column is inserted into a frame of many (pandas warns of that)."""
        import pandas

        if index not in (None, "time"):
            raise ValueError(f"index is None or 'time', not {index!r}")
        if index == "time" and self.clock is None:
            raise ValueError("index='time' needs a clock: read the capture with clock=...")
        columns = dict(first or {})
        columns.update(_columns(self[packet_type]))
        time = columns.pop("time") if index == "time" else None
        frame = pandas.DataFrame(columns, copy=False)
        if time is not None:
            frame.index = pandas.TimedeltaIndex(_timedeltas(time), name="time")
        return frame


# The types a Capture's repr names at most.
_REPR_TYPES = 16


def _timedeltas(seconds: np.ndarray) -> np.ndarray:
    """Seconds as timedelta64[ns] to the nearest nanosecond, NaN as NaT."""
    nanoseconds = np.round(seconds * 1e9)
    missing = np.isnan(nanoseconds)
    nanoseconds[missing] = 0
    values = nanoseconds.astype(np.int64).view("timedelta64[ns]")
    values[missing] = np.timedelta64("NaT")
    return values


def _columns(rows: np.ndarray, prefix: str = "") -> Dict[str, np.ndarray]:
    """The columns of structured rows, sub-arrays and nested fields spread and named by path."""
    columns: Dict[str, np.ndarray] = {}
    for name in rows.dtype.names:
        values = rows[name]
        if values.ndim > 1:
            for index in range(values.shape[1]):
                columns.update(_columns_of(values[:, index], f"{prefix}{name}_{index}"))
        else:
            columns.update(_columns_of(values, prefix + name))
    return columns


def _columns_of(values: np.ndarray, name: str) -> Dict[str, np.ndarray]:
    if values.dtype.names:
        return _columns(values, name + "_")
    if values.ndim > 1:
        return {f"{name}_{i}": values[:, i] for i in range(values.shape[1])}
    return {name: values}


def read(source: Source, *, types: Union[int, Iterable[int], None] = None, recover: bool = False,
         clock: Optional[str] = None, keep_malformed: bool = False,
         gap: Optional[float] = None) -> Capture:
    """Reads a whole capture into NumPy arrays, one per packet type.

    source: a path (str or os.PathLike), a bytes-like object (the capture's bytes) or a binary
        file object (read with read1() or read() to its end).
    types: the packet type to keep, or the types (0 to 255); None keeps every type.
    recover: also find the packets a rejected packet swallowed, as capdump --recover does.
    clock: "TYPE.FIELD[:UNIT]", as capdump --clock: the scalar integer field FIELD of the
        catalogue type TYPE counts ticks of UNIT (ns, us, ms, s, the default, or a number of
        seconds); capgen's recordings carry "10.lead:ms". A packet's time is the clock's latest
        value at or before it, in seconds: only exact clock packets move the clock, which is
        unwrapped by its field's width; a step back of less than half its range is a reset,
        after which time goes on from where it stood, so time never goes back.
    keep_malformed: also give rows to the packets that are not exact.
    gap: with a clock, a step of the clock longer than this many seconds is a gap, as capdump
        --gap; None: longer than five median steps.

    Returns a Capture. capture[t] is a structured array, one row per packet of type t in capture
    order: by default the exact packets only (those whose payload is exactly their type's
    layout: with counted entries, the header and count entries within the capacity), with
    keep_malformed every packet. Its fields:
      offset     uint64   where the packet's sync pair starts, as capdump prints it
      time       float64  with a clock: its time in seconds, NaN before the first clock packet
      length     uint8    the length byte
      exact      bool     the packet is exact
      recovered  bool     with recover: only the recovery found it (capdump's "recovered")
      then the record's fields in declared order with their C types (uint8, uint16, int16,
      uint32, int32, float32, float64); arrays are sub-array fields (words: int16 x 9); types 21
      and 22 have info, count and entries, a sub-array of the capacity (16 and 10) whose fields
      are the entry's (entries past count are 0). Fields past the end of a short payload are 0,
      as in capdump. Types outside the catalogue have payload (uint8 x 255, 0 past the length);
      their packets are never exact.
    capture.malformed: the packets of the kept types that are not exact, kept or not: offset
      (uint64), time (float64, with a clock), type (uint8), length (uint8), form (capdump's
      "form": short, long, over_capacity or unknown), recovered (bool, with recover).
    capture.errors: the rejected packets and one cut off at the end: offset (uint64), time
      (float64, with a clock), reason (capdump's names: checksum_a, checksum_b,
      oversize_length, and unfinished for the cut-off packet), type and length (int16, as
      capdump --errors gives them; -1 where it has none: a cut-off packet has its type when 3
      bytes of it arrived, its length when 4 did).
    capture.gaps: the clock's gaps in capture order: offset (uint64, of the clock packet that
      ends the gap), start (float64, the time before it) and seconds (float64); empty without a
      clock.
    capture.stats: the figures capdump --stats --format jsonl prints (with --clock and --gap
      when given), by its JSON keys; objects keyed by type (packets_by_type,
      not_exact_by_type, the clock's rate_by_type) are keyed by int.

    Raises FileNotFoundError or another OSError naming the path, TypeError for a source of
    another kind, ValueError for a type outside 0..255, a clock that names no integer field of
    a catalogue type (the message lists the type's fields), or a gap that is not a positive
    number or comes without a clock. The GIL is released while the capture is parsed (not while
    a file object's read runs), so threads reading different captures run in parallel. Ctrl-C
    raises KeyboardInterrupt part-way, also while a pipe or FIFO sends nothing (as in listing
    and iter_packets).
    """
    if types is None:
        kept = None
    elif hasattr(types, "__index__"):
        kept = [_type(types)]
    else:
        kept = [_type(t) for t in types]
    arrays, malformed, errors, gaps, stats_json = _protolib.read(
        _binary(source), kept, bool(recover), bool(keep_malformed), _clock(clock),
        None if gap is None else float(gap))
    return Capture(arrays, malformed, errors, gaps, _stats(stats_json), clock=clock,
                   recovered=bool(recover))


def _stats(text: str) -> Dict[str, Any]:
    """capdump's stats object, with the objects keyed by type keyed by int."""
    stats = json.loads(text)
    keyed = [(stats, "packets_by_type"), (stats, "not_exact_by_type")]
    if "clock" in stats:
        keyed.append((stats["clock"], "rate_by_type"))
    for owner, key in keyed:
        owner[key] = {int(t): value for t, value in owner[key].items()}
    return stats


def listing(source: Source, packet_type: int) -> np.ndarray:
    """The numbers of dumpten's (packet_type 10) or dumptwo's (packet_type 2) lines.

    Returns an int64 array of shape (lines, 42) or (lines, 24): row i holds the numbers of line
    i of the program's output for the same input, in the same order, found by the same decoding
    (the newest packet of each type, fresh flags as the program shows and clears them). source
    is as for read. Raises ValueError for another packet_type.
    """
    return _protolib.listing(_binary(source), _type(packet_type))


def listing_columns(packet_type: int) -> List[str]:
    """The names of the columns of listing(source, packet_type): those of the README's tables of
    dumpten's (packet_type 10) and dumptwo's (packet_type 2) lines. Raises ValueError for
    another packet_type."""
    return list(_protolib.listing_columns(_type(packet_type)))


# Arguments are checked here, before the extension sees them: its own message for an argument
# it cannot take would quote every argument, the whole capture among them.
def _type(packet_type: Any) -> int:
    """packet_type as an int, refused with ValueError outside 0..255."""
    value = operator.index(packet_type)
    if not 0 <= value <= 255:
        raise ValueError(f"a packet type is 0 to 255, not {value}")
    return value


def _clock(clock: Any) -> Optional[str]:
    """clock, refused with TypeError unless a str (bytes taken as ASCII, as before) or None."""
    if isinstance(clock, bytes):
        return clock.decode("ascii", errors="replace")
    if clock is not None and not isinstance(clock, str):
        raise TypeError(f"clock is a str such as '10.lead:ms', or None, not "
                        f"{type(clock).__name__}")
    return clock


def _binary(source: Source) -> Source:
    """source, refused with TypeError when it is a file opened in text mode."""
    if isinstance(source, io.TextIOBase):
        raise TypeError(f"{getattr(source, 'name', 'the file')!r} is open in text mode: a "
                        "capture is binary, open it with open(path, 'rb')")
    return source


Packet = _protolib.Packet


def iter_packets(source: Source, *, clock: Optional[str] = None) -> Iterator[Packet]:
    """The packets of a capture one by one, read a block at a time, as Packet tuples.

    For captures too large to hold, and for pipes and sockets (a binary file object is read with
    read1() where it has one, so packets come as soon as their bytes arrive). Packets are framed
    as capdump frames them without --recover; rejected packets are passed over.

    A Packet is the tuple (offset, type, fields), so `for offset, type, fields in
    iter_packets(...)` works, with two more attributes besides offset, type and fields:
      form  str    "exact", or as capdump's "form": "short", "long", "over_capacity" (a count
                   byte above the entries' capacity) or "unknown" (a type outside the catalogue)
      time  float  seconds by clock (as for read), NaN without a clock or before its first
                   packet
    fields is a dict of the record's fields by name: arrays as lists, entries as a list of dicts
    up to the count; packets that are not exact (whose fields do not give back their payload)
    also have "payload" as bytes. encode(type, fields) gives back the packet's bytes.

    The source is opened at once (raising as read does, and ValueError for a clock read
    refuses); packets are read as the iterator is.
    """
    stream = _protolib.PacketStream(_binary(source), _clock(clock))

    def packets() -> Iterator[Packet]:
        for block in iter(stream.next_block, None):
            yield from block

    return packets()


def encode(packet_type: int, fields: Dict[str, Any]) -> bytes:
    """One whole packet (sync pair, type, length, payload, checksums) from its fields.

    fields as iter_packets gives them: the record's fields by name, missing ones 0; "count",
    when missing, is the number of "entries". When fields has "payload" (a bytes-like object,
    or a str of hex digits as capdump's JSON Lines carry it), those bytes are the payload and
    the other fields are not read (any type 0 to 255). Uses the library's encoder.
    The values go by the rules capgen --from-jsonl goes by, and are refused in its words: an
    integer within its field's range; a float32 field takes the float whose shortest decimal
    text reads as the number (a NaN keeps its bits) and refuses a finite number beyond float32;
    "count" given with "entries" must be their number.
    Raises ValueError for a type outside the catalogue without "payload", an unknown field, or a
    value that does not fit its field, naming the field (an entry's as "entries[i] field 'f'");
    TypeError for a value of the wrong kind.
    """
    payload = fields.get("payload") if isinstance(fields, dict) else None
    if payload is not None:
        try:
            as_bytes = (bytes.fromhex(payload) if isinstance(payload, str)
                        else memoryview(payload).tobytes())
        except TypeError:
            raise TypeError("payload is bytes-like or a str of hex digits, not "
                            f"{type(payload).__name__}") from None
        fields = {**fields, "payload": as_bytes}
    if not isinstance(fields, dict):
        raise TypeError(f"fields is a dict, not {type(fields).__name__}")
    return _protolib.encode(_type(packet_type), fields)
