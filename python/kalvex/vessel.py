"""Closed-vessel firings, as kalvex-vessel does them: a firing simulated by the model, and
measured pressure traces reduced to the propellant's force, covolume, burning law and
temperature coefficients (docs/closed-vessel.md).

    import kalvex, kalvex.vessel
    powder = kalvex.load_inputs("examples/closed-vessel/propellant.json")
    firing = kalvex.vessel.simulate(powder, volume=200, charge=40, igniter=1)
    record = kalvex.vessel.reduce([{"trace": firing, "volume": 200, "charge": 40}, ...], powder, igniter=1)
    print(record["law"], record["gas"])

Units as kalvex-vessel takes them: volumes in cm^3, masses in g, times in ms (steps in us),
pressures in MPa. A charge at another temperature: inputs.at_temperature(T).
"""

import json
import os
from dataclasses import dataclass, field

from . import _core

__all__ = ["VesselTrace", "reduce", "simulate"]


@dataclass(frozen=True)
class VesselTrace:
    """One simulated firing: columns "t", "p", "dpdt", "Z" (numpy arrays) in `units`."""

    columns: dict
    units: dict = field(default_factory=lambda: {"t": "ms", "p": "MPa", "dpdt": "MPa/ms", "Z": "-"})

    def __getitem__(self, name):
        return self.columns[name]

    def __len__(self):
        return len(self.columns["t"])

    def to_pandas(self):
        """The trace as a pandas DataFrame (pandas must be installed)."""
        try:
            import pandas
        except ImportError as missing:
            raise ImportError("to_pandas needs pandas (Debian: python3-pandas)") from missing
        return pandas.DataFrame(self.columns)


def simulate(inputs, volume=200.0, charge=30.0, igniter=None, step=1.0, sample=10.0, after_burnout=1.0,
             heat_loss=0.0, inner_diameter=50.0, wall_temperature=21.0):
    """One closed-vessel firing of the input set's propellant, igniter and grain.

    volume [cm^3], charge [g], igniter [g] (None: the input set's -- a gun's igniter would fill
    a small vessel on its own), step and sample [us], after_burnout [ms] recorded past burnout.
    heat_loss -- the coefficient h [W/m^2/K] of the heat lost to the wall by Newton's law,
                 h A_w (T - T_w), over the wall of a cylinder of the volume and inner_diameter
                 [mm], held at wall_temperature [°C]; 0: none
    ValueError for a vessel that cannot be fired (the message says why).
    """
    return VesselTrace(_core.vessel_simulate(inputs, volume, charge, igniter, step, sample, after_burnout,
                                             (heat_loss, inner_diameter, wall_temperature)))


def _firing_record(firing, number):
    """The firing as the compiled part reads it: "file" or "t" and "p", the loading and trim;
    a trace in memory is named "firing N" (N from 1) unless it has a name."""
    record = dict(firing)
    trace = record.pop("trace", None)
    if isinstance(trace, (str, os.PathLike)):
        record["file"] = os.fspath(trace)
    elif trace is not None:
        record["t"], record["p"] = trace["t"], trace["p"]
        record.setdefault("name", f"firing {number}")
    if "file" not in record and ("t" not in record or "p" not in record):
        raise ValueError("a firing needs its trace: a CSV file, or t [ms] and p [MPa]")
    return record


def reduce(firings, inputs, igniter=None, p_low=(), segments=0, reference_temperature=None,
           ignition_at_zero=False, rates_only=False, keep_gas=False, heat_loss=0.0, inner_diameter=50.0,
           wall_temperature=21.0, time_unit="", pressure_unit="", **rules):
    """Measured firings reduced together; returns the reduction's record as a dict, the same
    as kalvex-vessel reduce --export-json writes (SI units: Pa, m^3/kg, J/kg, s).

    firings -- dicts, each with "trace" (a CSV file's path, a VesselTrace, or a dict with "t"
               [ms] and "p" [MPa]), "volume" [cm^3], "charge" [g], and optionally "temperature"
               [°C, None: the reference], "start" and "end" [ms, the trim window], "name"
    inputs  -- the input set giving the propellant's density, the igniter and the grain
    p_low   -- the law's segment bounds above the first, MPa; segments > 0 finds that many
    heat_loss, inner_diameter, wall_temperature -- the vessel's heat loss, as for simulate, in
               every simulation of a firing (the law refined on the traces, the re-simulations)
               and in the maximum pressures of the Noble-Abel line, raised by what each loses
    rules   -- smoothing, smoothing_alpha, difference_span, ignition_fraction, low_fraction,
               high_fraction (kalvex-vessel's options of those names; left out: its defaults)
    time_unit, pressure_unit -- of CSV files whose header names none (s, ms, us; Pa, kPa, MPa, bar)

    ValueError names a trace that cannot be read or reduced; Ctrl+C stops the reduction at
    its next simulation (KeyboardInterrupt).
    """
    records = [_firing_record(f, i + 1) for i, f in enumerate(firings)]
    text = _core.vessel_reduce(records, inputs, igniter, list(p_low), segments, reference_temperature,
                               ignition_at_zero, rates_only, keep_gas, rules,
                               (heat_loss, inner_diameter, wall_temperature), time_unit, pressure_unit)
    return json.loads(text)
