#include "TestSupport.h"

#include "catalogue/Catalogue.h"
#include "core/Paths.h"
#include "ui/Application.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testing_support;

namespace {

std::vector<std::string> Names(const std::vector<catalogue::WallpaperFile>& files)
{
    std::vector<std::string> names;
    for (const catalogue::WallpaperFile& file : files)
        names.push_back(veld::FileNamePart(file.path, win::IsLeadByte));
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Catalogue, ListsJpgFilesOfAnyCaseAndAttributeButNotOthersOrFolders)
{
    TempFolder folder;
    const std::string& dir = folder.Path();
    for (const char* name : {"A.JPG", "b.jpeg", "c.bmp", "e.jpg", "hidden.jpg", "readonly.jpg", "f.jpg.txt"})
        WriteFile(dir + name, "x");
    MakeFolder(dir + "d.jpg");
    WriteFile(dir + "d.jpg\\inner.jpg", "x");
    SetFileAttributesA((dir + "hidden.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((dir + "readonly.jpg").c_str(), FILE_ATTRIBUTE_READONLY);

    std::vector<catalogue::WallpaperFile> list{{"kept"}};
    catalogue::FindFiles(dir, list, catalogue::kWallpaperMask);
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.front().path, "kept");
    list.erase(list.begin());
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A.JPG", "e.jpg", "hidden.jpg", "readonly.jpg"}));
    for (const catalogue::WallpaperFile& file : list)
        EXPECT_EQ(file.path.rfind(dir, 0), 0u) << file.path << " is not a full path in " << dir;

    // The same folder named without its trailing backslash gives the same paths.
    std::vector<catalogue::WallpaperFile> again;
    catalogue::FindFiles(dir.substr(0, dir.size() - 1), again, catalogue::kWallpaperMask);
    EXPECT_EQ(Names(again), Names(list));
}

TEST(Catalogue, MissingOrUnchosenFolderAddsNothing)
{
    TempFolder folder;
    std::vector<catalogue::WallpaperFile> list;
    catalogue::FindFiles(folder.Path() + "nowhere\\", list, catalogue::kWallpaperMask);
    EXPECT_TRUE(list.empty());

    // No folder suits the screen: the current folder's (or drive root's) files stay out.
    WriteFile(folder.Path() + "stray.jpg", "x");
    SetCurrentDirectoryA(folder.Path().c_str());
    catalogue::FindFiles("", list, catalogue::kWallpaperMask);
    EXPECT_TRUE(list.empty());
}

TEST(Catalogue, WallpaperFolderFollowsTheScreenSize)
{
    EXPECT_EQ(catalogue::ChooseWallpaperDir("C:\\V\\", {1024, 768}), "C:\\V\\1024x768\\");
    EXPECT_EQ(catalogue::ChooseWallpaperDir("C:\\V\\", {1920, 1200}), "C:\\V\\1280x1024\\");
    EXPECT_EQ(catalogue::ChooseWallpaperDir("C:\\V\\", {1280, 960}), "");
    // The rig's display is what the program reads as the primary screen.
    const win::ScreenSize screen = win::PrimaryScreenSize();
    EXPECT_EQ(screen.width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(screen.height, GetSystemMetrics(SM_CYSCREEN));
    const win::ScreenSize rig = RigScreenSize();
    EXPECT_EQ(screen.width, rig.width);
    EXPECT_EQ(screen.height, rig.height);
}

}  // namespace
