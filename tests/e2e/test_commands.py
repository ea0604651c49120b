"""The commands as a person uses them, with the real mouse and the real dialogs."""

import contextlib
import shutil

import pytest
from PIL import Image, ImageChops, ImageDraw

import veld

SET_AS_DEFAULT = veld.middle("Label5")
NO_WALLPAPER = veld.middle("Label4")
DELETE = veld.middle("Label6")
ADD = veld.middle("Label7")
CLOSE = veld.middle("Label3")
PREVIEW = veld.box("Image2")
WALLPAPER_KEY = r"HKCU\Control Panel\Desktop"


def wait_preview(program):
    veld.wait_until(lambda: not program.control("Animate1", program.probe())["visible"], what="the preview")


def start(display_factory, programs, workdir, files=None, shipped=False, size=(1024, 768), **display_options):
    folder = veld.make_program_folder(workdir, files, ini="[Settings]\r\nActive=True\r\n", shipped=shipped)
    display = display_factory(*size, **display_options)
    return folder, programs(display, folder)


def run_wallpaper_command(program, point, name, slow_desktop=False):
    """Clicks a wallpaper command. On a desktop that the system paints, the window, less
    the list and the preview, must look as it did before once the new desktop shows
    around it, also when the desktop's process answers long after the program
    (slow_desktop)."""
    display = program.display
    if not display.virtual_desktop:
        program.click_client(*point)
        return
    left, top = program.window_rect()[:2]
    mask = Image.new("L", (veld.CLIENT_WIDTH, veld.CLIENT_HEIGHT))
    draw = ImageDraw.Draw(mask)
    for rect in program.state["region"]:
        draw.rectangle((rect[0], rect[1], rect[2] - 1, rect[3] - 1), fill=255)
    for rect in [program.control("ListBox1")["rect"]] + [veld.box(name) for name in ("Image2", "Animate1", "Animate2")]:
        draw.rectangle((rect[0], rect[1], rect[2] - 1, rect[3] - 1), fill=0)
    window = (left, top, left + veld.CLIENT_WIDTH, top + veld.CLIENT_HEIGHT)
    corner = (0, 0, 100, 100)

    shot = lambda when: Image.open(display.screenshot(f"{name}-{when}")).convert("RGB")
    resting = shot("resting").crop(window)
    display.move(*program.to_screen(*point))
    # Lit up: changed where the command buttons are, and only there.
    buttons = veld.box("ImageNoWallpaper")[:2] + veld.box("ImageAddYourOwn")[2:]
    lit = lambda c: c and all(a <= b for a, b in zip(buttons[:2] + c[2:], c[:2] + buttons[2:]))
    before = veld.wait_until(lambda: lit(ImageChops.difference(resting, (s := shot("before")).crop(window)).getbbox())
                             and s, what=f"{name} to light up")

    def repainted():
        changed = ImageChops.difference(before.crop(window), shot("after").crop(window)).convert("L").point(lambda v: v and 255)
        return not ImageChops.multiply(changed, mask).getbbox()

    with display.slow_desktop() if slow_desktop else contextlib.nullcontext():
        program.click_client(*point)
        veld.wait_until(lambda: ImageChops.difference(before.crop(corner), shot("after").crop(corner)).getbbox(),
                        interval=0.05, what=f"the new desktop after {name}")
        veld.wait_until(repainted, interval=0.05, what=f"the window painted again after {name}")


