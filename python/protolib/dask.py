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
import numpy as np
import pandas

import protolib

__all__ = ["read_many"]


Path = Union[str, "os.PathLike[str]"]


def _frame(source: protolib.Source, name: str, packet_type: int, clock: Optional[str],
           keep_malformed: bool) -> pandas.DataFrame:
    """The capture's to_pandas(packet_type) after a column "file" of name, made at once."""
    capture = protolib.read(source, types=packet_type, clock=clock, keep_malformed=keep_malformed)
    file = np.full(len(capture[packet_type]), name, dtype=object)
    return capture._frame(packet_type, None, {"file": file})


def read_many(
    paths: Union[Path, Sequence[Path]], packet_type: int, *,
    clock: Optional[str] = None, keep_malformed: bool = False
) -> "dask.dataframe.DataFrame":
    """The packets of packet_type in every capture of paths as one Dask DataFrame.

    paths: one path (str or os.PathLike) or a sequence of them. One partition per capture, in
    the order of paths, each the capture's to_pandas(packet_type) with a first column "file"
    holding its path. clock and keep_malformed are read's: with a clock, each frame has a
    "time" column (seconds by that capture's clock). Nothing is read until the frame is
    computed; a bad clock raises ValueError at once.
    """
    if isinstance(paths, (str, os.PathLike)):
        paths = [paths]
    meta = _frame(b"", "", packet_type, clock, keep_malformed)
    parts = [dask.delayed(_frame)(path, os.fspath(path), packet_type, clock, keep_malformed)
             for path in paths]
    return dask.dataframe.from_delayed(parts, meta=meta, verify_meta=False)
