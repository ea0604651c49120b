// Base of every control on a form: a place on the form and the events the form raises
// for it.
#pragma once

#include <windows.h>

#include <functional>

namespace ui {

class Form;

struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
    bool Contains(POINT point) const
    {
        return point.x >= left && point.x < Right() && point.y >= top && point.y < Bottom();
    }
    RECT Rect() const { return {left, top, Right(), Bottom()}; }
};

using Event = std::function<void()>;

class Control {
public:
    Control() = default;
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const Bounds& GetBounds() const { return bounds_; }

protected:
    Bounds bounds_;
};

// A control that is a child window of its own (list box, check box, animation).
class WindowedControl : public Control {
public:
    HWND Handle() const { return handle_; }

    bool Enabled() const { return IsWindowEnabled(handle_) != FALSE; }
    void SetEnabled(bool enabled) { EnableWindow(handle_, enabled ? TRUE : FALSE); }
    bool Visible() const { return IsWindowVisible(handle_) != FALSE; }
    void SetVisible(bool visible) { ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE); }

    // Notifications from WM_COMMAND, forwarded by the form.
    virtual void OnCommand(WORD /*code*/) {}
    // WM_CTLCOLOR*: a brush for the background, or nullptr for the system's.
    virtual HBRUSH OnCtlColor(HDC /*dc*/) { return nullptr; }

protected:
    // Creates the child window; style gets WS_CHILD and the form's font is applied.
    void CreateWindowed(Form& form, const char* className, DWORD style, DWORD exStyle, const Bounds& bounds);

private:
    HWND handle_ = nullptr;
};

}  // namespace ui
