// What tests need of the run-time beyond the program's own use; defined
// with the run-time itself (Application.cpp, Window.cpp).
#pragma once

#include <typeindex>

// Discards every window without raising an event.
void RuntimeDiscardAllWindows();
// How many Close events windows of the class have raised since the last
// reset.
int RuntimeCloseEvents(std::type_index cls);
// Lets a further quit happen in the same process; resets the counts.
void RuntimeResetQuit();
int RuntimeQuitCode();
