"""Kalvex interior ballistics from Python.

    import kalvex
    rifle = kalvex.load_report("examples/rifle-7.62mm.txt")
    run = kalvex.run(rifle.with_changes(C=0.0030))
    print(run.memo)

Input sets hold every parameter in the unit of its window field (kg, mm, ms, MPa ...);
runs go through the same Start sequence as the window and kalvex-batch.
"""

import os

from . import _core
from ._core import InputSet, RunStopped
from .run import Run

__all__ = ["InputSet", "Run", "RunStopped", "load_report", "run"]


def load_report(path):
    """The input set of a report file, read as kalvex-batch reads it.

    ValueError names the file (and, for a value that cannot be read, the line and the text).
    """
    path = os.fspath(path)
    if not os.path.exists(path):
        raise FileNotFoundError(2, "No such report file", path)
    return _core.load_report(path)


def run(inputs, heat_transfer=True):
    """Runs one input set from ignition to the muzzle and returns a Run.

    A rule that fails raises ValueError with the rule's message; a run that ends before the
    muzzle raises RunStopped carrying the window's message.
    """
    series, memo, restarts = _core.run(inputs, heat_transfer)
    return Run(series=series, memo=memo, restarts=restarts)
