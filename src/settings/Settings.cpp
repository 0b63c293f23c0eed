#include "settings/Settings.h"

#include "calling/CallingState.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace {

// The number with which the text begins, within the 32-bit range; 0 when
// it begins with none.
int32_t NumberFrom(const std::string& text) { return Int32FromDouble(Val(text)); }

}  // namespace

std::unique_ptr<FolderItem> SettingsFileItem() {
  std::unique_ptr<FolderItem> preferences = SpecialFolder.Preferences();
  if (!preferences) return nullptr;
  return preferences->Child("servalo.txt");
}

void LoadSettings() {
  std::unique_ptr<FolderItem> f = SettingsFileItem();
  if (!ReadDirectives(f.get())) {
    numberOfTables = 20;
    tableOrder = "Random";
    mySound = true;
    window1Top = 683;
    window1Left = 0;
    window2Top = 40;
    window2Left = 0;
    return;
  }
  for (int32_t i = 1; i <= directives.Ubound(); ++i) {
    const directiveClass& d = *directives(i);
    if (TextEquals(d.name, "NumberOfTables")) {
      numberOfTables = NumberFrom(d.text);
    } else if (TextEquals(d.name, "Order")) {
      tableOrder = d.text;
    } else if (TextEquals(d.name, "MySound")) {
      mySound = TextEquals(d.text, "True");
    } else if (TextEquals(d.name, "Window1Position")) {
      window1Top = NumberFrom(NthField(d.text, ",", 1));
      window1Left = NumberFrom(NthField(d.text, ",", 2));
    } else if (TextEquals(d.name, "Window2Position")) {
      window2Top = NumberFrom(NthField(d.text, ",", 1));
      window2Left = NumberFrom(NthField(d.text, ",", 2));
    }
  }
}
