"""The window's look from outside: its outline against the desktop, dragging, the mouse
over its controls, keyboard focus, and a start-up step that fails."""

import time
from pathlib import Path

import pytest
from PIL import Image, ImageChops, ImageDraw, ImageStat

import veld

ROOT_COLOUR = (255, 0, 255)
PANEL = (142, 183, 220)


PICTURE = Image.open(veld.ROOT / "assets" / "background.bmp").convert("RGB")


def interior_holes():
    """Pixels of the background's key colour that the outside cannot reach."""
    picture, key = PICTURE, PICTURE.getpixel((0, 0))
    flooded = picture.copy()
    ImageDraw.floodfill(flooded, (0, 0), (1, 2, 3), thresh=0)
    width, height = picture.size
    return [(x, y) for y in range(height) for x in range(width) if flooded.getpixel((x, y)) == key]


def kept_rows(rects, height):
    """Per row, the kept pixels' x-runs of a region given as rectangles."""
    rows = [[] for _ in range(height)]
    for left, top, right, bottom in rects:
        for y in range(max(top, 0), min(bottom, height)):
            rows[y].append((left, right))
    merged = []
    for runs in rows:
        out = []
        for left, right in sorted(runs):
            if out and left <= out[-1][1]:
                out[-1] = (out[-1][0], max(out[-1][1], right))
            else:
                out.append((left, right))
        merged.append(out)
    return merged


def outline_of_the_picture():
    """The background's pixels other than its exact key colour, as kept_rows gives them."""
    key, (width, height), pixels = PICTURE.getpixel((0, 0)), PICTURE.size, PICTURE.load()
    return kept_rows([(x, y, x + 1, y + 1) for y in range(height) for x in range(width) if pixels[x, y] != key],
                     height)


def start(display_factory, programs, workdir, depth=24, dpi=96):
    """At 96 dpi on a 1024 x 768 screen, at a larger scale on one that holds the window."""
    folder = veld.make_program_folder(workdir / str(dpi), {"1024x768": ["a.jpg", "b.jpg"]},
                                      ini="[Settings]\r\nActive=True\r\n")
    display = display_factory(*((1024, 768) if dpi == 96 else (1920, 1200)), depth=depth, dpi=dpi)
    display.set_root_colour("#ff00ff")
    return programs(display, folder)


@pytest.fixture
def started(display_factory, programs, workdir):
    return start(display_factory, programs, workdir)


def check_box_drawn_whole(program, name):
    """The check box in a screenshot, held to its 12 x 13 pixels at the window's scale:
    True with a check mark, False without, None while it is not drawn whole (a frame on
    all four sides, dark above and left, light below and right, and any mark inside it)."""
    shot = program.region(f"look-{name}", veld.places.box(veld.PLACES[name][:2] + (12, 13)))
    width, height = shot.size
    edge = program.scaled(2)
    box = [[shot.getpixel((x, y)) for x in range(width)] for y in range(height)]
    dark, light = box[0][0], box[-1][-1]
    framed = (all(p == dark for p in box[0][:-1]) and all(row[0] == dark for row in box[:-1])
              and all(p == light for p in box[-1][1:]) and all(row[-1] == light for row in box[1:])
              and sum(dark) < sum(light))
    mark = [(x, y) for y, row in enumerate(box) for x, p in enumerate(row) if p == (0, 0, 0)]
    inside = all(edge <= x < width - edge and edge <= y < height - edge for x, y in mark)
    return bool(mark) if framed and inside else None


