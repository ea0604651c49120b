"""Start-up as a person sees it: which wallpapers are listed for the screen, where the
window opens, where the focus is, what closing stores, and what a second start does."""

import pytest

import veld

WALLPAPERS = {
    "800x600": ["Small Sunrise.jpg", "small_two.jpg"],
    "1024x768": ["Mittel.jpg", "mid_two.JPG", "mid_three.jpg"],
    "1280x1024": ["Large.jpg", "large_two.jpg"],
}


# At a scale too large for the screen the window takes the largest of the system's steps
# that fits (at 192 dpi on 1024 x 768: 125 %, 120 dpi).
@pytest.mark.parametrize(
    "width,height,depth,folder,dpi,shown_dpi",
    [
        (800, 600, 24, "800x600", 96, 96),
        (1024, 768, 24, "1024x768", 96, 96),
        (1024, 768, 16, "1024x768", 96, 96),
        (1024, 768, 8, "1024x768", 96, 96),
        (1280, 1024, 24, "1280x1024", 96, 96),
        (1920, 1200, 24, "1280x1024", 96, 96),
        (1280, 960, 24, None, 96, 96),
        (1920, 1200, 24, "1280x1024", 192, 192),
        (1024, 768, 24, "1024x768", 192, 120),
        (800, 600, 24, "800x600", 144, 96),
    ],
)
def test_list_follows_screen_size_and_window_is_centred(display_factory, programs, workdir, width, height, depth,
                                                        folder, dpi, shown_dpi):
    program_folder = veld.make_program_folder(workdir, WALLPAPERS, ini="[Settings]\r\nActive=True\r\n")
    display = display_factory(width, height, depth=depth, dpi=dpi)
    program = programs(display, program_folder)
    state = program.state

    assert state["screen"] == [width, height]
    listed = program.control("ListBox1")["items"]
    expected = WALLPAPERS[folder] if folder else []
    assert sorted(listed) == sorted(expected)

    left, top, right, bottom = program.window_rect()
    size = ((veld.CLIENT_WIDTH * shown_dpi + 48) // 96, (veld.CLIENT_HEIGHT * shown_dpi + 48) // 96)
    assert (right - left, bottom - top) == size
    assert (left, top) == ((width - size[0]) // 2, (height - size[1]) // 2)
    assert state["main"]["title"] == "Form1"
    assert state["owner"]["title"] == "VELDANA"
    display.screenshot(f"startup-{width}x{height}x{depth}-{dpi}")


def test_focus_starts_in_the_list_when_active(display_factory, programs, workdir):
    folder = veld.make_program_folder(workdir, WALLPAPERS, ini="[Settings]\r\nActive=True\r\nRandom=True\r\n")
    display = display_factory(1024, 768)
    program = programs(display, folder)
    state = veld.wait_until(lambda: (s := program.probe()) and program.control("ListBox1", s)["focused"] and s,
                            what="the focus in the list box")
    assert program.control("CheckBox1", state)["checked"]
    assert program.control("CheckBox2", state)["checked"]
    assert program.control("ListBox1", state)["enabled"]


def test_first_start_without_settings_is_inactive_and_closing_stores_both_values(display_factory, programs, workdir):
    folder = veld.make_program_folder(workdir, WALLPAPERS)
    display = display_factory(1024, 768)
    program = programs(display, folder)
    state = program.state
    assert not program.control("CheckBox1", state)["checked"]
    assert not program.control("ListBox1", state)["enabled"]
    assert not program.control("CheckBox2", state)["enabled"]
    assert veld.read_ini(folder) is None, "nothing is written before the window closes"

    # Check "active" with a real click, then close with Alt+F4 over the window.
    program.click_client(527 + 6, 163 + 6)
    veld.wait_until(lambda: program.control("CheckBox1", program.probe())["checked"], what="the check mark")
    program.display.move(*program.to_screen(300, 100))
    program.display.key("alt+F4")
    program.wait_exit()
    assert veld.read_ini(folder) == {"Active": "True", "Random": "False"}


@pytest.mark.parametrize("hidden", ["minimised", "behind another Veldana", "minimised, started through a link"])
def test_a_second_start_brings_the_running_window_to_the_front_and_ends(display_factory, programs, workdir, hidden):
    folder = veld.make_program_folder(workdir / "one", WALLPAPERS, ini=None)
    display = display_factory(1024, 768)
    running = programs(display, folder)
    exe = veld.win(folder / "Veldana.exe")

    def mains():
        return display.probe()["mains"]

    if hidden.startswith("minimised"):
        display.probe("minimise")
        veld.wait_until(lambda: not any(m["visible"] for m in mains()), what="the window to go to the task bar")
        others = []
    else:
        # Started from another folder, it runs beside the first and takes the front.
        other = veld.make_program_folder(workdir / "two", WALLPAPERS, ini=None)
        programs(display, other, wait=False)
        veld.wait_until(lambda: any(m["foreground"] and m["image"] != exe for m in mains()),
                        what="the other window in front")
        others = [m for m in mains() if m["image"] != exe]

    if "link" in hidden:
        (workdir / "link").symlink_to(folder)
    second = programs(display, workdir / "link" if "link" in hidden else folder, wait=False)
    second.wait_exit()
    assert second.process.returncode == 0
    state = veld.wait_until(lambda: (m := mains()) and any(x["image"] == exe and x["foreground"] for x in m) and m,
                            what="the running window in front")
    assert [m for m in state if m["image"] == exe] == [{"image": exe, "visible": True, "foreground": True}]
    assert [m["image"] for m in state if m["image"] != exe] == [m["image"] for m in others]
    assert not running.exited()
    assert not (folder / "veld.ini").exists(), "the second start wrote the settings"
