import os
from typing import Optional, Sequence, Union

import dask.dataframe

def read_many(
    paths: Union[str, os.PathLike[str], Sequence[Union[str, os.PathLike[str]]]],
    packet_type: int,
    *,
    clock: Optional[str] = ...,
    keep_malformed: bool = ...,
) -> dask.dataframe.DataFrame: ...
