"""Studies from Python: the same engine, rows and results as kalvex-study."""

import json
import os
import pathlib
from dataclasses import dataclass

from . import _core
from .table import Table


@dataclass(frozen=True)
class StudyResult:
    """kind    -- "sweep", "solve", "fit" or "tolerance"
    table   -- the rows of a sweep or tolerance study (None for solve and fit)
    summary -- the tolerance statistics, or the result of a solve or fit, as the "summary"
               or the whole JSON of kalvex-study --json gives it (None for a sweep)
    """

    kind: str
    table: Table = None
    summary: dict = None


def study_source(study):
    """(JSON text, folder that its "base" path is relative to) of a study dict or file."""
    if isinstance(study, dict):
        return json.dumps(study), str(pathlib.Path.cwd())
    path = pathlib.Path(os.fspath(study))
    return path.read_text(encoding="utf-8"), str(path.parent)


def table_of(parts):
    columns, units = parts
    return Table(columns, units)


def run_study(study, threads=None):
    text, folder = study_source(study)
    kind = _core.study_kind(text, folder)
    if kind in ("solve", "fit"):
        return StudyResult(kind, None, json.loads(_core.solve_or_fit(text, folder)))
    table = table_of(_core.study_rows(text, folder, 0, _core.study_size(text, folder), threads))
    return StudyResult(kind, table, summary_of(kind, text, folder, table))


def summary_of(kind, text, folder, table):
    """The statistics of a tolerance study's rows; None for a sweep."""
    if kind != "tolerance":
        return None
    return json.loads(_core.tolerance_summary(text, folder, table.columns))
