#include "calling/Window2.h"

#include "calling/CallingState.h"
#include "platform/Text.h"
#include "shell/DesignValues.h"

Window2& Window2Instance() { return RuntimeWindowInstance<Window2>(); }

void Window2::Layout() {
  RuntimeMassPropertySetter(*this, FixedWindowDesign("", 1366, 643, 0, false));
}

void Window2::Event_Open() {
  Window2Instance().Top(window2Top);
  Window2Instance().Left(window2Left);
  if (window2Top == 0) {
    Window2Instance().Top(40);
    Window2Instance().Left(0);
  }
  Window2Instance().Width(1366);
  Window2Instance().Height(620);
}

void Window2::CreateControls() { CreateControls0(); }

namespace {

// What the rectangle and both banners have in common.
DesignBlock CommonControlValues(const char* parent, int32_t left, int32_t top, int32_t width, int32_t height,
                                int32_t tab) {
  DesignBlock b = ControlDesign(left, top, width, height, tab, parent);
  b.Bool("TabStop", true);
  return b;
}

DesignBlock BannerValues(int32_t top, int32_t tab) {
  DesignBlock b = CommonControlValues("Rectangle1", 0, top, 1366, 153, tab);
  b.Bool("Transparent", true)
      .Bool("EraseBackground", true)
      .Bool("DoubleBuffer", false)
      .Bool("AcceptFocus", false)
      .Bool("AcceptTabs", false)
      .Bool("UseFocusRing", true);
  return b;
}

}  // namespace

void Window2::CreateControls0() {
  AddControl(New<::Rectangle>(), "Rectangle1");
  {
    DesignBlock b = CommonControlValues("", 0, 0, 1366, 645, 0);
    b.Col("FillColor", 0xFFFFFF).Col("TopLeftColor", 0x000000).Col("BottomRightColor", 0x000000).Int("BorderWidth", 1);
    RuntimeMassPropertySetter(ControlByName("Rectangle1"), b);
  }

  AddControl(New<Canvas>(), "Banner1");
  RuntimeMassPropertySetter(ControlByName("Banner1"), BannerValues(79, 0));
  RuntimeAddEventHandler(ControlByName("Banner1"), "Paint",
                         RuntimeCreateDelegate(this, &Window2::Banner1_Paint, "( Canvas, Graphics, Rect() )"));

  AddControl(New<Canvas>(), "Banner2");
  RuntimeMassPropertySetter(ControlByName("Banner2"), BannerValues(357, 1));
  RuntimeAddEventHandler(ControlByName("Banner2"), "Paint",
                         RuntimeCreateDelegate(this, &Window2::Banner2_Paint, "( Canvas, Graphics, Rect() )"));
}

::Rectangle& Window2::Rectangle1() { return ControlCast<::Rectangle>(ControlByName("Rectangle1")); }
Canvas& Window2::Banner1() { return ControlCast<Canvas>(ControlByName("Banner1")); }
Canvas& Window2::Banner2() { return ControlCast<Canvas>(ControlByName("Banner2")); }

// Both banners draw from the shared state at the moment they are painted.
void Window2::Banner1_Paint(Canvas&, Graphics& g, const std::vector<Rect>&) {
  g.Bold = true;
  g.Italic = false;
  g.TextFont = "Helvetica";
  g.TextSize = 120;
  const std::string number = StringStrInt32(currentTable);
  if (Len(number) == 1)
    g.DrawString("TABLE " + number, 437, 150, 0, false);
  else
    g.DrawString("TABLE " + number, 408, 150, 0, false);
}

void Window2::Banner2_Paint(Canvas&, Graphics& g, const std::vector<Rect>&) {
  g.Bold = true;
  g.Italic = false;
  g.TextFont = "Helvetica";
  g.TextSize = 80;
  g.DrawString("Please line up now.", 314, 100, 0, false);
}
