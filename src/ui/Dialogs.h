// The system's message boxes and file-open dialog, as the program uses them.
#pragma once

#include "core/Error.h"

#include <windows.h>

#include <string>
#include <vector>

namespace ui {

// A message box without icon under the application title, with OK and Cancel
// relabelled from captions in that order, OK the default, centred on the screen.
// Returns 1 for the first button, 2 for the second, Escape or the close box.
int AskYesNo(const veld::Message& message, const std::vector<std::string>& captions);

// An information box under the application title.
void ShowInformation(const veld::Message& message);

struct OpenDialogArgs {
    // Pairs of description and pattern, as GetOpenFileName takes them.
    std::string filter;
    std::string defaultExtension;
};

// GetOpenFileName in explorer style, resizable, without the read-only box. A typed name
// of a missing file is accepted. The last chosen path is kept and filled in next time.
class OpenDialog {
public:
    OpenDialog() = default;
    OpenDialog(const OpenDialog&) = delete;
    OpenDialog& operator=(const OpenDialog&) = delete;

    void Configure(const OpenDialogArgs& args) { args_ = args; }
    // Shows the dialog modally; true when the user confirmed a file name.
    bool Execute(HWND owner);
    std::string FileName() const { return file_; }

private:
    OpenDialogArgs args_;
    char file_[MAX_PATH * 4] = "";
};

}  // namespace ui
