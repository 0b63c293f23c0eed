#include "settings/Settings.h"

// Reading and writing the file arrive with the settings reader; until then
// the shared calling state keeps its start values.
void LoadSettings() {}
void SaveSettings() {}
void InitDirectives() {}
void ReleaseDirectives() {}
