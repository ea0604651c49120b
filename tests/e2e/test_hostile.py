"""Veldana against what a careless or hostile world leaves in its folders: broken, forged
and huge wallpapers, names the code page cannot hold, files that vanish or that another
program holds open, a program folder that cannot be written, a full disk, damaged
settings and missing parts.

Every case ends with the program still running (or closed when asked to), a message
where the user must know, and every file that was good before as it was. Root ignores
read-only bits, so "cannot write" is made real: `chattr +i`, a folder where the file
belongs, a file held open by another Windows program, a full file system. Each such
case then lifts the obstacle and shows that the same action now succeeds.
"""

import io
import random
import shutil
import subprocess
from pathlib import Path

import pytest
from PIL import Image

import veld

# They share one screen and the shelf of wallpapers: one worker runs them in turn.
pytestmark = pytest.mark.xdist_group("hostile")
from veld import near, win

SET_AS_DEFAULT = veld.middle("Label5")
ADD_YOUR_OWN = veld.middle("Label7")
CLOSE = veld.middle("Label3")
ACTIVE_BOX = veld.middle("CheckBox1")
PREVIEW = veld.box("Image2")

RED, BLUE = (200, 40, 40), (40, 40, 200)
OPEN_FAILS = veld.text("CannotOpenFile", path="{dir}\\{name}", reason="")
CREATE_FAILS = veld.text("CannotCreateFile", path="{dir}\\{name}", reason="")
INI_FAILS = veld.text("CannotWriteSettings", path="{dir}\\/veld.ini") + "."
LINE_BREAK_REFUSED = veld.text("LineBreakInName", path="{dir}\\/veld.ini", file="{path}")


# --- pictures -----------------------------------------------------------------------

