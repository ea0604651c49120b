"""The places of the main window's controls, read from the layout table.

src/app/Layout.cpp is the one file where a control's place is written: each row of
its table names the control (&TForm1::Name) and then its bounds {left, top, width,
height} in pixels of the client area. The artwork generator and the end-to-end tests
take the places from there.
"""

import re
from pathlib import Path

LAYOUT = Path(__file__).resolve().parents[1] / "src" / "app" / "Layout.cpp"

# Every row of the table begins with its entry kind and the control's name.
_ENTRY = re.compile(r"^\s*\w+Entry\s*\{&TForm1::(\w+),", re.M)
_ROW = re.compile(r"&TForm1::(\w+),\s*(?:\{\.bounds = |HitArea\()\{(\d+), (\d+), (\d+), (\d+)\}")


def read_places(layout=LAYOUT):
    """{name: (left, top, width, height)} for every control of the layout table."""
    text = Path(layout).read_text()
    places = {m[1]: tuple(int(v) for v in m.groups()[1:]) for m in _ROW.finditer(text)}
    rows = _ENTRY.findall(text)
    unread = [name for name in rows if name not in places]
    if not rows or unread:
        raise ValueError(f"no place read for {', '.join(unread) or 'any control'} in {layout}")
    return places


def box(place):
    """(left, top, right, bottom), right and bottom exclusive."""
    left, top, width, height = place
    return left, top, left + width, top + height


def middle(place):
    left, top, width, height = place
    return left + width // 2, top + height // 2
