#include "ui/Form.h"

#include "core/Error.h"
#include "core/Scale.h"
#include "core/Steps.h"
#include "core/Texts.h"
#include "ui/Accessible.h"
#include "ui/Application.h"
#include "ui/Text.h"
#include "win/Screen.h"
#include "win/SystemMessage.h"

#include <windowsx.h>

#include <algorithm>
#include <cassert>
#include <utility>

namespace ui {

namespace {

constexpr WORD kFirstControlId = 100;
constexpr int kTooltipDelayMs = 500;
constexpr int kTooltipShowMs = 2500;

// The form's own message: click the hit area of tab order index wParam.
constexpr UINT kClickMessage = WM_USER + 1;
// How far the focus mark stands outside a child window, which paints its own area.
constexpr int kFocusMarkMargin = 2;

// comctl32 draws a tooltip's text this far inside its client edge, besides the margins.
constexpr int kTooltipTextInset = 2;

POINT PointFrom(LPARAM lParam)
{
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

// Widens a tooltip about to be sized so that its text, as its font draws it, fits
// between the margins: it sizes itself, and clips its text, by the reported extent. It
// keeps its place unless it would leave the screen.
void FitTooltipToDrawnText(HWND tooltip, WINDOWPOS& place)
{
    wchar_t text[1024];
    const int length = GetWindowTextW(tooltip, text, static_cast<int>(std::size(text)));
    if (length <= 0)
        return;
    const auto font = reinterpret_cast<HFONT>(SendMessageA(tooltip, WM_GETFONT, 0, 0));
    RECT margin{};
    SendMessageA(tooltip, TTM_GETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    RECT frame{};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(tooltip, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(tooltip, GWL_EXSTYLE)));
    win::WindowDc screen(tooltip);
    const int needed = DrawnTextWidth(screen.get(), font, std::wstring_view(text, static_cast<size_t>(length))) +
                       2 * kTooltipTextInset + margin.left + margin.right + (frame.right - frame.left);
    if (place.cx >= needed)
        return;
    place.cx = needed;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoA(MonitorFromPoint({place.x, place.y}, MONITOR_DEFAULTTONEAREST), &monitor) &&
        place.x + place.cx > monitor.rcMonitor.right)
        place.x = std::max(monitor.rcMonitor.left, monitor.rcMonitor.right - place.cx);
}

// The tooltip's tool for a graphic control: its rectangle, or none while it is hidden.
TTTOOLINFOA ToolFor(HWND form, GraphicControl& control)
{
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = form;
    tool.uId = reinterpret_cast<UINT_PTR>(&control);
    tool.rect = control.Visible() ? control.GetBounds().Rect() : RECT{0, 0, 0, 0};
    return tool;
}

bool KeyboardCuesAlwaysShown()
{
    BOOL shown = FALSE;
    return SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &shown, 0) && shown;
}

// Where the focus mark of a control goes: on a hit area's edge, around a child window.
RECT FocusMarkRect(const Control& control)
{
    RECT rect = control.GetBounds().Rect();
    if (dynamic_cast<const WindowedControl*>(&control))
        InflateRect(&rect, kFocusMarkMargin, kFocusMarkMargin);
    return rect;
}

// Dots alternating black and white: they read on every part of the artwork at every
// colour depth, where the system's inverted dots fade on mid-tones.
void DrawFocusMark(HDC dc, const RECT& rect)
{
    static const WORD kDots[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    win::Bitmap pattern(CreateBitmap(8, 8, 1, 1, kDots));
    win::Brush dots(CreatePatternBrush(pattern.get()));
    const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
    FrameRect(dc, &rect, dots.get());
    SetTextColor(dc, text);
    SetBkColor(dc, back);
}

LRESULT CALLBACK TooltipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_WINDOWPOSCHANGING) {
        auto* place = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(place->flags & SWP_NOSIZE))
            Application::Instance().Guard([window, place] { FitTooltipToDrawnText(window, *place); });
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

Form::~Form()
{
    assert(!handle_ && "the derived form's destructor must call DestroyHandle");
}

void Form::DestroyHandle()
{
    if (handle_)
        DestroyWindow(handle_);
}

void Form::CreateHandle(const FormArgs& args)
{
    HINSTANCE instance = Application::Instance().ModuleInstance();
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = args.className;
    if (args.iconId)
        windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(args.iconId));
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw veld::Error(veld::texts::CannotCreateWindow(win::SystemMessage(GetLastError())));

