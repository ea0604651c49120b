// VeldanaStart's run, in process: the temporary program folder stands in for the one
// beside VeldanaStart.exe.
#include "TestSupport.h"

#include "catalogue/Catalogue.h"
#include "core/Texts.h"
#include "desktop/Desktop.h"
#include "desktop/WallpaperLock.h"
#include "start/SignIn.h"
#include "ui/Application.h"
#include "win/ProgramDir.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <thread>

using namespace testing_support;

namespace {

constexpr char kBothOn[] = "[Settings]\r\nActive=True\r\nRandom=True\r\n";

// A program folder with the screen's wallpaper folder, settings, an old wallpaper and
// its bitmap from an earlier "Set as default".
struct SignInFolder : ProgramFolder {
    explicit SignInFolder(const std::string& ini = kBothOn)
        : dir(catalogue::ChooseWallpaperDir(Path(), win::PrimaryScreenSize()))
    {
        MakeFolder(dir);
        if (!ini.empty())
            WriteFile(Ini(), ini);
        WriteBmpFile(Bmp(), 8, 8, RGB(1, 2, 3));
        SetWallpaperValue("before");
    }
    std::string Bmp() const { return Path() + "tmp_wallpaper.bmp"; }
    std::string Log() const { return Path() + "veldstart.log"; }
    std::string DefaultWP() const
    {
        char value[2048];
        GetPrivateProfileStringA("Settings", "DefaultWP", "", value, sizeof(value), Ini().c_str());
        return value;
    }
    // Everything a user could notice.
    std::vector<std::string> Seen() const
    {
        return {WallpaperValue(), ReadFile(Bmp()), ReadFile(Ini()), ReadFile(Log())};
    }

