// The update window: one check for a newer version. Its Open handler sends
// the feed request; the answer, or the failure, ends the check in one of
// its roads: current, upgrade offered, empty answer, error or Cancel.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Controls.h"
#include "platform/HTTPSocket.h"
#include "platform/ProgressBar.h"
#include "platform/Window.h"

class updateWindow : public Window {
 public:
  std::string ClassName() const override { return "updateWindow"; }

  // True keeps the current-version road quiet (no message box). Nothing in
  // the program sets it.
  bool automaticCheck = false;

  void Layout() override;
  void CreateControls() override;
  void CreateControls0();

  Label& StaticText1();
  ProgressBar& ProgressBar1();
  HTTPSocket& hp();
  PushButton& PushButton1();

  void hp_PageReceived(HTTPSocket& sender, const std::string& URL, int32_t HTTPStatusCode,
                       const InternetHeaders& headers, const std::string& content);
  void hp_Error(HTTPSocket& sender, int32_t code);
  void PushButton1_Action(PushButton& sender);
  void Event_Open() override;

  std::string startTag(const std::string& name);
  std::string endTag(const std::string& name);
  void askUpgrade(const std::string& version, const std::string& description, const std::string& downloadURL,
                  bool isFree);
  std::string returnValue(const std::string& source, const std::string& name);
};

updateWindow& updateWindowInstance();
