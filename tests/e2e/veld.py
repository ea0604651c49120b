"""Drives the built Veldana from outside, as a person or a screen reader would.

A Display is one virtual X screen of a chosen size with a Wine prefix of its own; a
Program is Veldana.exe started from a program folder on that display.
Windows are read with veldprobe.exe (window classes, list entries, check marks,
enabled states, focus, place and region), input is real X input through xdotool, and
screenshots come from ImageMagick's import.
"""

import ast
import contextlib
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

from PIL import Image

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "scripts"))
import places  # noqa: E402

BUILD = ROOT / "build"
DIST = ROOT / "dist" / "Veldana"
PROBE = BUILD / "win" / "tests" / "e2e" / "veldprobe.exe"
SCREENSHOTS = BUILD / "e2e-screenshots"

# Where a person finds each control, in client coordinates (left, top, width, height),
# as the layout table places it.
PLACES = places.read_places()
CLIENT_WIDTH, CLIENT_HEIGHT = PLACES["Image1"][2:]


def box(name):
    """A control's rectangle in client coordinates: (left, top, right, bottom)."""
    return places.box(PLACES[name])


def middle(name):
    """The client point at the middle of a control, where a person clicks it."""
    return places.middle(PLACES[name])


# The texts the user reads, spelled once in tests/native/TextsTest.cpp, whose C escapes Python reads alike.
SPELLINGS = {key: ast.literal_eval("b" + spelled).decode("cp1252") for key, spelled in re.findall(
    r'^ *\{"(\w+)", ("(?:[^"\\]|\\.)*"),', (ROOT / "tests" / "native" / "TextsTest.cpp").read_text(), re.M)}


def text(key, /, **values):
    """The text of key with values put in its {placeholders}."""
    return SPELLINGS[key].format(**values)


def win(path):
    """A Linux path as the program sees it under Wine."""
    return "Z:" + str(path).replace("/", "\\")


def near(colour, expected, tolerance=30):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


# Waits are for conditions, with limits long enough for a machine ten times slower than a warm one.
def wait_until(predicate, timeout=120.0, interval=0.1, what="condition"):
    deadline = time.monotonic() + timeout
    last = None
    while time.monotonic() < deadline:
        last = predicate()
        if last:
            return last
        time.sleep(interval)
    raise AssertionError(f"timed out after {timeout:.0f} s waiting for {what}")