    std::string dir;
};

TEST(SignIn, OnlyBothSettingsTrueAndAJpgToChooseChangeTheWallpaper)
{
    struct Case {
        const char* ini;
        std::vector<const char*> files;
        bool changes;
        bool folder = true;  // the screen has its wallpaper folder
    };
    const Case cases[] = {
        {kBothOn, {"a.jpg"}, true},
        {"[Settings]\r\nActive=True\r\nRandom=False\r\n", {"a.jpg"}, false},
        {"[Settings]\r\nActive=False\r\nRandom=True\r\n", {"a.jpg"}, false},
        {"[Settings]\r\nActive=true\r\nRandom=True\r\n", {"a.jpg"}, false},
        {"[Settings]\r\nActive=True\r\nRandom=TRUE\r\n", {"a.jpg"}, false},
        {"[Settings]\r\nActive=True\r\n", {"a.jpg"}, false},
        {"[Settings]\r\nRandom=True\r\n", {"a.jpg"}, false},
        {"", {"a.jpg"}, false},  // no veld.ini
        {kBothOn, {}, false},
        {kBothOn, {"a.jpg"}, false, false},
        {kBothOn, {"b.jpeg", "c.bmp", "g.jpgx", "d.jpg\\inner.jpg"}, false},
    };
    for (const Case& c : cases) {
        SignInFolder folder(c.ini);
        for (const char* name : c.files) {
            if (std::string(name).find('\\') != std::string::npos)
                MakeFolder(folder.dir + "d.jpg");
            WriteJpegFile(folder.dir + name, 40, 30, RGB(200, 30, 30));
        }
        if (!c.folder)
            RemoveTree(folder.dir);
        const auto before = folder.Seen();
        EXPECT_EQ(start::Run(), 0) << c.ini;
        if (c.changes) {
            EXPECT_EQ(WallpaperValue(), folder.Bmp());
            EXPECT_NE(ReadFile(folder.Bmp()), before[1]);
            EXPECT_EQ(folder.DefaultWP(), folder.dir + "a.jpg");
            EXPECT_FALSE(FileExists(folder.Log()));
        } else {
            EXPECT_EQ(folder.Seen(), before) << c.ini;
        }
    }
}

TEST(SignIn, EverySignInBringsAnotherWallpaperChosenAtRandom)
{
    SignInFolder folder;
    WriteJpegFile(folder.dir + "a.jpg", 40, 30, RGB(200, 30, 30));
    WriteJpegFile(folder.dir + "b.jpg", 40, 30, RGB(30, 30, 200));
    // Of two, always the other one, however DefaultWP spells the current one: in other
    // letter case or through the short form of the folder the window was started from.
    char shortDir[MAX_PATH];
    ASSERT_NE(GetShortPathNameA(folder.dir.c_str(), shortDir, MAX_PATH), 0u);
    ASSERT_NE(shortDir, folder.dir);
    for (std::string current : {folder.dir + "a.jpg", std::string(shortDir) + "a.jpg"}) {
        CharUpperA(current.data());
        for (int run = 0; run < 6; ++run) {
            WritePrivateProfileStringA("Settings", "DefaultWP", current.c_str(), folder.Ini().c_str());
            ASSERT_EQ(start::Run(), 0);
            EXPECT_EQ(folder.DefaultWP(), folder.dir + "b.jpg") << current;
        }
    }
    for (const char* expected : {"a.jpg", "b.jpg", "a.jpg"}) {
        ASSERT_EQ(start::Run(), 0);
        EXPECT_EQ(folder.DefaultWP(), folder.dir + expected);
    }

    // Of six, with DefaultWP empty each time: a fixed or time-based seed would choose
    // the same file every time within this second.
    for (const char* name : {"c.jpg", "d.jpg", "e.jpg", "f.jpg"})
        WriteJpegFile(folder.dir + name, 8, 8, RGB(30, 200, 30));
    std::set<std::string> chosen;
    for (int run = 0; run < 24; ++run) {
        WritePrivateProfileStringA("Settings", "DefaultWP", "", folder.Ini().c_str());
        ASSERT_EQ(start::Run(), 0);
        chosen.insert(folder.DefaultWP());
    }
    EXPECT_GE(chosen.size(), 3u);

    // Broken files are passed over, each named in the log, and every sign-in still
    // brings another good wallpaper.
    DeleteFileA((folder.dir + "e.jpg").c_str());
    DeleteFileA((folder.dir + "f.jpg").c_str());
    WriteFile(folder.dir + "kaputt.jpg", "GIF89a");
    WriteJpegFile(folder.dir + "halb.jpg", 400, 300, RGB(30, 200, 30));
    const std::string whole = ReadFile(folder.dir + "halb.jpg");
    WriteFile(folder.dir + "halb.jpg", whole.substr(0, whole.size() - 16));  // the last rows' data is missing
    const std::string noJpeg = veld::texts::PassedOver(L"kaputt.jpg", veld::texts::JpegReason(53)).Plain();
    const std::string incomplete = veld::texts::PassedOver(L"halb.jpg", veld::texts::kIncomplete).Plain();
    for (int run = 0; run < 15; ++run) {
        const std::string before = folder.DefaultWP();
        WriteFile(folder.Log(), "");
        ASSERT_EQ(start::Run(), 0) << run;
        const std::string now = folder.DefaultWP();
        EXPECT_NE(now, before);
        EXPECT_TRUE(now.ends_with("a.jpg") || now.ends_with("b.jpg") || now.ends_with("c.jpg") ||
                    now.ends_with("d.jpg"))
            << now;
        const std::string log = ReadFile(folder.Log());
        for (size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2)
            EXPECT_TRUE(log.substr(start, end - start).ends_with(" " + noJpeg) ||
                        log.substr(start, end - start).ends_with(" " + incomplete + "."))
                << log;
    }
}

// Holds a file open as another program would, allowing only what share allows.
struct HeldOpen {
    HeldOpen(const std::string& path, DWORD share)
        : handle(CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr))
    {
        EXPECT_NE(handle, INVALID_HANDLE_VALUE) << path;
    }
    ~HeldOpen() { CloseHandle(handle); }
    HANDLE handle;
};

