"""Ctrl-C stops a read that would otherwise go on for ever: /dev/zero never ends, and a FIFO
whose writer keeps it open but writes nothing never has bytes."""

import os
import signal
import subprocess
import sys
import time

import pytest

# Each call reads its source to the end; the child prints "reading" just before it.
CALLS = {
    "read": "protolib.read(path)",
    "listing": "protolib.listing(path, 10)",
    "iter_packets": "list(protolib.iter_packets(path))",
}

CHILD = """
import signal, sys, time
import protolib
signal.signal(signal.SIGINT, signal.default_int_handler)  # also when started with it ignored
path = sys.argv[1]
print("reading", flush=True)
try:
    {call}
except KeyboardInterrupt:
    print(time.monotonic(), flush=True)
    sys.exit(3)
"""

# Bounds of the test, not of the reaction (which is measured in milliseconds): the child is
# signalled once it is well into its read, and must be gone within seconds even on a loaded
# machine.
SETTLE_SECONDS = 0.3
EXIT_SECONDS = 5


@pytest.fixture(params=["/dev/zero", "idle fifo"])
def endless(request, tmp_path):
    """A path whose reading never ends."""
    if request.param == "/dev/zero":
        yield request.param
        return
    fifo = tmp_path / "idle.fifo"
    os.mkfifo(fifo)
    writer = os.open(fifo, os.O_RDWR)  # a writer that never writes; opening never blocks
    yield str(fifo)
    os.close(writer)


@pytest.mark.parametrize("call", sorted(CALLS))
def test_ctrl_c_raises_keyboard_interrupt_while_reading(call, endless):
    child = subprocess.Popen(
        [sys.executable, "-c", CHILD.format(call=CALLS[call]), endless],
        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    try:
        assert child.stdout.readline() == "reading\n", child.stderr.read()
        time.sleep(SETTLE_SECONDS)
        signalled = time.monotonic()
        child.send_signal(signal.SIGINT)
        out, err = child.communicate(timeout=EXIT_SECONDS)
    finally:
        child.kill()
        child.wait()
    assert child.returncode == 3, err
    latency = float(out) - signalled
    print(f"{call} of {endless}: KeyboardInterrupt {latency * 1000:.1f} ms after SIGINT")