@pytest.mark.parametrize("virtual_desktop,dpi", [(False, 96), (True, 96), (False, 192)])
def test_the_overview_story_set_the_third_entry_as_default(display_factory, programs, workdir, virtual_desktop, dpi):
    size, subfolder = ((1024, 768), "1024x768") if dpi == 96 else ((1920, 1200), "1280x1024")
    folder, program = start(display_factory, programs, workdir, shipped=True, size=size,
                            virtual_desktop=virtual_desktop, dpi=dpi)
    display = program.display
    rows = program.control("ListBox1")["screen"]
    display.click(rows[0] + 40, rows[1] + program.scaled(2 + 2 * 13 + 6))
    wait_preview(program)
    third = program.control("ListBox1", program.probe())
    assert third["selected"] == 2
    name = third["items"][2]

    run_wallpaper_command(program, SET_AS_DEFAULT, "overview-set-as-default", slow_desktop=True)
    expected = veld.win(folder / subfolder / name)
    veld.wait_until(lambda: (veld.read_ini(folder) or {}).get("DefaultWP", "").lower() == expected.lower(),
                    what="DefaultWP")
    assert display.registry_value(WALLPAPER_KEY, "Wallpaper").lower().endswith("\\tmp_wallpaper.bmp")
    bmp = (folder / "tmp_wallpaper.bmp").read_bytes()
    assert bmp[:2] == b"BM" and int.from_bytes(bmp[18:22], "little") == int(subfolder.split("x")[0])

    run_wallpaper_command(program, NO_WALLPAPER, "overview-no-wallpaper")
    veld.wait_until(lambda: veld.read_ini(folder).get("DefaultWP") == "", what="DefaultWP emptied")
    assert display.registry_value(WALLPAPER_KEY, "Wallpaper") in ("", None)


def test_delete_asks_and_only_ja_deletes(display_factory, programs, workdir):
    folder, program = start(display_factory, programs, workdir, shipped=True)
    display = program.display
    wallpapers = folder / "1024x768"
    rows = program.control("ListBox1")["screen"]

    def select_first():
        display.click(rows[0] + 40, rows[1] + 8)
        wait_preview(program)
        return program.control("ListBox1", program.probe())["items"][0]

    # "Nein" by Escape and by its button: file, list and preview stay. "Ja" by Return and by
    # its button: deleted, refilled without selection, preview empty.
    empty = None
    for answer in ("Escape", veld.text("No"), "Return", veld.text("Yes")):
        name = select_first()
        count = len(program.control("ListBox1", program.probe())["items"])
        before = program.region(f"delete-before-{answer}", PREVIEW)
        program.click_client(*DELETE)
        box = program.wait_dialog()
        assert box["title"] == "VELDANA"
        assert veld.dialog_text(box) == veld.text("AskDeleteFile", name=name)
        buttons = [c["text"] for c in box["children"] if c["class"].lower() == "button"]
        assert buttons == [veld.text("Yes"), veld.text("No")]
        display.screenshot(f"delete-dialog-{answer}")
        if answer in ("Escape", "Return"):
            display.move(*veld.centre(box["rect"]))
            display.key(answer)
        else:
            display.click(*veld.centre(veld.dialog_button(box, answer)["screen"]))
        state = veld.wait_until(lambda: (s := program.probe()) and not s["dialogs"] and s, what="the dialog to close")
        listbox = program.control("ListBox1", state)
        shown = program.region(f"delete-after-{answer}", PREVIEW)
        if answer in ("Escape", veld.text("No")):
            assert (wallpapers / name).exists() and listbox["selected"] == 0
            assert not ImageChops.difference(before, shown).getbbox()
        else:
            assert not (wallpapers / name).exists()
            assert len(listbox["items"]) == count - 1 and name not in listbox["items"]
            assert listbox["selected"] == -1
            empty = empty or shown
            assert not ImageChops.difference(empty, shown).getbbox(), "the preview is not empty"


def test_add_copies_a_typed_path_never_overwrites_and_a_missing_or_cancelled_choice_only_refills(
        display_factory, programs, workdir):
    folder, program = start(display_factory, programs, workdir, {"1024x768": ["mine.jpg", "other.jpg"]})
    display = program.display
    for name in ("mine.jpg", "other.jpg"):
        shutil.copy(veld.ROOT / "assets" / "wallpapers" / "800x600" / "Tollrand_Nebelpass.jpg",
                    folder / "1024x768" / name)
    kept = (folder / "1024x768" / "mine.jpg").read_bytes()
    own = workdir / "own pictures"
    own.mkdir()
    (own / "mine.jpg").write_bytes(b"\xff\xd8 a different picture of the same name")
    shutil.copy(veld.ROOT / "assets" / "wallpapers" / "1024x768" / "Tollrand_Spiegelsee.jpg", own / "Lake.jpg")
    rows = program.control("ListBox1")["screen"]

    for typed in [veld.win(own / "mine.jpg"), veld.win(own / "nowhere.jpg"), None, veld.win(own / "Lake.jpg")]:
        display.click(rows[0] + 40, rows[1] + 8)
        veld.wait_until(lambda: program.control("ListBox1", program.probe())["selected"] == 0, what="a selection")
        wait_preview(program)
        program.click_client(*ADD)
        dialog = program.wait_dialog()
        display.move(*veld.centre(dialog["rect"]))
        if typed is None:
            display.key("Escape")
        else:
            display.xdotool("type", "--delay", 20, typed)
            display.key("Return")
        # The refill follows the dialog: it drops the selection.
        state = veld.wait_until(lambda: (s := program.probe()) and not s["dialogs"]
                                and program.control("ListBox1", s)["selected"] == -1 and s,
                                what=f"the refilled list ({typed})")
        added = ["Lake.jpg"] if typed and typed.endswith("Lake.jpg") else []
        assert sorted(program.control("ListBox1", state)["items"]) == added + ["mine.jpg", "other.jpg"], typed
        assert (folder / "1024x768" / "mine.jpg").read_bytes() == kept
        assert not (folder / "1024x768" / "nowhere.jpg").exists()
    assert (folder / "1024x768" / "Lake.jpg").read_bytes() == (own / "Lake.jpg").read_bytes()


