"""Many captures as one Dask DataFrame, for analyses that outgrow one machine.

    frame = protolib.dask.read_many(paths, 10)
    frame.groupby("file")["lead"].max().compute()

The same call runs on a Dask distributed cluster: each worker reads its captures itself, so
the paths must be readable there and the workers must import protolib.
"""

from __future__ import annotations

import os
from typing import Sequence, Union

import dask
import dask.dataframe
import pandas

import protolib

__all__ = ["read_many"]


def _frame(path: Union[str, "os.PathLike[str]"], packet_type: int) -> pandas.DataFrame:
    frame = protolib.read(path, types=[packet_type]).to_pandas(packet_type)
    frame.insert(0, "file", os.fspath(path))
    return frame


def read_many(
    paths: Sequence[Union[str, "os.PathLike[str]"]], packet_type: int
) -> "dask.dataframe.DataFrame":
    """The packets of packet_type in every capture of paths as one Dask DataFrame.

    One partition per capture, in the order of paths, each the capture's to_pandas(packet_type)
    with a first column "file" holding its path. Nothing is read until the frame is computed.
    """
    meta = _frame_meta(packet_type)
    parts = [dask.delayed(_frame)(path, packet_type) for path in paths]
    return dask.dataframe.from_delayed(parts, meta=meta, verify_meta=False)


def _frame_meta(packet_type: int) -> pandas.DataFrame:
    frame = protolib.read(b"", types=[packet_type]).to_pandas(packet_type)
    frame.insert(0, "file", pandas.Series([], dtype=object))
    return frame
