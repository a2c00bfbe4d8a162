"""Studies from Python: the same engine, rows and results as kalvex-study."""

import json
import os
import pathlib
from dataclasses import dataclass

from . import _core
from .table import Table

SHIPPED_PROPELLANTS = pathlib.Path(__file__).with_name("propellants.json")


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


@dataclass(frozen=True)
class StudySource:
    """A study as the engine reads it: its JSON text, the folder its "base" is relative to,
    and the propellant library its names are looked up in, as (rows, problems)."""

    text: str
    folder: str
    library: tuple

    @classmethod
    def of(cls, study, integrator=None):
        """The source of a study dict (its base relative to the working folder) or file;
        `integrator` (the "integrator" object of a study file) replaces the study's own."""
        if isinstance(study, dict):
            spec, folder = study, str(pathlib.Path.cwd())
        else:
            path = pathlib.Path(os.fspath(study))
            try:
                spec, folder = path.read_text(encoding="utf-8"), str(path.parent)
            except UnicodeDecodeError as e:
                raise ValueError(f"{path}: not UTF-8 text (byte 0x{e.object[e.start]:02x} at offset {e.start})") from None
        if integrator is not None:
            spec = dict(json.loads(spec) if isinstance(spec, str) else spec, integrator=integrator)
        text = spec if isinstance(spec, str) else json.dumps(spec)
        return cls(text, folder, propellant_library())

    def args(self):
        return self.text, self.folder, self.library


# Kinds that run as a whole on one thread; the others have rows.
WHOLE_KINDS = ("solve", "fit", "optimize")


def propellant_library():
    """(rows, problems): the library shipped in the package, then the user's."""
    return _core.propellant_library(str(SHIPPED_PROPELLANTS))


def table_of(parts):
    columns, units = parts
    return Table(columns, units)


def integrator_spec(integrator, rtol, atol):
    """The "integrator" object of a study file for the arguments of run, run_many and study;
    None when none of them is given."""
    if integrator is None and rtol is None and atol is None:
        return None
    spec = {"method": integrator or "adaptive"}
    if rtol is not None:
        spec["relativeTolerance"] = rtol
    if atol is not None:
        spec["absoluteTolerance"] = atol
    return spec


def run_study(study, threads=None, integrator=None):
    source = StudySource.of(study, integrator)
    kind = _core.study_kind(*source.args())
    if kind in WHOLE_KINDS:
        return StudyResult(kind, None, json.loads(_core.solve_or_fit(*source.args())))
    rows = _core.study_size(*source.args())
    table = table_of(_core.study_rows(*source.args(), 0, rows, threads))
    return StudyResult(kind, table, summary_of(kind, source, table))


def summary_of(kind, source, table):
    """The statistics of a tolerance study's rows, the indices of a sensitivity study's (which
    need all of them); None for a sweep."""
    if kind == "tolerance":
        return json.loads(_core.tolerance_summary(*source.args(), table.columns))
    if kind == "sensitivity":
        return json.loads(_core.sensitivity_summary(*source.args(), table.columns))
    return None