TEST(SignIn, WhatFailsLeavesEverythingAsItWasAndIsLoggedInOneDatedLine)
{
    struct Case {
        const char* what;
        std::function<std::shared_ptr<void>(SignInFolder&)> obstacle;
        std::string message;  // the start of the logged text after the date
    };
    const Case cases[] = {
        {"not a JPEG", [](SignInFolder& f) { return WriteFile(f.dir + "a.jpg", "GIF89a"), nullptr; },
         veld::texts::PassedOver(L"a.jpg", veld::texts::JpegReason(53)).Plain()},
        {"empty", [](SignInFolder& f) { return WriteFile(f.dir + "a.jpg", ""), nullptr; },
         veld::texts::PassedOver(L"a.jpg", veld::texts::JpegReason(42)).Plain()},
        {"JPEG held open", [](SignInFolder& f) { return std::make_shared<HeldOpen>(f.dir + "a.jpg", 0); },
         veld::texts::CannotOpenFile(L"{dir}a.jpg", {}).Plain()},
        {"veld.ini readable, not writable",
         [](SignInFolder& f) { return std::make_shared<HeldOpen>(f.Ini(), FILE_SHARE_READ); },
         veld::texts::CannotWriteSettings(L"{path}/veld.ini").Plain() + "."},
        {"bitmap held open", [](SignInFolder& f) { return std::make_shared<HeldOpen>(f.Bmp(), 0); },
         veld::texts::CannotCreateFile(L"{path}tmp_wallpaper.bmp", {}).Plain()},
        {"veld.ini held open", [](SignInFolder& f) { return std::make_shared<HeldOpen>(f.Ini(), 0); },
         veld::texts::CannotOpenFile(L"{path}/veld.ini", {}).Plain()},
        {"folder where the temporary bitmap goes",
         [](SignInFolder& f) { return MakeFolder(f.Bmp() + ".new"), nullptr; },
         veld::texts::CannotCreateFile(L"{path}tmp_wallpaper.bmp.new", {}).Plain()},
    };
    for (const Case& c : cases) {
        SignInFolder folder(std::string(kBothOn) + "DefaultWP=old.jpg\r\n");
        WriteJpegFile(folder.dir + "a.jpg", 40, 30, RGB(200, 30, 30));
        std::string message = std::regex_replace(c.message, std::regex("\\{dir\\}"), folder.dir);
        message = std::regex_replace(message, std::regex("\\{path\\}"), folder.Path());
        const auto before = folder.Seen();
        {
            const auto held = c.obstacle(folder);
            EXPECT_EQ(start::Run(), 1) << c.what;
        }
        auto seen = folder.Seen();
        const std::string log = seen.back();
        seen.back() = before.back();
        EXPECT_EQ(seen, before) << c.what;
        static const std::regex dated("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d ([^\r\n]*)\r\n");
        std::smatch line;
        ASSERT_TRUE(std::regex_match(log, line, dated)) << c.what << ": " << log;
        EXPECT_EQ(line[1].str().rfind(message, 0), 0u) << c.what << ": " << line[1];
    }
}

TEST(SignIn, TheLogKeepsItsNewerHalfWhenFullAndAnUnwritableLogEndsInAnotherCode)
{
    SignInFolder folder;
    WriteFile(folder.dir + "a.jpg", "GIF89a");
    std::string old;
    for (int i = 0; old.size() < 65500; ++i)
        old += "2026-01-01 00:00:00 alt " + std::to_string(i) + "\r\n";
    WriteFile(folder.Log(), old);
    EXPECT_EQ(start::Run(), 1);
    const std::string log = ReadFile(folder.Log());
    EXPECT_LE(log.size(), 32u * 1024 + 100);
    EXPECT_EQ(log.rfind("2026-01-01 00:00:00 alt ", 0), 0u);
    EXPECT_TRUE(log.ends_with(veld::texts::PassedOver(L"a.jpg", veld::texts::JpegReason(53)).Plain() + "\r\n"));

    DeleteFileA(folder.Log().c_str());
    MakeFolder(folder.Log());
    const auto before = folder.Seen();
    EXPECT_EQ(start::Run(), 2);
    EXPECT_EQ(folder.Seen(), before);
}

