#include "TestSupport.h"

#include "core/ShapeMask.h"
#include "core/Texts.h"
#include "ui/Application.h"
#include "win/UserText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <deque>
#include <functional>
#include <utility>

using namespace testing_support;

// Where this executable's calls of CloseHandle find it.
extern "C" void* __imp_CloseHandle;

namespace {

// A scanner that opens the clip without sharing the moment Veldana lets go of it.
HANDLE heldClip = INVALID_HANDLE_VALUE;
BOOL(WINAPI* systemCloseHandle)(HANDLE) = nullptr;

BOOL WINAPI CloseThenHoldClip(HANDLE handle)
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetFinalPathNameByHandleW(handle, path, MAX_PATH, 0);
    const BOOL closed = systemCloseHandle(handle);
    if (heldClip == INVALID_HANDLE_VALUE && length && length < MAX_PATH && std::wstring_view(path).ends_with(L"tv.avi"))
        heldClip = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    return closed;
}

constexpr COLORREF kKey = RGB(10, 10, 10);
constexpr COLORREF kPanel = RGB(142, 183, 220);

// The colour a list shows as picture index.
COLORREF PictureColour(const ui::ImageList& list, int index)
{
    return Pixels::OfListPicture(list, index).At(list.Width() / 2, list.Height() / 2);
}

void WriteButtons(const std::string& media, int number, int width, int height)
{
    const COLORREF colours[] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200)};
    const char* letters[] = {"A", "B", "C"};
    for (int i = 0; i < 3; ++i)
        WriteBmpFile(media + "button" + std::to_string(number) + "_" + letters[i] + ".bmp", width, height, colours[i]);
}

TEST(Look, EachButtonListHoldsItsThreeMediaPicturesInOrderABC)
{
    FormHarness harness;
    const std::string media = harness.Path() + "Media\\";
    WriteButtons(media, 1, 236, 36);
    WriteButtons(media, 2, 236, 33);
    WriteButtons(media, 3, 236, 33);
    WriteButtons(media, 4, 236, 37);
    harness.Start();
    TForm1& form = harness.Form();
    EXPECT_EQ(harness.errors, std::vector<std::string>{});

    struct Expected {
        const ui::ImageList* list;
        int height;
    };
    for (const Expected& e : {Expected{&form.ImageList2, 36}, Expected{&form.ImageList3, 33},
                              Expected{&form.ImageList4, 33}, Expected{&form.ImageList5, 37}}) {
        EXPECT_EQ(e.list->Count(), 3) << e.height;
        EXPECT_EQ(e.list->Width(), 236) << e.height;
        EXPECT_EQ(e.list->Height(), e.height) << e.height;
        EXPECT_EQ(PictureColour(*e.list, 0), RGB(200, 0, 0)) << e.height;
        EXPECT_EQ(PictureColour(*e.list, 1), RGB(0, 200, 0)) << e.height;
        EXPECT_EQ(PictureColour(*e.list, 2), RGB(0, 0, 200)) << e.height;
    }
    EXPECT_EQ(form.ImageList1.Count(), 2);
}

