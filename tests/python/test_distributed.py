"""A tolerance study on a local Dask cluster of two worker processes against the local run."""

import os
import signal
import threading

import pytest

import kalvex
import kalvex.distributed
from conftest import STUDIES

distributed = pytest.importorskip("distributed")

TOLERANCE = STUDIES / "rifle-7.62mm-tolerance.json"


@pytest.fixture(scope="module")
def client():
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, distributed.Client(cluster) as c:
        yield c


SENSITIVITY = {"kind": "sensitivity", "base": str(STUDIES.parent / "rifle-7.62mm.txt"),
               "sensitivity": {"parameters": [{"parameter": "C", "sigma": 0.00002},
                                              {"parameter": "beta", "sigma": 1e-10}], "samples": 10}}


@pytest.mark.parametrize("study", [TOLERANCE, STUDIES / "howitzer-155mm-propellants-sweep.json", SENSITIVITY])
def test_distributed_table_equals_local_row_for_row(client, study):
    local = kalvex.study(study, threads=1)
    remote = kalvex.distributed.run_study(study, client, chunk=4)  # uneven last chunk
    assert remote.table == local.table and remote.summary == local.summary
    assert list(remote.table["run"]) == list(range(1, len(local.table) + 1))


def test_a_worker_killed_mid_study_loses_no_row(client):
    local = kalvex.study(TOLERANCE, threads=2)
    pids = list(client.run(os.getpid).values())
    done = {}
    study = threading.Thread(target=lambda: done.update(result=kalvex.distributed.run_study(TOLERANCE, client, chunk=10)))
    study.start()
    while not any(client.processing().values()) and study.is_alive():
        threading.Event().wait(0.05)
    os.kill(pids[0], signal.SIGKILL)  # its nanny starts a new worker; its chunks run again
    study.join(timeout=240)
    assert done["result"].table == local.table


def test_solve_and_bad_chunks_are_refused(client):
    with pytest.raises(ValueError, match="runs as a whole"):
        kalvex.distributed.run_study(STUDIES / "rifle-7.62mm-solve.json", client)
    with pytest.raises(ValueError, match="chunk must be at least 1"):
        kalvex.distributed.run_study(TOLERANCE, client, chunk=0)
