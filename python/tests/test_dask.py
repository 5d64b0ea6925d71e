"""protolib.dask.read_many on a local cluster of two worker processes."""

import distributed
import pandas

import protolib
import protolib.dask
from conftest import CLOCK, run


def test_read_many_on_two_worker_processes(tmp_path):
    paths = []
    for seed in (1, 2, 3):
        path = tmp_path / f"capture{seed}.cap"
        run("capgen", "--size", "64k", "--seed", str(seed), str(path))
        paths.append(str(path))
    frame = protolib.dask.read_many(paths, 10, clock=CLOCK)
    assert frame.npartitions == len(paths)

    with distributed.LocalCluster(n_workers=2, processes=True, threads_per_worker=1,
                                  dashboard_address=None) as cluster, distributed.Client(cluster):
        result = frame.compute()
        leads = frame.groupby("file")["lead"].max().compute()

    expected = []
    for path in paths:
        part = protolib.read(path, clock=CLOCK).to_pandas(10)
        part.insert(0, "file", path)
        expected.append(part)
    expected = pandas.concat(expected)
    pandas.testing.assert_frame_equal(result, expected)
    assert leads.to_dict() == expected.groupby("file")["lead"].max().to_dict()