TEST(Look, BadButtonPicturesStopOnlyTheirStepAndSettingsAreStillRead)
{
    struct Case {
        const char* what;
        std::function<void(const std::string& media)> spoil;
        std::string error;
        int listTwoCount;
    };
    const Case cases[] = {
        {"narrower", [](const std::string& m) { WriteBmpFile(m + "button2_B.bmp", 235, 33, RGB(1, 2, 3)); },
         std::string(veld::texts::kInvalidPictureSize) + ".", 3},
        {"lower", [](const std::string& m) { WriteBmpFile(m + "button1_C.bmp", 236, 35, RGB(1, 2, 3)); },
         std::string(veld::texts::kInvalidPictureSize) + ".", 2},
        {"missing", [](const std::string& m) { DeleteFileA((m + "button1_A.bmp").c_str()); }, "Datei ", 0},
        {"not a bitmap", [](const std::string& m) { WriteFile(m + "button1_A.bmp", "not a bitmap"); }, "Datei ", 0},
    };
    for (const Case& c : cases) {
        FormHarness harness;
        c.spoil(harness.Path() + "Media\\");
        WriteFile(harness.Ini(), "[Settings]\r\nActive=True\r\nRandom=True\r\n");
        harness.Start();
        TForm1& form = harness.Form();
        ASSERT_EQ(harness.errors.size(), 1u) << c.what;
        EXPECT_EQ(harness.errors[0].rfind(c.error, 0), 0u) << c.what << ": " << harness.errors[0];
        EXPECT_EQ(form.ImageList2.Count(), c.listTwoCount) << c.what;
        // The steps after the failing one still ran.
        EXPECT_NE(form.WindowRegion, nullptr) << c.what;
        EXPECT_TRUE(form.CheckBox1.Checked()) << c.what;
        EXPECT_TRUE(form.CheckBox2.Checked()) << c.what;
        harness.CloseWindow();
        EXPECT_NE(ReadFile(harness.Ini()).find("Active=True"), std::string::npos) << c.what;
    }
    // The missing file is named in its message.
    FormHarness harness;
    DeleteFileA((harness.Path() + "Media\\button3_B.bmp").c_str());
    harness.Start();
    ASSERT_EQ(harness.errors.size(), 1u);
    EXPECT_NE(harness.errors[0].find("button3_B.bmp"), std::string::npos) << harness.errors[0];
}

TEST(Look, PictureTwiceAsWideIsCutAndShiftsTheLaterPictures)
{
    FormHarness harness;
    const std::string media = harness.Path() + "Media\\";
    WriteButtons(media, 1, 236, 36);
    WriteBmpFile(media + "button1_A.bmp", 472, 40, RGB(200, 0, 0), RGB(200, 200, 0), 236);
    harness.Start();
    TForm1& form = harness.Form();
    EXPECT_TRUE(harness.errors.empty());
    ASSERT_EQ(form.ImageList2.Count(), 4);
    EXPECT_EQ(PictureColour(form.ImageList2, 0), RGB(200, 0, 0));
    EXPECT_EQ(PictureColour(form.ImageList2, 1), RGB(200, 200, 0));
    EXPECT_EQ(PictureColour(form.ImageList2, 2), RGB(0, 200, 0));
    EXPECT_EQ(PictureColour(form.ImageList2, 3), RGB(0, 0, 200));
}

TEST(Look, ClipsAreOpenedStoppedAndTheSecondHidden)
{
    FormHarness harness;
    // The active look leaves both clips as start-up opened them.
    WriteFile(harness.Ini(), "[Settings]\r\nActive=True\r\n");
    harness.Start();
    TForm1& form = harness.Form();
    EXPECT_TRUE(harness.errors.empty());
    EXPECT_GE(form.Animate1.FrameCount(), 10);
    EXPECT_GE(form.Animate2.FrameCount(), 24);
    EXPECT_FALSE(form.Animate1.Active());
    EXPECT_FALSE(form.Animate2.Active());
    EXPECT_FALSE(form.Animate1.Visible());
    EXPECT_FALSE(form.Animate2.Visible());
    // The controls took the clips' frame size and kept their places.
    RECT r;
    GetWindowRect(form.Animate1.Handle(), &r);
    MapWindowPoints(HWND_DESKTOP, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 173);
    EXPECT_EQ(r.top, 287);
    EXPECT_EQ(r.right - r.left, form.Animate1.GetBounds().width);
}

