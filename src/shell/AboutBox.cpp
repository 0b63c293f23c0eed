#include "shell/AboutBox.h"

#include <climits>

#include "platform/Url.h"
#include "shell/App.h"
#include "shell/DesignValues.h"

AboutBox& AboutBoxInstance() { return RuntimeWindowInstance<AboutBox>(); }

namespace {

const char* const kAuthorAddress = "corin.halvard@servalo.example";

const char* const kCredits =
    "Developed by\r"
    "Corin Halvard\r"
    "\r"
    "Sr. Beta Tester\r"
    "Maren Ostlund";

// What all six controls have in common.
DesignBlock CommonValues(int32_t left, int32_t top, int32_t width, int32_t height, int32_t tab,
                         const char* font, bool bold) {
  DesignBlock b = ControlDesign(left, top, width, height, tab);
  b.Bool("TabStop", true);
  TextDesign(b, font, bold);
  return b;
}

DesignBlock ButtonValues(int32_t top, int32_t tab, const char* caption) {
  DesignBlock b = CommonValues(72, top, 120, 21, tab, "System", true);
  b.Text("Caption", caption).Bool("Default", false).Bool("Cancel", false).Int("ButtonStyle", 0);
  return b;
}

DesignBlock LabelValues(int32_t left, int32_t top, int32_t width, int32_t height, int32_t tab, const char* font,
                        bool bold, const std::string& text, int32_t align, bool multiline) {
  DesignBlock b = CommonValues(left, top, width, height, tab, font, bold);
  LabelDesign(b, text, align, multiline);
  return b;
}

}  // namespace

void AboutBox::Layout() {
  RuntimeMassPropertySetter(*this, FixedWindowDesign("About...", 264, 258));
}

void AboutBox::CreateControls() { CreateControls0(); }

void AboutBox::CreateControls0() {
  AddControl(New<::PushButton>(), "PushButton1");
  ControlCast<::PushButton>(ControlByName("PushButton1")).TextUnit(0);
  RuntimeMassPropertySetter(ControlByName("PushButton1"), ButtonValues(180, 0, "Email Author"));
  RuntimeAddEventHandler(ControlByName("PushButton1"), "Action",
                         RuntimeCreateDelegate(this, &AboutBox::PushButton1_Action, "( PushButton )"));

  AddControl(New<::PushButton>(), "PushButton2");
  ControlCast<::PushButton>(ControlByName("PushButton2")).TextUnit(0);
  RuntimeMassPropertySetter(ControlByName("PushButton2"), ButtonValues(217, 1, "Visit Web Site"));
  RuntimeAddEventHandler(ControlByName("PushButton2"), "Action",
                         RuntimeCreateDelegate(this, &AboutBox::PushButton2_Action, "( PushButton )"));

  AddControl(New<::Label>(), "StaticText2");
  ControlCast<::Label>(ControlByName("StaticText2")).TextUnit(0);
  RuntimeMassPropertySetter(ControlByName("StaticText2"),
                            LabelValues(80, 86, 104, 87, 2, "System", false, kCredits, 1, true));

  AddControl(New<::Label>(), "StaticText1");
  ControlCast<::Label>(ControlByName("StaticText1")).TextSize(30.0f);
  ControlCast<::Label>(ControlByName("StaticText1")).TextUnit(0);
  RuntimeMassPropertySetter(ControlByName("StaticText1"),
                            LabelValues(20, 15, 224, 45, 3, "Arial", true, "Servalo", 1, false));

  AddControl(New<::Label>(), "StaticText3");
  ControlCast<::Label>(ControlByName("StaticText3")).TextSize(12.0f);
  ControlCast<::Label>(ControlByName("StaticText3")).TextUnit(0);
  RuntimeMassPropertySetter(ControlByName("StaticText3"),
                            LabelValues(72, 59, 56, 20, 4, "Arial", true, "Version:", 0, false));

  AddControl(New<::Label>(), "StaticText4");
  ControlCast<::Label>(ControlByName("StaticText4")).TextSize(12.0f);
  ControlCast<::Label>(ControlByName("StaticText4")).TextUnit(0);
  RuntimeMassPropertySetter(ControlByName("StaticText4"),
                            LabelValues(136, 59, 56, 20, 5, "Arial", true, "1.0.0 Intel", 2, false));
  RuntimeAddEventHandler(ControlByName("StaticText4"), "Open",
                         RuntimeCreateDelegate(this, &AboutBox::StaticText4_Open, "( Label )"));
}

::PushButton& AboutBox::PushButton1() { return ControlCast<::PushButton>(ControlByName("PushButton1")); }
::PushButton& AboutBox::PushButton2() { return ControlCast<::PushButton>(ControlByName("PushButton2")); }
::Label& AboutBox::StaticText2() { return ControlCast<::Label>(ControlByName("StaticText2")); }
::Label& AboutBox::StaticText1() { return ControlCast<::Label>(ControlByName("StaticText1")); }
::Label& AboutBox::StaticText3() { return ControlCast<::Label>(ControlByName("StaticText3")); }
::Label& AboutBox::StaticText4() { return ControlCast<::Label>(ControlByName("StaticText4")); }

void AboutBox::PushButton1_Action(::PushButton&) { GlobalShowURL(std::string("mailto:") + kAuthorAddress); }

void AboutBox::PushButton2_Action(::PushButton&) { GlobalShowURL(std::string("http://") + SERVALO_WEB_HOST); }

void AboutBox::StaticText4_Open(::Label& sender) { sender.Text(AppInstance().LongVersion()); }
