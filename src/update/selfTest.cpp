#include "update/selfTest.h"

#include "shell/App.h"
#include "update/updateWindow.h"
#include "shell/DesignValues.h"

selfTest& selfTestInstance() { return RuntimeWindowInstance<selfTest>(); }

namespace {

// What the three controls have in common.
DesignBlock CommonControlValues(int32_t left, int32_t top, int32_t width, int32_t height, int32_t tab) {
  DesignBlock b = ControlDesign(left, top, width, height, tab);
  TextDesign(b, "System", true);
  return b;
}

DesignBlock LabelValues(int32_t left, int32_t width, int32_t tab, const char* text, int32_t align) {
  DesignBlock b = CommonControlValues(left, 20, width, 20, tab);
  LabelDesign(b, text, align, false);
  return b;
}

}  // namespace

void selfTest::Layout() {
  RuntimeMassPropertySetter(*this, FixedWindowDesign("Self Test", 212, 102));
}

void selfTest::CreateControls() { CreateControls0(); }

void selfTest::CreateControls0() {
  AddControl(New<::Label>(), "StaticText1");
  ControlCast<::Label>(ControlByName("StaticText1")).TextUnit(0);
  RuntimeMassPropertySetter(ControlByName("StaticText1"), LabelValues(38, 61, 0, "Version:", 0));

  AddControl(New<::Label>(), "StaticText2");
  ControlCast<::Label>(ControlByName("StaticText2")).TextUnit(0);
  RuntimeMassPropertySetter(ControlByName("StaticText2"), LabelValues(99, 76, 1, "1.1.0 Intel", 2));
  RuntimeAddEventHandler(ControlByName("StaticText2"), "Open",
                         RuntimeCreateDelegate(this, &selfTest::StaticText2_Open, "( Label )"));

  AddControl(New<::PushButton>(), "PushButton1");
  ControlCast<::PushButton>(ControlByName("PushButton1")).TextUnit(0);
  {
    DesignBlock b = CommonControlValues(28, 61, 157, 21, 2);
    b.Bool("TabStop", true)
        .Text("Caption", "Check for Updates")
        .Bool("Default", true)
        .Bool("Cancel", false)
        .Int("ButtonStyle", 0);
    RuntimeMassPropertySetter(ControlByName("PushButton1"), b);
  }
  RuntimeAddEventHandler(ControlByName("PushButton1"), "Action",
                         RuntimeCreateDelegate(this, &selfTest::PushButton1_Action, "( PushButton )"));
}

Label& selfTest::StaticText1() { return ControlCast<::Label>(ControlByName("StaticText1")); }
Label& selfTest::StaticText2() { return ControlCast<::Label>(ControlByName("StaticText2")); }
PushButton& selfTest::PushButton1() { return ControlCast<::PushButton>(ControlByName("PushButton1")); }

void selfTest::StaticText2_Open(Label& sender) { sender.Text(AppInstance().LongVersion()); }

// A new update window starts the check from its Open handler; an open one
// only comes to the front.
void selfTest::PushButton1_Action(PushButton&) { updateWindowInstance().Show(); }
