// Looks at a running Veldana from outside, as a screen reader would: for each line read from its
// input it writes one line of JSON with what it sees, the main window, its owner, every child control
// and any dialog the program shows, once the program has handled the input sent before. A line
// "minimise" first asks the main window's task-bar owner to minimise, as a click on the task-bar
// button does. It stays for the next line, so a test does not start a Wine process for every look.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::string Quote(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        char escaped[8] = {static_cast<char>(c)};
        if (c < 0x20)
            std::snprintf(escaped, sizeof(escaped), "\\u%04x", c);
        else if (c == '"' || c == '\\')
            out += '\\';
        out += escaped;
    }
    return out + "\"";
}

std::string Text(HWND window)
{
    // Across processes Wine hands back UTF-16 text whichever way it was set.
    wchar_t buffer[1024];
    const int length = GetWindowTextW(window, buffer, static_cast<int>(std::size(buffer)));
    return Utf8(std::wstring(buffer, static_cast<size_t>(length)));
}

std::string ClassName(HWND window)
{
    wchar_t buffer[256];
    const int length = GetClassNameW(window, buffer, static_cast<int>(std::size(buffer)));
    return Utf8(std::wstring(buffer, static_cast<size_t>(length)));
}

std::string RectJson(const RECT& r)
{
    return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + "]";
}

std::string Bool(bool value)
{
    return value ? "true" : "false";
}

std::string ListItems(HWND list)
{
    std::string out = "[";
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        std::wstring item(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        const LRESULT copied = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        out += (i ? "," : "") + Quote(Utf8(item));
    }
    return out + "]";
}

std::string ControlJson(HWND control, HWND parent, HWND focus)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    RECT screen;
    GetWindowRect(control, &screen);
    const std::string cls = ClassName(control);
    std::string out = "{\"class\":" + Quote(cls) + ",\"id\":" + std::to_string(GetDlgCtrlID(control)) +
                      ",\"text\":" + Quote(Text(control)) + ",\"rect\":" + RectJson(r) +
                      ",\"screen\":" + RectJson(screen) + ",\"visible\":" + Bool(IsWindowVisible(control)) +
                      ",\"enabled\":" + Bool(IsWindowEnabled(control)) + ",\"focused\":" + Bool(control == focus) +
                      ",\"style\":" + std::to_string(GetWindowLongW(control, GWL_STYLE));
    if (_wcsicmp(std::wstring(cls.begin(), cls.end()).c_str(), L"ListBox") == 0) {
        out += ",\"items\":" + ListItems(control) +
               ",\"selected\":" + std::to_string(SendMessageW(control, LB_GETCURSEL, 0, 0)) +
               ",\"top\":" + std::to_string(SendMessageW(control, LB_GETTOPINDEX, 0, 0)) +
               ",\"item_height\":" + std::to_string(SendMessageW(control, LB_GETITEMHEIGHT, 0, 0));
    }
    if (_wcsicmp(std::wstring(cls.begin(), cls.end()).c_str(), L"Button") == 0)
        out += ",\"checked\":" + Bool(SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
    return out + "}";
}

std::string RegionJson(HWND window)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(window, region);
    std::string out = "null";
    if (kind != ERROR) {
        const DWORD size = GetRegionData(region, 0, nullptr);
        std::vector<char> buffer(size);
        auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
        if (size && GetRegionData(region, size, data)) {
            const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
            out = "[";
            for (DWORD i = 0; i < data->rdh.nCount; ++i)
                out += (i ? "," : "") + RectJson(rects[i]);
            out += "]";
        }
    }
    DeleteObject(region);
    return out;
}

std::string ImageOf(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
    if (!handle)
        return {};
    wchar_t image[1024];
    DWORD length = static_cast<DWORD>(std::size(image));
    const BOOL found = QueryFullProcessImageNameW(handle, 0, image, &length);
    CloseHandle(handle);
    return found ? Utf8(std::wstring(image, length)) : std::string();
}

