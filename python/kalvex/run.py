"""The result of one run."""

from dataclasses import dataclass, field

from . import _core


@dataclass(frozen=True)
class Run:
    """One completed run.

    series  -- the 23 recorded series by name ("t", "x", "vp", "Pmean" ...), numpy arrays from
               ignition to the muzzle exit, in the units of series_units
    memo    -- the summary text exactly as the window shows it, restart notes included
    summary -- the study outputs of the run by name, in the units of summary_units
    """

    series: dict
    memo: str
    summary: dict = field(default_factory=dict)
    series_units: dict = field(default_factory=lambda: dict(_core.SERIES_UNITS))
    summary_units: dict = field(default_factory=dict)