TEST(Look, UnopenableClipReportsAviErrorAndStartUpGoesOnButOneHeldOnceItsHeaderIsReadOpens)
{
    for (const std::string spoil : {"missing", "garbage", "held once its header is read"}) {
        FormHarness harness;
        if (spoil == "missing")
            DeleteFileA((harness.Path() + "Media\\tv.avi").c_str());
        else if (spoil == "garbage")
            WriteFile(harness.Path() + "Media\\tv.avi", "RIFF....AVI nonsense");
        WriteFile(harness.Ini(), "[Settings]\r\nActive=True\r\n");
        const bool held = spoil.starts_with("held");
        if (held)
            systemCloseHandle = reinterpret_cast<decltype(systemCloseHandle)>(
                std::exchange(__imp_CloseHandle, reinterpret_cast<void*>(CloseThenHoldClip)));
        harness.Start();
        if (held)
            __imp_CloseHandle = reinterpret_cast<void*>(systemCloseHandle);
        TForm1& form = harness.Form();
        ASSERT_EQ(harness.errors.size(), held ? 0u : 1u) << spoil;
        if (held)
            EXPECT_GE(form.Animate1.FrameCount(), 10);
        else
            EXPECT_EQ(harness.errors[0], std::string(veld::texts::kCannotOpenClip) + ".") << spoil;
        EXPECT_TRUE(form.CheckBox1.Checked()) << spoil;
        EXPECT_TRUE(form.ListBox1.Enabled()) << spoil;
        CloseHandle(std::exchange(heldClip, INVALID_HANDLE_VALUE));
    }
}

// Region pixels of a bitmap's shape as a mask, top-down.
std::vector<std::vector<bool>> Mask(HRGN region, int width, int height)
{
    std::vector<std::vector<bool>> kept(static_cast<size_t>(height), std::vector<bool>(static_cast<size_t>(width)));
    const DWORD size = region ? GetRegionData(region, 0, nullptr) : 0;
    if (size < sizeof(RGNDATAHEADER))
        return kept;
    std::vector<char> buffer(size);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    GetRegionData(region, size, data);
    const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
    for (DWORD i = 0; i < data->rdh.nCount; ++i)
        for (int y = std::max<LONG>(rects[i].top, 0); y < std::min<LONG>(rects[i].bottom, height); ++y)
            for (int x = std::max<LONG>(rects[i].left, 0); x < std::min<LONG>(rects[i].right, width); ++x)
                kept[static_cast<size_t>(y)][static_cast<size_t>(x)] = true;
    return kept;
}

// The region as the window's outline was first defined: the picture's rectangle with
// each run of key-colour pixels cut out by a region operation of its own.
win::Region RegionCutRunByRun(HBITMAP bitmap)
{
    BITMAP info{};
    GetObjectA(bitmap, sizeof(info), &info);
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(format.bmiHeader), info.bmWidth, -info.bmHeight, 1, 24, BI_RGB};
    const size_t stride = (static_cast<size_t>(info.bmWidth) * 3 + 3) & ~size_t{3};
    std::vector<uint8_t> pixels(stride * static_cast<size_t>(info.bmHeight));
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    win::Region region(CreateRectRgn(0, 0, info.bmWidth, info.bmHeight));
    for (const veld::KeyRun& run : veld::KeyColourRuns(pixels.data(), info.bmWidth, info.bmHeight, stride)) {
        win::Region cut(CreateRectRgn(run.left, run.y, run.right, run.y + 1));
        CombineRgn(region.get(), region.get(), cut.get(), RGN_DIFF);
    }
    return region;
}

HBITMAP MakeBitmap(int width, int height, COLORREF fill, const std::vector<std::pair<POINT, COLORREF>>& dots)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(fill);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    for (const auto& [point, colour] : dots)
        SetPixel(dc, point.x, point.y, colour);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

TEST(Shape, RegionDropsExactKeyPixelsOnlyInsideAndOut)
{
    ProgramFolder folder;
    // Corner key, an interior key pixel, a near-key pixel, a key run at the right edge.
    HBITMAP bitmap = MakeBitmap(
        20, 10, kPanel,
        {{{0, 0}, kKey}, {{7, 4}, kKey}, {{8, 4}, kKey}, {{3, 3}, RGB(10, 10, 11)}, {{19, 9}, kKey}, {{18, 9}, kKey}});
    win::Region region = BuildWindowRegion(bitmap);
    ASSERT_TRUE(region);
    EXPECT_FALSE(PtInRegion(region.get(), 0, 0));
    EXPECT_TRUE(PtInRegion(region.get(), 1, 0));
    EXPECT_FALSE(PtInRegion(region.get(), 7, 4));
    EXPECT_FALSE(PtInRegion(region.get(), 8, 4));
    EXPECT_TRUE(PtInRegion(region.get(), 9, 4));
    EXPECT_TRUE(PtInRegion(region.get(), 3, 3));
    EXPECT_FALSE(PtInRegion(region.get(), 19, 9));
    EXPECT_FALSE(PtInRegion(region.get(), 18, 9));
    int kept = 0;
    for (const auto& row : Mask(region.get(), 20, 10))
        for (bool k : row)
            kept += k;
    EXPECT_EQ(kept, 200 - 5);
    DeleteObject(bitmap);

    // Only the corner has the key colour: one pixel goes.
    HBITMAP plain = MakeBitmap(30, 20, kPanel, {{{0, 0}, kKey}});
    win::Region corner = BuildWindowRegion(plain);
    RECT box;
    GetRgnBox(corner.get(), &box);
    EXPECT_EQ(box.right, 30);
    EXPECT_EQ(box.bottom, 20);
    EXPECT_FALSE(PtInRegion(corner.get(), 0, 0));
    EXPECT_TRUE(PtInRegion(corner.get(), 1, 0));
    EXPECT_TRUE(PtInRegion(corner.get(), 0, 1));
    DeleteObject(plain);
}

