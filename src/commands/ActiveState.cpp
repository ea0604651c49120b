// The active and the inactive look of the window.
#include "app/Form1.h"

void TForm1::ApplyActiveState(std::string_view state)
{
    if (state == "true") {
        ListBox1.SetEnabled(true);
        CheckBox2.SetEnabled(true);
    } else {
        ListBox1.SetEnabled(false);
        CheckBox2.SetEnabled(false);
    }
}

void TForm1::CheckBox1Click() { ApplyActiveState(CheckBox1.Checked() ? "true" : "false"); }
