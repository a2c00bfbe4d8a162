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
    def of(cls, study):
        """The source of a study dict (its base relative to the working folder) or file."""
        if isinstance(study, dict):
            text, folder = json.dumps(study), str(pathlib.Path.cwd())
        else:
            path = pathlib.Path(os.fspath(study))
            try:
                text, folder = path.read_text(encoding="utf-8"), str(path.parent)
            except UnicodeDecodeError as e:
                raise ValueError(f"{path}: not UTF-8 text (byte 0x{e.object[e.start]:02x} at offset {e.start})") from None
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


def run_study(study, threads=None):
    source = StudySource.of(study)
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
