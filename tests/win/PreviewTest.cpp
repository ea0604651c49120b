#include "TestSupport.h"

#include "catalogue/Catalogue.h"
#include "core/Texts.h"
#include "preview/Preview.h"
#include "ui/Application.h"
#include "win/UserText.h"

#include <gtest/gtest.h>

#include <utility>

using namespace testing_support;

// Where this executable's calls of FormatMessageW find it.
extern "C" void* __imp_FormatMessageW;

namespace {

// The system's reason as a system in another language gives it, longer than the usual
// buffers; SayTheReason answers with it as FormatMessageW would.
const std::wstring kReason = L"Datei nicht gefunden " + std::wstring(600, L'\x0416'), kSaid = kReason + L"\r\n";

DWORD WINAPI SayTheReason(DWORD flags, LPCVOID, DWORD, DWORD, LPWSTR buffer, DWORD size, va_list*)
{
    const DWORD length = static_cast<DWORD>(kSaid.size());
    wchar_t* target = buffer;
    if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER)
        *reinterpret_cast<wchar_t**>(buffer) = target =
            static_cast<wchar_t*>(LocalAlloc(LMEM_FIXED, (length + 1) * sizeof(wchar_t)));
    else if (size <= length)
        return SetLastError(ERROR_INSUFFICIENT_BUFFER), 0;
    wcscpy(target, kSaid.c_str());
    return length;
}

using PreviewHarness = WallpaperHarness;

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info{};
    GetObjectA(bitmap, sizeof(info), &info);
    return {info.bmWidth, info.bmHeight};
}

TEST(Preview, WallpapersOfEverySizeAreSqueezedToThePreview)
{
    PreviewHarness harness;
    WriteJpegFile(harness.dir + "wide.jpg", 1024, 768, RGB(220, 20, 20));
    WriteJpegFile(harness.dir + "tall.jpg", 1280, 1024, RGB(20, 20, 220));
    WriteJpegFile(harness.dir + "grey.jpg", 300, 200, RGB(128, 128, 128), true);
    harness.Start();
    TForm1& form = harness.Form();

    struct Case {
        const char* name;
        COLORREF colour;
    };
    for (const Case& c : {Case{"wide.jpg", RGB(220, 20, 20)}, Case{"tall.jpg", RGB(20, 20, 220)},
                          Case{"grey.jpg", RGB(128, 128, 128)}}) {
        ClickListEntry(form, harness.IndexOf(c.name));
        ASSERT_NE(form.Image2.Picture(), nullptr) << c.name;
        const SIZE size = BitmapSize(form.Image2.Picture());
        EXPECT_EQ(size.cx, 154) << c.name;
        EXPECT_EQ(size.cy, 114) << c.name;
        const COLORREF shown = Pixels::OfBitmap(form.Image2.Picture()).At(77, 57);
        EXPECT_NEAR(GetRValue(shown), GetRValue(c.colour), 6) << c.name;
        EXPECT_NEAR(GetGValue(shown), GetGValue(c.colour), 6) << c.name;
        EXPECT_NEAR(GetBValue(shown), GetBValue(c.colour), 6) << c.name;
        EXPECT_FALSE(form.Animate1.Visible()) << c.name;
        EXPECT_FALSE(form.Animate1.Active()) << c.name;
    }
    EXPECT_TRUE(harness.errors.empty());
    // The window shows it in the preview area.
    const COLORREF onScreen = Pixels::OfWindow(form.Handle()).At(173 + 77, 287 + 57);
    EXPECT_NEAR(GetRValue(onScreen), 128, 6);
}

TEST(Preview, FailedDecodeKeepsThePreviousPictureAndHidesTheClip)
{
    PreviewHarness harness;
    WriteJpegFile(harness.dir + "good.jpg", 320, 240, RGB(20, 200, 20));
    WriteFile(harness.dir + "broken.jpg", "this is no picture");
    WriteFile(harness.dir + "vanishing.jpg", "x");
    harness.Start();
    TForm1& form = harness.Form();
    ClickListEntry(form, harness.IndexOf("good.jpg"));
    HBITMAP before = form.Image2.Picture();
    ASSERT_NE(before, nullptr);

    ClickListEntry(form, harness.IndexOf("broken.jpg"));
    ASSERT_EQ(harness.errors.size(), 1u);
    EXPECT_EQ(harness.errors[0], veld::texts::JpegError(53) + ".");
    EXPECT_EQ(form.Image2.Picture(), before);
    EXPECT_FALSE(form.Animate1.Visible());

    DeleteFileA((harness.dir + "vanishing.jpg").c_str());
    ClickListEntry(form, harness.IndexOf("vanishing.jpg"));
    ASSERT_EQ(harness.errors.size(), 2u);
    EXPECT_NE(harness.errors[1].find("vanishing.jpg"), std::string::npos) << harness.errors[1];
    EXPECT_EQ(form.Image2.Picture(), before);

    // The system's reason reaches the box whole and in the user's letters, however long.
    void* const system = std::exchange(__imp_FormatMessageW, reinterpret_cast<void*>(SayTheReason));
    std::wstring shown;
    ui::Application::Instance().SetErrorSink([&](const std::wstring& text) { shown = text; });
    ClickListEntry(form, harness.IndexOf("vanishing.jpg"));
    __imp_FormatMessageW = system;
    EXPECT_EQ(shown, veld::ErrorBoxText(veld::texts::CannotOpenFile(win::FromAnsi(harness.dir + "vanishing.jpg"),
                                                                    veld::Message(kReason)))
                         .Wide());
}

TEST(Preview, ScaleBitmapReportsFailureInsteadOfThrowing)
{
    preview::PreviewBitmap empty;
    EXPECT_FALSE(preview::ScaleBitmap(empty, 154, 114));
    preview::PreviewBitmap picture;
    picture.pixels.width = 4;
    picture.pixels.height = 2;
    picture.pixels.pixels.assign(picture.pixels.Stride() * 2, 0x80);
    EXPECT_TRUE(preview::ScaleBitmap(picture, 154, 114));
    EXPECT_EQ(BitmapSize(picture.bitmap.get()).cx, 154);
}

}  // namespace
