#include "TestSupport.h"

#include "app/resource.h"
#include "catalogue/Catalogue.h"
#include "core/Texts.h"
#include "settings/Settings.h"
#include "start/SignIn.h"
#include "ui/Application.h"
#include "win/Files.h"
#include "win/NamedMutex.h"
#include "win/UserText.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <thread>
#include <utility>

using namespace testing_support;

// Where this executable's calls of GetPrivateProfileStringA find it.
extern "C" void* __imp_GetPrivateProfileStringA;

namespace {

// The rig's screen decides the folder; the tests lay their files out there.
std::string ScreenFolder(const ProgramFolder& folder)
{
    return folder.Path() + RigWallpaperSubfolder();
}

TEST(Startup, FirstStartWithoutSettingsIsInactiveAndWritesOnlyWhenClosed)
{
    FormHarness harness;
    harness.Start();
    TForm1& form = harness.Form();

    EXPECT_FALSE(form.CheckBox1.Checked());
    EXPECT_FALSE(form.CheckBox2.Checked());
    EXPECT_FALSE(form.ListBox1.Enabled());
    EXPECT_FALSE(form.CheckBox2.Enabled());
    EXPECT_TRUE(form.CheckBox1.Enabled());
    EXPECT_FALSE(FileExists(harness.Ini()));
    EXPECT_EQ(ui::Application::Instance().Title(), "VELDANA");

    harness.CloseWindow();
    EXPECT_EQ(form.Handle(), nullptr);
    EXPECT_EQ(harness.Stored("Active"), "False");
    EXPECT_EQ(harness.Stored("Random"), "False");
    EXPECT_TRUE(harness.errors.empty());
}

TEST(Startup, BothProgramsRemoveLeftoversOfAKilledRunButNoFolderOrOtherFileAndNeverWaitForTheLock)
{
    enum Leftover { kFiles, kFolders, kFilesWhileTheLockIsHeld };
    for (const bool window : {true, false}) {
        for (const Leftover leftover : {kFiles, kFolders, kFilesWhileTheLockIsHeld}) {
            FormHarness harness;
            const std::string bitmap = harness.Path() + "tmp_wallpaper.bmp", log = harness.Path() + "veldstart.log";
            // What a killed run left: a file cut off half-way, or a folder of its name.
            const auto left = [&](const std::string& name) {
                leftover == kFolders ? MakeFolder(name) : WriteFile(name, "half written");
            };
            // Copies an Add left under the names GetTempFileName makes, and others' files.
            std::vector<std::string> copies, others;
            for (const char* size : {"800x600\\", "1024x768\\", "1280x1024\\"}) {
                MakeFolder(harness.Path() + size);
                for (const char* name : {"vel1.tmp", "VELABCD.TMP", "vel0f.Tmp"})
                    left(copies.emplace_back(harness.Path() + size + name));
                for (const char* name : {"vel12345.tmp", "velg.tmp", "mine.tmp", "vel1.tmp.jpg"})
                    WriteFile(others.emplace_back(harness.Path() + size + name), "someone else's");
            }
            if (leftover != kFolders)
                SetFileAttributesA(copies[0].c_str(), FILE_ATTRIBUTE_READONLY);
            left(bitmap + ".new");
            left(log + ".new");
            // Another program converting: its temporary bitmap stays, and nobody waits.
            const auto run = [&] { window ? harness.Start() : (void)start::Run(); };
            leftover == kFilesWhileTheLockIsHeld ? WhileAnotherHoldsTheWallpaperLock(run) : run();
            EXPECT_EQ(FileExists(bitmap + ".new"), leftover != kFiles) << window << leftover;
            EXPECT_EQ(FileExists(log + ".new"), leftover == kFolders) << window << leftover;
            for (const std::string& name : copies)
                EXPECT_EQ(FileExists(name), leftover == kFolders) << window << leftover << name;
            for (const std::string& name : others)
                EXPECT_TRUE(FileExists(name)) << window << leftover << name;
            EXPECT_TRUE(harness.errors.empty()) << window << leftover;
        }
    }
}

TEST(Startup, AFolderIsKnownByWhatItIsOnEveryFileSystem)
{
    // What the system may tell of two folders, or of one reached in two ways.
    using Facts = win::IdentityFacts;
    const Facts::LongId longId1{7, {1}}, longId2{7, {2}};
    const std::wstring local = L"\\\\?\\C:\\Veldana", remote = L"\\\\?\\UNC\\server\\share\\Veldana";
    const struct {
        const char* what;
        Facts one, other;
        bool same;
    } cases[] = {
        {"one index, two drive letters", {1, 42, {}, local}, {1, 42, {}, L"\\\\?\\Z:\\x\\Veldana"}, true},
        {"another index", {1, 42, {}, local}, {1, 43, {}, local}, false},
        {"another volume", {1, 42, {}, local}, {2, 42, {}, local}, false},
        {"index zero, one path", {1, 0, {}, local}, {1, 0, {}, L"\\\\?\\c:\\VELDANA\\"}, true},
        {"index zero, another path", {1, 0, {}, local}, {1, 0, {}, local + L"2"}, false},
        {"equal in 64 bits, not in 128", {1, 42, longId1, local}, {1, 42, longId2, local}, false},
        {"remote, index changing", {1, 42, longId1, remote}, {1, 0, {}, L"\\\\?\\UNC\\SERVER\\share\\veldana\\"}, true},
        {"remote, another share", {1, 42, {}, remote}, {1, 42, {}, L"\\\\?\\UNC\\server\\other\\Veldana"}, false},
    };
    for (const auto& c : cases) {
        const std::optional<std::wstring> one = win::IdentityFrom(c.one), other = win::IdentityFrom(c.other);
        ASSERT_TRUE(one && other) << c.what;
        EXPECT_EQ(*one == *other, c.same) << c.what;
    }
    EXPECT_FALSE(win::IdentityFrom({1, 0, {}, L""}));
}

TEST(Startup, AProgramFolderTheCodePageCannotSpellIsReachedByItsShortFormOrNamedOnce)
{
    const std::wstring greek = L"C:\\Users\\\u0395\u03bb\u03ad\u03bd\u03b7\\Veldana\\";
    const std::string noShortName = veld::texts::ProgramFolderCannotBeSpelled(L"C:\\Users\\?????\\Veldana\\").Plain();
    // With tmp_wallpaper.bmp.new after it, one character over what the ANSI calls reach.
    const std::wstring tooLongW = L"C:\\" + std::wstring(235, L'a') + L"\\";
    const std::string longError = veld::texts::ProgramFolderTooLong(tooLongW).Plain();
    struct Case {
        std::wstring folder;
        std::wstring shortForm;  // what the system gives as the folder's short form
        std::string dir;         // empty: start-up ends with error
        std::string error;
    };
    for (const Case& c :
         {Case{L"C:\\Caf\u00e9\\Veldana\\", L"C:\\CAFE~1\\VELDANA\\", "C:\\Caf\xE9\\Veldana\\"},
          Case{greek, L"C:\\Users\\EB64~1\\Veldana", "C:\\Users\\EB64~1\\Veldana\\"}, Case{greek, L"", "", noShortName},
          Case{greek, greek, "", noShortName}, Case{tooLongW, L"C:\\AAAAAA~1\\", "C:\\AAAAAA~1\\"},
          Case{tooLongW, tooLongW, "", longError}}) {
        ProgramFolder folder;
        win::SetProgramPathSourcesForTests(c.folder + L"Veldana.exe", [&](const std::wstring& path) {
            EXPECT_EQ(path, c.folder);
            return c.shortForm;
        });
        // As start-up does: what it throws is the box's text.
        try {
            EXPECT_EQ(win::ProgramFolderA(), c.dir);
        } catch (...) {
            ui::Application::Instance().ShowCurrentError();
        }
        EXPECT_EQ(folder.errors, c.dir.empty() ? std::vector<std::string>{c.error} : std::vector<std::string>{});
    }
    win::SetProgramPathSourcesForTests({}, nullptr);
}

TEST(Startup, ASecondStartBringsForwardTheBoxOfAVeldanaWithoutItsWindowOrSaysWhyNothingComes)
{
    ui::Application& app = ui::Application::Instance();
    // The owner window another test of this process made would be "the other Veldana": ctest
    // starts each test in a process of its own.
    ASSERT_EQ(app.OwnerWindow(), nullptr) << "this test must run first in its process";
    std::vector<std::string> errors;
    const auto record = [&](const std::wstring& text) { errors.push_back(win::MessageIn1252(veld::Message(text))); };
    app.SetErrorSink(record);
    // Another Veldana of this folder that has made no window, or hangs before it does.
    win::NamedMutex running(win::ProgramFolderObjectName(L"window"));
    EXPECT_FALSE(app.ClaimProgramFolder());
    EXPECT_EQ(errors, std::vector<std::string>{std::string(veld::texts::kAlreadyRunning) + "."});

    // One that shows a box at start-up, before its main window exists, behind another window.
    app.SetErrorSink(nullptr);
    app.SetTitle("Kasten beim Start");
    app.Initialize(GetModuleHandleA(nullptr), IDI_PROGRAM);
    bool cameForward = false;
    std::thread second([&] {
        HWND box = nullptr, other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 80, 80, nullptr,
                                                    nullptr, nullptr, nullptr);
        WithinHalfAMinute([&] { return (box = FindWindowA("#32770", "Kasten beim Start")) && IsWindowVisible(box); });
        // The other window to the front, then a second start, each again each second: the X
        // server may move the focus late, or hand it back after the box came forward.
        int polls = 0;
        const bool behind = WithinHalfAMinute([&] {
            if (polls++ % 20 == 0)
                SetForegroundWindow(other);
            return GetForegroundWindow() == other;
        });
        polls = 0;
        cameForward = behind && WithinHalfAMinute([&] {
            if (polls++ % 20 == 0)
                EXPECT_FALSE(app.ClaimProgramFolder());
            return GetForegroundWindow() == box;
        });
        DestroyWindow(other);
        PostMessageA(box, WM_CLOSE, 0, 0);
    });
    app.ShowError("Datei fehlt");
    second.join();
    EXPECT_TRUE(cameForward);

