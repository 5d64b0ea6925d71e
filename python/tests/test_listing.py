"""protolib.listing against dumpten's and dumptwo's lines, and the memory it takes."""

import subprocess
import sys

import pytest

import protolib
from conftest import run


@pytest.mark.parametrize("packet_type, program, width", [(10, "dumpten", 42), (2, "dumptwo", 24)])
def test_listing_is_the_programs_numbers(damaged, packet_type, program, width):
    lines = run(program, str(damaged)).splitlines()
    numbers = protolib.listing(damaged, packet_type)
    assert numbers.dtype == "int64" and numbers.shape == (len(lines), width)
    assert numbers.tolist() == [[int(n) for n in line.split()] for line in lines]


# Run in a process of its own: the peak resident set of the process (VmHWM), set back to the
# resident set just before the listing, is the listing's peak.
PEAK_CHILD = """
import sys
import protolib

def status(key):
    with open("/proc/self/status") as lines:
        return next(int(line.split()[1]) * 1024 for line in lines if line.startswith(key))

with open("/proc/self/clear_refs", "w") as clear_refs:
    clear_refs.write("5")  # VmHWM starts again from VmRSS
before = status("VmRSS:")
numbers = protolib.listing(sys.argv[1], int(sys.argv[2]))
print(numbers.nbytes, status("VmHWM:") - before)
"""


@pytest.mark.parametrize("packet_type", [10, 2])
def test_listing_holds_little_more_than_its_result(tmp_path, packet_type):
    capture = tmp_path / "8M.cap"  # its packets all listed: a result of tens of megabytes
    run("capgen", "--size", "8M", "--seed", "7", "--types", str(packet_type), str(capture))
    result, peak = map(int, subprocess.run(
        [sys.executable, "-c", PEAK_CHILD, str(capture), str(packet_type)],
        check=True, capture_output=True, text=True).stdout.split())
    assert result > 0
    # The ring, the decoder and a read block, and the last large page of the result.
    overhead = 8 * 1024 * 1024
    assert peak <= 1.2 * result + overhead, f"peak {peak} bytes for {result} bytes of numbers"
