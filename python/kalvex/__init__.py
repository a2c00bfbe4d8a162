"""Kalvex interior ballistics from Python.

    import kalvex
    rifle = kalvex.load_report("examples/rifle-7.62mm.txt")
    run = kalvex.run(rifle.with_changes(C=0.0030))
    print(run.summary["vMuzzle"], run.memo)

Input sets hold every parameter in the unit of its window field (kg, mm, ms, MPa ...),
named as in a study file; runs go through the same Start sequence as the window and
kalvex-batch, and studies through the same engine as kalvex-study.
"""

import os
import types
import warnings

from . import _core
from ._core import InputSet, RunStopped
from .run import Run
from .studies import StudyResult, propellant_library, run_study as _run_study, integrator_spec as _integrator_spec
from .table import Table
from . import vessel

__all__ = ["InputSet", "Run", "RunStopped", "StudyResult", "Table",
           "load_inputs", "load_report", "propellants", "run", "run_many", "study"]


def load_report(path):
    """The input set of a report file, read as kalvex-batch reads it.

    ValueError names the file (and, for a value that cannot be read, the line and the text).
    """
    path = os.fspath(path)
    if not os.path.exists(path):
        raise FileNotFoundError(2, "No such report file", path)
    return _core.load_report(path)


def load_inputs(path):
    """The whole input set of a JSON input file (docs/input-file.md), every bit as written:
    the burning law's segments, the charge temperature and its coefficients included.
    InputSet.save(path) writes one."""
    path = os.fspath(path)
    if not os.path.exists(path):
        raise FileNotFoundError(2, "No such input file", path)
    return _core.load_inputs(path)


def run(inputs, heat_transfer=True, integrator="fixed", rtol=1e-8, atol=None):
    """Runs one input set from ignition to the muzzle and returns a Run.

    integrator -- "fixed" (the input set's step, doubled while the step budget runs out) or
                  "adaptive" (Dormand-Prince 5(4) with error control, steps ended on the
                  model's events and at the muzzle; the step is not used)
    rtol, atol -- the adaptive integrator's relative and absolute tolerance (atol on the state
                  in its natural sizes; None: the relative tolerance)

    A rule that fails raises ValueError with the rule's message; a run that ends before the
    muzzle raises RunStopped carrying the window's message.
    """
    series, memo, (summary, summary_units) = _core.run(inputs, heat_transfer, integrator, rtol, atol or 0.0)
    return Run(series=series, memo=memo, summary=summary, summary_units=summary_units)


def run_many(inputs, threads=None, heat_transfer=True, integrator="fixed", rtol=1e-8, atol=None):
    """Runs many input sets in parallel (threads=None: every core) and returns a Table with
    one row per input set, in order. A run that is refused or stops is a row with its message.
    integrator, rtol and atol as for run."""
    columns, units = _core.run_many(list(inputs), heat_transfer, threads, integrator, rtol, atol or 0.0)
    return Table(columns, units)


def study(spec, threads=None, integrator=None, rtol=None, atol=None):
    """Runs a study -- a dict with the keys of a study file, or the path of one -- and returns
    a StudyResult with the same rows and results as kalvex-study. integrator, rtol and atol,
    when given, replace the study file's "integrator" (integrator=None with a tolerance given
    means "adaptive")."""
    return _run_study(spec, threads, _integrator_spec(integrator, rtol, atol))


def propellants():
    """The propellant library: the rows shipped with Kalvex, then the user's own
    ($XDG_DATA_HOME/kalvex/propellants.json), a user's row replacing a shipped one of its name.
    Each row has name, family, composition, source, transcription, the seven values F [J/kg],
    T0 [K], b [m^3/kg], gamma, rho [kg/m^3], beta [m/s/Pa^alpha], alpha, and from_user.
    Rows that are malformed are left out with a warning."""
    rows, problems = propellant_library()
    for problem in problems:
        warnings.warn(problem, stacklevel=2)
    return [types.SimpleNamespace(**row) for row in rows]


def _with_propellant(inputs, name):
    """A copy with the seven propellant values of the library row `name`; its run's memo
    begins with the line that names the propellant and its source, as kalvex-batch
    --propellant writes it. ValueError when the library has no such row."""
    rows, _ = propellant_library()
    for row in rows:
        if row["name"] == name:
            return _core.with_propellant(inputs, row)
    known = ", ".join(row["name"] for row in rows)
    raise ValueError(f"Propellant {name} is not in the propellant library ({known})")


InputSet.with_propellant = _with_propellant
