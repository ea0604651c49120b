#include "TestSupport.h"

#include "core/Error.h"
#include "core/Texts.h"
#include "desktop/Desktop.h"
#include "win/UserText.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace testing_support;

namespace {

std::string Converted(const ProgramFolder& folder)
{
    return folder.Path() + "tmp_wallpaper.bmp";
}

int32_t BmpWidth(const std::string& bmp)
{
    int32_t width = 0;
    if (bmp.size() >= 26)
        std::memcpy(&width, bmp.data() + 18, 4);
    return width;
}

TEST(Desktop, JpegOfAnyLetterCaseIsConvertedAndOtherFilesChangeNothing)
{
    struct Case {
        const char* name;
        bool converted;
    };
    for (const Case& c : {Case{"photo.jpg", true}, Case{"PHOTO.JPG", true}, Case{"photo.jpeg", false},
                          Case{"photo.png", false}, Case{"missing.jpg", false}}) {
        ProgramFolder folder;
        SetWallpaperValue("before");
        const std::string path = folder.Path() + c.name;
        if (std::string(c.name) != "missing.jpg")
            WriteJpegFile(path, 64, 48, RGB(200, 30, 30));
        desktop::SetDesktopWallpaper(path);
        EXPECT_EQ(FileExists(Converted(folder)), c.converted) << c.name;
        EXPECT_EQ(WallpaperValue(), c.converted ? Converted(folder) : "before") << c.name;
        if (c.converted) {
            const std::string bmp = ReadFile(Converted(folder));
            ASSERT_GE(bmp.size(), 54u);
            EXPECT_EQ(bmp.substr(0, 2), "BM");
            EXPECT_EQ(BmpWidth(bmp), 64);
            EXPECT_EQ(bmp[10], 54) << "a colour picture's pixels start at offset 54";
        }
    }
}

TEST(Desktop, SecondJpegReplacesTheFirstInOneBitmapFile)
{
    ProgramFolder folder;
    WriteJpegFile(folder.Path() + "first.jpg", 80, 60, RGB(0, 0, 200));
    WriteJpegFile(folder.Path() + "second.jpg", 120, 90, RGB(0, 200, 0));
    desktop::SetDesktopWallpaper(folder.Path() + "first.jpg");
    desktop::SetDesktopWallpaper(folder.Path() + "second.jpg");
    EXPECT_EQ(BmpWidth(ReadFile(Converted(folder))), 120);
    EXPECT_FALSE(FileExists(Converted(folder) + ".new"));
    EXPECT_EQ(WallpaperValue(), Converted(folder));
}

TEST(Desktop, BitmapIsHandedOverAsItIsAndClearingEmptiesTheStoredValue)
{
    ProgramFolder folder;
    WriteBmpFile(folder.Path() + "Own.BMP", 8, 8, RGB(1, 2, 3));
    desktop::SetDesktopWallpaper(folder.Path() + "Own.BMP");
    EXPECT_EQ(WallpaperValue(), folder.Path() + "Own.BMP");
    EXPECT_FALSE(FileExists(Converted(folder)));

    desktop::ClearDesktopWallpaper();
    EXPECT_EQ(WallpaperValue(), "");

    // Removal, not Windows' own default picture (which a null name brings back): an
    // empty name with SPI_SETDESKWALLPAPER and flag 2, once the stored value is empty.
    SetWallpaperValue("before");
    std::vector<std::string> calls;
    desktop::SetWallpaperCallForTests([&](unsigned action, unsigned param, void* value, unsigned flags) {
        calls.push_back(std::to_string(action) + " " + std::to_string(param) + " " +
                        (value ? "\"" + std::string(static_cast<const char*>(value)) + "\"" : "null") + " " +
                        std::to_string(flags) + " stored \"" + WallpaperValue() + "\"");
        return 1;
    });
    desktop::ClearDesktopWallpaper();
    desktop::SetWallpaperCallForTests({});
    EXPECT_EQ(calls, std::vector<std::string>{"20 0 \"\" 2 stored \"\""});
}

TEST(Desktop, BrokenJpegReportsItsNumberAndLeavesTheOldBitmap)
{
    for (const auto& [contents, number] : {std::pair{"GIF89a not a jpeg", 53}, std::pair{"", 42}}) {
        ProgramFolder folder;
        WriteJpegFile(folder.Path() + "good.jpg", 40, 30, RGB(9, 9, 9));
        desktop::SetDesktopWallpaper(folder.Path() + "good.jpg");
        const std::string before = ReadFile(Converted(folder));
        WriteFile(folder.Path() + "broken.jpg", contents);
        try {
            desktop::SetDesktopWallpaper(folder.Path() + "broken.jpg");
            ADD_FAILURE() << "no error #" << number;
        } catch (const std::exception& error) {
            EXPECT_EQ(error.what(), veld::texts::JpegError(number));
        }
        EXPECT_EQ(ReadFile(Converted(folder)), before);
        EXPECT_EQ(WallpaperValue(), Converted(folder));
    }
}

TEST(Desktop, BitmapThatCannotBeReplacedIsReportedAndKeptWhole)
{
    ProgramFolder folder;
    WriteJpegFile(folder.Path() + "old.jpg", 40, 30, RGB(9, 9, 9));
    WriteJpegFile(folder.Path() + "new.jpg", 50, 30, RGB(90, 9, 9));
    desktop::SetDesktopWallpaper(folder.Path() + "old.jpg");
    const std::string before = ReadFile(Converted(folder));

    // The system (another program) holds the bitmap open without sharing: root cannot
    // get past that either.
    HANDLE lock = CreateFileA(Converted(folder).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    try {
        desktop::SetDesktopWallpaper(folder.Path() + "new.jpg");
        ADD_FAILURE() << "replacing a locked bitmap succeeded";
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what())
                      .rfind(veld::texts::CannotCreateFile(win::FromAnsi(Converted(folder)), {}).Plain(), 0),
                  0u)
            << error.what();
    }
    CloseHandle(lock);
    EXPECT_EQ(ReadFile(Converted(folder)), before);
    EXPECT_FALSE(FileExists(Converted(folder) + ".new"));

    // A folder where the temporary file would go stops the write before it starts.
    MakeFolder(Converted(folder) + ".new");
    EXPECT_THROW(desktop::SetDesktopWallpaper(folder.Path() + "new.jpg"), std::exception);
    EXPECT_EQ(ReadFile(Converted(folder)), before);
    RemoveTree(Converted(folder) + ".new");

    // With the obstacles gone the same call goes through.
    desktop::SetDesktopWallpaper(folder.Path() + "new.jpg");
    EXPECT_EQ(BmpWidth(ReadFile(Converted(folder))), 50);
}

}  // namespace