    // One whose window does not answer: this thread waits and handles no message.
    errors.clear();
    app.SetErrorSink(record);
    std::thread([&] { EXPECT_FALSE(app.ClaimProgramFolder()); }).join();
    EXPECT_EQ(errors, std::vector<std::string>{std::string(veld::texts::kAlreadyRunning) + "."});
}

TEST(Startup, OnlyTheExactWordTrueCountsAndCloseWritesBack)
{
    struct Case {
        const char* stored;
        bool active;
    };
    for (const Case& c : {Case{"True", true}, Case{"true", false}, Case{"TRUE", false}, Case{"True ", true},
                          Case{"1", false}, Case{"yes", false}}) {
        // The profile functions trim trailing blanks, so "True " reads as "True".
        FormHarness harness;
        WriteFile(harness.Ini(), std::string("[Settings]\r\nActive=") + c.stored + "\r\nRandom=" + c.stored + "\r\n");
        harness.Start();
        TForm1& form = harness.Form();
        EXPECT_EQ(form.CheckBox1.Checked(), c.active) << c.stored;
        EXPECT_EQ(form.CheckBox2.Checked(), c.active) << c.stored;
        EXPECT_EQ(form.ListBox1.Enabled(), c.active) << c.stored;
        EXPECT_EQ(form.CheckBox2.Enabled(), c.active) << c.stored;
        harness.CloseWindow();
        const char* written = c.active ? "True" : "False";
        EXPECT_EQ(harness.Stored("Active"), written) << c.stored;
        EXPECT_EQ(harness.Stored("Random"), written) << c.stored;
    }
}

