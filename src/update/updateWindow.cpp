#include "update/updateWindow.h"

#include "calling/Window1.h"
#include "platform/Dialogs.h"
#include "platform/Text.h"
#include "platform/Url.h"
#include "shell/App.h"
#include "update/FeedReading.h"
#include "update/WebSite.h"
#include "update/selfTest.h"
#include "shell/DesignValues.h"

updateWindow& updateWindowInstance() { return RuntimeWindowInstance<updateWindow>(); }

namespace {

// What the three visible controls have in common.
DesignBlock CommonControlValues(int32_t left, int32_t top, int32_t width, int32_t height, int32_t tab) {
  DesignBlock b = ControlDesign(left, top, width, height, tab);
  b.Bool("TabStop", true);
  return b;
}

// The version window, when one is open; none is created just to close it.
void CloseVersionWindow() {
  if (selfTest* w = RuntimeGetImplicitWindow<selfTest>()) w->Close();
}

}  // namespace

void updateWindow::Layout() {
  RuntimeMassPropertySetter(*this, FixedWindowDesign("Update", 300, 120, 1, true, true));
}

void updateWindow::CreateControls() { CreateControls0(); }

void updateWindow::CreateControls0() {
  AddControl(New<::Label>(), "StaticText1");
  ControlCast<::Label>(ControlByName("StaticText1")).TextSize(12);
  ControlCast<::Label>(ControlByName("StaticText1")).TextUnit(0);
  {
    DesignBlock b = CommonControlValues(20, 19, 266, 20, 0);
    LabelDesign(TextDesign(b, "Arial", false), "Checking for update...", 0, false);
    RuntimeMassPropertySetter(ControlByName("StaticText1"), b);
  }

  AddControl(New<::ProgressBar>(), "ProgressBar1");
  {
    DesignBlock b = CommonControlValues(20, 46, 260, 12, 1);
    b.Int("Value", 0).Int("Maximum", 100);
    RuntimeMassPropertySetter(ControlByName("ProgressBar1"), b);
  }

  AddControl(New<::HTTPSocket>(), "hp");
  RuntimeMassPropertySetter(ControlByName("hp"), DesignBlock()
                                                     .Text("Address", "")
                                                     .Int("Port", 0)
                                                     .Text("httpProxyAddress", "")
                                                     .Int("httpProxyPort", 0)
                                                     .Bool("yield", false));
  RuntimeAddEventHandler(
      ControlByName("hp"), "PageReceived",
      RuntimeCreateDelegate(this, &updateWindow::hp_PageReceived,
                            "( HTTPSocket, String, Integer, InternetHeaders, String )"));
  RuntimeAddEventHandler(ControlByName("hp"), "Error",
                         RuntimeCreateDelegate(this, &updateWindow::hp_Error, "( HTTPSocket, Integer )"));

  AddControl(New<::PushButton>(), "PushButton1");
  ControlCast<::PushButton>(ControlByName("PushButton1")).TextUnit(0);
  {
    DesignBlock b = CommonControlValues(208, 80, 72, 20, 3);
    b.Text("Caption", "Cancel")
        .Bool("Default", true)
        .Bool("Cancel", true)
        .Int("ButtonStyle", 0)
        .Text("TextFont", "System")
        .Bool("Bold", false)
        .Bool("Italic", false)
        .Bool("Underline", false);
    RuntimeMassPropertySetter(ControlByName("PushButton1"), b);
  }
  RuntimeAddEventHandler(ControlByName("PushButton1"), "Action",
                         RuntimeCreateDelegate(this, &updateWindow::PushButton1_Action, "( PushButton )"));
}

Label& updateWindow::StaticText1() { return ControlCast<::Label>(ControlByName("StaticText1")); }
ProgressBar& updateWindow::ProgressBar1() { return ControlCast<::ProgressBar>(ControlByName("ProgressBar1")); }
HTTPSocket& updateWindow::hp() { return ControlCast<::HTTPSocket>(ControlByName("hp")); }
PushButton& updateWindow::PushButton1() { return ControlCast<::PushButton>(ControlByName("PushButton1")); }

