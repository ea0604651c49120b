#include "ui/Control.h"

#include "core/Error.h"
#include "core/Texts.h"
#include "ui/Accessible.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "win/SystemMessage.h"

#include <commctrl.h>

namespace ui {

namespace {

LRESULT CALLBACK AccessibleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    const auto* control = reinterpret_cast<const WindowedControl*>(data);
    if (message == WM_GETOBJECT)
        if (const LRESULT answer = AnswerGetObject(window, wParam, lParam, control->AccessibleName()))
            return answer;
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, AccessibleProc, 0);
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK WindowedControl::FocusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR control)
{
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
        const auto* self = reinterpret_cast<const WindowedControl*>(control);
        self->form_->InvalidateFocusMark(*self);
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, FocusProc, 0);
    return DefSubclassProc(window, message, wParam, lParam);
}

void Control::Place(const Form& form, const Bounds& design)
{
    design_ = design;
    bounds_ = form.Scaled(design);
}

void Control::Rescale(const Form& form)
{
    bounds_ = form.Scaled(design_);
}

void WindowedControl::CreateWindowed(Form& form, const wchar_t* className, DWORD style, DWORD exStyle,
                                     const Bounds& bounds, const std::string& accessibleName)
{
    Place(form, bounds);
    form_ = &form;
    accessibleName_ = accessibleName;
    const WORD id = form.Register(*this);
    handle_ = CreateWindowExW(exStyle, className, L"", WS_CHILD | style, bounds_.left, bounds_.top, bounds_.width,
                              bounds_.height, form.Handle(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                              Application::Instance().ModuleInstance(), nullptr);
    if (!handle_)
        throw veld::Error(veld::texts::CannotCreateWindow(win::SystemMessage(GetLastError())));
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(form.FormFont()), FALSE);
    if (!accessibleName_.empty())
        SetWindowSubclass(handle_, AccessibleProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

void WindowedControl::ShowFocusThroughForm()
{
    focusShownByForm_ = true;
    SetWindowSubclass(handle_, FocusProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

void WindowedControl::Rescale(const Form& form)
{
    Control::Rescale(form);
    SetWindowPos(handle_, nullptr, bounds_.left, bounds_.top, bounds_.width, bounds_.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(form.FormFont()), TRUE);
}

}  // namespace ui
