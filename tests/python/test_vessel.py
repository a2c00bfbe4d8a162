"""kalvex.vessel: closed-vessel firings simulated and reduced from Python."""

import _thread
import threading
import time

import numpy
import pytest

import kalvex
from conftest import EXAMPLES

PROPELLANT = EXAMPLES / "closed-vessel" / "propellant.json"


@pytest.fixture(scope="module")
def powder():
    return kalvex.load_inputs(PROPELLANT)


def test_a_law_simulated_at_three_loading_densities_is_reduced_back(powder):
    """Noiseless firings of the example's three-segment law at 100, 200 and 300 kg/m^3, reduced
    at the law's own bounds, give the law, the force and the covolume back; the trace's
    columns agree with each other (dp/dt the differences of p, Z rising to 1)."""
    firings = []
    for charge in (20.0, 40.0, 60.0):
        trace = kalvex.vessel.simulate(powder, volume=200, charge=charge, after_burnout=4)
        firings.append({"trace": trace, "volume": 200, "charge": charge})
    trace = firings[1]["trace"]
    assert list(trace.to_pandas().columns) == ["t", "p", "dpdt", "Z"]
    t, p = trace["t"], trace["p"]
    assert numpy.allclose(trace["dpdt"][1:-1], (p[2:] - p[:-2]) / (t[2:] - t[:-2]))
    assert trace["Z"][-1] == pytest.approx(1) and numpy.all(numpy.diff(trace["Z"]) >= 0)
    cooled = kalvex.vessel.simulate(powder, volume=200, charge=40.0, after_burnout=4, heat_loss=2000)
    assert cooled["p"].max() < p.max() and cooled["p"][-1] < cooled["p"].max()

    record = kalvex.vessel.reduce(firings, powder, p_low=(40, 100), ignition_at_zero=True)
    for (p_low, beta, alpha), segment in zip(powder.segments, record["law"]):
        assert segment["pLow"] == pytest.approx(p_low * 1e6)
        assert segment["beta"] == pytest.approx(beta, rel=1e-5)
        assert segment["alpha"] == pytest.approx(alpha, rel=1e-5)
    assert record["gas"]["F"] == pytest.approx(powder.F, rel=1e-5)
    assert record["gas"]["b"] == pytest.approx(powder.b, rel=1e-5)
    assert [f["file"] for f in record["firings"]] == ["firing 1", "firing 2", "firing 3"]


def test_a_trace_that_cannot_be_reduced_raises_value_error_naming_it(powder, tmp_path):
    uneven = {"t": [0.0, 0.01, 0.03] + [0.03 + 0.01 * i for i in range(1, 200)], "p": numpy.linspace(1, 100, 202)}
    with pytest.raises(ValueError, match="^shot 7: the trace is not sampled at a constant interval$"):
        kalvex.vessel.reduce([{"trace": uneven, "volume": 200, "charge": 20, "name": "shot 7"}], powder)
    broken = tmp_path / "broken.csv"
    broken.write_text("time [ms],pressure [MPa]\n0,1\n0.01,x\n")
    with pytest.raises(ValueError, match="broken.csv: line 3"):
        kalvex.vessel.reduce([{"trace": broken, "volume": 200, "charge": 20}], powder)
    with pytest.raises(ValueError, match="positive volume, charge mass"):
        kalvex.vessel.simulate(powder, volume=0)
    with pytest.raises(ValueError, match="heat loss needs a coefficient of 0 or more"):
        kalvex.vessel.simulate(powder, heat_loss=-1)
    first = powder.charge[0]
    with pytest.raises(ValueError, match="^The closed vessel fires one propellant; this charge has 2 components"):
        kalvex.vessel.simulate(powder.with_charge([first, dict(first, C=first["C"] / 2)]))


def test_ctrl_c_stops_a_reduction_at_its_next_simulation(powder):
    firings = [{"trace": kalvex.vessel.simulate(powder, volume=200, charge=charge, after_burnout=4),
                "volume": 200, "charge": charge} for charge in (20.0, 40.0, 60.0)]
    started = time.monotonic()
    with pytest.raises(KeyboardInterrupt):
        threading.Timer(0.1, _thread.interrupt_main).start()
        kalvex.vessel.reduce(firings, powder, segments=3)  # some 2.4 s uninterrupted on this machine
    assert time.monotonic() - started < 1.2
