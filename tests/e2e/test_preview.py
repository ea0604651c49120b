"""The preview as a person uses it: clicks and keys in the list, a broken file."""

from PIL import ImageChops

import veld

PREVIEW = veld.box("Image2")


def changed(a, b):
    return ImageChops.difference(a, b).getbbox() is not None


def wait_idle(program):
    """The clip is gone again: the preview has finished."""
    return veld.wait_until(lambda: not program.control("Animate1", program.probe())["visible"] and program.state,
                           what="the preview to finish")


def test_clicks_and_keys_preview_and_a_click_below_the_entries_does_nothing(display_factory, programs, workdir):
    folder = veld.make_program_folder(workdir, ini="[Settings]\r\nActive=True\r\n", shipped=True)
    display = display_factory(1024, 768)
    program = programs(display, folder)
    listbox = program.control("ListBox1")
    assert len(listbox["items"]) >= 3
    empty = program.region("preview-empty", PREVIEW)

    # Click the first entry: the preview shows the picture instead of the name.
    rows = listbox["screen"]
    display.click(rows[0] + 40, rows[1] + 2 + 6)
    wait_idle(program)
    assert program.control("ListBox1")["selected"] == 0
    first = program.region("preview-first", PREVIEW)
    assert changed(empty, first)

    # A keyboard move previews the next one.
    display.key("Down")
    veld.wait_until(lambda: program.control("ListBox1", program.probe())["selected"] == 1, what="the selection")
    wait_idle(program)
    second = program.region("preview-second", PREVIEW)
    assert changed(first, second)

    # A click on the empty area below the entries changes nothing.
    count = len(listbox["items"])
    if count * listbox["item_height"] + 6 < rows[3] - rows[1]:
        display.click(rows[0] + 40, rows[3] - 4)
        wait_idle(program)
        assert program.control("ListBox1", program.probe())["selected"] == 1
        assert not changed(second, program.region("preview-below", PREVIEW))


def test_broken_file_shows_the_jpeg_error_and_the_program_goes_on(display_factory, programs, workdir):
    folder = veld.make_program_folder(workdir, {"1024x768": ["broken.jpg"]}, ini="[Settings]\r\nActive=True\r\n")
    (folder / "1024x768" / "broken.jpg").write_bytes(b"GIF89a this is not a jpeg")
    display = display_factory(1024, 768)
    program = programs(display, folder)
    rows = program.control("ListBox1")["screen"]
    display.click(rows[0] + 40, rows[1] + 8)
    box = program.wait_dialog()
    assert box["title"] == "VELDANA"
    assert veld.dialog_text(box) == veld.text("JpegError", number=53) + "."
    display.screenshot("preview-broken")
    display.key("Return")
    state = veld.wait_until(lambda: (s := program.probe()) and not s["dialogs"] and s, what="the box to close")
    assert not program.control("Animate1", state)["visible"]
    assert not program.exited()
