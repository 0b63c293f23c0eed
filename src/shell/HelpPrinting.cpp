#include "shell/HelpPrinting.h"

#include "shell/Help.h"

// Printing arrives with the help window's text area.
void PrintHelpText() {}

void CloseHelpWindow() { HelpInstance().Close(); }
