#include "calling/Window1.h"

#include "calling/CallingState.h"
#include "calling/Window2.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Keyboard.h"
#include "platform/Speech.h"
#include "platform/Text.h"
#include "settings/Settings.h"
#include "shell/HelpPrinting.h"
#include "shell/MenuBar1.h"
#include "shell/DesignValues.h"

Window1& Window1Instance() { return RuntimeWindowInstance<Window1>(); }


void Window1::Layout() {
  MenuBar(&MenuBar1Instance());
  RuntimeMassPropertySetter(*this, FixedWindowDesign("Servalo", 200, 85));
}

void Window1::CreateControls() { CreateControls0(); }

void Window1::CreateControls0() {
  AddControl(New<::UpDownArrows>(), "UpDownArrows1");
  {
    DesignBlock b = ControlDesign(17, 39, 13, 23, 0);
    b.Bool("TabStop", true).Bool("AcceptFocus", false);
    RuntimeMassPropertySetter(ControlByName("UpDownArrows1"), b);
  }
  RuntimeAddEventHandler(ControlByName("UpDownArrows1"), "Down",
                         RuntimeCreateDelegate(this, &Window1::UpDownArrows1_Down, "( UpDownArrows )"));
  RuntimeAddEventHandler(ControlByName("UpDownArrows1"), "Up",
                         RuntimeCreateDelegate(this, &Window1::UpDownArrows1_Up, "( UpDownArrows )"));

  AddControl(New<::TextField>(), "TextField1");
  ControlCast<::TextField>(ControlByName("TextField1")).TextUnit(0);
  {
    DesignBlock b = ControlDesign(42, 39, 46, 22, 1);
    TextDesign(b, "System", false)
        .Bool("TabStop", true)
        .Text("Text", "")
        .Bool("ReadOnly", true)
        .Int("Alignment", 2)
        .Bool("Border", true)
        .Bool("UseFocusRing", true)
        .Bool("Password", false)
        .Int("LimitText", 0)
        .Bool("AcceptTabs", false)
        .Bool("AutomaticallyCheckSpelling", false)
        .Col("TextColor", 0x000000)
        .Col("BackColor", 0xFFFFFF)
        .Text("Format", "")
        .Text("Mask", "")
        .Text("CueText", "")
        .Text("DataSource", "")
        .Text("DataField", "");
    RuntimeMassPropertySetter(ControlByName("TextField1"), b);
  }

  AddControl(New<::PushButton>(), "MyStart");
  ControlCast<::PushButton>(ControlByName("MyStart")).TextUnit(0);
  {
    DesignBlock b = ControlDesign(100, 13, 80, 20, 2);
    TextDesign(b, "System", false)
        .Bool("TabStop", true)
        .Text("Caption", "Start")
        .Bool("Default", true)
        .Bool("Cancel", false)
        .Int("ButtonStyle", 0);
    RuntimeMassPropertySetter(ControlByName("MyStart"), b);
  }
  RuntimeAddEventHandler(ControlByName("MyStart"), "Action",
                         RuntimeCreateDelegate(this, &Window1::MyStart_Action, "( PushButton )"));

  AddControl(New<::Label>(), "Label1");
  ControlCast<::Label>(ControlByName("Label1")).TextUnit(0);
  {
    DesignBlock b = ControlDesign(14, 15, 80, 20, 3);
    LabelDesign(TextDesign(b, "System", false), "No. Tables", 1, false);
    RuntimeMassPropertySetter(ControlByName("Label1"), b);
  }

  AddControl(New<::Timer>(), "Timer1");
  RuntimeMassPropertySetter(ControlByName("Timer1"), DesignBlock().Int("Mode", 2).Int("Period", 50));
  RuntimeAddEventHandler(ControlByName("Timer1"), "Action",
                         RuntimeCreateDelegate(this, &Window1::Timer1_Action, "( Timer )"));

  AddControl(New<::Timer>(), "Timer2");
  RuntimeMassPropertySetter(ControlByName("Timer2"), DesignBlock().Int("Mode", 1).Int("Period", 1000));
  RuntimeAddEventHandler(ControlByName("Timer2"), "Action",
                         RuntimeCreateDelegate(this, &Window1::Timer2_Action, "( Timer )"));

  AddControl(New<::CheckBox>(), "SoundCheckBox");
  ControlCast<::CheckBox>(ControlByName("SoundCheckBox")).TextUnit(0);
  {
    DesignBlock b = ControlDesign(110, 45, 74, 20, 4);
    TextDesign(b, "System", false)
        .Bool("TabStop", true)
        .Text("Caption", "Sound")
        .Int("State", 0)
        .Bool("Value", false)
        .Text("DataSource", "")
        .Text("DataField", "");
    RuntimeMassPropertySetter(ControlByName("SoundCheckBox"), b);
  }
  RuntimeAddEventHandler(ControlByName("SoundCheckBox"), "Action",
                         RuntimeCreateDelegate(this, &Window1::SoundCheckBox_Action, "( CheckBox )"));
}

