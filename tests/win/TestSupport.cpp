#include "TestSupport.h"

#include "app/resource.h"
#include "catalogue/Catalogue.h"
#include "desktop/WallpaperLock.h"
#include "ui/Application.h"
#include "win/UserText.h"

#include <gtest/gtest.h>
#include <winternl.h>

#include <atomic>
#include <cstdio>
#include "JpegFixture.h"
#include <fstream>
#include <sstream>
#include <thread>

namespace testing_support {

TempFolder::TempFolder()
{
    static std::atomic<int> counter{0};
    char base[MAX_PATH];
    GetTempPathA(static_cast<DWORD>(std::size(base)), base);
    path_ =
        std::string(base) + "veld-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + "\\";
    RemoveTree(path_);
    MakeFolder(path_);
}

TempFolder::~TempFolder()
{
    RemoveTree(path_);
}

void WriteFile(const std::string& path, const std::string& contents)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFolder(const std::string& path)
{
    CreateDirectoryA(path.c_str(), nullptr);
}

namespace {

// Calls visit with the name of each file and folder in dir (which ends in a backslash)
// and whether it is a folder; false when dir cannot be read.
bool ForEachIn(const std::string& dir, const std::function<void(const std::string&, bool)>& visit)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            visit(name, found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return true;
}

void CopyFolder(const std::string& from, const std::string& to)
{
    MakeFolder(to);
    ASSERT_TRUE(ForEachIn(from, [&](const std::string& name, bool folder) {
        folder ? CopyFolder(from + name + "\\", to + name + "\\")
               : (void)CopyFileA((from + name).c_str(), (to + name).c_str(), FALSE);
    })) << from;
}

}  // namespace

void RemoveTree(const std::string& path)
{
    const std::string dir = path.ends_with('\\') ? path.substr(0, path.size() - 1) : path;
    ForEachIn(dir + "\\", [&](const std::string& name, bool folder) {
        const std::string child = dir + "\\" + name;
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        folder ? RemoveTree(child) : (void)DeleteFileA(child.c_str());
    });
    RemoveDirectoryA(dir.c_str());
}

void PressKey(UINT key, bool shift)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageA(GetFocus(), WM_KEYUP, key, 1 | (3u << 30));
    PumpMessages();
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

void PressKey(ui::GraphicControl& area, UINT key)
{
    Form1->FocusArea(area);
    PressKey(key);
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        ui::Application::Instance().Dispatch(message);
}

bool WithinHalfAMinute(const std::function<bool()>& done)
{
    for (int i = 0; i < 600; ++i, Sleep(50)) {
        PumpMessages();
        if (done())
            return true;
    }
    return false;
}

std::string AssetsDir()
{
    std::string dir = "Z:" VELD_SOURCE_DIR "/assets/";
    for (char& c : dir)
        if (c == '/')
            c = '\\';
    return dir;
}

void WriteBmpFile(const std::string& path, int width, int height, COLORREF colour)
{
    WriteBmpFile(path, width, height, colour, colour, width);
}

void WriteBmpFile(const std::string& path, int width, int height, COLORREF left, COLORREF right, int split)
{
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t pixelBytes = static_cast<uint32_t>(stride * height);
    const BITMAPFILEHEADER header{0x4D42, 54 + pixelBytes, 0, 0, 54};
    const BITMAPINFOHEADER info{40, width, height, 1, 24, BI_RGB, pixelBytes, 0, 0, 0, 0};
    std::string file = std::string(reinterpret_cast<const char*>(&header), sizeof(header)) +
                       std::string(reinterpret_cast<const char*>(&info), sizeof(info)) + std::string(pixelBytes, '\0');
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = x < split ? left : right;
            char* p = &file[54 + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3];
            p[0] = static_cast<char>(GetBValue(c));
            p[1] = static_cast<char>(GetGValue(c));
            p[2] = static_cast<char>(GetRValue(c));
        }
    }
    WriteFile(path, file);
}

void WriteJpegFile(const std::string& path, int width, int height, COLORREF colour, bool grey)
{
    fixture::JpegRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.quality = 95;
    recipe.input = grey ? JCS_GRAYSCALE : JCS_RGB;
    const uint8_t rgb[3] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    recipe.sample = [rgb](int, int, int c) { return rgb[c]; };
    const std::vector<uint8_t> jpeg = fixture::EncodeJpeg(recipe);
    WriteFile(path, std::string(jpeg.begin(), jpeg.end()));
}

