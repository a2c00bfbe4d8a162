"""What the Python tests share: the example reports and the kalvex-batch program."""

import json
import os
import pathlib
import subprocess
import sys

import pytest

# The README runs these tests with paths relative to the source folder; a test that changes
# folder must still find the programs and the module, so they are made absolute here.
for _name in ("KALVEX_BATCH", "KALVEX_STUDY"):
    if os.environ.get(_name):
        os.environ[_name] = str(pathlib.Path(os.environ[_name]).resolve())
if os.environ.get("PYTHONPATH"):
    _relative = [p for p in os.environ["PYTHONPATH"].split(os.pathsep) if p]
    sys.path[:] = [str(pathlib.Path(p).resolve()) if p in _relative else p for p in sys.path]
    os.environ["PYTHONPATH"] = os.pathsep.join(str(pathlib.Path(p).resolve()) for p in _relative)

EXAMPLES = pathlib.Path(os.environ.get("KALVEX_EXAMPLES", pathlib.Path(__file__).parents[2] / "examples"))
EXAMPLE_NAMES = ["rifle-7.62mm", "cannon-30mm", "howitzer-155mm"]


def example(name):
    return EXAMPLES / f"{name}.txt"


STUDIES = EXAMPLES / "studies"


def kalvex_study_json(study, tmp_path):
    """What kalvex-study --json writes for a study file."""
    out = tmp_path / "results.json"
    done = subprocess.run([os.environ["KALVEX_STUDY"], str(study), "--json", str(out), "--quiet"],
                          capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    return json.loads(out.read_text())


def batch_memo(report, *options):
    """What kalvex-batch prints for a report."""
    done = subprocess.run([os.environ["KALVEX_BATCH"], str(report), *options],
                          capture_output=True, text=True, encoding="utf-8")
    assert done.returncode == 0, done.stderr
    return done.stdout


def report_with_step(tmp_path, name, step_text):
    """A copy of an example report whose computation step reads `step_text` seconds."""
    lines = example(name).read_bytes().split(b"\r\n")
    step = next(i for i, line in enumerate(lines) if line.startswith(b" Computation Step [s]:"))
    lines[step] = lines[step][:lines[step].index(b":") + 1] + b" " + step_text.encode()
    copy = tmp_path / f"{name}-step.txt"
    copy.write_bytes(b"\r\n".join(lines))
    return copy


@pytest.fixture(autouse=True)
def shipped_propellants_only(tmp_path, monkeypatch):
    """No user's propellant library: its rows would change what the library holds."""
    monkeypatch.setenv("XDG_DATA_HOME", str(tmp_path / "data"))


@pytest.fixture(scope="session")
def rifle():
    import kalvex
    return kalvex.load_report(example("rifle-7.62mm"))
