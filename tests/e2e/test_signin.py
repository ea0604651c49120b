"""VeldanaStart.exe as it runs at sign-in: a wallpaper chosen at random appears on a
desktop that the system paints."""

from PIL import Image

import veld
from veld import near, win

COLOURS = {"red.jpg": (220, 30, 30), "green.jpg": (30, 200, 30), "blue.jpg": (30, 30, 220)}
DESKTOP = r"HKCU\Control Panel\Desktop"


def test_each_sign_in_shows_another_wallpaper_on_the_desktop(display_factory, workdir):
    folder = veld.make_program_folder(workdir, ini="[Settings]\r\nActive=True\r\nRandom=True\r\n")
    for name, colour in COLOURS.items():
        Image.new("RGB", (1024, 768), colour).save(folder / "1024x768" / name, quality=90)
    display = display_factory(1024, 768, virtual_desktop=True)

    centre = lambda: display.colour_at(512, 384, "signin-desktop")
    assert centre() == display.DESKTOP_COLOUR

    previous = ""
    for _ in range(3):
        display._wine(["wine", win(folder / "VeldanaStart.exe")])
        chosen = veld.wait_until(lambda: (c := veld.read_ini(folder).get("DefaultWP", "")) != previous and c,
                                 what="DefaultWP to change")
        name = chosen.rsplit("\\", 1)[1]
        assert chosen == win(folder / "1024x768" / name)
        assert display.registry_value(DESKTOP, "Wallpaper") == win(folder / "tmp_wallpaper.bmp")
        with Image.open(folder / "tmp_wallpaper.bmp") as bmp:
            assert bmp.size == (1024, 768) and near(bmp.getpixel((512, 384)), COLOURS[name])
        veld.wait_until(lambda: near(centre(), COLOURS[name]), what=f"{name} on the desktop")
        previous = chosen
    assert not (folder / "veldstart.log").exists()


def test_the_readme_commands_turn_sign_in_on_and_off_for_a_portable_folder(display_factory, workdir):
    run_key = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
    readme = (veld.ROOT / "README.md").read_text(encoding="utf-8").splitlines()
    folder = veld.make_program_folder(workdir / "Eigene Programme", ini="[Settings]\r\nActive=True\r\nRandom=True\r\n")
    Image.new("RGB", (1024, 768), COLOURS["red.jpg"]).save(folder / "1024x768" / "red.jpg", quality=90)
    display = display_factory(1024, 768)

    def typed_in_the_folder(verb):
        command = next(line for line in readme if line.startswith(f"reg {verb} "))
        (folder / "typed.bat").write_text(f"cd /d {win(folder)}\r\n{command}\r\n")
        display._wine(["wine", "cmd", "/c", win(folder / "typed.bat")])

    typed_in_the_folder("add")
    assert display.registry_value(run_key, "Veldana") == f'"{win(folder / "VeldanaStart.exe")}"'
    display._wine(["wine", "wineboot"])  # signs in: runs the Run entries
    veld.wait_until(lambda: "DefaultWP" in veld.read_ini(folder), what="VeldanaStart at sign-in")
    typed_in_the_folder("delete")
    assert display.registry_value(run_key, "Veldana") is None
