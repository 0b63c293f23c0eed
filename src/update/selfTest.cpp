#include "update/selfTest.h"

selfTest& selfTestInstance() { return RuntimeWindowInstance<selfTest>(); }

void selfTest::Layout() {
  RuntimeMassPropertySetter(*this, DesignBlock()
                                       .Text("Title", "Self Test")
                                       .Int("Width", 212)
                                       .Int("Height", 102)
                                       .Int("MinWidth", 64)
                                       .Int("MinHeight", 64)
                                       .Int("MaxWidth", 32000)
                                       .Int("MaxHeight", 32000)
                                       .Int("Placement", 0)
                                       .Int("Frame", 0)
                                       .Bool("Visible", true)
                                       .Bool("MenuBarVisible", true)
                                       .Bool("CloseButton", true)
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