TEST(SignIn, TheWindowAndTheSignInProgramTakeTurnsWithTheWallpaper)
{
    // The lock is named from the program folder however it was reached: in other
    // letter case or through its short form.
    TempFolder named;
    const std::wstring path(named.Path().begin(), named.Path().end());
    std::wstring upper = path, shortForm(MAX_PATH, L'\0');
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    shortForm.resize(GetShortPathNameW(path.c_str(), shortForm.data(), MAX_PATH));
    ASSERT_NE(shortForm, path);
    EXPECT_EQ(win::FolderKey(upper), win::FolderKey(path));
    EXPECT_EQ(win::FolderKey(shortForm), win::FolderKey(path));

    struct Case {
        const char* what;
        std::function<void(WallpaperHarness&)> action;
    };
    const Case cases[] = {
        {"sign-in", [](WallpaperHarness&) { EXPECT_EQ(start::Run(), 0); }},
        {"Set as default", [](WallpaperHarness& h) { h.Form().acSetAsDefaultExecute(); }},
        {"No wallpaper", [](WallpaperHarness& h) { h.Form().acNoWallpaperExecute(); }},
    };
    for (const Case& c : cases) {
        WallpaperHarness harness;
        WriteFile(harness.Ini(), kBothOn);
        WriteJpegFile(harness.dir + "a.jpg", 40, 30, RGB(200, 30, 30));
        SetWallpaperValue("before");
        harness.Start();
        ClickListEntry(harness.Form(), 0);
        // What each of them changes: the wallpaper, veld.ini, a conversion's temporary file.
        const std::string leftover = harness.Path() + "tmp_wallpaper.bmp.new";
        WriteFile(leftover, "a conversion in progress");
        auto state = [&] { return WallpaperValue() + ReadFile(harness.Ini()) + ReadFile(leftover); };
        const std::string before = state();

        // Another program holds the lock until the action waits for it, answering messages (one
        // that did not wait would end without answering); nothing may change until it lets go.
        HANDLE held = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::string whileHeld;
        std::thread other([&] {
            desktop::WallpaperLock lock;
            SetEvent(held);
            SendMessageTimeoutA(harness.Form().Handle(), WM_NULL, 0, 0, SMTO_NORMAL, 60'000, nullptr);
            whileHeld = state();
        });
        WaitForSingleObject(held, INFINITE);
        c.action(harness);
        other.join();
        CloseHandle(held);
        EXPECT_EQ(whileHeld, before) << c.what;
        EXPECT_NE(state(), before) << c.what;
        EXPECT_TRUE(harness.errors.empty()) << c.what;
    }

    // One that does not let go: the click is answered after a while, and nothing changes.
    WallpaperHarness harness;
    WriteJpegFile(harness.dir + "a.jpg", 40, 30, RGB(200, 30, 30));
    harness.Start();
    ClickListEntry(harness.Form(), 0);
    const std::string before = WallpaperValue() + ReadFile(harness.Ini());
    WhileAnotherHoldsTheWallpaperLock(
        [&] { ui::Application::Instance().Guard([&] { harness.Form().acSetAsDefaultExecute(); }); });
    EXPECT_EQ(harness.errors, std::vector<std::string>{std::string(veld::texts::kWallpaperBusy) + "."});
    EXPECT_EQ(WallpaperValue() + ReadFile(harness.Ini()), before);
}

}  // namespace
