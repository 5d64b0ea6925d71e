import os
from typing import Any, BinaryIO, Dict, Iterable, Iterator, List, Optional, Tuple, Union

import numpy as np
import numpy.typing as npt
import pandas

Source = Union[str, os.PathLike[str], bytes, bytearray, memoryview, BinaryIO]

class Capture:
    malformed: np.ndarray
    errors: np.ndarray
    gaps: np.ndarray
    stats: Dict[str, Any]
    clock: Optional[str]
    @property
    def types(self) -> List[int]: ...
    def __getitem__(self, packet_type: int) -> np.ndarray: ...
    def __contains__(self, packet_type: object) -> bool: ...
    def to_pandas(self, packet_type: int, index: Optional[str] = ...) -> pandas.DataFrame: ...

class Packet(Tuple[int, int, Dict[str, Any]]):
    @property
    def offset(self) -> int: ...
    @property
    def type(self) -> int: ...
    @property
    def fields(self) -> Dict[str, Any]: ...
    @property
    def form(self) -> str: ...
    @property
    def time(self) -> float: ...

def read(
    source: Source,
    *,
    types: Optional[Iterable[int]] = ...,
    recover: bool = ...,
    clock: Optional[str] = ...,
    keep_malformed: bool = ...,
    gap: Optional[float] = ...,
) -> Capture: ...
def listing(source: Source, packet_type: int) -> npt.NDArray[np.int64]: ...
def iter_packets(source: Source, *, clock: Optional[str] = ...) -> Iterator[Packet]: ...
def encode(packet_type: int, fields: Dict[str, Any]) -> bytes: ...
