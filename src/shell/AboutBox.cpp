#include "shell/AboutBox.h"

AboutBox& AboutBoxInstance() { return RuntimeWindowInstance<AboutBox>(); }

void AboutBox::Layout() {
  RuntimeMassPropertySetter(*this, DesignBlock()
                                       .Text("Title", "About...")
                                       .Int("Width", 264)
                                       .Int("Height", 258)
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