BOOL CALLBACK CollectMain(HWND window, LPARAM param)
{
    if (ClassName(window) == "TForm1")
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

// Every main window of every running Veldana: the program it belongs to, whether it
// shows and whether it is the foreground window.
std::string MainsJson()
{
    std::vector<HWND> mains;
    EnumWindows(CollectMain, reinterpret_cast<LPARAM>(&mains));
    std::string out = "[";
    for (size_t i = 0; i < mains.size(); ++i)
        out += (i ? "," : "") + std::string("{\"image\":") + Quote(ImageOf(mains[i])) +
               ",\"visible\":" + Bool(IsWindowVisible(mains[i])) +
               ",\"foreground\":" + Bool(GetForegroundWindow() == mains[i]) + "}";
    return out + "]";
}

struct Collected {
    DWORD process = 0;
    std::vector<HWND> dialogs;
    std::vector<HWND> tooltips;
    std::vector<HWND> others;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param)
{
    auto* collected = reinterpret_cast<Collected*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != collected->process || !IsWindowVisible(window))
        return TRUE;
    const std::string cls = ClassName(window);
    if (cls == "#32770")
        collected->dialogs.push_back(window);
    else if (_stricmp(cls.c_str(), "tooltips_class32") == 0)
        collected->tooltips.push_back(window);
    else
        collected->others.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::string Children(HWND window, HWND focus)
{
    std::vector<HWND> children;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    std::string out = "[";
    for (size_t i = 0; i < children.size(); ++i)
        out += (i ? "," : "") + ControlJson(children[i], window, focus);
    return out + "]";
}

std::string WindowJson(HWND window, HWND focus)
{
    RECT r;
    GetWindowRect(window, &r);
    RECT client;
    GetClientRect(window, &client);
    // The window's state first (+ reads its operands in any order): its controls are read after it is seen shown.
    const bool visible = IsWindowVisible(window), enabled = IsWindowEnabled(window);
    const std::string children = Children(window, focus);
    return "{\"class\":" + Quote(ClassName(window)) + ",\"title\":" + Quote(Text(window)) + ",\"rect\":" + RectJson(r) +
           ",\"client\":" + RectJson(client) + ",\"visible\":" + Bool(visible) + ",\"enabled\":" + Bool(enabled) +
           ",\"children\":" + children + "}";
}


std::string Look(bool minimise)
{
    HWND main = FindWindowA("TForm1", nullptr);
    // A sent message is answered before queued input: the first round trip makes the window's thread take
    // in the input waiting for it, the second waits behind that input, so the probe sees what it did. The
    // window paints only when its thread is idle: the third has it paint what it owes, for a screenshot.
    // All three together wait at most half a minute, well within the caller's limit for the whole probe.
    const ULONGLONG deadline = GetTickCount64() + 30000;
    bool answering = main != nullptr;
    for (UINT message : {WM_NULL, WM_NULL, WM_PAINT}) {
        const ULONGLONG now = GetTickCount64();
        answering = answering && now < deadline &&
                    SendMessageTimeoutW(main, message, 0, 0, SMTO_NORMAL, UINT(deadline - now), nullptr);
    }
    if (main && minimise) {
        SendMessageA(GetWindow(main, GW_OWNER), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        main = FindWindowA("TForm1", nullptr);
    }
    // The code page of a program started with the probe's locale.
    std::string json = "{\"acp\":" + std::to_string(GetACP()) + ",\"mains\":" + MainsJson() + ",";
    if (!main) {
        json += "\"main\":null";
    } else {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        const DWORD thread = GetWindowThreadProcessId(main, nullptr);
        GetGUIThreadInfo(thread, &info);
        HWND owner = GetWindow(main, GW_OWNER);
        json += "\"main\":" + WindowJson(main, info.hwndFocus);
        json += ",\"region\":" + RegionJson(main);
        json += ",\"owner\":" + (owner ? "{\"class\":" + Quote(ClassName(owner)) + ",\"title\":" + Quote(Text(owner)) +
                                             ",\"visible\":" + Bool(IsWindowVisible(owner)) + "}"
                                       : std::string("null"));
        // Cursor handles are the same in every process under Wine, but their pictures
        // cannot be read from outside: tests compare handles between places.
        CURSORINFO cursor{};
        cursor.cbSize = sizeof(cursor);
        GetCursorInfo(&cursor);
        json += ",\"cursor\":{\"pos\":[" + std::to_string(cursor.ptScreenPos.x) + "," +
                std::to_string(cursor.ptScreenPos.y) +
                "],\"handle\":" + std::to_string(reinterpret_cast<uintptr_t>(cursor.hCursor)) + "}";
        json += ",\"active\":" + Quote(info.hwndActive ? ClassName(info.hwndActive) : "");
        json += ",\"screen\":[" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "," +
                std::to_string(GetSystemMetrics(SM_CYSCREEN)) + "]";

        Collected collected;
        GetWindowThreadProcessId(main, &collected.process);
        EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&collected));
        json += ",\"dialogs\":[";
        for (size_t i = 0; i < collected.dialogs.size(); ++i)
            json += (i ? "," : "") + WindowJson(collected.dialogs[i], info.hwndFocus);
        json += "],\"tooltips\":[";
        for (size_t i = 0; i < collected.tooltips.size(); ++i) {
            RECT r;
            GetWindowRect(collected.tooltips[i], &r);
            json += (i ? "," : "") + RectJson(r);
        }
        json += "],\"others\":[";
        for (size_t i = 0; i < collected.others.size(); ++i)
            json += (i ? "," : "") + Quote(ClassName(collected.others[i]));
        json += "]";
    }
    return json + "}\n";
}

}  // namespace

int main()
{
    char request[64];
    while (std::fgets(request, sizeof request, stdin)) {
        const std::string json = Look(std::string(request).starts_with("minimise"));
        std::fwrite(json.data(), 1, json.size(), stdout);
        std::fflush(stdout);
    }
    return 0;
}