UpDownArrows& Window1::UpDownArrows1() { return ControlCast<::UpDownArrows>(ControlByName("UpDownArrows1")); }
TextField& Window1::TextField1() { return ControlCast<::TextField>(ControlByName("TextField1")); }
PushButton& Window1::MyStart() { return ControlCast<::PushButton>(ControlByName("MyStart")); }
Label& Window1::Label1() { return ControlCast<::Label>(ControlByName("Label1")); }
Timer& Window1::Timer1() { return ControlCast<::Timer>(ControlByName("Timer1")); }
Timer& Window1::Timer2() { return ControlCast<::Timer>(ControlByName("Timer2")); }
CheckBox& Window1::SoundCheckBox() { return ControlCast<::CheckBox>(ControlByName("SoundCheckBox")); }

// ---- The arrows, the Sound box and the Order menu

void Window1::UpDownArrows1_Down(UpDownArrows&) {
  if (Val(TextField1().Text()) > 1.0) {
    numberOfTables = numberOfTables - 1;
    TextField1().Text(StringStrInt32(numberOfTables));
  }
}

void Window1::UpDownArrows1_Up(UpDownArrows&) {
  if (Val(TextField1().Text()) < 99.0) {
    numberOfTables = numberOfTables + 1;
    TextField1().Text(StringStrInt32(numberOfTables));
  }
}

void Window1::SoundCheckBox_Action(CheckBox&) { mySound = SoundCheckBox().Value(); }

void Window1::Event_Open() {
  if (window1Top == 0) {
    Window1Instance().Top(683);
    Window1Instance().Left(0);
  } else {
    Window1Instance().Top(window1Top);
    Window1Instance().Left(window1Left);
  }
  TextField1().Text(StringStrInt32(numberOfTables));
  if (TextEquals(tableOrder, "Random")) {
    OrderRandom().Checked(true);
    OrderInOrder().Checked(false);
  } else {
    OrderInOrder().Checked(true);
    OrderRandom().Checked(false);
  }
  SoundCheckBox().Value(mySound);
}

bool Window1::OrderRandom_Action() {
  OrderRandom().Checked(true);
  OrderInOrder().Checked(false);
  tableOrder = "Random";
  return true;
}

bool Window1::OrderInOrder_Action() {
  OrderInOrder().Checked(true);
  OrderRandom().Checked(false);
  tableOrder = "InOrder";
  return true;
}

// ---- The call-up cycle

namespace {

void Announce() {
  if (mySound) {
    RuntimeSpeak("TABLE " + StringStrInt32(currentTable) + ":", false);
    RuntimeSpeak("Please line up now", false);
  }
}

// Below 1 there is no first table, and a number this large (only a
// hand-edited settings file brings one) would exhaust memory.
constexpr int32_t kMostTables = 9999;

}  // namespace

void Window1::MyStart_Action(PushButton&) {
  if (numberOfTables < 1 || numberOfTables > kMostTables) {
    RuntimeBeep();
    return;
  }
  UpDownArrows1().Enabled(false);
  TextField1().Enabled(false);
  MyStart().Enabled(false);
  Label1().Enabled(false);
  tableSequence.Resize(numberOfTables - 1);
  for (int32_t i = 0; i <= numberOfTables - 1; ++i) tableSequence(i) = i + 1;
  if (TextEquals(tableOrder, "Random")) tableSequence.Shuffle();
  sequenceIndex = 0;
  currentTable = tableSequence(0);
  Window2Instance().Show();
  Announce();
  callingStarted = true;
}

