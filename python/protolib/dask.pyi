import os
from typing import Sequence, Union

import dask.dataframe

def read_many(
    paths: Sequence[Union[str, os.PathLike[str]]], packet_type: int
) -> dask.dataframe.DataFrame: ...