@pytest.mark.parametrize("depth,dpi", [(24, 96), (16, 96), (8, 96), (24, 192), (16, 192), (8, 192)])
def test_desktop_shows_through_the_outline_and_the_holes(display_factory, programs, workdir, depth, dpi):
    program = start(display_factory, programs, workdir, depth, dpi)
    # The outline is cut from the picture's own colours, whatever the screen's depth, at
    # the window's scale (twice: each pixel repeated).
    factor = dpi // 96
    expected = [[(a * factor, b * factor) for a, b in row] for row in outline_of_the_picture() for _ in range(factor)]
    assert kept_rows(program.state["region"], len(expected)) == expected
    assert program.window_rect()[2] - program.window_rect()[0] == veld.CLIENT_WIDTH * factor

    shot = program.region(f"look-outline-{depth}-{dpi}", (0, 0, veld.CLIENT_WIDTH, veld.CLIENT_HEIGHT))
    at = lambda x, y: shot.getpixel(program.scaled(x, y))

    for corner in [(1, 1), (760, 2), (2, 538), (755, 535), (759, 300)]:
        assert at(*corner) == ROOT_COLOUR, corner
    holes = interior_holes()
    assert 100 < len(holes) < 250
    assert all(406 <= y <= 448 for _, y in holes)
    assert all(at(x, y) == ROOT_COLOUR for x, y in holes)
    # Kept pixels right next to them are the artwork's.
    assert at(holes[0][0], holes[0][1] - 6) != ROOT_COLOUR
    if depth == 24:
        assert at(600, 178) == PANEL
    if dpi > 96 and depth > 8:
        # The check boxes are drawn whole at the window's scale (on a screen of 8 bits,
        # their frame's greys are dithered).
        assert check_box_drawn_whole(program, "CheckBox1") is True
        assert check_box_drawn_whole(program, "CheckBox2") is False
        program.click_client(*veld.middle("CheckBox2"))
        # Drawn by the system for a moment while pressed.
        veld.wait_until(lambda: check_box_drawn_whole(program, "CheckBox2"), what="the check mark drawn whole")
    if depth == 24 and dpi > 96:
        # Reduced 2:1, the window is the one at 96 dpi, but for the text the program draws
        # (the list, the link) and the check boxes.
        small = start(display_factory, programs, workdir)
        design = small.region("look-outline-96", (0, 0, veld.CLIENT_WIDTH, veld.CLIENT_HEIGHT))
        large = shot.reduce(factor)
        mask = Image.new("L", design.size, 255)
        for name in ("ListBox1", "Label1", "CheckBox1", "CheckBox2"):
            ImageDraw.Draw(mask).rectangle(veld.box(name), fill=0)
        difference = ImageStat.Stat(ImageChops.difference(large, design), mask).mean
        assert max(difference) < 3, difference


def test_left_drag_on_the_background_moves_the_window_and_nothing_else_does(started):
    program = started
    display = program.display
    origin = program.window_rect()[:2]

    def dragged(client_point, button=1, by=(40, 30)):
        start = program.to_screen(*client_point)
        display.drag(start, (start[0] + by[0], start[1] + by[1]), button=button)
        state = program.probe()
        return state["main"]["rect"][0] - origin[0], state["main"]["rect"][1] - origin[1]

    # Right and middle buttons, the preview area and a picture button: no move.
    assert dragged((200, 250), button=3) == (0, 0)
    assert dragged((200, 250), button=2) == (0, 0)
    assert dragged((250, 340)) == (0, 0)
    assert dragged(veld.middle("Label5")) == (0, 0)
    # The left button on the background drags by the distance moved.
    veld.wait_until(lambda: dragged((200, 250)) == (40, 30), what="the window to follow the drag")


@pytest.mark.parametrize("dpi", [96, 192])
def test_hit_areas_show_the_hand_and_link_tooltips_after_half_a_second(display_factory, programs, workdir, dpi):
    program = start(display_factory, programs, workdir, dpi=dpi)
    display = program.display

    def cursor_at(point):
        display.move(*program.to_screen(*point))
        return veld.wait_until(lambda: (s := program.probe())["cursor"]["pos"] == list(program.to_screen(*point))
                               and s, what="the pointer")

    background = cursor_at((300, 200))["cursor"]["handle"]
    # The edge of a picture button outside its hit area is no hit area.
    assert cursor_at((505, 321))["cursor"]["handle"] == background
    hands, came = set(), 1.0  # twice the longest a link's tooltip took to come: none by then is none at all
    for name, point, tooltip in [("game link", veld.middle("Label1"), True),
                                 ("publisher logo", veld.middle("Label2"), True),
                                 ("console logo", veld.middle("Label10"), True),
                                 ("close", veld.middle("Label3"), False),
                                 ("Set as default", veld.middle("Label5"), False)]:
        state, since = cursor_at(point), time.monotonic()
        hands.add(state["cursor"]["handle"])
        if tooltip:
            state = veld.wait_until(lambda: (s := program.probe())["tooltips"] and s,
                                    what=f"the tooltip of {name}")
            came = max(came, 2 * (time.monotonic() - since))
            tip = state["tooltips"][0]
            assert tip[1] > state["cursor"]["pos"][1], f"the tooltip of {name} is not below the pointer"
            display.screenshot(f"look-tooltip-{name.replace(' ', '-')}-{dpi}")
        else:
            time.sleep(came)
            assert not program.probe()["tooltips"], f"{name} has no tooltip"
        cursor_at((300, 200))
        veld.wait_until(lambda: not program.probe()["tooltips"], what="the tooltip to go")
    assert len(hands) == 1 and background not in hands