TEST(Shape, RegionMadeInOneCallEqualsCuttingTheRunsOutOneByOne)
{
    FormHarness harness;
    harness.Start();
    HBITMAP dotted = MakeBitmap(20, 10, kPanel, {{{0, 0}, kKey}, {{7, 4}, kKey}, {{19, 9}, kKey}, {{0, 9}, kKey}});
    for (HBITMAP picture : {harness.Form().Image1.Picture(), dotted}) {
        win::Region region = BuildWindowRegion(picture);
        ASSERT_TRUE(region);
        EXPECT_TRUE(EqualRgn(region.get(), RegionCutRunByRun(picture).get()));
    }
    DeleteObject(dotted);
}

TEST(Shape, ShippedBackgroundKeepsItsOutlineAndFiveEnclosedHoles)
{
    FormHarness harness;
    harness.Start();
    TForm1& form = harness.Form();

    BITMAP info{};
    GetObjectA(form.Image1.Picture(), sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 757);
    EXPECT_EQ(info.bmHeight, 544);
    win::Region region = BuildWindowRegion(form.Image1.Picture());
    RECT box;
    GetRgnBox(region.get(), &box);
    EXPECT_EQ(box.left, 6);
    EXPECT_EQ(box.top, 6);
    EXPECT_EQ(box.right, 748);
    EXPECT_EQ(box.bottom, 537);

    // Flood the cut-out pixels from the picture's edge; what is not reached is a hole.
    const int width = info.bmWidth, height = info.bmHeight;
    const auto kept = Mask(region.get(), width, height);
    std::vector<std::vector<int>> seen(static_cast<size_t>(height), std::vector<int>(static_cast<size_t>(width), 0));
    auto flood = [&](int sx, int sy, int mark) {
        int count = 0;
        std::deque<POINT> todo{{sx, sy}};
        seen[sy][sx] = mark;
        while (!todo.empty()) {
            const POINT p = todo.front();
            todo.pop_front();
            ++count;
            const POINT next[] = {{p.x + 1, p.y}, {p.x - 1, p.y}, {p.x, p.y + 1}, {p.x, p.y - 1}};
            for (const POINT& n : next) {
                if (n.x < 0 || n.y < 0 || n.x >= width || n.y >= height || seen[n.y][n.x] || kept[n.y][n.x])
                    continue;
                seen[n.y][n.x] = mark;
                todo.push_back(n);
            }
        }
        return count;
    };
    flood(0, 0, -1);
    int holes = 0, holePixels = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (kept[y][x] || seen[y][x])
                continue;
            ++holes;
            holePixels += flood(x, y, holes);
            EXPECT_GE(y, 406);
            EXPECT_LE(y, 448);
        }
    }
    EXPECT_EQ(holes, 5);
    EXPECT_GT(holePixels, 100);
    EXPECT_LT(holePixels, 250);

    // The window keeps that mask: its 762 x 540 client loses the rightmost columns.
    ASSERT_NE(form.WindowRegion, nullptr);
    win::Region applied(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(form.Handle(), applied.get()), ERROR);
    EXPECT_TRUE(EqualRgn(applied.get(), region.get()));
    for (int y : {100, 300, 500})
        for (int x = 757; x < 762; ++x)
            EXPECT_FALSE(PtInRegion(applied.get(), x, y)) << x << "," << y;
}

