"""The places of the main window's controls, read from the layout table.

src/app/Layout.cpp is the one file where a control's place is written: each row of
its table names the control (&TForm1::Name) and then its bounds {left, top, width,
height} in pixels of the client area. The artwork generator and the end-to-end tests
take the places from there.
"""

import re
from pathlib import Path

LAYOUT = Path(__file__).resolve().parents[1] / "src" / "app" / "Layout.cpp"

_ROW = re.compile(r"&TForm1::(\w+),\s*(?:\{\.bounds = |HitArea\()\{(\d+), (\d+), (\d+), (\d+)\}")


def read_places(layout=LAYOUT):
    """{name: (left, top, width, height)} for every control of the layout table."""
    places = {m[1]: tuple(int(v) for v in m.groups()[1:]) for m in _ROW.finditer(Path(layout).read_text())}
    if not places:
        raise ValueError(f"no control places found in {layout}")
    return places


def box(place):
    """(left, top, right, bottom), right and bottom exclusive."""
    left, top, width, height = place
    return left, top, left + width, top + height


def middle(place):
    left, top, width, height = place
    return left + width // 2, top + height // 2
