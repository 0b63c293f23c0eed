// The control panel: the number of tables, Start, Sound, the two timers of
// the keyboard trigger, and the one menu bar.
#pragma once

#include "platform/Controls.h"
#include "platform/Menu.h"
#include "platform/Window.h"

class Window1 : public Window {
 public:
  std::string ClassName() const override { return "Window1"; }

  void Layout() override;
  void CreateControls() override;
  void CreateControls0();

  UpDownArrows& UpDownArrows1();
  TextField& TextField1();
  PushButton& MyStart();
  Label& Label1();
  Timer& Timer1();
  Timer& Timer2();
  CheckBox& SoundCheckBox();

  void UpDownArrows1_Down(UpDownArrows& sender);
  void UpDownArrows1_Up(UpDownArrows& sender);
  void MyStart_Action(PushButton& sender);
  void Timer1_Action(Timer& sender);
  void Timer2_Action(Timer& sender);
  void SoundCheckBox_Action(CheckBox& sender);

  MenuItem& HelpMenu();
  AppleMenuItem& HelpAboutBox();
  MenuItem& HelpShowHelp();
  MenuItem& CheckforUpdateMenu();
  MenuItem& CheckforUpdateCheckNow();
  MenuItem& OrderMenu();
  MenuItem& OrderRandom();
  MenuItem& OrderInOrder();
  MenuItem& EditMenu();
  MenuItem& EditSelectAll();
  MenuItem& UntitledMenu0();
  MenuItem& EditClear();
  MenuItem& EditPaste();
  MenuItem& EditCopy();
  MenuItem& EditCut();
  MenuItem& UntitledMenu1();
  MenuItem& EditUndo();
  MenuItem& FileMenu();
  QuitMenuItem& FileQuit();
  MenuItem& FilePrint();

  void AddMenuHandlers(Window& window) override;
  void Event_Open() override;
  void Event_Close() override;
  bool FilePrint_Action();
  bool OrderRandom_Action();
  bool OrderInOrder_Action();

 private:
  MenuItem& MenuItemNamed(const char* name);
};

Window1& Window1Instance();
