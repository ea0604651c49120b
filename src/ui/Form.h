// A top-level window that owns its controls: binds `this` at WM_NCCREATE, unpacks
// message parameters once and forwards control notifications.
#pragma once

#include "ui/Control.h"
#include "ui/Handles.h"

#include <string>
#include <vector>

namespace ui {

struct FormArgs {
    const char* className = nullptr;
    const char* caption = "";
    int clientWidth = 0;
    int clientHeight = 0;
    HWND owner = nullptr;
    int iconId = 0;
};

class Form {
public:
    Form() = default;
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND Handle() const { return handle_; }
    HFONT FormFont() const { return font_.get(); }

    // Creates the hidden window and its child controls (CreateControls, from WM_CREATE).
    void CreateHandle(const FormArgs& args);
    // Places the window at the centre of the primary screen and shows it.
    void ShowCentered();
    // Asks the window to close, as any close request would.
    void Close();

    // Called by WindowedControl when it creates its window.
    WORD Register(WindowedControl& control);

protected:
    virtual void CreateControls() {}
    virtual void OnClose() {}
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    WindowedControl* FindControl(HWND child) const;
    void OnActivate(bool active);

    HWND handle_ = nullptr;
    HWND lastFocus_ = nullptr;
    Font font_;
    std::vector<WindowedControl*> windowed_;
};

}  // namespace ui