win::ScreenSize RigScreenSize()
{
    char text[32] = "";
    win::ScreenSize size;
    if (!GetEnvironmentVariableA("VELD_RIG_SCREEN", text, static_cast<DWORD>(std::size(text))) ||
        std::sscanf(text, "%dx%d", &size.width, &size.height) != 2)
        ADD_FAILURE() << "VELD_RIG_SCREEN is not set: run the tests under scripts/wine-rig.sh";
    return size;
}

std::string RigWallpaperSubfolder()
{
    const win::ScreenSize screen = RigScreenSize();
    const std::string size = std::to_string(screen.width) + "x" + std::to_string(screen.height);
    const std::pair<const char*, const char*> expected[] = {
        {"800x600", "800x600\\"},     {"1024x768", "1024x768\\"}, {"1280x1024", "1280x1024\\"},
        {"1920x1200", "1280x1024\\"}, {"1280x960", ""},
    };
    for (const auto& [screenSize, folder] : expected)
        if (size == screenSize)
            return folder;
    ADD_FAILURE() << "no expected wallpaper folder for a rig screen of " << size;
    return {};
}

std::string WallpaperValue()
{
    char value[1024];
    DWORD size = sizeof(value);
    if (RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Wallpaper", RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return "<missing>";
    return value;
}

void SetWallpaperValue(const std::string& value)
{
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    RegSetValueExA(key, "Wallpaper", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void WhileAnotherHoldsTheWallpaperLock(const std::function<void()>& action, HWND window)
{
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, nullptr), done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> over{false};
    std::thread other([&] {
        {
            desktop::WallpaperLock lock;
            SetEvent(held);
            window ? (void)SendMessageA(window, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0)
                   : (void)WaitForSingleObject(done, INFINITE);
        }
        over = true;
    });
    WaitForSingleObject(held, INFINITE);
    action();
    SetEvent(done);
    WithinHalfAMinute([&] { return over.load(); });  // a window that did not answer during action does now
    other.join();
    CloseHandle(held);
    CloseHandle(done);
}

void ClickListEntry(TForm1& form, int index)
{
    form.ListBox1.SetItemIndex(index);
    const int id = GetDlgCtrlID(form.ListBox1.Handle());
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(form.ListBox1.Handle()));
}

Pixels Pixels::OfWindow(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SelectObject(dc, old);
    Pixels pixels = OfBitmap(bitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

Pixels Pixels::OfBitmap(HBITMAP bitmap)
{
    Pixels pixels;
    BITMAP info{};
    GetObjectA(bitmap, sizeof(info), &info);
    pixels.width_ = info.bmWidth;
    pixels.height_ = info.bmHeight;
    pixels.data_.resize(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data_.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

namespace {

// Draws into a new bitmap of the screen's format and reads it back.
template <typename DrawFunction>
Pixels Drawn(int width, int height, DrawFunction draw)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(dc, bitmap);
    draw(dc);
    SelectObject(dc, old);
    Pixels pixels = Pixels::OfBitmap(bitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

}  // namespace

Pixels Pixels::OfControl(ui::GraphicControl& control)
{
    const ui::Bounds bounds = control.GetBounds();
    return Drawn(bounds.width, bounds.height, [&](HDC dc) {
        SetViewportOrgEx(dc, -bounds.left, -bounds.top, nullptr);
        control.Paint(dc);
    });
}

Pixels Pixels::OfListPicture(const ui::ImageList& list, int index)
{
    return Drawn(list.ShownWidth(), list.ShownHeight(),
                 [&](HDC dc) { list.Paint(index, dc, 0, 0, list.ShownWidth(), list.ShownHeight()); });
}

Pixels Pixels::Cut(int left, int top, int width, int height) const
{
    Pixels part;
    part.width_ = width;
    part.height_ = height;
    for (int y = top; y < top + height; ++y) {
        const auto row = data_.begin() + static_cast<ptrdiff_t>(y) * width_;
        part.data_.insert(part.data_.end(), row + left, row + left + width);
    }
    return part;
}

int InkPixels(HBITMAP surface, COLORREF background, const std::function<void(HDC)>& draw)
{
    BITMAP size{};
    GetObjectA(surface, sizeof(size), &size);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, surface);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    SetDCBrushColor(dc, background);
    PatBlt(dc, 0, 0, size.bmWidth, size.bmHeight, PATCOPY);
    draw(dc);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    const Pixels pixels = Pixels::OfBitmap(surface);
    int ink = 0;
    for (int y = 0; y < pixels.Height(); ++y)
        for (int x = 0; x < pixels.Width(); ++x)
            ink += pixels.At(x, y) != background;
    return ink;
}

std::vector<uint32_t> LiveGdiHandles()
{
    // GDI_HANDLE_ENTRY of the 64-bit table: object, owner, unique, type, flags, user.
    struct Entry {
        uint64_t object;
        uint32_t owner;
        uint16_t unique;
        uint8_t type;
        uint8_t flags;
        uint64_t user;
    };
    static_assert(sizeof(Entry) == 24);
    constexpr size_t kEntries = 0x10000;
    constexpr size_t kGdiSharedHandleTable = 0xF8;  // its offset in the 64-bit PEB
    const auto* peb = reinterpret_cast<const uint8_t*>(NtCurrentTeb()->ProcessEnvironmentBlock);
    const Entry* table = *reinterpret_cast<const Entry* const*>(peb + kGdiSharedHandleTable);
    std::vector<uint32_t> handles;
    const uint16_t process = static_cast<uint16_t>(GetCurrentProcessId());
    for (size_t i = 0; table && i < kEntries; ++i) {
        // Wine's table is the process's own and leaves the owner empty.
        const uint16_t owner = static_cast<uint16_t>(table[i].owner);
        if (table[i].type != 0 && (owner == 0 || owner == process))
            handles.push_back(static_cast<uint32_t>(i) | static_cast<uint32_t>(table[i].unique) << 16);
    }
    return handles;
}

COLORREF Pixels::At(int x, int y) const
{
    const uint32_t v = data_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

uint64_t Pixels::Checksum() const
{
    uint64_t hash = 1469598103934665603ull;
    for (uint32_t pixel : data_)
        hash = (hash ^ (pixel & 0xFFFFFF)) * 1099511628211ull;
    return hash;
}

ProgramFolder::ProgramFolder()
{
    ui::Application& app = ui::Application::Instance();
    app.Initialize(GetModuleHandleA(nullptr), IDI_PROGRAM);
    app.SetTitle("Veldana");
    // A box's own message loop dispatches what is queued.
    app.SetErrorSink([this](const std::wstring& text) {
        errors.push_back(win::MessageIn1252(veld::Message(text)));
        PumpMessages();
    });
    win::SetProgramFolderForTests(Path());
}

ProgramFolder::~ProgramFolder()
{
    ui::Application::Instance().SetErrorSink(nullptr);
}

std::string ProgramFolder::Stored(const char* key) const
{
    char value[2048];
    return std::string(value,
                       GetPrivateProfileStringA("Settings", key, "<missing>", value, std::size(value), Ini().c_str()));
}

FormHarness::FormHarness()
{
    CopyFolder(AssetsDir() + "Media\\", Path() + "Media\\");
}

void FormHarness::Start()
{
    form_ = std::make_unique<TForm1>();
    Form1 = form_.get();
    ui::Application::Instance().SetMainWindow(nullptr);
    form_->Create();
    PumpMessages();
}

void FormHarness::CloseWindow()
{
    form_->Close();
    PumpMessages();
}

WallpaperHarness::WallpaperHarness(bool active)
{
    dir = Path() + RigWallpaperSubfolder();
    MakeFolder(dir);
    if (active)
        WriteFile(Ini(), "[Settings]\r\nActive=True\r\n");
}

int WallpaperHarness::IndexOf(const std::string& name)
{
    for (int i = 0; i < Form().ListBox1.Count(); ++i)
        if (Form().ListBox1.Item(i) == win::FromAnsi(name))
            return i;
    return -1;
}

FormHarness::~FormHarness()
{
    form_.reset();
    Form1 = nullptr;
    WallpaperDir.clear();
    ui::Application::Instance().SetMainWindow(nullptr);
    // PostQuitMessage from the destroyed main window must not leak into the next test.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

}  // namespace testing_support

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
