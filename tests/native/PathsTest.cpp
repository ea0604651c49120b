#include "core/Error.h"
#include "core/Paths.h"
#include "core/WallpaperFolder.h"
#include "LeadBytes.h"

#include <gtest/gtest.h>

namespace veld {
namespace {

TEST(WallpaperFolder, ScreenSizesPickTheirFolderOrNone)
{
    struct Case {
        int width, height;
        std::string_view folder;
    };
    const Case cases[] = {
        {800, 600, "800x600\\"},
        {1024, 768, "1024x768\\"},
        {1280, 1024, "1280x1024\\"},
        {1920, 1200, "1280x1024\\"},
        {2560, 1440, "1280x1024\\"},
        {1280, 960, ""},
        {1152, 864, ""},
        {1280, 800, ""},
        {1600, 900, ""},
        {800, 601, ""},
        {1024, 1024, ""},
        {640, 480, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WallpaperSubfolder(c.width, c.height), c.folder) << c.width << "x" << c.height;
}

TEST(JoinPath, OneBackslashBetweenFolderAndName)
{
    EXPECT_EQ(JoinPath("C:\\w\\", "a.jpg", NoLeadBytes), "C:\\w\\a.jpg");
    EXPECT_EQ(JoinPath("C:\\w", "a.jpg", NoLeadBytes), "C:\\w\\a.jpg");
    EXPECT_EQ(JoinPath("C:\\w/", "a.jpg", NoLeadBytes), "C:\\w/\\a.jpg");
    EXPECT_EQ(JoinPath("", "*.jpg", NoLeadBytes), "\\*.jpg");
    // Windows-1252 has no lead bytes: 0x83 before a backslash is a character of its own.
    EXPECT_EQ(JoinPath("C:\\\x83\\", "a", NoLeadBytes), "C:\\\x83\\a");
}

TEST(JoinPath, TrailByteBackslashInDoubleByteCodePageIsNotASeparator)
{
    // 0x95 0x5C is one Shift-JIS character whose second byte looks like a backslash.
    const std::string dir = "C:\\\x95\x5C";
    EXPECT_EQ(JoinPath(dir, "a.jpg", CodePage932LeadByte), dir + "\\a.jpg");
    EXPECT_EQ(JoinPath(dir + "\\", "a.jpg", CodePage932LeadByte), dir + "\\a.jpg");
    EXPECT_EQ(FileNamePart(dir + "\\x.jpg", CodePage932LeadByte), "x.jpg");
    EXPECT_EQ(FileNamePart("C:\\d\\\x95\x5C.jpg", CodePage932LeadByte), "\x95\x5C.jpg");
}

TEST(FileNames, NamePartAndLowerExtension)
{
    EXPECT_EQ(FileNamePart("C:\\w\\1024x768\\Sunrise.jpg", NoLeadBytes), "Sunrise.jpg");
    EXPECT_EQ(FileNamePart("plain.jpg", NoLeadBytes), "plain.jpg");
    EXPECT_EQ(FileNamePart("C:\\w\\", NoLeadBytes), "");
    EXPECT_EQ(LowerExtension("C:\\w\\PHOTO.JPG", NoLeadBytes), ".jpg");
    EXPECT_EQ(LowerExtension("C:\\w\\photo.jpeg", NoLeadBytes), ".jpeg");
    EXPECT_EQ(LowerExtension("C:\\w.d\\photo", NoLeadBytes), "");
    EXPECT_EQ(LowerExtension("C:\\w\\a.b.BMP", NoLeadBytes), ".bmp");
    EXPECT_EQ(LowerExtension("C:\\w\\\xC4.JPG", NoLeadBytes), ".jpg");
}

TEST(ErrorBoxText, PeriodAddedOnlyAfterCharactersAboveThePeriod)
{
    struct Case {
        Message message;
        std::string_view shown;
    };
    const std::wstring denied = L"\x0414\x043E\x0441\x0442\x0443\x043F";
    const Case cases[] = {
        {"Nummer 53", "Nummer 53."},
        {"Datei:", "Datei:."},
        {"Fertig.", "Fertig."},
        {"Leerzeichen ", "Leerzeichen "},
        {"(Klammer)", "(Klammer)"},
        {"Zugriff verweigert\r\n", "Zugriff verweigert."},
        {"Ende mit Umlaut \xFC", "Ende mit Umlaut \xFC."},
        {"Strich-", "Strich-"},
        {"", ""},
        // The last character of the whole message counts, whichever part it is in.
        {"Grund: " + Message(denied + L"\r\n"), "Grund: ??????."},
        {"Grund: " + Message(std::wstring(L"Zugriff verweigert.\r\n")), "Grund: Zugriff verweigert."},
        {"Datei " + Message(std::wstring(L"C:\\a (1)")) + Message(std::wstring(L"\r\n")), "Datei C:\\a (1)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorBoxText(c.message).Plain(), c.shown) << c.message.Plain();
    // The program's Windows-1252 words reach the screen as their own characters.
    EXPECT_EQ(Message("\x80 \xFC \x9F").Wide(), L"\u20AC \u00FC \u0178");
}

}  // namespace
}  // namespace veld