def focus_marked(program, name, shot):
    """Whether the top edge of the focus mark around a control is drawn: black and white
    dots, around a check box two pixels out, on a hit area's own edge."""
    left, top, right, _ = veld.box(name)
    if name.startswith("CheckBox"):
        left, top, right = left - 2, top - 2, right + 2
    edge = [shot.getpixel(program.to_screen(x, top)) for x in range(left, right)]
    dots = [p for p in edge if p in ((0, 0, 0), (255, 255, 255))]
    return len(dots) == len(edge) and len(set(dots)) == 2


@pytest.mark.parametrize("depth", [24, 16, 8])
def test_tab_goes_round_and_the_focus_shows_once_the_keyboard_is_used(display_factory, programs, workdir, depth):
    folder = veld.make_program_folder(workdir, {"1024x768": ["a.jpg"]}, ini="[Settings]\r\nActive=True\r\n")
    display = display_factory(1024, 768, depth=depth, keyboard_cues=False)
    program = programs(display, folder)
    display.move(*program.to_screen(300, 200))
    focused = lambda: [n for n in ("ListBox1", "CheckBox1", "CheckBox2")
                       if program.control(n, program.probe())["focused"]]
    veld.wait_until(lambda: focused() == ["ListBox1"], what="the focus in the list")
    shot = lambda name: Image.open(display.screenshot(f"keys-{name}-{depth}")).convert("RGB")

    # A click gives the check box the focus, which does not show.
    program.click_client(*veld.middle("CheckBox2"))
    veld.wait_until(lambda: focused() == ["CheckBox2"], what="the focus on CheckBox2")
    assert not focus_marked(program, "CheckBox2", shot("clicked"))
    # Tab goes on to the hit areas, round to the list and back, showing the focus.
    display.key("Tab")
    veld.wait_until(lambda: focused() == [] and focus_marked(program, "Label4", shot("no-wallpaper")),
                    what="the focus mark on No wallpaper")
    display.key(*["Tab"] * 8)
    veld.wait_until(lambda: focused() == ["ListBox1"], what="the focus round to the list")
    display.key("shift+Tab")
    veld.wait_until(lambda: focus_marked(program, "Label3", shot("close")), what="the focus mark on the close button")
    display.key(*["shift+Tab"] * 8)
    veld.wait_until(lambda: focused() == ["CheckBox2"] and focus_marked(program, "CheckBox2", shot("check-box")),
                    what="the focus mark on CheckBox2")


def test_from_a_fresh_start_down_tab_to_set_as_default_and_return_set_the_wallpaper(display_factory, programs,
                                                                                     workdir):
    folder = veld.make_program_folder(workdir, shipped=True, ini="[Settings]\r\nActive=True\r\n")
    display = display_factory(1024, 768)
    program = programs(display, folder)
    display.move(*program.to_screen(300, 200))
    veld.wait_until(lambda: program.control("ListBox1", program.probe())["focused"], what="the focus in the list")
    display.key("Down")
    entry = veld.wait_until(lambda: (box := program.control("ListBox1", program.probe()))["selected"] >= 0 and box,
                            what="an entry selected")
    display.key("Tab", "Tab", "Tab", "Tab", "Return")
    expected = "Z:" + str(folder / "1024x768" / entry["items"][entry["selected"]]).replace("/", "\\")
    veld.wait_until(lambda: (veld.read_ini(folder) or {}).get("DefaultWP", "").lower() == expected.lower(),
                    timeout=120, what="DefaultWP")


def test_missing_clip_is_reported_and_the_rest_of_start_up_still_runs(display_factory, programs, workdir):
    folder = veld.make_program_folder(workdir, {"1024x768": ["a.jpg"]},
                                      ini="[Settings]\r\nActive=True\r\nRandom=True\r\n")
    (Path(folder) / "Media" / "tv.avi").unlink()
    display = display_factory(1024, 768)
    program = programs(display, folder, wait=False)
    box = program.wait_dialog()
    assert box["title"] == "VELDANA"
    assert veld.dialog_text(box) == veld.text("CannotOpenClip") + "."
    display.screenshot("look-missing-clip")
    display.click(*veld.centre(veld.dialog_button(box, "OK")["screen"]))

    state = veld.wait_until(lambda: (s := program.probe())["main"]["visible"] and s, what="the window")
    assert not state["dialogs"]
    assert program.control("CheckBox1", state)["checked"]
    assert program.control("CheckBox2", state)["checked"]
    assert program.control("ListBox1", state)["items"] == ["a.jpg"]
    assert state["region"] is not None
