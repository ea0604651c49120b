// Helpers for in-process tests under Wine. The program folder is a temporary folder
// that the tests point win::ProgramFolderA at (SetProgramFolderForTests); the test executable
// itself stays where the build put it. Error boxes are recorded instead of shown.
#pragma once

#include "app/Form1.h"
#include "win/ProgramDir.h"
#include "win/Screen.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under %TEMP%, removed with everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // With a trailing backslash.
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& contents);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
void MakeFolder(const std::string& path);
void RemoveTree(const std::string& path);

// Dispatches whatever is waiting in this thread's queue, as the program's loop does.
void PumpMessages();
// A key pressed and let go where the focus is, with Shift held or not.
void PressKey(UINT key, bool shift = false);
// The same on a hit area of the window, given the focus first.
void PressKey(ui::GraphicControl& area, UINT key);

// Whether done() holds within half a minute, long enough for a machine busy with other
// work; this thread's queue is dispatched meanwhile.
bool WithinHalfAMinute(const std::function<bool()>& done);

// The committed artwork (assets/ of the source tree), as a Windows path with a
// trailing backslash.
std::string AssetsDir();

// A 24-bit BMP file of one colour, or of left before column split and right from it on.
void WriteBmpFile(const std::string& path, int width, int height, COLORREF colour);
void WriteBmpFile(const std::string& path, int width, int height, COLORREF left, COLORREF right, int split);

// A baseline JPEG of one colour (greyscale when grey is set), made with libjpeg.
void WriteJpegFile(const std::string& path, int width, int height, COLORREF colour, bool grey = false);

// The screen size scripts/wine-rig.sh started the display at (VELD_RIG_SCREEN).
win::ScreenSize RigScreenSize();
// The wallpaper folder the program must choose on that screen (with a trailing
// backslash, relative to the program folder); empty when no folder suits it.
std::string RigWallpaperSubfolder();

// HKCU\Control Panel\Desktop\Wallpaper, or "<missing>".
std::string WallpaperValue();
void SetWallpaperValue(const std::string& value);

// Runs action, which must not throw, while another program holds the wallpaper lock. It
// lets go once action has ended, or, given a window, once that window has answered the
// WM_SETTINGCHANGE it sends without a timeout, as the system's wallpaper call does.
void WhileAnotherHoldsTheWallpaperLock(const std::function<void()>& action, HWND window = nullptr);

// Selects a list entry and tells the form as a user's click would.
void ClickListEntry(TForm1& form, int index);

// A top-down 32-bit copy of what a window, a bitmap, a control or an image list's
// picture shows. Windows, controls and pictures are drawn through a bitmap of the
// screen's format, as the screen shows them.
class Pixels {
public:
    static Pixels OfWindow(HWND window);
    static Pixels OfBitmap(HBITMAP bitmap);
    static Pixels OfControl(ui::GraphicControl& control);
    static Pixels OfListPicture(const ui::ImageList& list, int index);
    // A part of the picture.
    Pixels Cut(int left, int top, int width, int height) const;
    bool operator==(const Pixels&) const = default;
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) const;
    // Tells pictures apart in one number.
    uint64_t Checksum() const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> data_;
};

// How many pixels of surface differ from background once draw has painted over the
// surface filled with it.
int InkPixels(HBITMAP surface, COLORREF background, const std::function<void(HDC)>& draw);

// The GDI objects this process holds, each by its handle (which changes when an object
// is deleted and a new one takes its place). GetGuiResources counts them on Windows but
// is a stub under Wine; both keep the objects in the table the process's PEB points to.
std::vector<uint32_t> LiveGdiHandles();

// Makes the temporary folder the program folder and records the error boxes.
class ProgramFolder : public TempFolder {
public:
    ProgramFolder();
    ~ProgramFolder();

    std::string Ini() const { return Path() + "veld.ini"; }
    // The value stored for key in veld.ini, or "<missing>".
    std::string Stored(const char* key) const;
    std::vector<std::string> errors;
};

// TForm1 created and shown as the program does it, in a temporary program folder.
class FormHarness : public ProgramFolder {
public:
    // The program folder starts with a copy of the shipped Media folder.
    FormHarness();
    // Files to lay out before the form starts go into Path() first; Start() runs start-up.
    void Start();
    // Sends WM_CLOSE as any close request would; the window is gone afterwards.
    void CloseWindow();
    TForm1& Form() { return *form_; }
    ~FormHarness();

private:
    std::unique_ptr<TForm1> form_;
};

// A form whose program folder has the screen's wallpaper folder (dir) and, unless told
// otherwise, a veld.ini that starts it in the active look.
class WallpaperHarness : public FormHarness {
public:
    explicit WallpaperHarness(bool active = true);
    // The list entry showing name, or -1.
    int IndexOf(const std::string& name);
    std::string dir;
};

}  // namespace testing_support
