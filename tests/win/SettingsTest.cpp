#include "TestSupport.h"

#include "core/Error.h"
#include "core/Texts.h"
#include "settings/Settings.h"
#include "win/UserText.h"

#include <gtest/gtest.h>

using namespace testing_support;
using settings::Flag;

namespace {

TEST(Settings, MissingFileSectionOrKeyReadAsNothing)
{
    ProgramFolder folder;
    EXPECT_EQ(settings::ReadDefaultWallpaper(), "");
    EXPECT_FALSE(settings::Read(Flag::Active));
    WriteFile(folder.Ini(), "[Other]\r\nActive=True\r\nDefaultWP=a.jpg\r\n");
    EXPECT_EQ(settings::ReadDefaultWallpaper(), "");
    EXPECT_FALSE(settings::Read(Flag::Active));
}

TEST(Settings, WriteCreatesFileAndKeepsOtherSectionsAndKeys)
{
    ProgramFolder folder;
    settings::WriteDefaultWallpaper("C:\\w\\a.jpg");
    EXPECT_EQ(settings::ReadDefaultWallpaper(), "C:\\w\\a.jpg");

    WriteFile(folder.Ini(), "[Mine]\r\nColour=Blue\r\n[Settings]\r\nActive=True\r\nExtra=1\r\n");
    settings::Write(Flag::Active, false);
    const std::string text = ReadFile(folder.Ini());
    EXPECT_NE(text.find("[Mine]"), std::string::npos) << text;
    EXPECT_NE(text.find("Colour=Blue"), std::string::npos) << text;
    EXPECT_NE(text.find("Extra=1"), std::string::npos) << text;
    EXPECT_NE(text.find("Active=False"), std::string::npos) << text;
    EXPECT_EQ(text.find("Active=True"), std::string::npos) << text;
}

TEST(Settings, EmptyValueIsStoredAsPresentAndEmpty)
{
    ProgramFolder folder;
    settings::WriteDefaultWallpaper("");
    EXPECT_EQ(folder.Stored("DefaultWP"), "");
}

TEST(Settings, LongValueReadsBackCutTo2047Characters)
{
    ProgramFolder folder;
    const std::string value(3000, 'x');
    WriteFile(folder.Ini(), "[Settings]\r\nDefaultWP=" + value + "\r\n");
    EXPECT_EQ(settings::ReadDefaultWallpaper(), std::string(2047, 'x'));
}

TEST(Settings, FailedWriteNamesTheFileAndLosesNothing)
{
    ProgramFolder folder;
    const std::string original = "[Settings]\r\nActive=True\r\nRandom=True\r\n";
    WriteFile(folder.Ini(), original);

    // Another program holds the file open without sharing; root cannot get past that.
    HANDLE lock = CreateFileA(folder.Ini().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    try {
        settings::Write(Flag::Active, false);
        ADD_FAILURE() << "the write went through a locked file";
    } catch (const std::exception& error) {
        EXPECT_EQ(error.what(), veld::texts::CannotWriteSettings(win::FromAnsi(folder.Path() + "/veld.ini")).Plain());
    }
    CloseHandle(lock);
    EXPECT_EQ(ReadFile(folder.Ini()), original);

    // Without the lock the same write succeeds: the lock is what made it fail.
    settings::Write(Flag::Active, false);
    EXPECT_NE(ReadFile(folder.Ini()).find("Active=False"), std::string::npos);
}

TEST(Settings, AValueWithALineBreakIsNeverWritten)
{
    ProgramFolder folder;
    const std::string original = "[Settings]\r\nActive=True\r\n";
    WriteFile(folder.Ini(), original);
    for (const char* value : {"a\r\n[Settings]\r\nRandom=True\r\nz.jpg", "a\nb.jpg", "a\rb.jpg", "z.jpg\r\n"}) {
        try {
            settings::WriteDefaultWallpaper(value);
            ADD_FAILURE() << "written: " << value;
        } catch (const std::exception& error) {
            EXPECT_EQ(
                error.what(),
                veld::texts::LineBreakInName(win::FromAnsi(folder.Path() + "/veld.ini"), win::FromAnsi(value)).Plain());
        }
        EXPECT_EQ(ReadFile(folder.Ini()), original) << value;
    }
}

TEST(Settings, FolderInPlaceOfTheFileFailsTheWrite)
{
    ProgramFolder folder;
    MakeFolder(folder.Ini());
    EXPECT_THROW(settings::Write(Flag::Random, true), std::exception);
    RemoveTree(folder.Ini());
    EXPECT_NO_THROW(settings::Write(Flag::Random, true));
}

}  // namespace
