// Printing the help window's text, shared by the two Print Help handlers.
#pragma once

// Shows the print dialog and prints the help text with a footer on every
// page; prints nothing when the dialog is cancelled.
void PrintHelpText();
// Closes the help window (creating one first when none is open, as every
// use of its accessor does).
void CloseHelpWindow();
