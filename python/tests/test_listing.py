"""protolib.listing against dumpten's and dumptwo's lines."""

import pytest

import protolib
from conftest import run


@pytest.mark.parametrize("packet_type, program, width", [(10, "dumpten", 42), (2, "dumptwo", 24)])
def test_listing_is_the_programs_numbers(damaged, packet_type, program, width):
    lines = run(program, str(damaged)).splitlines()
    numbers = protolib.listing(damaged, packet_type)
    assert numbers.dtype == "int64" and numbers.shape == (len(lines), width)
    assert numbers.tolist() == [[int(n) for n in line.split()] for line in lines]
