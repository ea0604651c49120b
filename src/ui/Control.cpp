#include "ui/Control.h"

#include "core/Error.h"
#include "core/Texts.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "win/SystemMessage.h"

namespace ui {

void WindowedControl::CreateWindowed(Form& form, const char* className, DWORD style, DWORD exStyle,
                                     const Bounds& bounds)
{
    bounds_ = bounds;
    const WORD id = form.Register(*this);
    handle_ = CreateWindowExA(exStyle, className, "", WS_CHILD | style, bounds.left, bounds.top, bounds.width,
                              bounds.height, form.Handle(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                              Application::Instance().ModuleInstance(), nullptr);
    if (!handle_)
        throw veld::Error(veld::texts::CannotCreateWindow(win::SystemMessage(GetLastError())));
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(form.FormFont()), FALSE);
}

}  // namespace ui
