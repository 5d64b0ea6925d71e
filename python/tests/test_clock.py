"""Time from a clock on hand-built captures: gaps, a wrap of the counter, a reset."""

import math

import numpy as np
import pandas
import pytest

import protolib
from conftest import CLOCK

OTHER = protolib.encode(1, {"lead": 7})  # a packet of another type
TICK = len(protolib.encode(10, {}))
DROPOUT = [0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 400, 410]

# leads of the clock packets, gap, then the gaps as (index of the clock packet ending it, start,
# seconds), the resets, and the unwrapped ticks the clock shows at each clock packet.
CASES = {
    "a dropout": (DROPOUT, None, [(11, 0.1, 0.3)], 0, DROPOUT),
    "a dropout under the gap given": (DROPOUT, 0.4, [], 0, DROPOUT),
    "a wrap of the counter": ([4294967270, 4294967280, 4294967290, 4, 14], None, [], 0,
                              [4294967270, 4294967280, 4294967290, 4294967300, 4294967310]),
    "a reset": ([100, 110, 120, 50, 60], None, [], 1, [100, 110, 120, 120, 130]),
}


@pytest.mark.parametrize("case", sorted(CASES))
def test_time_gaps_and_resets(case):
    leads, gap, gaps, resets, ticks = CASES[case]
    data = OTHER + b"".join(protolib.encode(10, {"lead": lead}) for lead in leads) + OTHER
    capture = protolib.read(data, clock=CLOCK, gap=gap)
    times = [tick / 1000 for tick in ticks]

    assert capture[10]["time"].tolist() == times
    other = capture[1]["time"]
    assert math.isnan(other[0]) and other[1] == times[-1]
    assert [p.time for p in protolib.iter_packets(data, clock=CLOCK)][1:] == times + [times[-1]]
    assert capture.gaps.tolist() == [(len(OTHER) + i * TICK, start, seconds)
                                     for i, start, seconds in gaps]
    assert capture.stats["clock"]["resets"] == resets


def test_to_pandas_indexes_by_time():
    data = OTHER + b"".join(protolib.encode(10, {"lead": lead}) for lead in DROPOUT)
    capture = protolib.read(data, clock=CLOCK, types=[1, 10])
    frame = capture.to_pandas(10, index="time")
    assert isinstance(frame.index, pandas.TimedeltaIndex) and frame.index.name == "time"
    assert "time" not in frame and frame["lead"].tolist() == DROPOUT
    assert np.array_equal(frame.index.total_seconds(), capture[10]["time"])
    counts = frame["lead"].resample("100ms").count()
    assert counts.tolist() == [10, 1, 0, 0, 2]
    assert capture.to_pandas(1, index="time").index.isna().tolist() == [True]
