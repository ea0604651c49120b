import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).parent))

import veld  # noqa: E402


@pytest.fixture
def workdir(tmp_path):
    return tmp_path


@pytest.fixture
def display_factory(tmp_path):
    """Opens displays of any size; each is stopped when the test ends, also on failure."""
    opened = []

    def open_display(width, height, **options):
        display = veld.Display(width, height, tmp_path, **options)
        opened.append(display)
        return display

    yield open_display
    for display in opened:
        display.close()


@pytest.fixture
def programs():
    started = []

    def start(display, folder, wait=True):
        program = veld.Program(display, folder, wait=wait)
        started.append(program)
        return program

    yield start
    for program in started:
        program.kill()