TEST(Look, RenderedWindowShowsArtworkAndTheNameInTheEmptyPreview)
{
    FormHarness harness;
    harness.Start();
    TForm1& form = harness.Form();
    const Pixels window = Pixels::OfWindow(form.Handle());
    const Pixels background = Pixels::OfBitmap(form.Image1.Picture());

    EXPECT_EQ(window.At(2, 2), kKey);
    EXPECT_EQ(window.At(3, 530), kKey);
    EXPECT_EQ(window.At(600, 140), kPanel);
    EXPECT_EQ(window.At(740, 300), kPanel);

    // Before any preview the preview area shows the background, which carries the name:
    // more than a plain fill.
    EXPECT_EQ(form.Image2.Picture(), nullptr);
    int differences = 0, inked = 0;
    const COLORREF base = window.At(173, 287);
    for (int y = 287; y < 287 + 114; ++y) {
        for (int x = 173; x < 173 + 154; ++x) {
            differences += window.At(x, y) != background.At(x, y);
            inked += window.At(x, y) != base;
        }
    }
    EXPECT_EQ(differences, 0);
    EXPECT_GT(inked, 500);

    // The buttons show their pictures, the close button its own.
    EXPECT_NE(window.At(620, 337), kPanel);
    EXPECT_NE(window.At(726, 152), kPanel);
}

TEST(Look, TheTextLinkKeepsEveryLetterOnAnEightBitScreen)
{
    FormHarness harness;
    harness.Start();
    ui::Label& link = harness.Form().Label1;
    // Without smoothing, at 8 bits per pixel, the bold font draws wider than it reports.
    auto ink = [](int width, const std::function<void(HDC)>& draw) {
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colours[256];
        } format{{sizeof(BITMAPINFOHEADER), width, -540, 1, 8, BI_RGB, 0, 0, 0, 256, 0}, {}};
        for (int i = 0; i < 256; ++i)
            format.colours[i] = {BYTE(i), BYTE(i), BYTE(i), 0};
        void* bits = nullptr;
        HBITMAP surface =
            CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&format), DIB_RGB_COLORS, &bits, nullptr, 0);
        const int count = InkPixels(surface, RGB(255, 255, 255), [&](HDC dc) {
            SetBkMode(dc, TRANSPARENT);
            draw(dc);
        });
        DeleteObject(surface);
        return count;
    };
    const std::wstring text = win::FromWindows1252(link.Text());
    EXPECT_EQ(ink(762, [&](HDC dc) { link.Paint(dc); }), ink(2 * 762, [&](HDC dc) {
                  SelectObject(dc, link.DrawingFont());
                  TextOutW(dc, 0, 0, text.c_str(), static_cast<int>(text.size()));
              }));
}

