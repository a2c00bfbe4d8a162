"""run_many against a loop of run, and studies against kalvex-study."""

import _thread
import json
import math
import threading
import time

import numpy
import pytest

import kalvex
from conftest import STUDIES, kalvex_study_json


def test_run_many_equals_a_loop_of_run(rifle):
    # a charge ladder with a run refused by a rule and one that stops
    inputs = [rifle.with_changes(C=c) for c in (0.0027, 0.0029, 0.0031)]
    inputs += [rifle.with_changes(A=0), rifle.with_changes(C=0.05)]
    table = kalvex.run_many(inputs, threads=2)
    assert len(table) == 5 and table.names[-1] == "message"
    for i, inputs_i in enumerate(inputs[:3]):
        numpy.testing.assert_equal(table.row(i), {**kalvex.run(inputs_i).summary, "message": ""})
    assert table["message"][3] == "Area of Base of Projectile A less than or equal to 0 m^2"
    assert table["message"][4] == "Free Volume of Chamber less than or equal to 0 m^3."
    assert math.isnan(table["vMuzzle"][4])
    assert kalvex.run_many(inputs, threads=1) == table
    with pytest.raises(ValueError, match="threads must be at least 1"):
        kalvex.run_many(inputs, threads=0)


def rows_of(table):
    """The rows as kalvex-study --json writes them, NaN as None."""
    return [[None if isinstance(v, float) and math.isnan(v) else v for v in table.row(i).values()]
            for i in range(len(table))]


@pytest.mark.parametrize("name", ["rifle-7.62mm-sweep", "rifle-7.62mm-tolerance", "howitzer-155mm-propellants-sweep",
                                  "rifle-7.62mm-sensitivity"])
def test_row_studies_equal_kalvex_study(name, tmp_path):
    path = STUDIES / f"{name}.json"
    expected = kalvex_study_json(path, tmp_path)
    result = kalvex.study(path, threads=2)
    assert result.kind == expected["kind"]
    assert [f"{n} [{result.table.units[n]}]" for n in result.table.names] == expected["columns"]
    assert rows_of(result.table) == expected["rows"]
    assert result.summary == expected.get("summary")


@pytest.mark.parametrize("name", ["rifle-7.62mm-solve", "rifle-7.62mm-optimize", "howitzer-155mm-two-targets"])
def test_whole_studies_from_a_dict_equal_kalvex_study(name, tmp_path, monkeypatch):
    path = STUDIES / f"{name}.json"
    monkeypatch.chdir(STUDIES)  # a dict's base is relative to the working folder
    import json
    result = kalvex.study(json.loads(path.read_text()))
    assert result.table is None and result.summary == kalvex_study_json(path, tmp_path)


def test_a_study_that_cannot_run_is_refused_with_the_engines_message():
    with pytest.raises(ValueError, match="Unknown parameter \"charge\""):
        kalvex.study({"kind": "sweep", "base": str(STUDIES.parent / "rifle-7.62mm.txt"),
                      "sweep": {"parameter": "charge", "values": [1]}})


def test_to_pandas_keeps_every_column(rifle):
    pandas = pytest.importorskip("pandas")
    frame = kalvex.run_many([rifle]).to_pandas()
    assert isinstance(frame, pandas.DataFrame) and frame["message"][0] == ""


@pytest.mark.parametrize("call", ["run", "run_many", "study"])
def test_ctrl_c_stops_long_work_within_a_run(call, rifle):
    # A burning rate that is a denormal number: the charge never burns, and thirty doublings
    # of the step take seconds.
    work = {"run": lambda: kalvex.run(rifle.with_changes(beta=1e-310)),
            "run_many": lambda: kalvex.run_many([rifle] * 20000, threads=2),
            "study": lambda: kalvex.study({"kind": "tolerance", "inputs": rifle.to_dict(), "tolerance": {
                "parameters": [{"parameter": "C", "sigma": 1e-5}], "samples": 20000}}, threads=2)}[call]
    started = time.monotonic()
    with pytest.raises(KeyboardInterrupt):
        threading.Timer(0.2, _thread.interrupt_main).start()
        work()
    assert time.monotonic() - started < 20  # all of it takes a minute or more


def test_a_table_too_large_is_refused_before_anything_is_allocated(rifle):
    study = {"kind": "tolerance", "inputs": rifle.to_dict(),
             "tolerance": {"parameters": [{"parameter": "C", "sigma": 1e-5}], "samples": 100_000_000}}
    with pytest.raises(ValueError, match=r"^a table of 100000000 rows \(about .* GB\) is more than the 10000000 rows"
                                         r".*kalvex-study STUDY.json -o ROWS.csv.*--shard.*kalvex.distributed"):
        kalvex.study(study)
    with pytest.raises(ValueError, match="threads must be at least 1 and at most 256"):
        kalvex.run_many([rifle], threads=3000)


def test_bytes_that_are_not_utf8_give_value_errors_and_spare_the_readable_rows(rifle, tmp_path, monkeypatch):
    study = tmp_path / "study.json"
    study.write_bytes(b'{"kind": "sweep", "description": "\xe9", "inputs": {}}')
    with pytest.raises(ValueError, match=r"study.json: not UTF-8 text \(byte 0xe9 at offset 34\)"):
        kalvex.study(study)

    # The user's library: one row with a byte of another encoding, one good row.
    library = tmp_path / "kalvex" / "propellants.json"
    library.parent.mkdir()
    good = {"name": "Mine", "F": 1e6, "T0": 2800, "b": 0.001, "gamma": 1.24, "rho": 1600, "beta": 1e-9, "alpha": 0.9}
    text = json.dumps({"format": "kalvex propellant library 1", "propellants": [{**good, "name": "BAD"}, good]})
    library.write_bytes(text.encode().replace(b'"BAD"', b'"B\xc4D"'))
    monkeypatch.setenv("XDG_DATA_HOME", str(tmp_path))
    with pytest.warns(UserWarning, match="row 1 .*not UTF-8 text"):
        names = [row.name for row in kalvex.propellants()]
    assert "Mine" in names and "M30" in names
    assert rifle.with_propellant("M30") is not None