    const SIZE work = win::WorkAreaSize();
    dpi_ = veld::FittingDpi(win::SystemDpi(), args.clientWidth, args.clientHeight, work.cx, work.cy);
    font_ = LayoutFont(FW_NORMAL, DEFAULT_CHARSET, Scaled(kLayoutFontHeight));

    // A borderless popup: the window rectangle is the client area. It starts where it
    // will be shown, so nothing ever sees it elsewhere.
    const SIZE size{Scaled(args.clientWidth), Scaled(args.clientHeight)};
    const POINT place = win::CentredOnScreen(size);
    createFailure_ = nullptr;
    if (CreateWindowExA(WS_EX_CONTROLPARENT, args.className, args.caption, WS_POPUP | WS_CLIPCHILDREN, place.x, place.y,
                        size.cx, size.cy, args.owner, nullptr, instance, this))
        return;
    const DWORD error = GetLastError();
    if (createFailure_)
        std::rethrow_exception(createFailure_);
    throw veld::Error(veld::texts::CannotCreateWindow(win::SystemMessage(error)));
}

void Form::Show()
{
    // As a dialog starts: the focus shows once the keyboard is used, unless the user
    // always wants to see it.
    focusHidden_ = !KeyboardCuesAlwaysShown();
    ShowWindow(handle_, SW_SHOW);
    SetForegroundWindow(handle_);
    veld::MarkStep("shown");
    UpdateWindow(handle_);
    veld::MarkStep("painted");
}

void Form::Close()
{
    if (handle_)
        SendMessageA(handle_, WM_CLOSE, 0, 0);
}

void Form::RunCommand(const std::function<void()>& command)
{
    if (commandRunning_)
        return;
    commandRunning_ = true;
    Application::Instance().Guard(command);
    commandRunning_ = false;
    if (std::exchange(closeRequested_, false) && handle_)
        PostMessageA(handle_, WM_CLOSE, 0, 0);
}

