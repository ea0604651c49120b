// Base of every control on a form: a place on the form and the events the form raises
// for it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

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

    // The place on the form at its scale, and the place the layout gives at 96 dpi.
    const Bounds& GetBounds() const { return bounds_; }
    // What a screen reader calls the control; empty where it has no name of its own.
    const std::string& AccessibleName() const { return accessibleName_; }
    const Bounds& DesignBounds() const { return design_; }

    // Takes the place the layout gives at the form's scale.
    virtual void Rescale(const Form& form);

protected:
    // Keeps the layout's place and takes it at the form's scale.
    void Place(const Form& form, const Bounds& design);
    Bounds bounds_;
    std::string accessibleName_;
    Bounds design_;
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
    // The form draws the focus of a control that shows none of its own.
    bool FocusShownByForm() const { return focusShownByForm_; }
    // Moves the window to its place at the form's scale and gives it the form's font.
    void Rescale(const Form& form) override;

protected:
    // Creates the child window, a Unicode one, so that text reaches it whole; style gets
    // WS_CHILD and the form's font is applied. A named control answers screen readers with
    // the system's own object under its name.
    void CreateWindowed(Form& form, const wchar_t* className, DWORD style, DWORD exStyle, const Bounds& bounds,
                        const std::string& accessibleName = {});
    // The focus comes or goes: the form redraws its mark around the control.
    void ShowFocusThroughForm();

private:
    static LRESULT CALLBACK FocusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR control);

    HWND handle_ = nullptr;
    Form* form_ = nullptr;
    bool focusShownByForm_ = false;
};

}  // namespace ui
