"""iter_packets and encode: packets one by one, and back to their bytes."""

import math
import socket
import threading

import protolib
from conftest import CLOCK, capdump_lines


def test_encode_gives_back_every_packet_iter_packets_read(damaged):
    data = damaged.read_bytes()
    packets = list(protolib.iter_packets(damaged))
    assert packets
    for offset, packet_type, fields in packets:
        packet = data[offset: offset + data[offset + 3] + 6]
        assert protolib.encode(packet_type, fields) == packet, (offset, fields)


def test_iter_packets_finds_what_read_finds(damaged):
    capture = protolib.read(damaged, keep_malformed=True)
    found = [(offset, packet_type) for offset, packet_type, _ in protolib.iter_packets(damaged)]
    expected = sorted((int(o), t) for t in capture.types for o in capture[t]["offset"])
    assert found == expected


def test_iter_packets_forms_and_times_are_capdumps(damaged):
    lines = capdump_lines("--clock", CLOCK, str(damaged))
    packets = list(protolib.iter_packets(damaged, clock=CLOCK))
    assert [(p.offset, p.type, p.form, None if math.isnan(p.time) else p.time)
            for p in packets] == [(line["offset"], line["type"], line.get("form", "exact"),
                                   line["time"]) for line in lines]
    assert all(math.isnan(p.time) for p in protolib.iter_packets(damaged))


def test_iter_packets_reads_a_socket_as_bytes_arrive(damaged):
    data = damaged.read_bytes()
    ours, theirs = socket.socketpair()

    def send():
        with theirs:
            for at in range(0, len(data), 1000):
                theirs.sendall(data[at: at + 1000])

    threading.Thread(target=send, daemon=True).start()
    with ours, ours.makefile("rb") as stream:
        from_socket = list(protolib.iter_packets(stream))
    assert from_socket == list(protolib.iter_packets(data))


def test_encode_fills_missing_fields_and_counts_entries():
    entries = [{"bytes": [1, 2, 3, 4, 5, 6], "value": -2}, {"value": 7}]
    packet = protolib.encode(21, {"lead": 5, "entries": entries})
    (offset, packet_type, fields), = protolib.iter_packets(packet)
    assert (offset, packet_type) == (0, 21)
    assert fields == {"lead": 5, "info": 0, "count": 2, "entries": [
        {"bytes": [1, 2, 3, 4, 5, 6], "value": -2}, {"bytes": [0] * 6, "value": 7}]}
    assert protolib.encode(200, {"payload": b"\x01\x02"}) == bytes(
        [0x81, 0xA1, 200, 2, 1, 2, 205, 42])
