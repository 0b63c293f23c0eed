#include "shell/Help.h"

Help& HelpInstance() { return RuntimeWindowInstance<Help>(); }

void Help::Layout() {
  RuntimeMassPropertySetter(*this, DesignBlock()
                                       .Text("Title", "Servalo Help")
                                       .Int("Width", 350)
                                       .Int("Height", 348)
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
