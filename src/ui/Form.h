// A top-level window that owns its controls: binds `this` at WM_NCCREATE, unpacks
// message parameters once and forwards control notifications.
#pragma once

#include "ui/Control.h"
#include "ui/Graphic.h"
#include "win/Handles.h"

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace ui {

struct FormArgs {
    const char* className = nullptr;
    const char* caption = "";
    // At 96 dots per inch; the window takes the screen's scale.
    int clientWidth = 0;
    int clientHeight = 0;
    HWND owner = nullptr;
    int iconId = 0;
};

class Form {
public:
    Form() = default;
    // The derived form destroys the window first (DestroyHandle), while its controls
    // still exist to receive the window's last messages.
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND Handle() const { return handle_; }
    HFONT FormFont() const { return font_.get(); }

    // The window's scale in dots per inch: the screen's, or the largest of the system's
    // steps at which the window fits its work area, then the one each WM_DPICHANGED
    // gives. Every place of the layout is taken at this scale by the one rule here.
    int Dpi() const { return dpi_; }
    int Scaled(int value) const;
    Bounds Scaled(const Bounds& design) const;
    // The tooltip window that shows the graphic controls' hints.
    HWND Tooltip() const { return tooltip_; }

    // Creates the hidden window and its child controls (CreateControls, from WM_CREATE).
    // Throws when the window or one of its controls cannot be made.
    void CreateHandle(const FormArgs& args);
    // Shows the window where it was made: at the centre of the primary screen.
    void Show();
    // Asks the window to close, as any close request would: from inside a command, once
    // that command has ended.
    void Close();
    // The one way in for commands (clicks, control notifications, keys): runs command
    // guarded, unless another one runs. What reaches the window while a command waits
    // for a file or the wallpaper lock, or shows a box, starts nothing, and a close
    // request made meanwhile follows when it ends.
    void RunCommand(const std::function<void()>& command);
    // Paints the window and its child controls again once the desktop has painted a
    // change beneath them (it paints over them).
    void RedrawOverDesktop();

    // Called by the controls when they are created.
    WORD Register(WindowedControl& control);
    void Register(GraphicControl& control);
    // A graphic control was shown or hidden.
    void GraphicChanged(GraphicControl& control);

    // Paints the window's own content (the graphic controls in creation order); used by
    // WM_PAINT and WM_PRINTCLIENT.
    void PaintContent(HDC dc, const RECT& dirty);

    // The topmost visible graphic control at a client point, or nullptr.
    GraphicControl* ControlAt(POINT point) const;

    // The hit areas the keyboard reaches, in the order Tab visits them after the child
    // windows; a hidden one is passed over.
    void SetTabOrder(std::vector<GraphicControl*> areas) { tabOrder_ = std::move(areas); }
    const std::vector<GraphicControl*>& TabOrder() const { return tabOrder_; }
    const std::vector<WindowedControl*>& WindowedControls() const { return windowed_; }
    // The hit area that has the keyboard focus, or nullptr while a child window has it.
    GraphicControl* FocusedArea() const;
    // Gives the keyboard focus to a visible hit area of the tab order.
    void FocusArea(GraphicControl& area);
    // A click on a hit area, as a screen reader asks for it: run once the caller has its
    // answer, since a command may open a modal box.
    void PostClick(const GraphicControl& area);
    // The focus mark around control must be drawn again.
    void InvalidateFocusMark(const Control& control);

protected:
    // Destroys the window without a close request, so no close handler runs.
    void DestroyHandle();
    virtual void CreateControls() {}
    // After the controls took their places at a new scale: what the form itself draws
    // at that scale (pictures, the outline).
    virtual void OnRescale() {}
    virtual void OnClose() {}
    // The Windows session ends (WM_ENDSESSION with TRUE): no close request follows, and
    // the process may be ended at any moment after this returns.
    virtual void OnEndSession() {}
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    WindowedControl* FindControl(HWND child) const;
    void OnActivate(bool active);
    void OnPaint();
    void OnMouseMove(POINT point);
    void OnMouseLeave();
    void OnButtonDown(MouseButton button, POINT point);
    void OnButtonUp(POINT point);
    void OnSetCursor();
    void SetHovered(GraphicControl* control);
    void CreateTooltips();
    // Every click of a hit area, by mouse, key or screen reader, runs here.
    void Click(GraphicControl& control);
    // The next visible hit area after from in tab order (before it when backward), the
    // first (last) one for nullptr; nullptr past the end.
    GraphicControl* NextArea(const GraphicControl* from, bool backward) const;
    void CreateTabEntry();
    static LRESULT CALLBACK TabEntryProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR form);
    void OnKeyDown(UINT key, bool repeated);
    void OnFocusChanged(bool gained);
    void OnUiState(WORD action, WORD flags);
    void PaintFocusMark(HDC dc);
    void ApplyScale(int dpi, const RECT& place);

    HWND handle_ = nullptr;
    int dpi_ = 96;
    HWND lastFocus_ = nullptr;
    win::Font font_;
    std::vector<WindowedControl*> windowed_;
    std::vector<GraphicControl*> graphics_;
    GraphicControl* hovered_ = nullptr;
    GraphicControl* pressed_ = nullptr;
    bool trackingLeave_ = false;
    HWND tooltip_ = nullptr;
    // A command runs, and a close request waits for it to end.
    bool commandRunning_ = false;
    bool closeRequested_ = false;
    std::vector<GraphicControl*> tabOrder_;
    // The hit area that has the focus while the form has it, kept while it has not.
    GraphicControl* focused_ = nullptr;
    // The tab stop after the child windows that hands the focus to the hit areas.
    HWND tabEntry_ = nullptr;
    // Keyboard cues: the focus mark shows once the keyboard has been used.
    bool focusHidden_ = false;
    // The close or end-session handler runs.
    bool closing_ = false;
    // What made WM_CREATE refuse the window, for CreateHandle to throw.
    std::exception_ptr createFailure_;
};

}  // namespace ui
