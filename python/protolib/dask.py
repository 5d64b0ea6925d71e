"""Many captures as one Dask DataFrame, for analyses that outgrow one machine.

    frame = protolib.dask.read_many(paths, 10, clock="10.lead:ms")
    frame.groupby("file")["lead"].max().compute()

The same call runs on a Dask distributed cluster: each worker reads its captures itself, so
the paths must be readable there and the workers must import protolib.
"""

from __future__ import annotations

import os
from typing import Optional, Sequence, Union

import dask
import dask.dataframe
import pandas

import protolib

__all__ = ["read_many"]


def _packets(source: protolib.Source, packet_type: int, clock: Optional[str],
             keep_malformed: bool) -> pandas.DataFrame:
    capture = protolib.read(source, types=[packet_type], clock=clock,
                            keep_malformed=keep_malformed)
    return capture.to_pandas(packet_type)


def _frame(path: Union[str, "os.PathLike[str]"], packet_type: int, clock: Optional[str],
           keep_malformed: bool) -> pandas.DataFrame:
    frame = _packets(path, packet_type, clock, keep_malformed)
    frame.insert(0, "file", os.fspath(path))
    return frame


def read_many(
    paths: Sequence[Union[str, "os.PathLike[str]"]], packet_type: int, *,
    clock: Optional[str] = None, keep_malformed: bool = False
) -> "dask.dataframe.DataFrame":
    """The packets of packet_type in every capture of paths as one Dask DataFrame.

    One partition per capture, in the order of paths, each the capture's to_pandas(packet_type)
    with a first column "file" holding its path. clock and keep_malformed are read's: with a
    clock, each frame has a "time" column (seconds by that capture's clock). Nothing is read
    until the frame is computed; a bad clock raises ValueError at once.
    """
    meta = _packets(b"", packet_type, clock, keep_malformed)
    meta.insert(0, "file", pandas.Series([], dtype=object))
    parts = [dask.delayed(_frame)(path, packet_type, clock, keep_malformed) for path in paths]
    return dask.dataframe.from_delayed(parts, meta=meta, verify_meta=False)