def jpeg(size, quality=90):
    """A picture whose top half is red and bottom half blue."""
    picture = Image.new("RGB", size, RED)
    picture.paste(BLUE, (0, size[1] // 2, size[0], size[1]))
    out = io.BytesIO()
    picture.save(out, "JPEG", quality=quality)
    return out.getvalue()


def forged(data, **fields):
    """The baseline file with its frame header changed: marker, precision, height, width."""
    out = bytearray(data)
    at = data.index(b"\xff\xc0")
    for name, offset, size in (("marker", 1, 1), ("precision", 4, 1), ("height", 5, 2), ("width", 7, 2)):
        if name in fields:
            out[at + offset:at + offset + size] = fields[name].to_bytes(size, "big")
    return bytes(out)


def truncated(data):
    """Cut a quarter of the way into the scan: the red top is there, the blue bottom is not."""
    scan = data.find(b"\xff\xda")
    start = scan + 2 + int.from_bytes(data[scan + 2:scan + 4], "big")
    return data[:start + (len(data) - start) // 4]


def saved(picture, kind):
    out = io.BytesIO()
    picture.save(out, kind)
    return out.getvalue()


def arithmetic(data):
    return subprocess.run(["jpegtran", "-arithmetic"], input=data, capture_output=True, check=True).stdout


GOOD_JPEG = jpeg((1024, 768))
# A good tmp_wallpaper.bmp from an earlier run, which a failed conversion must leave alone.
OLD_BMP = saved(Image.new("RGB", (64, 48), (10, 120, 10)), "BMP")


def bmp_picture(path):
    """Width, height and the colours of the top and bottom rows' middle of a 24-bit BMP."""
    data = Path(path).read_bytes()
    assert data[:2] == b"BM"
    offset = int.from_bytes(data[10:14], "little")
    width = int.from_bytes(data[18:22], "little", signed=True)
    height = int.from_bytes(data[22:26], "little", signed=True)
    assert int.from_bytes(data[28:30], "little") == 24
    stride = (width * 3 + 3) // 4 * 4
    assert len(data) == offset + stride * height

    def pixel(row):  # rows are stored bottom-up, pixels as blue, green, red
        at = offset + row * stride + width // 2 * 3
        return data[at + 2], data[at + 1], data[at]
    return width, height, pixel(height - 1), pixel(0)


# --- the rig ------------------------------------------------------------------------

LOCKER_SOURCE = r"""
#include <windows.h>
/* Holds a file open without sharing until it is killed; argv[2] appears once it does. */
int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(CreateFileA(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    Sleep(INFINITE);
    return 0;
}
"""


@pytest.fixture(scope="module")
def screen(tmp_path_factory):
    display = veld.Display(1024, 768, tmp_path_factory.mktemp("screen"))
    yield display
    display.close()


@pytest.fixture(scope="module")
def locker(tmp_path_factory):
    """A small Windows program that holds a file open, as an editor or a scanner would."""
    folder = tmp_path_factory.mktemp("locker")
    (folder / "locker.c").write_text(LOCKER_SOURCE)
    try:
        subprocess.run(["x86_64-w64-mingw32-gcc", "-O1", "-o", str(folder / "locker.exe"), str(folder / "locker.c")],
                       check=True, capture_output=True, timeout=120)
    except (OSError, subprocess.CalledProcessError) as error:
        return f"the locking helper cannot be built: {error}"
    return folder / "locker.exe"


class Rig:
    """Programs started on the shared screen and the obstacles put in their way; closing
    ends the programs first, then lifts every obstacle, also after a failure, and removes
    the program folders (a 100 MB bitmap, a 50 MB veld.ini)."""

    def __init__(self, screen, base, locker):
        self.screen, self.base, self.locker = screen, Path(base), locker
        self.programs, self.undo = [], []

    def start(self, folder, wait=True, lang=None):
        program = veld.Program(self.screen, folder, wait=wait, lang=lang)
        self.programs.append(program)
        return program

    def protect(self, path):
        """chattr +i: not even root can change, replace or (for a folder) add entries."""
        done = subprocess.run(["chattr", "+i", str(path)], capture_output=True, text=True)
        if done.returncode != 0:
            pytest.skip(f"chattr +i is not permitted here: {done.stderr.strip()}")

        def lift():
            subprocess.run(["chattr", "-i", str(path)], check=True)
        self.undo.append(lift)
        return lift

    def lock(self, path):
        """Another Windows program opens the file without sharing; returns the release."""
        if not isinstance(self.locker, Path):
            pytest.skip(self.locker)
        ready = self.base / f"locked-{len(self.undo)}"
        process = subprocess.Popen(["wine", str(self.locker), win(path), win(ready)], env=self.screen.env,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def release():
            if process.poll() is None:
                process.kill()
                process.wait()
        self.undo.append(release)
        veld.wait_until(lambda: ready.exists() or process.poll() is not None, what="the file to be locked")
        assert process.poll() is None, "the helper could not open the file"
        return release

    def close(self):
        for program in self.programs:
            program.kill()
        for undo in reversed(self.undo):
            try:
                undo()
            except Exception:  # the next obstacle must still go
                pass
        for folder in {program.folder for program in self.programs}:
            shutil.rmtree(folder, ignore_errors=True)


@pytest.fixture
def rig(screen, locker, tmp_path):
    rig = Rig(screen, tmp_path, locker)
    yield rig
    rig.close()


# --- what the user does and sees -----------------------------------------------------

def close_box(program, box, key="Return"):
    program.display.move(*veld.centre(box["rect"]))
    program.display.key(key)
    veld.wait_until(lambda: not program.probe().get("dialogs"), what="the box to close")


def outcome(program, finished, timeout=120):
    """How the last action ended: the text of the box it showed (closed again here), or
    None when finished(state) says it is over without one."""
    def seen():
        state = program.probe()
        assert state.get("main"), "the program has gone"
        if state["dialogs"]:
            return state["dialogs"][0]
        return "finished" if finished(state) else None
    box = veld.wait_until(seen, timeout=timeout, what="the action to end")
    if box == "finished":
        return None
    assert box["title"] == "VELDANA"
    text = veld.dialog_text(box)
    close_box(program, box)
    return text


def select(program, name):
    """Clicks the entry, scrolling the list with the wheel until it shows; returns the box
    text of the preview, or None when the picture is shown."""
    display = program.display
    listbox = program.control("ListBox1", program.probe())
    index = listbox["items"].index(name)
    left, top, right, bottom = listbox["screen"]
    rows = (bottom - top - 4) // listbox["item_height"]
    for _ in range(len(listbox["items"])):
        if listbox["top"] <= index < listbox["top"] + rows:
            break
        display.move(left + 40, top + 20)
        display.xdotool("click", 5 if index >= listbox["top"] + rows else 4)
        listbox = program.control("ListBox1", program.probe())
    else:
        raise AssertionError(f"{name} does not scroll into view")
    display.click(left + 40, top + 2 + (index - listbox["top"]) * listbox["item_height"] + 6)

    def shown(state):
        return (program.control("ListBox1", state)["selected"] == index
                and not program.control("Animate1", state)["visible"])
    return outcome(program, shown)


def preview_colours(program, name):
    """Colours in the middle of the preview's top and bottom quarter."""
    shot = Image.open(program.display.screenshot(name)).convert("RGB")
    left, top = program.window_rect()[:2]
    x = left + (PREVIEW[0] + PREVIEW[2]) // 2
    quarter = (PREVIEW[3] - PREVIEW[1]) // 4
    return shot.getpixel((x, top + PREVIEW[1] + quarter)), shot.getpixel((x, top + PREVIEW[3] - quarter))


def wait_preview(program, name, bottom_shown=True):
    """Waits for the red-over-blue picture in the preview (its blue half missing when
    not bottom_shown); the painting may follow the end of the click a moment later."""
    def painted():
        top, bottom = preview_colours(program, f"hostile-{name}")
        return near(top, RED) and near(bottom, BLUE) == bottom_shown
    veld.wait_until(painted, interval=0.3, what=f"the preview of {name}")


def set_as_default(program, folder, path):
    """Clicks "Set as default": the box text, or None once DefaultWP names path."""
    program.click_client(*SET_AS_DEFAULT)
    return outcome(program, lambda state: (veld.read_ini(folder) or {}).get("DefaultWP") == win(path))


def close_window(program):
    """Clicks the close button: the text of the box shown on the way out, or None."""
    program.click_client(*CLOSE)
    box = veld.wait_until(lambda: program.exited() or (program.probe().get("dialogs") or [None])[0],
                          what="the window to close or a box")
    text = None
    if box is not True:
        assert box["title"] == "VELDANA"
        text = veld.dialog_text(box)
        close_box(program, box)
    program.wait_exit()
    return text


def program_folder(base, files=(), ini="[Settings]\r\nActive=True\r\n"):
    folder = veld.make_program_folder(base, ini=ini)
    for name in files:
        (folder / "1024x768" / name).write_bytes(GOOD_JPEG)
    return folder


# --- wallpaper files ------------------------------------------------------------------

SHELF = {
    "good.jpg": lambda: GOOD_JPEG,
    "empty.jpg": lambda: b"",
    "not-a-jpeg.jpg": lambda: b"GIF89a\x01\x00\x01\x00 a picture, but not a JPEG",
    # libjpeg-turbo 2.1's cjpeg writes 8-bit files only: an extended 12-bit frame declared.
    "twelve-bit.jpg": lambda: forged(GOOD_JPEG, marker=0xC1, precision=12),
    "bomb.jpg": lambda: forged(jpeg((16, 16)), width=65500, height=65500),
    "truncated.jpg": lambda: truncated(GOOD_JPEG),
    "arithmetic.jpg": lambda: arithmetic(GOOD_JPEG),
    "7680x4320.jpg": lambda: jpeg((7680, 4320), quality=80),
    "caf\u00e9.jpg": lambda: GOOD_JPEG,
    "\u03a9\u03bc\u03ad\u03b3\u03b1.jpg": lambda: GOOD_JPEG,  # Greek
    "\u5915\u713c\u3051.jpg": lambda: GOOD_JPEG,  # Japanese
    "gone.jpg": lambda: GOOD_JPEG,
    "locked.jpg": lambda: GOOD_JPEG,
}
# A legal name on Linux; as DefaultWP it would write a section and keys of its own.
LINE_BREAK = "a\r\n[Settings]\r\nActive=True\r\nRandom=True\r\nz.jpg"
SHELF[LINE_BREAK] = lambda: GOOD_JPEG


# What the preview and Set as default say of a file they refuse.
REFUSED = [
    ("empty.jpg", veld.text("JpegError", number=42) + "."),  # JERR_INPUT_EMPTY
    ("not-a-jpeg.jpg", veld.text("JpegError", number=53) + "."),  # JERR_NO_SOI
    ("twelve-bit.jpg", veld.text("JpegError", number=15) + "."),  # JERR_BAD_PRECISION
    ("bomb.jpg", veld.text("PictureTooLarge", name="bomb.jpg", size="65500 x 65500 Pixel")),
    ("over-a-gigabyte.jpg", veld.text("FileTooLarge", path="{dir}\\over-a-gigabyte.jpg")),
]


class TestWallpaperFiles:
    """One program over a wallpaper folder holding every kind of file at once."""

    @pytest.fixture(scope="class")
    def shelf(self, screen, locker, tmp_path_factory):
        base = tmp_path_factory.mktemp("shelf")
        rig = Rig(screen, base, locker)
        folder = program_folder(base)
        wallpapers = folder / "1024x768"
        for name, make in SHELF.items():
            (wallpapers / name).write_bytes(make())
        # Past 1 GB, without taking the disk space.
        with open(wallpapers / "over-a-gigabyte.jpg", "wb") as sparse:
            sparse.truncate(3 << 30)
        release = rig.lock(wallpapers / "locked.jpg") if isinstance(locker, Path) else None
        program = rig.start(folder)
        (wallpapers / "gone.jpg").unlink()
        yield program, folder, release
        rig.close()

    @pytest.fixture
    def case(self, shelf):
        """The shelf with the good old tmp_wallpaper.bmp back in place and no box open."""
        program, folder, release = shelf
        for box in program.probe()["dialogs"]:
            close_box(program, box)
        (folder / "tmp_wallpaper.bmp").write_bytes(OLD_BMP)
        # Off and on again empties the preview, so a picture seen later is the new one.
        for checked in (False, True):
            program.click_client(*ACTIVE_BOX)
            veld.wait_until(lambda: program.control("CheckBox1", program.probe())["checked"] == checked,
                            what="the check mark")
        return program, folder, release

    @pytest.mark.parametrize("name,message", REFUSED)
    def test_a_file_that_cannot_be_shown_is_refused_and_the_old_wallpaper_stays(self, case, name, message):
        program, folder, _ = case
        message = message.format(dir=win(folder / "1024x768"))
        ini = (folder / "veld.ini").read_bytes()

        assert select(program, name) == message
        assert set_as_default(program, folder, folder / "1024x768" / name) == message

        assert not program.exited()
        assert (folder / "tmp_wallpaper.bmp").read_bytes() == OLD_BMP
        assert not (folder / "tmp_wallpaper.bmp.new").exists()
        assert (folder / "veld.ini").read_bytes() == ini, "DefaultWP must not name a refused file"

    @pytest.mark.parametrize("name,size,bottom_shown", [
        ("truncated.jpg", (1024, 768), False),  # shown as far as the data goes
        ("arithmetic.jpg", (1024, 768), True),
        ("7680x4320.jpg", (7680, 4320), True),
        ("caf\u00e9.jpg", (1024, 768), True),  # outside ASCII, inside the code page
    ])
    def test_a_picture_libjpeg_can_read_previews_and_becomes_the_wallpaper(self, case, name, size, bottom_shown):
        program, folder, _ = case
        assert select(program, name) is None
        wait_preview(program, name, bottom_shown)

        assert set_as_default(program, folder, folder / "1024x768" / name) is None
        width, height, top, bottom = bmp_picture(folder / "tmp_wallpaper.bmp")
        assert (width, height) == size
        assert near(top, RED)
        assert near(bottom, BLUE) == bottom_shown
        assert not (folder / "tmp_wallpaper.bmp.new").exists()

    def test_names_outside_the_code_page_are_listed_shown_and_set_through_their_short_names(self, case):
        program, folder, _ = case
        listed = program.control("ListBox1", program.probe())["items"]
        assert sorted(listed) == sorted([*SHELF, "over-a-gigabyte.jpg"])  # each by its own name
        foreign = ["\u03a9\u03bc\u03ad\u03b3\u03b1.jpg", "\u5915\u713c\u3051.jpg"]
        for number, name in enumerate(foreign):
            assert select(program, name) is None
            wait_preview(program, f"foreign-{number}")  # a screenshot's file name has no "?"
            before = (veld.read_ini(folder) or {}).get("DefaultWP")
            program.click_client(*SET_AS_DEFAULT)
            assert outcome(program, lambda state: (veld.read_ini(folder) or {}).get("DefaultWP") != before) is None
            short = veld.read_ini(folder)["DefaultWP"]
            assert short.startswith(win(folder / "1024x768") + "\\") and "~" in short, short
            assert (folder / "tmp_wallpaper.bmp").read_bytes() != OLD_BMP

    def test_a_name_with_a_line_break_is_refused_before_anything_is_converted(self, case):
        program, folder, _ = case
        path = folder / "1024x768" / LINE_BREAK
        ini = (folder / "veld.ini").read_bytes()
        assert select(program, LINE_BREAK).startswith(OPEN_FAILS.format(dir=win(path.parent), name=LINE_BREAK))
        assert set_as_default(program, folder, path) == LINE_BREAK_REFUSED.format(dir=win(folder), path=win(path))
        assert (folder / "tmp_wallpaper.bmp").read_bytes() == OLD_BMP
        assert not (folder / "tmp_wallpaper.bmp.new").exists()
        assert (folder / "veld.ini").read_bytes() == ini

    def test_a_file_gone_since_the_scan_is_named_by_the_preview(self, case):
        program, folder, _ = case
        gone = folder / "1024x768" / "gone.jpg"
        text = select(program, "gone.jpg")
        assert text.startswith(OPEN_FAILS.format(dir=win(gone.parent), name="gone.jpg")) and text.endswith(".")

    def test_a_file_another_program_holds_open_is_named_until_it_lets_go(self, case):
        program, folder, release = case
        if release is None:
            pytest.skip("the locking helper cannot be built")
        locked = folder / "1024x768" / "locked.jpg"
        message = OPEN_FAILS.format(dir=win(locked.parent), name="locked.jpg")
        ini = (folder / "veld.ini").read_bytes()
        for action in (lambda: select(program, "locked.jpg"), lambda: set_as_default(program, folder, locked)):
            text = action()
            assert text.startswith(message) and text.endswith("."), text
        assert (folder / "tmp_wallpaper.bmp").read_bytes() == OLD_BMP
        assert (folder / "veld.ini").read_bytes() == ini

        release()
        assert select(program, "locked.jpg") is None
        wait_preview(program, "locked.jpg")
        assert set_as_default(program, folder, locked) is None
        assert bmp_picture(folder / "tmp_wallpaper.bmp")[:2] == (1024, 768)


@pytest.mark.parametrize("lang,code_page", [("hi_IN.UTF-8", 65001), ("ja_JP.UTF-8", 932)])
def test_boxes_read_right_whatever_the_systems_code_page(rig, lang, code_page):
    """The program's German words are Windows-1252, the names the system hands over are in
    its own code page: on a UTF-8 or a Japanese Windows each reaches the box whole."""
    assert rig.screen.probe(lang=lang)["acp"] == code_page, f"{lang} is not installed (scripts/install-deps.sh)"
    evening = "\u5915\u713c\u3051"  # in Shift-JIS and in UTF-8 alike
    (rig.base / evening).mkdir()
    folder = program_folder(rig.base / evening, files=[f"{evening}.jpg"])
    wallpapers = folder / "1024x768"
    for name, _ in REFUSED:
        (wallpapers / name).write_bytes(SHELF[name]() if name in SHELF else b"")
    with open(wallpapers / "over-a-gigabyte.jpg", "wb") as sparse:
        sparse.truncate(3 << 30)
    program = rig.start(folder, lang=lang)
    for name, message in REFUSED:
        assert select(program, name) == message.format(dir=win(wallpapers))

    assert select(program, f"{evening}.jpg") is None
    program.click_client(*veld.middle("Label6"))
    box = program.wait_dialog()
    assert veld.dialog_text(box) == veld.text("AskDeleteFile", name=f"{evening}.jpg")
    veld.dialog_button(box, veld.text("No"))
    close_box(program, box, "Escape")
    assert (wallpapers / f"{evening}.jpg").exists()


# --- start-up ------------------------------------------------------------------------

def without_button_picture(folder):
    (folder / "Media" / "button2_B.bmp").unlink()
    return folder, OPEN_FAILS.format(dir=win(folder / "Media"), name="button2_B.bmp"), ["good.jpg"]


def without_wallpaper_folder(folder):
    shutil.rmtree(folder / "1024x768")
    return folder, None, []


def with_ten_thousand_wallpapers(folder):
    names = [f"wallpaper {i:05d}.jpg" for i in range(10_000)]
    for name in names:
        (folder / "1024x768" / name).touch()
    return folder, None, names + ["good.jpg"]


def in_a_folder_the_code_page_cannot_spell(folder):
    """Installed for a user whose name is Greek, on a Western-European system."""
    greek = folder.parent / "\u0395\u03bb\u03ad\u03bd\u03b7" / "Veldana"
    greek.parent.mkdir()
    folder.rename(greek)
    return greek, None, ["good.jpg"]


@pytest.mark.parametrize("damage", [without_button_picture, without_wallpaper_folder, with_ten_thousand_wallpapers,
                                    in_a_folder_the_code_page_cannot_spell])
def test_start_up_names_what_is_missing_and_still_reads_the_settings(rig, damage):
    folder, message, listed = damage(program_folder(rig.base, ["good.jpg"]))
    program = rig.start(folder, wait=False)
    if message:
        box = program.wait_dialog()
        assert box["title"] == "VELDANA"
        text = veld.dialog_text(box)
        assert text.startswith(message) and text.endswith("."), text
        close_box(program, box)
    # A box at start-up comes before the window: once it shows, there was none. Ten thousand
    # entries take a slow machine minutes to list, and the probe as long to read.
    state = veld.wait_until(lambda: (s := program.probe())["main"] and s["main"]["visible"] and s,
                            timeout=600, what="the main window")
    assert not state["dialogs"]
    assert program.control("CheckBox1", state)["checked"], "Active=True was not read"
    assert sorted(program.control("ListBox1", state)["items"]) == sorted(listed)
    assert close_window(program) is None
    assert veld.read_ini(folder) == {"Active": "True", "Random": "False"}


# --- tmp_wallpaper.bmp cannot be replaced ---------------------------------------------

def bmp_protected(rig, folder):
    return rig.protect(folder / "tmp_wallpaper.bmp")


def bmp_is_a_folder(rig, folder):
    bmp = folder / "tmp_wallpaper.bmp"
    bmp.unlink()
    bmp.mkdir()
    (bmp / "keep.txt").write_bytes(b"mine")
    return lambda: shutil.rmtree(bmp)


def temporary_is_a_folder(rig, folder):
    (folder / "tmp_wallpaper.bmp.new").mkdir()
    return lambda: (folder / "tmp_wallpaper.bmp.new").rmdir()


def bmp_held_open(rig, folder):
    return rig.lock(folder / "tmp_wallpaper.bmp")


def program_folder_protected(rig, folder):
    return rig.protect(folder)


@pytest.mark.parametrize("obstacle", [bmp_protected, bmp_is_a_folder, temporary_is_a_folder, bmp_held_open,
                                      program_folder_protected])
def test_set_as_default_names_tmp_wallpaper_it_cannot_replace_and_keeps_the_old_one(rig, obstacle):
    folder = program_folder(rig.base, ["good.jpg"])
    (folder / "tmp_wallpaper.bmp").write_bytes(OLD_BMP)
    lift = obstacle(rig, folder)
    before = {path.name: path.read_bytes() for path in folder.iterdir() if path.is_file()}
    program = rig.start(folder)
    good = folder / "1024x768" / "good.jpg"

    assert select(program, "good.jpg") is None
    text = set_as_default(program, folder, good)
    blocked = "tmp_wallpaper.bmp.new" if obstacle is temporary_is_a_folder else "tmp_wallpaper.bmp"
    assert text and text.startswith(CREATE_FAILS.format(dir=win(folder), name=blocked)) and text.endswith("."), text
    assert not program.exited()
    assert {path.name: path.read_bytes() for path in folder.iterdir() if path.is_file()} == before
    if obstacle is bmp_is_a_folder:
        assert (folder / "tmp_wallpaper.bmp" / "keep.txt").read_bytes() == b"mine"
    if obstacle is not temporary_is_a_folder:
        assert not (folder / "tmp_wallpaper.bmp.new").exists()

    # The obstacle, and nothing else, was in the way.
    lift()
    assert set_as_default(program, folder, good) is None
    assert bmp_picture(folder / "tmp_wallpaper.bmp")[:2] == (1024, 768)
    assert not (folder / "tmp_wallpaper.bmp.new").exists()
    assert close_window(program) is None


def test_a_full_disk_keeps_the_old_wallpaper_and_leaves_no_partial_file(rig):
    disk = rig.base / "disk"
    disk.mkdir()
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=12m", "tmpfs", str(disk)],
                             capture_output=True, text=True)
    if mounted.returncode != 0:
        pytest.skip(f"a small file system cannot be mounted here: {mounted.stderr.strip()}")
    rig.undo.append(lambda: subprocess.run(["umount", "-l", str(disk)], check=True))
    folder = program_folder(disk, ["good.jpg"])
    (folder / "tmp_wallpaper.bmp").write_bytes(OLD_BMP)
    # Leave about 1 MB: the 2.3 MB bitmap of the 1024 x 768 picture does not fit.
    free = shutil.disk_usage(disk).free
    (disk / "filler").write_bytes(b"\0" * (free - (1 << 20)))
    program = rig.start(folder)
    good = folder / "1024x768" / "good.jpg"

    assert select(program, "good.jpg") is None
    text = set_as_default(program, folder, good)
    assert text and text.startswith(CREATE_FAILS.format(dir=win(folder), name="tmp_wallpaper.bmp")), text
    assert (folder / "tmp_wallpaper.bmp").read_bytes() == OLD_BMP
    assert not (folder / "tmp_wallpaper.bmp.new").exists(), "the half-written bitmap keeps the disk full"

    # Add your own with room for a third of the picture leaves nothing; unreported.
    own = rig.base / "noise.jpg"
    own.write_bytes(saved(Image.frombytes("RGB", (560, 420), random.Random(3).randbytes(560 * 420 * 3)), "JPEG"))
    (disk / "filler").write_bytes(b"\0" * ((disk / "filler").stat().st_size + shutil.disk_usage(disk).free
                                         - own.stat().st_size // 3))
    program.click_client(*ADD_YOUR_OWN)
    program.display.move(*veld.centre(program.wait_dialog()["rect"]))
    program.display.xdotool("type", "--delay", 20, win(own))
    program.display.key("Return")
    state = veld.wait_until(lambda: (s := program.probe()) and not s["dialogs"]
                            and program.control("ListBox1", s)["selected"] == -1 and s, what="the refill")
    assert program.control("ListBox1", state)["items"] == ["good.jpg"]
    assert [path.name for path in (folder / "1024x768").iterdir()] == ["good.jpg"]

    (disk / "filler").unlink()
    assert select(program, "good.jpg") is None
    assert set_as_default(program, folder, good) is None
    assert bmp_picture(folder / "tmp_wallpaper.bmp")[:2] == (1024, 768)
    assert close_window(program) is None


# --- veld.ini cannot be written ---------------------------------------------------------

OWN_INI = b"[Settings]\r\nActive=True\r\n; my own note\r\n"


def ini_protected(rig, folder):
    (folder / "veld.ini").write_bytes(OWN_INI)
    return rig.protect(folder / "veld.ini"), OWN_INI + b"Random=False\r\n"


def folder_protected_without_ini(rig, folder):
    return rig.protect(folder), b"[Settings]\r\nActive=False\r\nRandom=False\r\n"


# veld.ini held open or a folder at start-up is named then, and closing stores only what
# the user changed (tests/win/StartupTest.cpp).
@pytest.mark.parametrize("obstacle", [ini_protected, folder_protected_without_ini])
def test_closing_names_veld_ini_it_cannot_write_and_still_closes(rig, obstacle):
    folder = program_folder(rig.base, ["good.jpg"], ini=None)
    lift, written_later = obstacle(rig, folder)
    ini = folder / "veld.ini"
    before = ini.read_bytes() if ini.is_file() else None

    program = rig.start(folder)
    assert close_window(program) == INI_FAILS.format(dir=win(folder))
    assert (ini.read_bytes() if ini.is_file() else None) == before

    lift()
    assert close_window(rig.start(folder)) is None
    assert ini.read_bytes() == written_later


def test_set_as_default_with_a_protected_veld_ini_sets_the_wallpaper_and_says_the_choice_was_not_stored(rig):
    folder = program_folder(rig.base, ["good.jpg"], ini=None)
    (folder / "veld.ini").write_bytes(OWN_INI)
    lift = rig.protect(folder / "veld.ini")
    program = rig.start(folder)
    good = folder / "1024x768" / "good.jpg"

    assert select(program, "good.jpg") is None
    assert set_as_default(program, folder, good) == INI_FAILS.format(dir=win(folder))
    assert (folder / "veld.ini").read_bytes() == OWN_INI
    assert bmp_picture(folder / "tmp_wallpaper.bmp")[:2] == (1024, 768)

    lift()
    assert set_as_default(program, folder, good) is None


# --- damaged or unusual settings ----------------------------------------------------------

def junk(seed, size, inside=b""):
    noise = random.Random(seed)
    half = bytes(noise.randrange(256) for _ in range(size // 2))
    return half + inside + bytes(noise.randrange(256) for _ in range(size // 2))


def settings(data):
    """The [Settings] values as the system reads them from data, in whatever text it is."""
    text = data[2:].decode("utf-16-le") if data[:2] == b"\xff\xfe" else data.decode("latin-1")
    values, section = {}, None
    for line in text.replace("\0", "\n").splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            section = line[1:-1]
        elif section == "Settings" and "=" in line:
            key, value = line.split("=", 1)
            values[key.strip()] = value.strip()
    return values


def many_lines():
    lines = b"".join(b"Key%07d=value number %d\r\n" % (i, i) for i in range(1_600_000))
    return b"[Other]\r\n" + lines + b"[Settings]\r\nActive=True\r\n"


@pytest.mark.parametrize("name,content,active,kept", [
    ("binary junk", lambda: junk(1, 20_000), False, False),
    ("binary junk around the settings", lambda: junk(2, 20_000, b"\r\n[Settings]\r\nActive=True\r\n"), True, False),
    ("50 MB of lines", many_lines, True, True),
    ("UTF-16 from Notepad", lambda: "\ufeff[Settings]\r\nActive=True\r\nDefaultWP=C:\\Gr\u00fc\u00dfe.jpg\r\n"
     .encode("utf-16-le"), True, True),
])
def test_damaged_or_unusual_settings_start_and_close_without_a_word(rig, name, content, active, kept):
    folder = program_folder(rig.base, ["good.jpg"], ini=None)
    old = content()
    (folder / "veld.ini").write_bytes(old)
    program = rig.start(folder)
    state = program.probe()
    assert not state["dialogs"]
    assert program.control("CheckBox1", state)["checked"] == active
    assert close_window(program) is None

    new = (folder / "veld.ini").read_bytes()
    assert settings(new)["Active"] == ("True" if active else "False")
    assert settings(new)["Random"] == "False"
    if kept:
        # Readable settings keep every line; only the missing key is added.
        added = "Random=False\r\n".encode("utf-16-le" if old[:2] == b"\xff\xfe" else "ascii")
        assert new == old + added
