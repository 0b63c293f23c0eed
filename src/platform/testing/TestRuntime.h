// What tests need of the run-time beyond the program's own use.
#pragma once

// Discards every window without raising an event.
void RuntimeDiscardAllWindows();
// Lets a further quit happen in the same process.
void RuntimeResetQuit();
int RuntimeQuitCode();
