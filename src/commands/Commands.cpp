// The commands behind the picture buttons and the close button.
#include "app/Form1.h"

void TForm1::acCloseExecute() { Close(); }