void updateWindow::Event_Open() {
  ProgressBar1().Maximum(0);
  hp().Get(UpdateFeedURL());
  CloseVersionWindow();
  Window1Instance().SetFocus();
}

void updateWindow::PushButton1_Action(PushButton&) { Close(); }

void updateWindow::hp_Error(HTTPSocket&, int32_t code) {
  RuntimeBeep();
  // Without the network support no later try can work: saying so beats
  // asking the operator to try again.
  if (code == kHTTPErrorNoNetworkSupport)
    RuntimeMsgBox("Checking for updates is not available: the network support could not be loaded.");
  else
    RuntimeMsgBox("There was a communication error " + std::string("with the website. Please try ") +
                  "again later. (Code: " + StringStrInt32(code) + ")");
  Close();
  CloseVersionWindow();
  Window1Instance().SetFocus();
}

void updateWindow::hp_PageReceived(HTTPSocket& sender, const std::string&, int32_t HTTPStatusCode,
                                   const InternetHeaders&, const std::string& content) {
  if (content.empty()) {
    Close();
    return;
  }
  // A page without the version's start tag is no feed: a network's sign-in
  // page, a proxy's error page, rubbish. Nor is one whose version has no end
  // tag after it: a feed cut off in the middle. Either is a failed check,
  // told with the answer's status code (0 when the status line could not be
  // read), and never an offer of a version that is not there.
  const int32_t versionStart = InStr(0, content, startTag("CurrentVersion"));
  if (versionStart == 0 ||
      InStr(versionStart + Len(startTag("CurrentVersion")), content, endTag("CurrentVersion")) == 0) {
    hp_Error(sender, HTTPStatusCode);
    return;
  }
  const std::string version = returnValue(content, "CurrentVersion");
  const std::string description = returnValue(content, "Description");
  const bool isFree = TextEquals(returnValue(content, "Free"), "Yes");
  ProgressBar1().Visible(false);

  App& app = AppInstance();
  if (FeedVersionIsCurrent(version, double(app.MajorVersion()), double(app.MinorVersion()),
                           double(app.BugVersion()))) {
    StaticText1().Text("This version is current.");
    StaticText1().Refresh(true);
    if (!automaticCheck) RuntimeMsgBox("You are using the current version. No update is available.");
    Close();
    CloseVersionWindow();
  } else {
    // A lower version in the feed is offered just as a higher one is.
    askUpgrade(version, description, DownloadURL(), isFree);
  }
}

std::string updateWindow::startTag(const std::string& name) { return FeedStartTag(name); }
std::string updateWindow::endTag(const std::string& name) { return FeedEndTag(name); }
std::string updateWindow::returnValue(const std::string& source, const std::string& name) {
  return FeedReturnValue(source, name);
}

void updateWindow::askUpgrade(const std::string& version, const std::string& description,
                              const std::string& downloadURL, bool isFree) {
  MessageDialog d;
  d.Title = "New version available!";
  d.Message = "Version " + version + " is now available. " + "(You are using version " +
              AppInstance().ShortVersion() + ".) " +
              (isFree ? "This is a free upgrade. " : "This is a paid upgrade. ") +
              "Would you like to automatically download " +
              (isFree ? "this update (using your web browser)?" : "the trial version (using your web browser)?");
  d.Explanation = description;
  d.CancelButton.Visible = true;
  d.AlternateActionButton.Caption = "Go to Website";
  d.AlternateActionButton.Visible = true;
  d.Icon = 3;
  MessageDialogButton* pressed = d.ShowModal();
  if (pressed == &d.CancelButton) {
    Close();
  } else if (pressed == &d.ActionButton) {
    GlobalShowURL(downloadURL);
    Close();
  } else if (pressed == &d.AlternateActionButton) {
    GlobalShowURL(WebSiteRootURL());
  }
}
