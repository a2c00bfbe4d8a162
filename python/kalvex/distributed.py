"""Sweep, tolerance and sensitivity studies spread over a Dask cluster.

    from dask.distributed import Client
    import kalvex.distributed
    client = Client("tcp://scheduler:8786")
    result = kalvex.distributed.run_study("rifle-tolerance.json", client, chunk=500)

The study's rows are cut into chunks of `chunk` rows -- shards of the study engine, so row i
is the same run wherever it runs -- and each chunk is one task. The workers need the
kalvex package, not the study's files: the base report is read here and sent with the
study, and so is this machine's propellant library.
"""

import dataclasses
import json
import pathlib
import uuid

from . import _core
from .studies import StudyResult, StudySource, summary_of, table_of
from .table import Table

DEFAULT_CHUNK = 256  # rows per task: long enough to dwarf the scheduling cost of a task


def self_contained(study):
    """The source of the study with its base report replaced by the report's values, read
    here as kalvex-batch reads them, so that a worker on another machine runs the same
    input sets."""
    from . import load_report

    source = StudySource.of(study)
    spec = json.loads(source.text)
    if "base" in spec:
        spec["inputs"] = load_report(pathlib.Path(source.folder) / spec.pop("base")).to_dict()
    return dataclasses.replace(source, text=json.dumps(spec))


def chunk_bounds(rows, chunk):
    """[first, last) of each chunk, in row order."""
    if chunk < 1:
        raise ValueError("chunk must be at least 1 row")
    return [(first, min(first + chunk, rows)) for first in range(0, rows, chunk)]


def run_chunk(source, first, last):
    """One task: rows [first, last) of the study on one thread of the worker."""
    return _core.study_rows(*source.args(), first, last, 1)


def run_study(study, client, chunk=DEFAULT_CHUNK, retries=3):
    """Runs a sweep, tolerance or sensitivity study (a dict or the path of a study file) on the
    workers of a dask.distributed Client and returns the StudyResult that kalvex.study gives
    locally: the same table row for row, and the same statistics or indices.

    A chunk whose worker dies is run again, up to `retries` times (Dask's retries); the chunks
    are put back in row order, so no row is lost or doubled.
    """
    source = self_contained(study)
    kind = _core.study_kind(*source.args())
    if kind not in ("sweep", "tolerance", "sensitivity"):
        raise ValueError(f"a {kind} study runs as a whole: use kalvex.study")
    bounds = chunk_bounds(_core.study_size(*source.args()), chunk)
    # The study goes to the cluster once, not once per chunk.
    [shared] = client.scatter([source], broadcast=True)
    name = f"kalvex-rows-{uuid.uuid4().hex[:8]}"
    futures = [client.submit(run_chunk, shared, first, last, key=f"{name}-{first}", retries=retries)
               for first, last in bounds]
    tables = [table_of(parts) for parts in client.gather(futures)]
    table = Table.concatenate(tables) if tables else table_of(_core.study_rows(*source.args(), 0, 0, 1))
    return StudyResult(kind, table, summary_of(kind, source, table))
