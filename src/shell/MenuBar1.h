// The one menu bar: File, Edit, Order, Check for Update and Help.
#pragma once

#include "platform/Menu.h"

class MenuBar1 : public MenuBar {
 public:
  MenuBar1();  // builds the whole tree
  void Untitled0();  // File
  void Untitled1();  // Edit
  void Untitled2();  // Order
  void Untitled3();  // Check for Update
  void Untitled4();  // Help
};

// Built on the first call; the same bar afterwards.
MenuBar1& MenuBar1Instance();
bool MenuBar1Built();
void ReleaseMenuBar1();