TEST(Startup, TaskBarCloseAndTheSessionsEndStoreBothCheckBoxes)
{
    const std::pair<const char*, void (*)(HWND)> endings[] = {
        {"close on the task-bar button",
         [](HWND) { SendMessageA(ui::Application::Instance().OwnerWindow(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Space on the close button", [](HWND) { PressKey(Form1->Label3, VK_SPACE); }},
        {"end of the session",
         [](HWND main) {
             if (SendMessageA(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF))
                 SendMessageA(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
         }},
    };
    for (const auto& [how, end] : endings) {
        FormHarness harness;
        WriteFile(harness.Ini(), "[Settings]\r\nActive=True\r\n");
        harness.Start();
        TForm1& form = harness.Form();
        SendMessageA(form.CheckBox2.Handle(), BM_CLICK, 0, 0);
        SendMessageA(form.CheckBox1.Handle(), BM_CLICK, 0, 0);
        end(form.Handle());
        PumpMessages();
        EXPECT_EQ(harness.Stored("Active"), "False") << how;
        EXPECT_EQ(harness.Stored("Random"), "True") << how;
    }
}

// The window as a screen reader reads it: the window, then each part, by name, role and
// the states that change.
std::vector<std::wstring> ReadAloud(HWND window)
{
    IAccessible* root = nullptr;
    if (AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&root)) !=
        S_OK)
        return {L"no answer"};
    auto line = [](IAccessible* object, LONG id) {
        VARIANT child{}, role{}, state{};
        child.vt = VT_I4;
        child.lVal = id;
        BSTR name = nullptr;
        object->get_accName(child, &name);
        object->get_accRole(child, &role);
        object->get_accState(child, &state);
        wchar_t roleText[64] = L"";
        GetRoleTextW(role.lVal, roleText, static_cast<UINT>(std::size(roleText)));
        std::wstring text = (name ? name : L"") + std::wstring(L" | ") + roleText;
        SysFreeString(name);
        if (state.lVal & STATE_SYSTEM_UNAVAILABLE)
            text += L" | unavailable";
        if (state.lVal & STATE_SYSTEM_CHECKED)
            text += L" | checked";
        return text;
    };
    std::vector<std::wstring> lines{line(root, CHILDID_SELF)};
    long count = 0;
    root->get_accChildCount(&count);
    for (LONG i = 1; i <= count; ++i) {
        VARIANT child{};
        child.vt = VT_I4;
        child.lVal = i;
        IDispatch* dispatch = nullptr;
        IAccessible* object = nullptr;
        if (root->get_accChild(child, &dispatch) == S_OK &&
            dispatch->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&object)) == S_OK) {
            lines.push_back(line(object, CHILDID_SELF));
            object->Release();
        } else {
            lines.push_back(line(root, i));
        }
        if (dispatch)
            dispatch->Release();
    }
    root->Release();
    return lines;
}

TEST(Startup, CheckBox1FollowsClicksBothWaysAndScreenReadersReadBothLooks)
{
    FormHarness harness;
    harness.Start();
    TForm1& form = harness.Form();
    // Wine's own objects call every child window a client; Windows says list and check
    // box, and adds the check mark.
    auto expected = [](bool active) {
        const auto w = [](const char* text) { return win::FromWindows1252(text); };
        const std::wstring command = active ? L" | push button" : L" | push button | unavailable";
        const std::wstring greyed = active ? L"" : L" | unavailable";
        using namespace veld::texts;
        return std::vector<std::wstring>{L"VELDANA | client",
                                         w(kNoWallpaperName) + command,
                                         w(kSetAsDefaultName) + command,
                                         w(kDeleteSelectedName) + command,
                                         w(kAddYourOwnName) + command,
                                         w(kGameLink) + L" | link",
                                         w(kPublisherName) + L" | link",
                                         w(kConsoleName) + L" | link",
                                         w(kCloseName) + L" | push button",
                                         L" | client",
                                         w(kWallpaperListName) + L" | client" + greyed,
                                         L" | client",
                                         w(kActiveName) + L" | client",
                                         w(kRandomName) + L" | client" + greyed};
    };
    EXPECT_EQ(ReadAloud(form.Handle()), expected(false));
    // A real click on the check box (BM_CLICK sends the notification as a mouse click does).
    SendMessageA(form.CheckBox1.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(form.CheckBox1.Checked());
    EXPECT_TRUE(form.ListBox1.Enabled());
    EXPECT_TRUE(form.CheckBox2.Enabled());
    EXPECT_EQ(ReadAloud(form.Handle()), expected(true));
    SendMessageA(form.CheckBox1.Handle(), BM_CLICK, 0, 0);
    EXPECT_FALSE(form.ListBox1.Enabled());
    EXPECT_FALSE(form.CheckBox2.Enabled());
}

TEST(Startup, ListShowsNamesOfTheScreensFolderInStepWithThePaths)
{
    FormHarness harness;
    const std::string dir = ScreenFolder(harness);
    ASSERT_FALSE(dir.empty()) << "the rig's screen size has no wallpaper folder";
    MakeFolder(dir);
    for (const char* name : {"one.jpg", "two.JPG", "three.jpg"})
        WriteFile(dir + name, "x");
    MakeFolder(harness.Path() + "800x600\\");
    WriteFile(harness.Path() + "800x600\\other.jpg", "x");
    WriteFile(harness.Ini(), "[Settings]\r\nActive=True\r\n");
    harness.Start();
    TForm1& form = harness.Form();

    ASSERT_EQ(form.ListBox1.Count(), 3);
    ASSERT_EQ(form.WallpaperFiles.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(win::FromAnsi(dir) + form.ListBox1.Item(i),
                  win::FromAnsi(form.WallpaperFiles[static_cast<size_t>(i)].path));
    EXPECT_EQ(form.ListBox1.ItemIndex(), -1);
    EXPECT_EQ(WallpaperDir, dir);
}

TEST(Startup, RefillFindsNewFilesAndDropsTheSelection)
{
    FormHarness harness;
    const std::string dir = ScreenFolder(harness);
    MakeFolder(dir);
    WriteFile(dir + "first.jpg", "x");
    WriteFile(dir + "second.jpg", "x");
    WriteFile(harness.Ini(), "[Settings]\r\nActive=True\r\n");
    harness.Start();
    TForm1& form = harness.Form();
    ASSERT_EQ(form.WallpaperFiles.size(), 2u);
    form.ListBox1.SetItemIndex(1);
    EXPECT_EQ(form.SelectedFile(), form.WallpaperFiles[1].path);

    WriteFile(dir + "third.jpg", "x");
    DeleteFileA((dir + "first.jpg").c_str());
    form.RefillWallpaperList();
    EXPECT_EQ(form.ListBox1.ItemIndex(), -1);
    EXPECT_EQ(form.SelectedFile(), "");
    ASSERT_EQ(form.ListBox1.Count(), 2);
    std::vector<std::wstring> names{form.ListBox1.Item(0), form.ListBox1.Item(1)};
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"second.jpg", L"third.jpg"}));
}

