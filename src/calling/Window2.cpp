#include "calling/Window2.h"

#include "calling/CallingState.h"

Window2& Window2Instance() { return RuntimeWindowInstance<Window2>(); }

void Window2::Layout() {
  RuntimeMassPropertySetter(*this, DesignBlock()
                                       .Text("Title", "")
                                       .Int("Width", 1366)
                                       .Int("Height", 643)
                                       .Int("MinWidth", 64)
                                       .Int("MinHeight", 64)
                                       .Int("MaxWidth", 32000)
                                       .Int("MaxHeight", 32000)
                                       .Int("Placement", 0)
                                       .Int("Frame", 0)
                                       .Bool("Visible", true)
                                       .Bool("MenuBarVisible", true)
                                       .Bool("CloseButton", false)
                                       .Bool("Resizeable", false)
                                       .Bool("LiveResize", false)
                                       .Bool("Composite", false)
                                       .Bool("FullScreen", false)
                                       .Bool("MaximizeButton", false)
                                       .Bool("MinimizeButton", false)
                                       .Bool("FullScreenButton", false)
                                       .Bool("HasBackColor", false)
                                       .Col("BackColor", 0xFFFFFF)
                                       .Int("MacProcID", 0));
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

// The banners and their drawing arrive with the announcement itself.
void Window2::CreateControls0() {}
::Rectangle& Window2::Rectangle1() { return ControlCast<::Rectangle>(ControlByName("Rectangle1")); }
Canvas& Window2::Banner1() { return ControlCast<Canvas>(ControlByName("Banner1")); }
Canvas& Window2::Banner2() { return ControlCast<Canvas>(ControlByName("Banner2")); }
void Window2::Banner1_Paint(Canvas&, Graphics&, const std::vector<Rect>&) {}
void Window2::Banner2_Paint(Canvas&, Graphics&, const std::vector<Rect>&) {}