TEST(Look, MouseGoesToTheTopmostVisibleControlAndTabReachesEveryHitArea)
{
    FormHarness harness;
    WriteFile(harness.Ini(), "[Settings]\r\nActive=True\r\n");
    harness.Start();
    TForm1& form = harness.Form();

    struct Case {
        POINT at;
        const ui::GraphicControl* expected;
    };
    for (const Case& c :
         {Case{{20, 20}, &form.Image1}, Case{{600, 340}, &form.Label4}, Case{{505, 320}, &form.ImageNoWallpaper},
          Case{{720, 150}, &form.Label3}, Case{{600, 465}, &form.Label1}, Case{{500, 500}, &form.Label2},
          Case{{650, 500}, &form.Label10}, Case{{200, 300}, &form.Image2}}) {
        EXPECT_EQ(form.ControlAt(c.at), c.expected) << c.at.x << "," << c.at.y;
    }
    // The hand shows over hit areas only, hidden ones excluded.
    auto cursorAt = [&](POINT at) {
        POINT screen = at;
        ClientToScreen(form.Handle(), &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageA(form.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    const HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    EXPECT_EQ(cursorAt({600, 340}), hand);
    EXPECT_EQ(cursorAt({650, 500}), hand);
    EXPECT_NE(cursorAt({20, 20}), hand);

    form.Label4.SetVisible(false);
    EXPECT_EQ(form.ControlAt({600, 340}), &form.ImageNoWallpaper);
    EXPECT_NE(cursorAt({600, 340}), hand);
    form.Label4.SetVisible(true);

    // Tab goes round the child windows and the hit areas, Shift+Tab back; the inactive
    // look passes over what it greys out. Screen readers hear of every hit area reached.
    static std::vector<LONG> heard;
    const HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
            if (window == Form1->Handle() && object == OBJID_CLIENT && child > 0)
                heard.push_back(child);
        },
        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    auto lastHeard = [&]() -> const ui::Control* {
        PumpMessages();
        return heard.empty() ? nullptr : form.TabOrder().at(static_cast<size_t>(heard.back() - 1));
    };
    auto focused = [&]() -> const ui::Control* {
        if (const ui::GraphicControl* area = form.FocusedArea())
            return area;
        for (const ui::WindowedControl* control : form.WindowedControls())
            if (control->Handle() == GetFocus())
                return control;
        return nullptr;
    };
    auto goRound = [&](const std::vector<const ui::Control*>& order) {
        ASSERT_EQ(focused(), order[0]);
        for (size_t i = 1; i <= order.size(); ++i) {
            PressKey(VK_TAB);
            EXPECT_EQ(focused(), order[i % order.size()]) << "Tab " << i;
            if (form.FocusedArea())
                EXPECT_EQ(lastHeard(), order[i % order.size()]) << "Tab " << i;
        }
        for (size_t i = order.size(); i-- > 0;) {
            PressKey(VK_TAB, true);
            EXPECT_EQ(focused(), order[i]) << "Shift+Tab to " << i;
        }
    };
    goRound({&form.ListBox1, &form.CheckBox1, &form.CheckBox2, &form.Label4, &form.Label5, &form.Label6, &form.Label7,
             &form.Label1, &form.Label2, &form.Label10, &form.Label3});
    SendMessageA(form.CheckBox1.Handle(), BM_CLICK, 0, 0);
    goRound({&form.CheckBox1, &form.Label1, &form.Label2, &form.Label10, &form.Label3});
    UnhookWinEvent(hook);
}

TEST(Look, EveryControlStandsAtThePlaceTheLayoutGivesItAtEveryScale)
{
    WallpaperHarness harness;
    WriteJpegFile(harness.dir + "a.jpg", 1024, 768, RGB(220, 20, 20));
    harness.Start();
    TForm1& form = harness.Form();
    // A preview, a selection and a lit button that every scale keeps.
    ClickListEntry(form, 0);
    SendMessageA(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(600, 370));
    const Pixels atDesign = Pixels::OfWindow(form.Handle());
    const Pixels litAtDesign = Pixels::OfListPicture(form.ImageList3, 1);

    // The window's control table: left, top, width, height in client pixels at 96 dpi.
    struct Row {
        const ui::Control* control;
        int left, top, width, height;
    };
    const Row rows[] = {
        {&form.Image1, 0, 0, 762, 540},
        {&form.Image2, 173, 287, 154, 114},
        {&form.Label1, 519, 456, 192, 26},
        {&form.ImageClose, 715, 141, 22, 23},
        {&form.Label3, 713, 139, 27, 28},
        {&form.ImageNoWallpaper, 503, 319, 236, 36},
        {&form.ImageSetAsDefault, 503, 354, 236, 33},
        {&form.ImageDeleteSelected, 503, 385, 236, 33},
        {&form.ImageAddYourOwn, 503, 416, 236, 37},
        {&form.Label4, 510, 325, 223, 30},
        {&form.Label5, 508, 356, 222, 29},
        {&form.Label6, 510, 387, 220, 29},
        {&form.Label7, 509, 419, 223, 30},
        {&form.Label10, 628, 493, 110, 24},
        {&form.Label2, 473, 492, 92, 26},
        {&form.Animate2, 174, 288, 154, 115},
        {&form.ListBox1, 509, 231, 223, 81},
        {&form.Animate1, 173, 287, 154, 115},
        {&form.CheckBox1, 527, 163, 12, 13},
        {&form.CheckBox2, 527, 192, 12, 13},
    };
    for (const int dpi : {96, 120, 144, 192, 288, 96}) {
        // Every edge at dpi / 96 times its place, to the nearest pixel.
        const auto at = [dpi](int value) { return (value * dpi + 48) / 96; };
        RECT place{40, 30, 40 + at(762), 30 + at(540)};
        SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
        RECT client;
        GetClientRect(form.Handle(), &client);
        EXPECT_EQ((std::array{client.right, client.bottom}), (std::array<LONG, 2>{at(762), at(540)})) << dpi;
        for (const Row& row : rows) {
            std::array expected{at(row.left), at(row.top), at(row.left + row.width) - at(row.left),
                                at(row.top + row.height) - at(row.top)};
            // A clip plays at its own frame size, centred where it has none for the scale.
            if (const auto* clip = dynamic_cast<const ui::Animate*>(row.control)) {
                const int drawnFor = dpi >= 192 ? 192 : 96;
                const int frameWidth = row.width * drawnFor / 96, frameHeight = row.height * drawnFor / 96;
                expected = {expected[0] + (expected[2] - frameWidth) / 2, expected[1] + (expected[3] - frameHeight) / 2,
                            frameWidth, frameHeight};
                EXPECT_EQ(clip->FrameCount() > 0, true);
            }
            const ui::Bounds& b = row.control->GetBounds();
            EXPECT_EQ((std::array{b.left, b.top, b.width, b.height}), expected)
                << row.left << "," << row.top << " " << dpi;
            // A child window stands where its bounds say.
            if (const auto* windowed = dynamic_cast<const ui::WindowedControl*>(row.control)) {
                RECT r;
                GetWindowRect(windowed->Handle(), &r);
                MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
                EXPECT_EQ((std::array<int, 4>{r.left, r.top, r.right - r.left, r.bottom - r.top}), expected)
                    << row.left << "," << row.top << " " << dpi;
            }
        }
        // The list's entries and font, and the outline: the key colour of the background
        // as drawn at this scale.
        EXPECT_EQ(SendMessageA(form.ListBox1.Handle(), LB_GETITEMHEIGHT, 0, 0), at(13)) << dpi;
        LOGFONTA font{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(form.ListBox1.Handle(), WM_GETFONT, 0, 0)), sizeof(font),
                   &font);
        EXPECT_EQ(font.lfHeight, -at(11)) << dpi;
        const Pixels background = Pixels::OfBitmap(form.Image1.Picture());
        EXPECT_EQ((std::array{background.Width(), background.Height()}), (std::array{at(757), at(544)})) << dpi;
        win::Region applied(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(form.Handle(), applied.get()), ERROR);
        EXPECT_TRUE(EqualRgn(applied.get(), BuildWindowRegion(form.Image1.Picture()).get())) << dpi;
        // The selection, the preview at the preview's size, the lit button.
        EXPECT_EQ(form.ListBox1.ItemIndex(), 0) << dpi;
        const Pixels shown = Pixels::OfWindow(form.Handle());
        EXPECT_EQ(shown.At(at(250), at(340)), RGB(220, 20, 20)) << dpi;
        EXPECT_EQ(Pixels::OfBitmap(form.Image2.Picture()).Width(), at(327) - at(173)) << dpi;
        const Pixels lit = Pixels::OfListPicture(form.ImageList3, 1);
        EXPECT_TRUE(Pixels::OfControl(form.ImageSetAsDefault) == lit) << dpi;
        // Whole factors repeat the pixels of the pictures.
        for (int y = 0; dpi % 96 == 0 && y < lit.Height(); ++y)
            for (int x = 0; x < lit.Width(); ++x)
                ASSERT_EQ(lit.At(x, y), litAtDesign.At(x * 96 / dpi, y * 96 / dpi)) << x << "," << y << " " << dpi;
    }
    // Back at 96 dpi the window is what it was, pixel for pixel.
    EXPECT_TRUE(Pixels::OfWindow(form.Handle()) == atDesign);
}

}  // namespace