void Window1::Timer1_Action(Timer&) {
  if (!callingStarted) return;
  if (hotkeyLocked) return;
  if (!(Keyboard.AsyncOSKey() && Keyboard.AsyncOptionKey())) return;
  sequenceIndex = sequenceIndex + 1;
  if (sequenceIndex == numberOfTables) {
    Window1Instance().Close();
    return;
  }
  currentTable = tableSequence(sequenceIndex);
  Window2Instance().Banner1().Refresh(true);
  Announce();
  hotkeyLocked = true;
  Timer2().Mode(1);
}

void Window1::Timer2_Action(Timer&) { hotkeyLocked = false; }

// ---- Menu items and commands

MenuItem& Window1::MenuItemNamed(const char* name) {
  if (!MenuBar()) RuntimeFail("the control panel has no menu bar");
  return MenuBar()->Lookup(name);
}

MenuItem& Window1::HelpMenu() { return MenuItemNamed("HelpMenu"); }
AppleMenuItem& Window1::HelpAboutBox() { return dynamic_cast<AppleMenuItem&>(MenuItemNamed("HelpAboutBox")); }
MenuItem& Window1::HelpShowHelp() { return MenuItemNamed("HelpShowHelp"); }
MenuItem& Window1::CheckforUpdateMenu() { return MenuItemNamed("CheckforUpdateMenu"); }
MenuItem& Window1::CheckforUpdateCheckNow() { return MenuItemNamed("CheckforUpdateCheckNow"); }
MenuItem& Window1::OrderMenu() { return MenuItemNamed("OrderMenu"); }
MenuItem& Window1::OrderRandom() { return MenuItemNamed("OrderRandom"); }
MenuItem& Window1::OrderInOrder() { return MenuItemNamed("OrderInOrder"); }
MenuItem& Window1::EditMenu() { return MenuItemNamed("EditMenu"); }
MenuItem& Window1::EditSelectAll() { return MenuItemNamed("EditSelectAll"); }
MenuItem& Window1::UntitledMenu0() { return MenuItemNamed("UntitledMenu0"); }
MenuItem& Window1::EditClear() { return MenuItemNamed("EditClear"); }
MenuItem& Window1::EditPaste() { return MenuItemNamed("EditPaste"); }
MenuItem& Window1::EditCopy() { return MenuItemNamed("EditCopy"); }
MenuItem& Window1::EditCut() { return MenuItemNamed("EditCut"); }
MenuItem& Window1::UntitledMenu1() { return MenuItemNamed("UntitledMenu1"); }
MenuItem& Window1::EditUndo() { return MenuItemNamed("EditUndo"); }
MenuItem& Window1::FileMenu() { return MenuItemNamed("FileMenu"); }
QuitMenuItem& Window1::FileQuit() { return dynamic_cast<QuitMenuItem&>(MenuItemNamed("FileQuit")); }
MenuItem& Window1::FilePrint() { return MenuItemNamed("FilePrint"); }

void Window1::AddMenuHandlers(Window& window) {
  window.AddMenuHandler("FilePrint", RuntimeCreateDelegate(this, &Window1::FilePrint_Action, "(  ) as Boolean"));
  window.AddMenuHandler("OrderRandom", RuntimeCreateDelegate(this, &Window1::OrderRandom_Action, "(  ) as Boolean"));
  window.AddMenuHandler("OrderInOrder",
                        RuntimeCreateDelegate(this, &Window1::OrderInOrder_Action, "(  ) as Boolean"));
}

bool Window1::FilePrint_Action() {
  PrintHelpText();
  // The panel's print leaves no help window behind, printed or cancelled.
  CloseHelpWindow();
  return true;
}

// ---- The one quit path

void Window1::Event_Close() {
  window2Top = Window2Instance().Top();
  window2Left = Window2Instance().Left();
  SaveSettings();
  RuntimeQuit(0);
}