// The system's private-profile read as this program imports it; a scanner takes the file
// without sharing as the read begins, if it can, and lets go once it has ended.
decltype(&GetPrivateProfileStringA) systemRead;
DWORD WINAPI ReadAsAScannerArrives(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR out, DWORD size, LPCSTR path)
{
    HANDLE scanner = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const DWORD length = systemRead(section, key, fallback, out, size, path);
    if (scanner != INVALID_HANDLE_VALUE)
        CloseHandle(scanner);
    return length;
}

TEST(Startup, SettingsHeldForAMomentAreReadAndWrittenAndHeldLongerOrAFolderNamedOnceAndOnlyChangesStored)
{
    const std::string original = "[Settings]\r\nActive=False\r\nRandom=True\r\n";
    enum Hold { kAMoment, kAsTheSystemReads, kLonger, kLongerButTouched, kAFolderInItsPlace };
    for (const Hold hold : {kAMoment, kAsTheSystemReads, kLonger, kLongerButTouched, kAFolderInItsPlace}) {
        const bool readable = hold == kAMoment || hold == kAsTheSystemReads;
        FormHarness harness;
        hold == kAFolderInItsPlace ? MakeFolder(harness.Ini()) : WriteFile(harness.Ini(), original);
        // A scanner opens it without sharing at start-up and again at the close; for a moment it
        // lets go once the program waits for it, answering messages; a folder it cannot open so.
        const auto scan = [&](const std::function<void()>& step) {
            if (hold == kAsTheSystemReads) {
                systemRead = reinterpret_cast<decltype(systemRead)>(
                    std::exchange(__imp_GetPrivateProfileStringA, reinterpret_cast<void*>(ReadAsAScannerArrives)));
                step();
                __imp_GetPrivateProfileStringA = reinterpret_cast<void*>(systemRead);
                return;
            }
            HANDLE file = CreateFileA(harness.Ini().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            HWND answers = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
            std::thread scanner([&] {
                if (hold == kAMoment)
                    SendMessageTimeoutA(answers, WM_NULL, 0, 0, SMTO_NORMAL, 60'000, nullptr), CloseHandle(file);
            });
            step();
            scanner.join();
            DestroyWindow(answers);
            if (hold != kAMoment)
                CloseHandle(file);
        };
        scan([&] { harness.Start(); });
        EXPECT_EQ(harness.errors.size(), readable ? 0u : 1u) << hold;
        EXPECT_EQ(harness.Form().CheckBox2.Checked(), readable) << hold;
        if (readable || hold == kLongerButTouched)
            SendMessageA(harness.Form().CheckBox1.Handle(), BM_CLICK, 0, 0);
        const auto close = [&] { harness.CloseWindow(); };
        hold == kAMoment ? scan(close) : close();
        ASSERT_EQ(harness.errors.size(), readable ? 0u : 1u) << hold;
        if (!readable)
            EXPECT_EQ(harness.errors[0].rfind(
                          veld::texts::CannotOpenFile(win::FromAnsi(harness.Path() + "/veld.ini"), {}).Plain(), 0),
                      0u)
                << harness.errors[0];
        if (hold != kAFolderInItsPlace)
            EXPECT_EQ(ReadFile(harness.Ini()),
                      hold == kLonger ? original : "[Settings]\r\nActive=True\r\nRandom=True\r\n")
                << hold;
    }
}

TEST(Startup, ClosingWithAnUnwritableFileReportsItAndStillCloses)
{
    FormHarness harness;
    const std::string original = "[Settings]\r\nActive=True\r\nRandom=True\r\n";
    WriteFile(harness.Ini(), original);
    harness.Start();
    TForm1& form = harness.Form();
    SendMessageA(form.CheckBox1.Handle(), BM_CLICK, 0, 0);

    HANDLE lock = CreateFileA(harness.Ini().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    // The box's own message loop meets a close from the task bar and a click on the close
    // button, both queued while the close waited for veld.ini.
    PostMessageA(ui::Application::Instance().OwnerWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(720, 150));
    PostMessageA(form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(720, 150));
    harness.CloseWindow();
    CloseHandle(lock);

    EXPECT_EQ(form.Handle(), nullptr) << "the window stayed open";
    ASSERT_EQ(harness.errors.size(), 1u);
    EXPECT_EQ(harness.errors[0],
              veld::texts::CannotWriteSettings(win::FromAnsi(harness.Path() + "/veld.ini")).Plain() + ".");
    EXPECT_EQ(ReadFile(harness.Ini()), original);
}

}  // namespace
