#include "TestSupport.h"

#include "catalogue/Catalogue.h"
#include "core/Texts.h"
#include "settings/Settings.h"
#include "win/UserText.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <functional>
#include <thread>

using namespace testing_support;

namespace {

struct CommandHarness : WallpaperHarness {
    // The mouse as the window sees it: moves, presses and releases at client points.
    void MoveTo(POINT at) { SendMessageA(Form().Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y)); }
    void Click(POINT at)
    {
        MoveTo(at);
        SendMessageA(Form().Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageA(Form().Handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    }
};

// A screen reader's default action on the hit area at position index of the tab order.
HRESULT DefaultAction(TForm1& form, const ui::GraphicControl& area)
{
    const auto& areas = form.TabOrder();
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = static_cast<LONG>(std::find(areas.begin(), areas.end(), &area) - areas.begin() + 1);
    IAccessible* window = nullptr;
    HRESULT result = AccessibleObjectFromWindow(form.Handle(), OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&window));
    if (result == S_OK) {
        result = window->accDoDefaultAction(child);
        window->Release();
    }
    return result;
}

constexpr POINT kBackground{60, 300};
constexpr POINT kNoWallpaper{600, 340};
constexpr POINT kSetAsDefault{600, 370};
constexpr POINT kDeleteSelected{600, 400};
constexpr POINT kAddYourOwn{600, 432};
constexpr POINT kGameLink{615, 466};

// How many pixels draw leaves in other than the tooltip background on a picture of the
// screen's format.
int InkPixelsOnScreenFormat(int width, int height, const std::function<void(HDC)>& draw)
{
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    const int ink = InkPixels(picture, GetSysColor(COLOR_INFOBK), draw);
    DeleteObject(picture);
    return ink;
}

uint64_t Shown(ui::ImageView& view)
{
    return Pixels::OfControl(view).Checksum();
}
uint64_t InList(const ui::ImageList& list, int index)
{
    return Pixels::OfListPicture(list, index).Checksum();
}

TEST(Commands, SetAsDefaultWithoutSelectionOrOnAFileGoneSinceChangesNothing)
{
    CommandHarness harness;
    WriteJpegFile(harness.dir + "a.jpg", 32, 24, RGB(1, 100, 1));
    harness.Start();
    SetWallpaperValue("untouched");
    harness.Click(kSetAsDefault);
    harness.Form().ListBox1.SetItemIndex(0);
    DeleteFileA((harness.dir + "a.jpg").c_str());
    harness.Click(kSetAsDefault);
    EXPECT_FALSE(FileExists(harness.Ini()) && ReadFile(harness.Ini()).find("DefaultWP") != std::string::npos);
    EXPECT_EQ(WallpaperValue(), "untouched");
    EXPECT_FALSE(FileExists(harness.Path() + "tmp_wallpaper.bmp"));
    EXPECT_TRUE(harness.errors.empty());
}

TEST(Commands, SetAsDefaultRecordsThePathAndNoWallpaperEmptiesBoth)
{
    CommandHarness harness;
    WriteJpegFile(harness.dir + "a.jpg", 32, 24, RGB(1, 100, 1));
    WriteJpegFile(harness.dir + "b.jpg", 32, 24, RGB(100, 1, 1));
    harness.Start();
    TForm1& form = harness.Form();
    form.ListBox1.SetItemIndex(harness.IndexOf("b.jpg"));
    // The sign-in program setting a wallpaper waits for the window's answer under the lock.
    WhileAnotherHoldsTheWallpaperLock([&] { harness.Click(kSetAsDefault); }, form.Handle());
    EXPECT_EQ(harness.Stored("DefaultWP"), harness.dir + "b.jpg");
    EXPECT_EQ(WallpaperValue(), harness.Path() + "tmp_wallpaper.bmp");

    harness.Click(kNoWallpaper);
    EXPECT_NE(ReadFile(harness.Ini()).find("DefaultWP=\r\n"), std::string::npos) << ReadFile(harness.Ini());
    EXPECT_EQ(WallpaperValue(), "");
    EXPECT_EQ(form.ListBox1.ItemIndex(), harness.IndexOf("b.jpg")) << "the selection is kept";

    // Return and Space on the focused button run the same commands.
    PressKey(form.Label5, VK_RETURN);
    EXPECT_EQ(WallpaperValue(), harness.Path() + "tmp_wallpaper.bmp");
    PressKey(form.Label4, VK_SPACE);
    EXPECT_EQ(WallpaperValue(), "");
    // A screen reader's default action returns before the command runs.
    EXPECT_EQ(DefaultAction(form, form.Label5), S_OK);
    EXPECT_EQ(WallpaperValue(), "");
    EXPECT_TRUE(WithinHalfAMinute([&] { return WallpaperValue() == harness.Path() + "tmp_wallpaper.bmp"; }));
    EXPECT_EQ(harness.Stored("DefaultWP"), harness.dir + "b.jpg");
    EXPECT_TRUE(harness.errors.empty());
}

TEST(Commands, ErrorInsideSetAsDefaultStopsBeforeRecording)
{
    CommandHarness harness;
    WriteFile(harness.dir + "broken.jpg", "not a picture");
    harness.Start();
    harness.Form().ListBox1.SetItemIndex(0);
    harness.Click(kSetAsDefault);
    EXPECT_EQ(harness.errors, std::vector<std::string>{veld::texts::JpegError(53) + "."});
    EXPECT_EQ(harness.Stored("DefaultWP"), "<missing>");
}

// The first visible dialog box (file dialog or message box) of a thread, or nullptr.
HWND DialogOf(DWORD thread)
{
    HWND found = nullptr;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM result) {
            char name[16] = "";
            GetClassNameA(window, name, static_cast<int>(std::size(name)));
            if (std::string(name) != "#32770" || !IsWindowVisible(window))
                return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Answers the next file-open dialog of this thread as a person would: types a name and
// presses Return, or cancels. A dialog that does not come or does not go within half a
// minute fails the test, and whatever dialog is open then is closed, so the test goes
// on instead of waiting in it until ctest gives up.
std::thread AnswerOpenDialog(std::string typed)
{
    const DWORD thread = GetCurrentThreadId();
    return std::thread([typed, thread] {
        HWND dialog = nullptr;
        if (WithinHalfAMinute([&] { return (dialog = DialogOf(thread)) != nullptr; })) {
            if (typed.empty()) {
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            } else {
                // The file name box of the explorer-style dialog (cmb13 holds edt1).
                SendMessageA(GetDlgItem(dialog, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            }
            if (WithinHalfAMinute([&] { return DialogOf(thread) == nullptr; }))
                return;
            ADD_FAILURE() << "a dialog is still open 30 s after answering \"" << typed << "\"";
        } else {
            ADD_FAILURE() << "no file dialog within 30 s (answer \"" << typed << "\")";
        }
        for (int tries = 0; tries < 3; ++tries) {
            HWND left = DialogOf(thread);
            if (!left)
                break;
            PostMessageA(left, WM_CLOSE, 0, 0);
            WithinHalfAMinute([&] { return !IsWindow(left); });
        }
    });
}

// A file under a name the path rules would change, made as an unpacking tool or Linux
// makes it: through the "\\?\" form.
std::wstring Exactly(const std::string& dir, const std::wstring& name)
{
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, dir.c_str(), -1, wide, static_cast<int>(std::size(wide)));
    return L"\\\\?\\" + std::wstring(wide) + name;
}

TEST(Commands, PreviewSetAsDefaultAndDeleteActOnTheListedFileAndNoOther)
{
    struct Case {
        const wchar_t* odd;  // as the list and the delete question spell it
        const char* listed;  // in the code page's nearest spelling
        const char* twin;    // the good picture that the listed name would reach
        bool converted;      // reached through a short name ending in .jpg, Set as default decodes it
    };
    for (const Case& c :
         {Case{L"trail.jpg ", "trail.jpg ", "trail.jpg", false}, Case{L"dot.jpg.", "dot.jpg.", "dot.jpg", false},
          Case{L"\u0100pfel.jpg", "Apfel.jpg", "Apfel.jpg", true}}) {
        CommandHarness harness;
        WriteJpegFile(harness.dir + c.twin, 32, 24, RGB(1, 100, 1));
        const std::string twin = ReadFile(harness.dir + c.twin);
        HANDLE file =
            CreateFileW(Exactly(harness.dir, c.odd).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(file, "not a picture", 13, &written, nullptr);
        CloseHandle(file);
        harness.Start();
        TForm1& form = harness.Form();
        ASSERT_EQ(form.ListBox1.Count(), 2) << c.listed;
        const std::string expected = veld::texts::JpegError(53) + ".";

        // The twin shows its picture; the odd entry shows its own content.
        int odd = -1;
        for (int i = 0; i < 2; ++i) {
            harness.errors.clear();
            ClickListEntry(form, i);
            if (!harness.errors.empty()) {
                EXPECT_EQ(odd, -1) << c.listed << ": both entries failed";
                EXPECT_EQ(harness.errors, std::vector<std::string>{expected}) << c.listed;
                odd = i;
            }
        }
        ASSERT_NE(odd, -1) << c.listed << ": both entries showed the twin's picture";
        EXPECT_EQ(form.ListBox1.Item(odd), c.odd) << c.listed;
        // Held by another program past the retries, it is named as the list shows it.
        win::Handle held(
            CreateFileW(Exactly(harness.dir, c.odd).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        harness.errors.clear();
        ClickListEntry(form, odd);
        held.reset();
        ASSERT_EQ(harness.errors.size(), 1u) << c.listed;
        EXPECT_EQ(harness.errors[0].find("Datei " + harness.dir + c.listed + " "), 0u) << harness.errors[0];

        harness.errors.clear();
        form.ListBox1.SetItemIndex(odd);
        harness.Click(kSetAsDefault);
        EXPECT_FALSE(FileExists(harness.Path() + "tmp_wallpaper.bmp")) << c.listed;
        EXPECT_EQ(harness.Stored("DefaultWP"), "<missing>") << c.listed;
        EXPECT_EQ(harness.errors, c.converted ? std::vector<std::string>{expected} : std::vector<std::string>{})
            << c.listed;

        harness.errors.clear();
        form.ListBox1.SetItemIndex(odd);
        std::thread answer = std::thread([thread = GetCurrentThreadId(), file = Exactly(harness.dir, c.odd), &c] {
            HWND box = nullptr;
            ASSERT_TRUE(WithinHalfAMinute([&] { return (box = DialogOf(thread)) != nullptr; }))
                << "no question before deleting";
            wchar_t question[64] = L"";
            GetDlgItemTextW(box, 0xFFFF, question, static_cast<int>(std::size(question)));
            EXPECT_EQ(question, L"Datei l\u00f6schen: " + std::wstring(c.odd));
            // A scanner looks at the file as it is to go, until the delete waits for it, answering
            // messages as it does (one that did not wait would fail and say so).
            HANDLE scan = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            WithinHalfAMinute([&] { return !IsWindow(box); });
            SendMessageTimeoutA(Form1->Handle(), WM_NULL, 0, 0, SMTO_NORMAL, 60'000, nullptr);
            CloseHandle(scan);
        });
        // One case by the keyboard.
        c.converted ? PressKey(form.Label6, VK_SPACE) : harness.Click(kDeleteSelected);
        answer.join();
        EXPECT_EQ(harness.errors, std::vector<std::string>{}) << c.listed;
        EXPECT_EQ(ReadFile(harness.dir + c.twin), twin) << c.listed;
        EXPECT_EQ(GetFileAttributesW(Exactly(harness.dir, c.odd).c_str()), INVALID_FILE_ATTRIBUTES) << c.listed;
    }
}

TEST(Commands, AddCopiesNewFilesNeverOverwritesAndAlwaysRefills)
{
    CommandHarness harness;
    WriteJpegFile(harness.dir + "same.jpg", 32, 24, RGB(1, 100, 1));
    TempFolder outside;
    WriteJpegFile(outside.Path() + "new.jpg", 40, 30, RGB(9, 9, 200));
    WriteFile(outside.Path() + "same.jpg", "someone else's same.jpg");
    harness.Start();
    TForm1& form = harness.Form();
    const std::string original = ReadFile(harness.dir + "same.jpg");

    struct Case {
        std::string typed;
        std::vector<std::string> listed;
    };
    const Case cases[] = {
        {outside.Path() + "new.jpg", {"new.jpg", "same.jpg"}},
        {outside.Path() + "same.jpg", {"new.jpg", "same.jpg"}},
        {outside.Path() + "missing.jpg", {"new.jpg", "same.jpg"}},
        {"", {"new.jpg", "same.jpg"}},
    };
    for (const Case& c : cases) {
        form.ListBox1.SetItemIndex(0);
        std::thread answer = AnswerOpenDialog(c.typed);
        // The last case by the keyboard.
        &c == &cases[std::size(cases) - 1] ? PressKey(form.Label7, VK_RETURN) : harness.Click(kAddYourOwn);
        answer.join();
        PumpMessages();
        std::vector<std::string> listed;
        for (int i = 0; i < form.ListBox1.Count(); ++i)
            listed.push_back(win::AnsiNearest(form.ListBox1.Item(i)));
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ(listed, c.listed) << c.typed;
        EXPECT_EQ(form.ListBox1.ItemIndex(), -1) << "the refill drops the selection: " << c.typed;
        EXPECT_EQ(ReadFile(harness.dir + "same.jpg"), original) << c.typed;
    }
    EXPECT_EQ(ReadFile(harness.dir + "new.jpg"), ReadFile(outside.Path() + "new.jpg"));
    EXPECT_FALSE(FileExists(harness.dir + "missing.jpg"));
    EXPECT_TRUE(harness.errors.empty());
}

TEST(Commands, LinksHandExactlyTheirTooltipToTheShellAndTheTextLinkLightsUp)
{
    CommandHarness harness;
    harness.Start();
    TForm1& form = harness.Form();
    const std::string record = harness.Path() + "opened.txt";
    SetEnvironmentVariableA("VELD_RECORD", record.c_str());
    std::string recorder = "Z:" VELD_RECORDER;
    for (char& c : recorder)
        if (c == '/')
            c = '\\';
    for (const char* scheme : {"http", "https"}) {
        HKEY key;
        // The test prefix's own handler: the shell looks the scheme up in HKEY_CLASSES_ROOT.
        const std::string path = std::string(scheme) + "\\shell\\open\\command";
        ASSERT_EQ(
            RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
        const std::string command = "\"" + recorder + "\" \"%1\"";
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
        RegCloseKey(key);
    }

    for (const ui::Label* link : {&form.Label1, &form.Label2, &form.Label10}) {
        const ui::Bounds& b = link->GetBounds();
        const POINT centre{b.left + b.width / 2, b.top + b.height / 2};
        // Resting on it shows the whole address: all that its font draws of it, and its
        // reported extent between the margins.
        POINT screen = centre;
        ClientToScreen(form.Handle(), &screen);
        SetCursorPos(screen.x, screen.y);
        harness.MoveTo(centre);
        HWND tip = form.Tooltip();
        WithinHalfAMinute([&] { return IsWindowVisible(tip); });
        ASSERT_TRUE(IsWindowVisible(tip)) << link->Hint();
        RECT client, margin{};
        GetClientRect(tip, &client);
        SendMessageA(tip, TTM_GETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
        const auto font = reinterpret_cast<HFONT>(SendMessageA(tip, WM_GETFONT, 0, 0));
        const std::string& url = link->Hint();
        SIZE extent{};
        const int shown = InkPixelsOnScreenFormat(client.right, client.bottom, [&](HDC dc) {
            SendMessageA(tip, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
            SelectObject(dc, font);
            GetTextExtentPoint32A(dc, url.c_str(), static_cast<int>(url.size()), &extent);
        });
        EXPECT_EQ(shown, InkPixelsOnScreenFormat(2 * client.right, client.bottom,
                                                 [&](HDC dc) {
                                                     SelectObject(dc, font);
                                                     SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
                                                     SetBkMode(dc, TRANSPARENT);
                                                     TextOutA(dc, 0, 0, url.c_str(), static_cast<int>(url.size()));
                                                 }))
            << link->Hint();
        EXPECT_GE(client.right - margin.left - margin.right - 2 * 2, extent.cx) << link->Hint();
        harness.MoveTo(kBackground);

        DeleteFileA(record.c_str());
        // One link by the keyboard.
        link == &form.Label2 ? PressKey(form.Label2, VK_RETURN) : harness.Click(centre);
        WithinHalfAMinute([&] { return FileExists(record) && ReadFile(record).find('\n') != std::string::npos; });
        const std::string opened = ReadFile(record);
        ASSERT_FALSE(link->Hint().empty());
        EXPECT_NE(opened.find("\"" + link->Hint() + "\""), std::string::npos) << " opened: " << opened;
    }

    harness.MoveTo(kGameLink);
    EXPECT_EQ(form.Label1.Color(), RGB(255, 255, 255));
    harness.MoveTo(kBackground);
    EXPECT_EQ(form.Label1.Color(), RGB(0, 0, 0));
}

TEST(Commands, InactiveLookKeepsRandomLockedAndStoredAndEmptiesThePreview)
{
    CommandHarness harness;
    WriteFile(harness.Ini(), "[Settings]\r\nActive=True\r\nRandom=True\r\n");
    WriteJpegFile(harness.dir + "a.jpg", 32, 24, RGB(1, 100, 1));
    harness.Start();
    TForm1& form = harness.Form();
    ClickListEntry(form, 0);
    ASSERT_NE(form.Image2.Picture(), nullptr);

    SendMessageA(form.CheckBox1.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(form.CheckBox2.Checked());
    EXPECT_FALSE(form.CheckBox2.Enabled());
    EXPECT_FALSE(form.ListBox1.Enabled());
    EXPECT_EQ(form.Image2.Picture(), nullptr);
    EXPECT_TRUE(form.Animate2.Visible());
    EXPECT_TRUE(form.Animate2.Active());
    EXPECT_EQ(Shown(form.ImageNoWallpaper), InList(form.ImageList2, 2));
    EXPECT_FALSE(form.Label4.Visible());
    // The hidden hit areas do not react.
    harness.MoveTo(kNoWallpaper);
    EXPECT_EQ(Shown(form.ImageNoWallpaper), InList(form.ImageList2, 2));
    harness.Click(kSetAsDefault);
    EXPECT_EQ(DefaultAction(form, form.Label5), DISP_E_MEMBERNOTFOUND);
    PumpMessages();
    EXPECT_FALSE(FileExists(harness.Path() + "tmp_wallpaper.bmp"));

    SendMessageA(form.CheckBox1.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.Image2.Picture(), nullptr) << "the preview does not come back";
    EXPECT_FALSE(form.Animate2.Visible());
    EXPECT_EQ(Shown(form.ImageNoWallpaper), InList(form.ImageList2, 0));
    SendMessageA(form.CheckBox1.Handle(), BM_CLICK, 0, 0);

    harness.CloseWindow();
    EXPECT_EQ(harness.Stored("Active"), "False");
    EXPECT_EQ(harness.Stored("Random"), "True");
}

TEST(Commands, PictureButtonsLightUpUnderTheMouseAndGoBackAfterAClick)
{
    CommandHarness harness;
    harness.Start();
    TForm1& form = harness.Form();
    // The Media picture (or a half of the stored close button strip) as the screen shows
    // it: at 8 and 16 bits per pixel in the screen's colours.
    auto asOnScreen = [](const std::string& file, int left, int width, int height) {
        win::Bitmap picture(static_cast<HBITMAP>(
            LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
        HDC screen = GetDC(nullptr);
        HDC source = CreateCompatibleDC(screen);
        HDC target = CreateCompatibleDC(screen);
        win::Bitmap copy(CreateCompatibleBitmap(screen, width, height));
        HGDIOBJ oldSource = SelectObject(source, picture.get());
        HGDIOBJ oldTarget = SelectObject(target, copy.get());
        BitBlt(target, 0, 0, width, height, source, left, 0, SRCCOPY);
        SelectObject(source, oldSource);
        SelectObject(target, oldTarget);
        DeleteDC(source);
        DeleteDC(target);
        ReleaseDC(nullptr, screen);
        return Pixels::OfBitmap(copy.get());
    };
    const std::string media = harness.Path() + "Media\\";
    struct Case {
        POINT at;
        ui::ImageView* view;
        std::string normal;
        std::string lit;
        int litLeft;  // where the lit picture starts in its file; the normal one starts at 0
    };
    const Case cases[] = {
        {kNoWallpaper, &form.ImageNoWallpaper, media + "button1_A.bmp", media + "button1_B.bmp", 0},
        {kSetAsDefault, &form.ImageSetAsDefault, media + "button2_A.bmp", media + "button2_B.bmp", 0},
        {{600, 400}, &form.ImageDeleteSelected, media + "button3_A.bmp", media + "button3_B.bmp", 0},
        {{726, 152}, &form.ImageClose, AssetsDir() + "close_strip.bmp", AssetsDir() + "close_strip.bmp", 22},
    };
    for (const Case& c : cases) {
        const ui::Bounds b = c.view->GetBounds();
        const Pixels normal = asOnScreen(c.normal, 0, b.width, b.height);
        const Pixels lit = asOnScreen(c.lit, c.litLeft, b.width, b.height);
        ASSERT_NE(normal, lit) << c.lit;
        harness.MoveTo(c.at);
        EXPECT_EQ(Pixels::OfWindow(form.Handle()).Cut(b.left, b.top, b.width, b.height), lit) << c.lit;
        if (c.view != &form.ImageClose)
            harness.Click(c.at);
        harness.MoveTo(kBackground);
        EXPECT_EQ(Pixels::OfWindow(form.Handle()).Cut(b.left, b.top, b.width, b.height), normal) << c.lit;
    }

    // Lighting up and going out again a thousand times leaves as many GDI objects as
    // before and the very same bitmaps: nothing is made for a picture already in its
    // list. (The system's own regions for painting come and go.)
    auto bitmaps = [](const std::vector<uint32_t>& handles) {
        std::vector<uint32_t> found;
        for (uint32_t handle : handles)
            if (GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(handle))) == OBJ_BITMAP)
                found.push_back(handle);
        return found;
    };
    const std::vector<uint32_t> before = LiveGdiHandles();
    ASSERT_FALSE(bitmaps(before).empty());
    for (int i = 0; i < 1000; ++i) {
        harness.MoveTo(cases[i % std::size(cases)].at);
        harness.MoveTo(kBackground);
    }
    PumpMessages();
    const std::vector<uint32_t> after = LiveGdiHandles();
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(bitmaps(after), bitmaps(before));
}

}  // namespace
