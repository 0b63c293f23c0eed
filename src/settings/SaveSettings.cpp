#include "calling/CallingState.h"
#include "calling/Window1.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "settings/Settings.h"

void SaveSettings() {
  std::unique_ptr<FolderItem> f = SettingsFileItem();
  if (!f) return;
  // The earlier file is not deleted first: the stream writes a file of its
  // own, and Close puts it in the earlier file's place only once it is
  // complete on the disk. A save that fails at any point, or a crash, keeps
  // the earlier settings.
  std::unique_ptr<TextOutputStream> t = f->CreateTextFile();
  if (!t) return;
  t->WriteLine("#NumberOfTables " + StringStrInt32(numberOfTables));
  t->WriteLine(TextEquals(tableOrder, "Random") ? "#Order Random" : "#Order InOrder");
  t->WriteLine(mySound ? "#MySound True" : "#MySound False");
  t->WriteLine("#Window1Position " + StringStrInt32(Window1Instance().Top()) + "," +
               StringStrInt32(Window1Instance().Left()));
  t->WriteLine("#Window2Position " + StringStrInt32(window2Top) + "," + StringStrInt32(window2Left));
  t->Close();
}
