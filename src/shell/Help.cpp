#include "shell/Help.h"

#include <climits>

#include "platform/Dialogs.h"
#include "platform/Text.h"
#include "shell/DesignValues.h"

Help& HelpInstance() { return RuntimeWindowInstance<Help>(); }

namespace {

// Eight paragraphs, two carriage returns apart.
const std::string& HelpTextAsDesigned() {
  static const std::string text =
      "Servalo was developed to help call people to line up (at a buffet, etc.) in an orderly fashion."
      "\r\r"
      "Use the Option Menu Pick to select whether Tables should be called in order or at random."
      "\r\r"
      "Up to 99 tables are supported.  Set the number of tables using the Up/Down counter and click on the "
      "Start button.  A large window will open above the Control Panel announcing the first table to line "
      "up.  If the Sound checkbox is checked, the announcement will also be heard.  Press Command-Option "
      "when it is time to announce the next table."
      "\r\r"
      "Note that the Command-Option shortcut is disabled for one second after its use to prevent "
      "accidental multiple announcements."
      "\r\r"
      "Servalo will close after all tables have been announced or the red \u201Cclose\u201D button on the "
      "top left of the Control Panel is clicked."
      "\r\r"
      "Servalo is intended for a display resolution of 1366 x 768.  If you have a larger display "
      "resolution, you can drag both windows where you would like them and their positions will be saved "
      "along with other Servalo settings between sessions."
      "\r\r"
      "This Help information can be printed from the File menu."
      "\r\r"
      "The Servalo icon was drawn by Tamsin Quillfeather.";
  return text;
}

}  // namespace

void Help::Layout() {
  RuntimeMassPropertySetter(*this, FixedWindowDesign("Servalo Help", 350, 348));
}

void Help::CreateControls() { CreateControls0(); }

namespace {

// What both controls have in common.
DesignBlock CommonValues(int32_t left, int32_t top, int32_t width, int32_t height, int32_t tab, bool lockRight,
                         bool lockBottom) {
  DesignBlock b = ControlDesign(left, top, width, height, tab, "", lockRight, lockBottom);
  b.Bool("TabStop", true);
  TextDesign(b, "System", false);
  return b;
}

}  // namespace

void Help::CreateControls0() {
  AddControl(New<::PushButton>(), "PushButton1");
  ControlCast<::PushButton>(ControlByName("PushButton1")).TextUnit(0);
  {
    DesignBlock b = CommonValues(370, 328, 20, 20, 1, true, true);
    b.Text("Caption", "").Int("ButtonStyle", 0).Bool("Default", false).Bool("Cancel", false);
    RuntimeMassPropertySetter(ControlByName("PushButton1"), b);
  }
  RuntimeAddEventHandler(ControlByName("PushButton1"), "Action",
                         RuntimeCreateDelegate(this, &Help::PushButton1_Action, "( PushButton )"));

  AddControl(New<::TextArea>(), "TextArea1");
  ControlCast<::TextArea>(ControlByName("TextArea1")).TextUnit(0);
  ControlCast<::TextArea>(ControlByName("TextArea1")).LineSpacing(1.0);
  {
    DesignBlock b = CommonValues(20, 20, 310, 308, 2, false, false);
    b.Text("Text", HelpTextAsDesigned())
        .Bool("Multiline", true)
        .Bool("Styled", true)
        .Bool("ScrollbarVertical", true)
        .Bool("Border", true)
        .Bool("UseFocusRing", true)
        .Bool("HideSelection", true)
        .Bool("AutomaticallyCheckSpelling", true)
        .Bool("ScrollbarHorizontal", false)
        .Bool("ReadOnly", false)
        .Bool("AcceptTabs", false)
        .Int("LimitText", 0)
        .Int("Alignment", 0)
        .Col("TextColor", 0x000000)
        .Col("BackColor", 0xFFFFFF)
        .Text("Mask", "")
        .Text("Format", "")
        .Text("DataSource", "")
        .Text("DataField", "");
    RuntimeMassPropertySetter(ControlByName("TextArea1"), b);
  }
  RuntimeAddEventHandler(ControlByName("TextArea1"), "Open",
                         RuntimeCreateDelegate(this, &Help::TextArea1_Open, "( TextArea )"));
}

::PushButton& Help::PushButton1() { return ControlCast<::PushButton>(ControlByName("PushButton1")); }
::TextArea& Help::TextArea1() { return ControlCast<::TextArea>(ControlByName("TextArea1")); }

void Help::PushButton1_Action(::PushButton&) {
  const int32_t start = TextArea1().SelStart();
  const int32_t length = TextArea1().SelLength();
  RuntimeMsgBox("Start: " + StringStrInt32(start) + " Length: " + StringStrInt32(length));
}

void Help::TextArea1_Open(::TextArea&) {}