def test_the_text_link_turns_white_under_the_mouse(display_factory, programs, workdir):
    folder, program = start(display_factory, programs, workdir)
    display = program.display
    link = veld.box("Label1")
    display.move(*program.to_screen(300, 200))

    def white_pixels(name):
        return sum(1 for p in program.region(name, link).getdata() if p == (255, 255, 255))

    assert white_pixels("link-black") == 0
    display.move(*program.to_screen(*veld.middle("Label1")))
    veld.wait_until(lambda: white_pixels("link-white") > 50, what="the white text")
    display.move(*program.to_screen(300, 200))
    veld.wait_until(lambda: white_pixels("link-black-again") == 0, what="the black text")


def test_add_without_a_wallpaper_folder_says_so(display_factory, programs, workdir):
    folder, program = start(display_factory, programs, workdir, size=(1280, 960))
    program.click_client(*ADD)
    box = program.wait_dialog()
    assert box["title"] == "VELDANA"
    assert veld.dialog_text(box) == veld.text("NoWallpaperFolder")
    program.display.key("Return")
    veld.wait_until(lambda: not program.probe()["dialogs"], what="the box to close")
    assert program.control("ListBox1", program.state)["items"] == []


@pytest.mark.parametrize("dpi", [96, 192])
def test_hover_lights_buttons_inactive_look_ignores_them_and_close_saves(display_factory, programs, workdir, dpi):
    folder, program = start(display_factory, programs, workdir, {"1024x768": ["a.jpg"]},
                            size=(1024, 768) if dpi == 96 else (1920, 1200), dpi=dpi)
    display = program.display
    display.move(*program.to_screen(300, 200))
    for name, point, box in [("no-wallpaper", NO_WALLPAPER, veld.box("ImageNoWallpaper")),
                             ("set-as-default", SET_AS_DEFAULT, veld.box("ImageSetAsDefault")),
                             ("delete", DELETE, veld.box("ImageDeleteSelected")), ("add", ADD, veld.box("ImageAddYourOwn")),
                             ("close", CLOSE, veld.box("ImageClose"))]:
        normal = program.region(f"hover-{name}-normal", box)
        display.move(*program.to_screen(*point))
        veld.wait_until(lambda: ImageChops.difference(normal, program.region(f"hover-{name}", box)).getbbox(),
                        what=f"{name} to light up")
        display.move(*program.to_screen(300, 200))
        veld.wait_until(lambda: not ImageChops.difference(normal, program.region(f"hover-{name}-left", box)).getbbox(),
                        what=f"{name} to go back")

    # Inactive: greyed buttons ignore clicks (nothing selected anyway, so use "add").
    program.click_client(*veld.middle("CheckBox1"))
    veld.wait_until(lambda: not program.control("CheckBox1", program.probe())["checked"], what="inactive")
    display.screenshot("inactive-look")
    program.click_client(*ADD)
    # Clicks are taken in turn: a file dialog opened by the first would hold back the close.
    program.click_client(*CLOSE)
    program.wait_exit()
    assert veld.read_ini(folder) == {"Active": "False", "Random": "False"}
