"""One run from Python against kalvex-batch, and the errors a script meets."""

import math

import pytest

import kalvex
from conftest import EXAMPLE_NAMES, batch_memo, example, report_with_step


@pytest.mark.parametrize("name", EXAMPLE_NAMES)
def test_memo_equals_kalvex_batch(name):
    report = example(name)
    assert kalvex.run(kalvex.load_report(report)).memo == batch_memo(report)


def test_memo_without_heat_transfer_and_with_restarts_equals_kalvex_batch(tmp_path):
    rifle = example("rifle-7.62mm")
    without_heat = kalvex.run(kalvex.load_report(rifle), heat_transfer=False)
    assert without_heat.memo == batch_memo(rifle, "--no-heat-transfer")

    short_step = report_with_step(tmp_path, "rifle-7.62mm", "2.0000e-08")
    restarted = kalvex.run(kalvex.load_report(short_step))
    assert restarted.summary["restarts"] == 1
    assert restarted.memo.startswith(" Computation Step too short. Step was increased 2x.\n\n")
    assert restarted.memo == batch_memo(short_step)


def test_a_library_propellant_runs_as_kalvex_batch_runs_it():
    howitzer = example("howitzer-155mm")
    m30 = kalvex.load_report(howitzer).with_propellant("M30")
    assert m30.F == next(p.F for p in kalvex.propellants() if p.name == "M30")
    assert kalvex.run(m30).memo == batch_memo(howitzer, "--propellant", "M30")
    assert not kalvex.run(m30.with_changes(beta=m30.beta)).memo.startswith(" Propellant")
    with pytest.raises(ValueError, match=r"^Propellant M99 is not in the propellant library \(M1, "):
        m30.with_propellant("M99")


def test_a_charge_temperature_runs_as_kalvex_batch_runs_it_and_survives_a_pickle():
    import pickle
    howitzer = example("howitzer-155mm")
    plain = kalvex.load_report(howitzer)
    with pytest.raises(ValueError, match="^A charge temperature needs the propellant's temperature coefficients"):
        plain.at_temperature(63)
    hot = plain.at_temperature(63, force=3e-4, burning_rate=1.6e-3, reference=20)
    assert (hot.fFT, hot.fbetaT, hot.charge_temperature) == (1 + 3e-4 * 43, 1 + 1.6e-3 * 43, 63)
    assert kalvex.run(hot).memo == batch_memo(howitzer, "--charge-temperature", "63", "--force-temp-coeff", "3e-4",
                                              "--rate-temp-coeff", "1.6e-3", "--reference-temperature", "20")
    cold = hot.with_changes(chargeTemperature=-46)  # the set keeps its coefficients
    assert cold.fbetaT == 1 + 1.6e-3 * -66 and pickle.loads(pickle.dumps(cold)) == cold
    assert hot.with_changes(fFT=1).charge_temperature is None  # a typed factor no longer follows a temperature
    with pytest.raises(ValueError, match="^Charge Temperature 81 °C outside the range -60 °C to 80 °C$"):
        hot.at_temperature(81)


def test_series_cover_the_run_from_ignition_to_the_muzzle(rifle):
    run = kalvex.run(rifle)
    steps = int(run.memo.split("Number of Steps:")[1].split()[0])
    assert list(run.series) == list(run.series_units) and len(run.series) == 23
    assert {len(values) for values in run.series.values()} == {steps + 1}
    assert run.series["t"][0] == 0 and run.series["x"][-1] >= rifle.xm
    assert run.series_units["Pmean"] == "MPa"


def test_inputs_are_read_and_changed_in_the_fields_units(rifle):
    assert (rifle.C, rifle.D, rifle.dt, rifle.grainType) == (0.0029, 0.8, 0.0001, 4)
    changed = rifle.with_changes(D=0.85, grainType=3)
    assert (changed.D, changed.grainType, rifle.D) == (0.85, 3, 0.8)
    again = kalvex.InputSet(weapon=rifle.weapon, **rifle.to_dict())
    assert again == rifle and kalvex.run(again).memo == kalvex.run(rifle).memo


def test_unknown_and_unreadable_parameters(rifle):
    with pytest.raises(AttributeError, match=r'^Unknown parameter "Cx"; the parameters are A, mp, .*, dt, grainType, chargeTemperature$'):
        rifle.Cx
    with pytest.raises(AttributeError, match='Unknown parameter "charge"'):
        rifle.with_changes(charge=1)
    with pytest.raises(ValueError, match=r"^C: 'nan' is not a valid floating point value$"):
        rifle.with_changes(C=math.nan)
    with pytest.raises(ValueError, match="^px0: '1e\\+305' is not a valid floating point value$"):
        rifle.with_changes(px0=1e305)  # finite in MPa, not in Pa
    with pytest.raises(ValueError, match="^grainType must be a whole number from 1 to 7$"):
        rifle.with_changes(grainType=8)
    with pytest.raises(TypeError, match="takes a number, not str"):
        rifle.with_changes(C="0.003")