class Display:
    """A virtual X screen with a Wine prefix and a wineserver of its own, so that nothing
    another test set or left behind reaches it; closing stops both by PID and removes the
    prefix.

    depth is the screen's bits per pixel (24, 16 or 8) and dpi its scale in dots per inch;
    without keyboard_cues the focus shows only once the keyboard is used.
    With virtual_desktop, every Wine program started on the display runs in Wine's own
    desktop window of the screen's size, which the system paints, wallpaper included, as
    Windows does. It is up, painted in DESKTOP_COLOUR, before the display is handed out,
    and stays until it is closed, as a signed-in user's desktop does.
    """

    DESKTOP_COLOUR = (240, 160, 0)

    def __init__(self, width, height, workdir, depth=24, virtual_desktop=False, dpi=96, keyboard_cues=True):
        self.width, self.height, self.depth, self.dpi = width, height, depth, dpi
        self.virtual_desktop = virtual_desktop
        self.prober = None
        self.workdir = Path(workdir)
        self.xvfb = self.env = None
        # A copy of the prefix booted once, told the desktop and the scale before a wineserver reads it.
        (BUILD / "prefixes").mkdir(parents=True, exist_ok=True)
        self.prefix = Path(tempfile.mkdtemp(prefix="e2e-", dir=BUILD / "prefixes"))
        copy = f"source '{ROOT}/scripts/wine-env.sh' && veld_boot_prefix && veld_copy_prefix \"$1\""
        subprocess.run(["bash", "-c", copy, "_", str(self.prefix)], check=True, stdin=subprocess.DEVNULL)
        with open(self.prefix / "user.reg", "a", encoding="ascii") as registry:
            if virtual_desktop:
                registry.write(f'\n[Software\\\\Wine\\\\Explorer]\n"Desktop"="Default"\n'
                               f'[Software\\\\Wine\\\\Explorer\\\\Desktops]\n"Default"="{width}x{height}"\n'
                               '[Control Panel\\\\Colors]\n"Background"="%d %d %d"\n' % self.DESKTOP_COLOUR)
            if dpi != 96:
                registry.write(f'\n[Control Panel\\\\Desktop]\n"LogPixels"=dword:{dpi:08x}\n')
            if not keyboard_cues:
                # Windows' own default, which Wine's prefix does not share: the focus shows
                # only once the keyboard is used.
                registry.write('\n[Control Panel\\\\Desktop]\n"UserPreferencesMask"=hex:10,00,02,80,12,00,00,00\n')
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x{depth}", "-nolisten", "tcp",
             "-noreset"],  # else the screen starts afresh, root colour and all, each time no program is on it
            pass_fds=(write_fd,),
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            self.close()
            raise RuntimeError("Xvfb did not start")
        self.display = f":{number}"
        self.env = dict(os.environ, WINEPREFIX=str(self.prefix), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
                        WINEARCH="win64", LANG="C.UTF-8", DISPLAY=self.display)
        self.env.pop("LC_ALL", None)
        try:
            self._wine(["wineserver", "-p"])
            self._wine(["wine", "wineboot"], check=False)
            if virtual_desktop:
                # Wine closes a desktop a second after its last program ends: the probe, waiting for
                # the next look, keeps it, as a signed-in user's programs do.
                self.probe()
                subprocess.Popen(["wine", "explorer", f"/desktop=Default,{width}x{height}"], env=self.env,
                                 stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                wait_until(lambda: self.colour_at(width // 2, height // 2) == self.DESKTOP_COLOUR, what="the desktop")
        except BaseException:
            self.close()
            raise

    def _wine(self, args, check=True, timeout=120, lang=None):
        log = self.workdir / "wine.log"
        env = dict(self.env, LANG=lang) if lang else self.env
        with open(log, "ab") as out:
            return subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                                  check=check, timeout=timeout)

    def close(self):
        """Stops the screen and removes its prefix beside the next test, which shares none of it."""
        if self.xvfb is None:
            return
        xvfb, env, prefix, prober, self.xvfb = self.xvfb, self.env, self.prefix, self.prober, None

        def stop():
            if env:
                subprocess.run(["wineserver", "-k"], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, check=False)
            if prober:
                prober.wait()
            xvfb.send_signal(signal.SIGTERM)
            try:
                xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                xvfb.kill()
                xvfb.wait()
            shutil.rmtree(prefix, ignore_errors=True)
        threading.Thread(target=stop).start()

    @contextlib.contextmanager
    def slow_desktop(self):
        """Wine's desktop process (explorer) on this screen runs meanwhile in a CPU quota of
        1 ms a second, a cgroup v1 group of its own (tests run as root), as a busy machine may."""
        cpu, mine = Path("/sys/fs/cgroup/cpu"), f"WINEPREFIX={self.prefix}".encode()
        group = Path(tempfile.mkdtemp(prefix="veld-desktop-", dir=cpu))
        (group / "cpu.cfs_period_us").write_text("1000000")
        (group / "cpu.cfs_quota_us").write_text("1000")
        try:
            for proc in Path("/proc").glob("[0-9]*"):
                with contextlib.suppress(OSError):  # ended meanwhile
                    if b"explorer.exe" in (proc / "cmdline").read_bytes() and mine in (proc / "environ").read_bytes().split(b"\0"):
                        (group / "cgroup.procs").write_text(proc.name)
            assert (group / "cgroup.procs").read_text(), "no desktop process"
            yield
        finally:
            for pid in (group / "cgroup.procs").read_text().split():
                (cpu / "cgroup.procs").write_text(pid)
            group.rmdir()

    def registry(self, key):
        """A key's values as `reg query` shows them (binary in hex), or None when it is missing."""
        result = subprocess.run(["wine", "reg", "query", key], env=self.env, capture_output=True,
                                text=True, stdin=subprocess.DEVNULL, timeout=120)
        lines = [line.strip().split(None, 2) for line in result.stdout.splitlines()]
        return {p[0]: p[2] if len(p) == 3 else "" for p in lines if p[1:] and p[1].startswith("REG_")} \
            if result.returncode == 0 else None

    def registry_value(self, key, name):
        return (self.registry(key) or {}).get(name)

    def probe(self, action="", lang=None):
        """What the probe sees, after the action it is given ("minimise"); its "acp" is
        the code page of a program started in the locale lang. One probe stays on the
        screen for every look; one in another locale answers once."""
        request = f"{action}\n".encode()
        if lang:
            return json.loads(subprocess.run(["wine", str(PROBE)], input=request, env=dict(self.env, LANG=lang),
                                             capture_output=True, check=True, timeout=120).stdout)
        if not self.prober or self.prober.poll() is not None:
            with open(self.workdir / "wine.log", "ab") as log:
                self.prober = subprocess.Popen(["wine", str(PROBE)], env=self.env, stdin=subprocess.PIPE,
                                               stdout=subprocess.PIPE, stderr=log)
        self.prober.stdin.write(request)
        self.prober.stdin.flush()
        # A look waits while the program is busy (ten thousand entries on a slow machine take
        # minutes): only a probe that hangs is stopped.
        answer, deadline = b"", time.monotonic() + 600
        while not answer.endswith(b"\n"):
            if not select.select([self.prober.stdout], [], [], max(0.0, deadline - time.monotonic()))[0]:
                self.prober.kill()
                raise AssertionError("the probe did not answer within 600 s")
            answer += (chunk := os.read(self.prober.stdout.fileno(), 1 << 20))
            assert chunk, "the probe ended (see wine.log)"
        return json.loads(answer)

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def move(self, x, y):
        # --sync waits in vain for a move to where the pointer already is.
        here = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.env, capture_output=True,
                              text=True, timeout=30).stdout
        if f"X={x}\nY={y}\n" not in here:
            self.xdotool("mousemove", "--sync", x, y)

    def click(self, x, y, button=1):
        self.move(x, y)
        self.xdotool("click", button)

    def drag(self, start, end, button=1, steps=8):
        """Press at start, move to end in steps, release: a person's drag."""
        self.move(*start)
        self.xdotool("mousedown", button)
        for i in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * i // steps
            y = start[1] + (end[1] - start[1]) * i // steps
            self.xdotool("mousemove", "--sync", x, y)
            time.sleep(0.03)
        self.xdotool("mouseup", button)

    def set_root_colour(self, colour):
        subprocess.run(["xsetroot", "-solid", colour], env=self.env, check=True, timeout=30)

    def key(self, *keys):
        self.xdotool("key", "--delay", 50, *keys)

    def screenshot(self, name):
        """The screen in a file of this screen's own, kept as build/e2e-screenshots/NAME.png
        too: tests of one file run side by side, and may use one name."""
        SCREENSHOTS.mkdir(parents=True, exist_ok=True)
        path = self.workdir / f"{name}.png"
        subprocess.run(["import", "-window", "root", "-quality", "10", str(path)], env=self.env, check=True, timeout=30)
        shutil.copyfile(path, SCREENSHOTS / path.name)
        return path

    def colour_at(self, x, y, name="colour"):
        with Image.open(self.screenshot(name)) as shot:
            return shot.convert("RGB").getpixel((x, y))


def dialog_text(dialog):
    """The message of a dialog box: the texts of its static controls."""
    return "\n".join(c["text"] for c in dialog["children"] if c["class"].lower() == "static" and c["text"])


def dialog_button(dialog, text):
    for child in dialog["children"]:
        if child["class"].lower() == "button" and child["text"].replace("&", "") == text:
            return child
    raise AssertionError(f"no button {text!r} in {[c['text'] for c in dialog['children']]}")


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def make_program_folder(base, wallpapers=None, ini=None, shipped=False):
    """Copies the built program folder into base/Veldana, with the wallpaper folders
    holding only the given files ({"1024x768": ["a.jpg"]}) or, with shipped, the
    bundled wallpapers; and an optional veld.ini."""
    folder = Path(base) / "Veldana"
    shutil.copytree(DIST, folder)
    if not shipped:
        for size in ("800x600", "1024x768", "1280x1024"):
            shutil.rmtree(folder / size, ignore_errors=True)
            (folder / size).mkdir()
    for size, names in (wallpapers or {}).items():
        for name in names:
            (folder / size / name).write_bytes(b"\xff\xd8 fixture")
    if ini is not None:
        (folder / "veld.ini").write_bytes(ini.encode("cp1252"))
    return folder


def read_ini(folder):
    """The Settings section of veld.ini as a dict (CRLF lines as Windows writes them)."""
    values, section = {}, None
    path = Path(folder) / "veld.ini"
    if not path.exists():
        return None
    for line in path.read_bytes().decode("cp1252").splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            section = line[1:-1]
        elif "=" in line and section == "Settings":
            key, value = line.split("=", 1)
            values[key] = value
    return values


class Program:
    """Veldana.exe running on a Display."""

    def __init__(self, display, folder, wait=True, lang=None):
        self.display = display
        self.folder = Path(folder)
        log = open(display.workdir / "veldana.log", "ab")
        env = dict(display.env, LANG=lang) if lang else display.env
        self.process = subprocess.Popen(["wine", str(self.folder / "Veldana.exe")], env=env,
                                        cwd=self.folder, stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        log.close()
        self.state = wait_until(self._shown, what="the main window") if wait else None

    def _shown(self):
        state = self.display.probe()
        return state if state.get("main") and state["main"]["visible"] else None

    @property
    def dpi(self):
        """The window's scale, from its width."""
        left, _, right, _ = self.window_rect()
        return round((right - left) * 96 / CLIENT_WIDTH)

    def scaled(self, *values):
        """Client coordinates of the layout at the window's scale, each to the nearest pixel."""
        scaled = tuple((v * self.dpi + 48) // 96 for v in values)
        return scaled if len(scaled) > 1 else scaled[0]

    def probe(self):
        self.state = self.display.probe()
        return self.state

    def control(self, name, state=None):
        state = state or self.state
        left, top = self.scaled(*PLACES[name][:2])
        for child in state["main"]["children"]:
            if child["rect"][0] == left and child["rect"][1] == top:
                return child
        raise AssertionError(f"{name} not found at {left},{top}")

    def wait_dialog(self):
        """The first dialog box the program shows (message boxes, file dialogs)."""
        def dialog():
            state = self.display.probe()
            return state if state.get("main") and state["dialogs"] else None
        self.state = wait_until(dialog, what="a dialog")
        return self.state["dialogs"][0]

    def window_rect(self):
        return self.state["main"]["rect"]

    def to_screen(self, x, y):
        """A client point of the layout on the screen, at the window's scale."""
        left, top = self.window_rect()[:2]
        x, y = self.scaled(x, y)
        return left + x, top + y

    def region(self, name, box):
        """A screenshot cut to box (left, top, right, bottom) in client coordinates."""
        with Image.open(self.display.screenshot(name)) as shot:
            return shot.convert("RGB").crop(self.to_screen(*box[:2]) + self.to_screen(*box[2:]))

    def click_client(self, x, y, button=1):
        self.display.click(*self.to_screen(x, y), button=button)

    def exited(self):
        return self.process.poll() is not None

    def wait_exit(self):
        wait_until(self.exited, what="the program to end")

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