void Form::RedrawOverDesktop()
{
    // The desktop's own thread paints the new wallpaper over every window once it is
    // idle. Having it paint now, and repainting once it has answered, puts this repaint
    // after it, however long a busy machine keeps the desktop from answering.
    constexpr SENDASYNCPROC redraw = [](HWND, UINT, ULONG_PTR window, LRESULT) {
        RedrawWindow(reinterpret_cast<HWND>(window), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    };
    SendMessageCallbackA(GetDesktopWindow(), WM_PAINT, 0, 0, redraw, reinterpret_cast<ULONG_PTR>(handle_));
}

int Form::Scaled(int value) const
{
    return veld::Scaled(value, dpi_);
}

Bounds Form::Scaled(const Bounds& design) const
{
    const int left = Scaled(design.left);
    const int top = Scaled(design.top);
    return {left, top, Scaled(design.Right()) - left, Scaled(design.Bottom()) - top};
}

void Form::ApplyScale(int dpi, const RECT& place)
{
    dpi_ = dpi;
    font_ = LayoutFont(FW_NORMAL, DEFAULT_CHARSET, Scaled(kLayoutFontHeight));
    for (GraphicControl* control : graphics_) {
        control->Rescale(*this);
        GraphicChanged(*control);
    }
    for (WindowedControl* control : windowed_)
        control->Rescale(*this);
    OnRescale();
    SetWindowPos(handle_, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

WORD Form::Register(WindowedControl& control)
{
    windowed_.push_back(&control);
    return static_cast<WORD>(kFirstControlId + windowed_.size() - 1);
}

void Form::Register(GraphicControl& control)
{
    graphics_.push_back(&control);
}

void Form::GraphicChanged(GraphicControl& control)
{
    // A hidden hit area neither reacts to the mouse nor shows its tooltip, and the
    // keyboard passes it over.
    if (!control.Visible()) {
        if (hovered_ == &control)
            hovered_ = nullptr;
        if (pressed_ == &control)
            pressed_ = nullptr;
        if (focused_ == &control && GetFocus() == handle_) {
            if (GraphicControl* next = NextArea(&control, false))
                FocusArea(*next);
            else
                SetFocus(GetNextDlgTabItem(handle_, tabEntry_, FALSE));
        }
    }
    if (tooltip_ && !control.Hint().empty()) {
        TTTOOLINFOA tool = ToolFor(handle_, control);
        SendMessageA(tooltip_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

GraphicControl* Form::ControlAt(POINT point) const
{
    for (auto it = graphics_.rbegin(); it != graphics_.rend(); ++it)
        if ((*it)->Visible() && (*it)->GetBounds().Contains(point))
            return *it;
    return nullptr;
}

void Form::PaintContent(HDC dc, const RECT& dirty)
{
    FillRect(dc, &dirty, GetSysColorBrush(COLOR_BTNFACE));
    for (GraphicControl* control : graphics_) {
        RECT overlap;
        const RECT bounds = control->GetBounds().Rect();
        if (control->Visible() && IntersectRect(&overlap, &bounds, &dirty))
            control->Paint(dc);
    }
    PaintFocusMark(dc);
}

// The form keeps the state itself: Wine keeps none for it.
void Form::OnUiState(WORD action, WORD flags)
{
    if (!(flags & UISF_HIDEFOCUS) || action == UIS_INITIALIZE)
        return;
    const bool hidden = action == UIS_SET && !KeyboardCuesAlwaysShown();
    if (hidden == std::exchange(focusHidden_, hidden))
        return;
    if (focused_)
        InvalidateFocusMark(*focused_);
    if (const WindowedControl* control = FindControl(GetFocus()))
        InvalidateFocusMark(*control);
}

void Form::PaintFocusMark(HDC dc)
{
    if (focusHidden_)
        return;
    if (const GraphicControl* area = FocusedArea())
        DrawFocusMark(dc, FocusMarkRect(*area));
    else if (const WindowedControl* control = FindControl(GetFocus()); control && control->FocusShownByForm())
        DrawFocusMark(dc, FocusMarkRect(*control));
}

void Form::InvalidateFocusMark(const Control& control)
{
    const RECT rect = FocusMarkRect(control);
    InvalidateRect(handle_, &rect, FALSE);
}

GraphicControl* Form::FocusedArea() const
{
    return handle_ && GetFocus() == handle_ ? focused_ : nullptr;
}

GraphicControl* Form::NextArea(const GraphicControl* from, bool backward) const
{
    const auto visible = [](const GraphicControl* area) { return area->Visible(); };
    if (backward) {
        auto start = std::find(tabOrder_.rbegin(), tabOrder_.rend(), from);
        start = start == tabOrder_.rend() ? tabOrder_.rbegin() : std::next(start);
        const auto found = std::find_if(start, tabOrder_.rend(), visible);
        return found == tabOrder_.rend() ? nullptr : *found;
    }
    auto start = std::find(tabOrder_.begin(), tabOrder_.end(), from);
    start = start == tabOrder_.end() ? tabOrder_.begin() : std::next(start);
    const auto found = std::find_if(start, tabOrder_.end(), visible);
    return found == tabOrder_.end() ? nullptr : *found;
}

void Form::FocusArea(GraphicControl& area)
{
    GraphicControl* previous = std::exchange(focused_, &area);
    if (GetFocus() != handle_) {
        // WM_SETFOCUS marks and announces it.
        SetFocus(handle_);
        return;
    }
    if (previous == &area)
        return;
    if (previous)
        InvalidateFocusMark(*previous);
    OnFocusChanged(true);
}

void Form::OnFocusChanged(bool gained)
{
    if (gained && (!focused_ || !focused_->Visible()))
        focused_ = NextArea(nullptr, false);
    if (!focused_)
        return;
    InvalidateFocusMark(*focused_);
    // Screen readers follow the focus among the windowless parts by this event alone.
    const auto index = std::find(tabOrder_.begin(), tabOrder_.end(), focused_) - tabOrder_.begin();
    if (gained)
        NotifyWinEvent(EVENT_OBJECT_FOCUS, handle_, OBJID_CLIENT, static_cast<LONG>(index + 1));
}

void Form::OnKeyDown(UINT key, bool repeated)
{
    if (key == VK_TAB) {
        const bool backward = GetKeyState(VK_SHIFT) < 0;
        if (GraphicControl* next = NextArea(focused_, backward))
            FocusArea(*next);
        else
            SetFocus(GetNextDlgTabItem(handle_, tabEntry_, backward));
    } else if ((key == VK_RETURN || key == VK_SPACE) && !repeated && focused_) {
        Click(*focused_);
    }
}

void Form::Click(GraphicControl& control)
{
    if (control.Visible() && control.OnClick)
        RunCommand([&control] { control.OnClick(); });
}

void Form::PostClick(const GraphicControl& area)
{
    const auto found = std::find(tabOrder_.begin(), tabOrder_.end(), &area);
    if (found != tabOrder_.end())
        PostMessageA(handle_, kClickMessage, static_cast<WPARAM>(found - tabOrder_.begin()), 0);
}

void Form::CreateTabEntry()
{
    if (tabOrder_.empty())
        return;
    // Last in tab order, after the child windows: a tab stop of no size.
    tabEntry_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 0, handle_, nullptr,
                                Application::Instance().ModuleInstance(), nullptr);
    if (!tabEntry_)
        throw veld::Error(veld::texts::CannotCreateWindow(win::SystemMessage(GetLastError())));
    SetWindowSubclass(tabEntry_, TabEntryProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

// The dialog manager moves the focus among child windows only. Tab from the last of
// them reaches this stop, which hands the focus on to the form and its first hit area;
// Shift+Tab from the first child window wraps round to it and goes to the last area.
// The form itself answers Tab until it leaves the hit areas.
LRESULT CALLBACK Form::TabEntryProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR form)
{
    if (message == WM_SETFOCUS) {
        Form& self = *reinterpret_cast<Form*>(form);
        const bool backward = GetKeyState(VK_SHIFT) < 0;
        if (GraphicControl* area = self.NextArea(nullptr, backward))
            self.FocusArea(*area);
        else
            SetFocus(GetNextDlgTabItem(self.handle_, window, backward));
        return 0;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, TabEntryProc, 0);
    return DefSubclassProc(window, message, wParam, lParam);
}

void Form::OnPaint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(handle_, &paint);
    const RECT& dirty = paint.rcPaint;
    const int width = dirty.right - dirty.left;
    const int height = dirty.bottom - dirty.top;
    if (width > 0 && height > 0) {
        // Paint off screen first so overlapping controls never flicker.
        win::MemoryDc buffer(CreateCompatibleDC(dc));
        win::Bitmap surface(CreateCompatibleBitmap(dc, width, height));
        win::SelectGuard keep(buffer.get(), surface.get());
        SetViewportOrgEx(buffer.get(), -dirty.left, -dirty.top, nullptr);
        PaintContent(buffer.get(), dirty);
        SetViewportOrgEx(buffer.get(), 0, 0, nullptr);
        BitBlt(dc, dirty.left, dirty.top, width, height, buffer.get(), 0, 0, SRCCOPY);
    }
    EndPaint(handle_, &paint);
}

void Form::SetHovered(GraphicControl* control)
{
    if (control == hovered_)
        return;
    GraphicControl* left = hovered_;
    hovered_ = control;
    if (left && left->OnMouseLeave)
        Application::Instance().Guard([left] { left->OnMouseLeave(); });
    if (control && control->OnMouseEnter)
        Application::Instance().Guard([control] { control->OnMouseEnter(); });
}

void Form::OnMouseMove(POINT point)
{
    if (!trackingLeave_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, handle_, 0};
        trackingLeave_ = TrackMouseEvent(&track) != FALSE;
    }
    SetHovered(ControlAt(point));
}

void Form::OnMouseLeave()
{
    trackingLeave_ = false;
    // Over a child window the mouse has not left the form's controls beneath it for
    // good, but they no longer have it either.
    SetHovered(nullptr);
}

void Form::OnButtonDown(MouseButton button, POINT point)
{
    GraphicControl* control = ControlAt(point);
    if (!control)
        return;
    if (control->OnMouseDown) {
        const POINT local{point.x - control->GetBounds().left, point.y - control->GetBounds().top};
        RunCommand([control, button, local] { control->OnMouseDown(button, local); });
    }
    // A click is a press and a release of the left button on the same control.
    if (button == MouseButton::Left && control->OnClick && GetCapture() != handle_) {
        pressed_ = control;
        SetCapture(handle_);
    }
}

void Form::OnButtonUp(POINT point)
{
    GraphicControl* control = pressed_;
    pressed_ = nullptr;
    if (GetCapture() == handle_)
        ReleaseCapture();
    if (control && control == ControlAt(point))
        Click(*control);
}

void Form::OnSetCursor()
{
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(handle_, &point);
    const GraphicControl* control = ControlAt(point);
    SetCursor(LoadCursorA(nullptr, control && control->HandCursor() ? IDC_HAND : IDC_ARROW));
}

void Form::CreateTooltips()
{
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_, nullptr,
                               Application::Instance().ModuleInstance(), nullptr);
    if (!tooltip_)
        return;
    SetWindowSubclass(tooltip_, TooltipProc, 0, 0);
    SendMessageA(tooltip_, TTM_SETDELAYTIME, TTDT_INITIAL, kTooltipDelayMs);
    SendMessageA(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, kTooltipShowMs);
    for (GraphicControl* control : graphics_) {
        if (control->Hint().empty())
            continue;
        TTTOOLINFOA tool = ToolFor(handle_, *control);
        tool.uFlags = TTF_SUBCLASS;
        tool.lpszText = const_cast<char*>(control->Hint().c_str());
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

WindowedControl* Form::FindControl(HWND child) const
{
    for (WindowedControl* control : windowed_)
        if (control->Handle() == child)
            return control;
    return nullptr;
}

void Form::OnActivate(bool active)
{
    if (!active) {
        HWND focus = GetFocus();
        if (focus && (focus == handle_ || IsChild(handle_, focus)))
            lastFocus_ = focus;
        return;
    }
    // Back to where the focus was, or to the first control in tab order.
    HWND target = lastFocus_;
    if (!target || !IsWindow(target) || !IsWindowEnabled(target) || !IsWindowVisible(target))
        target = GetNextDlgTabItem(handle_, nullptr, FALSE);
    if (target)
        SetFocus(target);
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        // A window without its controls is no use: refuse it, and CreateHandle says why.
        try {
            CreateControls();
            CreateTabEntry();
            CreateTooltips();
        } catch (...) {
            createFailure_ = std::current_exception();
            return -1;
        }
        return 0;
    case WM_DPICHANGED: {
        const RECT place = *reinterpret_cast<const RECT*>(lParam);
        Application::Instance().Guard([&] { ApplyScale(LOWORD(wParam), place); });
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(handle_, &client);
        PaintContent(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_MOUSEMOVE:
        OnMouseMove(PointFrom(lParam));
        return 0;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return 0;
    case WM_LBUTTONDOWN:
        OnButtonDown(MouseButton::Left, PointFrom(lParam));
        return 0;
    case WM_RBUTTONDOWN:
        OnButtonDown(MouseButton::Right, PointFrom(lParam));
        return 0;
    case WM_MBUTTONDOWN:
        OnButtonDown(MouseButton::Middle, PointFrom(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp(PointFrom(lParam));
        return 0;
    case WM_CAPTURECHANGED:
        pressed_ = nullptr;
        return 0;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) != handle_ || LOWORD(lParam) != HTCLIENT)
            break;
        OnSetCursor();
        return TRUE;
    case WM_COMMAND:
        if (WindowedControl* control = FindControl(reinterpret_cast<HWND>(lParam))) {
            const WORD code = HIWORD(wParam);
            RunCommand([control, code] { control->OnCommand(code); });
            return 0;
        }
        break;
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (WindowedControl* control = FindControl(reinterpret_cast<HWND>(lParam)))
            if (HBRUSH brush = control->OnCtlColor(reinterpret_cast<HDC>(wParam)))
                return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        OnFocusChanged(message == WM_SETFOCUS);
        return 0;
    case WM_GETDLGCODE:
        // Only while a hit area has the focus: Tab moves among them, Return and Space
        // click them.
        return DLGC_WANTTAB | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam), (lParam & (1 << 30)) != 0);
        return 0;
    case kClickMessage:
        if (wParam < tabOrder_.size())
            Click(*tabOrder_[wParam]);
        return 0;
    case WM_CHANGEUISTATE:
    case WM_UPDATEUISTATE:
        OnUiState(LOWORD(wParam), HIWORD(wParam));
        // The system's own state, and the child windows'.
        break;
    case WM_GETOBJECT:
        if (const LRESULT answer = AnswerGetObject(handle_, wParam, lParam, Application::Instance().Title(), this))
            return answer;
        break;
    case WM_CLOSE:
        // The close handler runs once, as a command: a request while it runs (its own box
        // is up, or it waits for veld.ini) changes nothing, and one inside another command
        // comes after it. Whatever the close handler reports, the window closes.
        if (closing_)
            return 0;
        if (commandRunning_) {
            closeRequested_ = true;
            return 0;
        }
        closing_ = true;
        RunCommand([this] { OnClose(); });
        DestroyWindow(handle_);
        return 0;
    case WM_ENDSESSION:
        // The process may be ended as soon as this returns, even inside a command; a close
        // under way stores what this would.
        if (wParam && !closing_) {
            closing_ = true;
            Application::Instance().Guard([this] { OnEndSession(); });
            closing_ = false;
        }
        return 0;
    case WM_DESTROY:
        if (Application::Instance().MainWindow() == handle_)
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Form* form = nullptr;
    if (message == WM_NCCREATE) {
        form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        form->handle_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    } else {
        form = reinterpret_cast<Form*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!form)
        return DefWindowProcA(window, message, wParam, lParam);

    const LRESULT result = form->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        form->handle_ = nullptr;
        form->tooltip_ = nullptr;
        form->hovered_ = nullptr;
        form->pressed_ = nullptr;
        form->focused_ = nullptr;
        form->tabEntry_ = nullptr;
    }
    return result;
}

}  // namespace ui