def test_rules_and_stopped_runs_raise_with_their_messages(rifle):
    with pytest.raises(ValueError) as rule:
        kalvex.run(rifle.with_changes(A=0))
    assert str(rule.value) == "Area of Base of Projectile A less than or equal to 0 m^2"
    with pytest.raises(kalvex.RunStopped) as stopped:
        kalvex.run(rifle.with_changes(C=0.05))
    assert stopped.value.message == "Free Volume of Chamber less than or equal to 0 m^3."


def test_a_file_that_is_no_report_is_refused_by_name(tmp_path):
    damaged = tmp_path / "damaged.txt"
    damaged.write_text("Weapon: nothing more\n")
    with pytest.raises(ValueError, match=f"^{damaged}: "):
        kalvex.load_report(damaged)
    unreadable = report_with_step(tmp_path, "rifle-7.62mm", "nan")
    message = f"{unreadable}:60: 'nan' is not a valid floating point value"
    with pytest.raises(ValueError) as refused:
        kalvex.load_report(unreadable)
    assert str(refused.value) == message
    # a study's base is read the same way
    with pytest.raises(ValueError) as refused:
        kalvex.study({"kind": "sweep", "base": str(unreadable), "sweep": {"parameter": "C", "values": [0.003]}})
    assert str(refused.value) == "base: " + message
    with pytest.raises(FileNotFoundError):
        kalvex.load_report(tmp_path / "absent.txt")


def test_an_input_file_keeps_segments_and_temperature_and_runs_as_kalvex_batch(tmp_path):
    howitzer = kalvex.load_report(example("howitzer-155mm"))
    law = [(0.0, howitzer.beta, howitzer.alpha), (150.0, howitzer.beta * 1.1, 0.88)]
    extended = howitzer.with_segments(law).at_temperature(49, force=3e-4, burning_rate=1.6e-3)
    assert extended.segments == law
    path = tmp_path / "howitzer.json"
    extended.save(path)
    again = kalvex.load_inputs(path)
    assert (again.segments, again.charge_temperature) == (law, 49)
    assert kalvex.run(again).memo == kalvex.run(extended).memo
    assert kalvex.run(again).memo == batch_memo(path)
    assert kalvex.run(extended).summary["P0Max"] != kalvex.run(howitzer).summary["P0Max"]


def test_a_three_component_charge_keeps_every_value_through_names_files_reports_and_pickles(tmp_path):
    import pickle
    howitzer = kalvex.load_report(example("howitzer-155mm"))
    first = howitzer.charge[0]
    assert len(howitzer.charge) == 1 and first["C"] == howitzer.C and first["D"] == howitzer.D  # mm, as the field
    fast = dict(first, C=howitzer.C / 7, grainType=4, D=4.1 / 3, L=12.3, P=0.4, SW=0.0,
                segments=[{"pLow": 150 / 7, "beta": howitzer.beta * 1.2, "alpha": 0.91}],
                temperatureCoefficients={"force": 2e-4 / 3, "burningRate": 1.2e-3, "reference": 15})
    slow = dict(first, C=howitzer.C / 11, beta=howitzer.beta / 1.3)
    mixed = howitzer.with_charge([dict(first, C=howitzer.C * (1 - 1 / 7 - 1 / 11)), fast, slow]) \
                    .at_temperature(-33.25, force=3e-4 / 7, burning_rate=1.6e-3, reference=20)
    assert len(mixed.charge) == 3 and mixed.charge[1]["fFT"] == 1 + 2e-4 / 3 * (-33.25 - 15)
    changed = mixed.with_changes(**{"C[2]": 1.25, "D[3]": 3.5, "split[3]": 0.2})
    assert (getattr(changed, "C[2]"), changed.charge[2]["D"]) == (changed.charge[1]["C"], 3.5)
    assert getattr(changed, "split[3]") == pytest.approx(0.2, abs=1e-15)
    with pytest.raises(ValueError, match=r"^C\[4\]: the charge has 3 components$"):
        mixed.with_changes(**{"C[4]": 1})

    assert pickle.loads(pickle.dumps(changed)) == changed
    path = tmp_path / "mixed.json"
    changed.save(path)
    again = kalvex.load_inputs(path)
    assert again == changed and again.charge == changed.charge
    assert kalvex.run(again).memo == kalvex.run(changed).memo == batch_memo(path)
    report = tmp_path / "mixed.txt"
    batch_memo(path, "-o", str(report))
    # the report's block holds the components after the first with every digit; its 43 values the first
    assert kalvex.load_report(report).charge[1:] == changed.charge[1:]
