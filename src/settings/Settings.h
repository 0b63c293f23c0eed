// The settings file "servalo.txt" in the user's preferences folder: read
// when the application opens, written when the control panel closes.
#pragma once

#include <memory>

#include "settings/Directives.h"

class FolderItem;

// Fills the settings items of the shared calling state from the file, or
// sets the defaults when it cannot be opened.
void LoadSettings();
// Rewrites the file from the shared calling state and the control panel's
// live position. The earlier file stays in place until the new one is
// complete; when writing fails it is left as it was, without a word.
void SaveSettings();

// The settings file's item in the preferences folder; null when the
// platform gives no preferences folder.
std::unique_ptr<FolderItem> SettingsFileItem();
