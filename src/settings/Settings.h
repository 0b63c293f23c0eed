// The settings file "servalo.txt" in the user's preferences folder: read
// when the application opens, written when the control panel closes.
#pragma once

// Fills the settings items of the shared calling state from the file, or
// sets the defaults when it cannot be read.
void LoadSettings();
// Rewrites the file from the shared calling state and the control panel's
// live position.
void SaveSettings();

// The list of parsed settings lines: created at start-up, released at exit.
void InitDirectives();
void ReleaseDirectives();
