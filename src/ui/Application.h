// The application object: its title, the owner window that carries the task-bar
// button, the general error box and the message loop.
#pragma once

#include "core/Error.h"
#include "win/NamedMutex.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace ui {

class Application {
public:
    static Application& Instance();

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Registers the window classes and creates the owner window, whose task-bar button
    // shows the icon resource iconId of instance. Safe to call twice.
    void Initialize(HINSTANCE instance, int iconId);
    HINSTANCE ModuleInstance() const { return instance_; }

    // Veldana runs once per program folder, so that two windows never write the same
    // tmp_wallpaper.bmp and veld.ini. True when this process is the one; otherwise the
    // running one's window or box has been brought to the front (or, when it shows none
    // in time, a box has said that it runs), and this process must end without touching
    // anything.
    bool ClaimProgramFolder();

    void SetTitle(std::string_view title);
    const std::string& Title() const { return title_; }

    // The zero-size window that owns the main window, so the task-bar button shows the
    // application title and icon instead of the main window's caption.
    HWND OwnerWindow() const { return owner_; }
    void SetMainWindow(HWND window) { main_ = window; }
    HWND MainWindow() const { return main_; }

    // The general error box: the message with the period rule, the title as caption,
    // an OK button and the stop icon.
    void ShowError(const veld::Message& message);
    // The error box for the exception being handled; for use in a catch block only.
    void ShowCurrentError() noexcept;

    // Runs an event handler; whatever it throws ends the handler and reaches the error
    // box, and the program goes on. Nothing may cross back into user32 or comctl32.
    template <typename Handler>
    void Guard(Handler&& handler) noexcept
    {
        try {
            handler();
        } catch (...) {
            ShowCurrentError();
        }
    }

    // Runs the message loop until the main window has gone; returns the exit code.
    int Run();
    // What the loop does with one message.
    void Dispatch(MSG& message);

    // In-process tests see the error boxes' texts here instead of a modal box.
    using ErrorSink = std::function<void(const std::wstring& text)>;
    void SetErrorSink(ErrorSink sink) { errorSink_ = std::move(sink); }

private:
    Application() = default;
    static LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_ = nullptr;
    HWND owner_ = nullptr;
    HWND main_ = nullptr;
    // Held until the process ends; the system releases it then.
    std::optional<win::NamedMutex> instanceMutex_;
    std::string title_;
    ErrorSink errorSink_;
};

}  // namespace ui
