#include "shell/DesignValues.h"

DesignBlock FixedWindowDesign(const std::string& title, int32_t width, int32_t height, int32_t frame,
                              bool closeButton, bool minimizeButton) {
  DesignBlock b;
  b.Text("Title", title)
      .Int("Width", width)
      .Int("Height", height)
      .Int("MinWidth", 64)
      .Int("MinHeight", 64)
      .Int("MaxWidth", 32000)
      .Int("MaxHeight", 32000)
      .Int("Placement", 0)
      .Int("Frame", frame)
      .Bool("Visible", true)
      .Bool("MenuBarVisible", true)
      .Bool("CloseButton", closeButton)
      .Bool("Resizeable", false)
      .Bool("LiveResize", false)
      .Bool("Composite", false)
      .Bool("FullScreen", false)
      .Bool("MaximizeButton", false)
      .Bool("MinimizeButton", minimizeButton)
      .Bool("FullScreenButton", false)
      .Bool("HasBackColor", false)
      .Col("BackColor", 0xFFFFFF)
      .Int("MacProcID", 0);
  return b;
}

DesignBlock ControlDesign(int32_t left, int32_t top, int32_t width, int32_t height, int32_t tab,
                          const std::string& parent, bool lockRight, bool lockBottom) {
  DesignBlock b;
  b.Int("Index", INT32_MIN)
      .Text("InitialParent", parent)
      .Int("Left", left)
      .Int("Top", top)
      .Int("Width", width)
      .Int("Height", height)
      .Bool("LockLeft", true)
      .Bool("LockTop", true)
      .Bool("LockRight", lockRight)
      .Bool("LockBottom", lockBottom)
      .Int("TabPanelIndex", 0)
      .Int("TabIndex", tab)
      .Bool("Enabled", true)
      .Bool("Visible", true)
      .Bool("AutoDeactivate", true)
      .Text("HelpTag", "");
  return b;
}

DesignBlock& TextDesign(DesignBlock& block, const std::string& font, bool bold) {
  return block.Text("TextFont", font).Bool("Bold", bold).Bool("Italic", false).Bool("Underline", false);
}

DesignBlock& LabelDesign(DesignBlock& block, const std::string& text, int32_t align, bool multiline) {
  return block.Text("Text", text)
      .Int("TextAlign", align)
      .Bool("Multiline", multiline)
      .Col("TextColor", 0x000000)
      .Bool("Selectable", false)
      .Bool("Transparent", false)
      .Text("DataSource", "")
      .Text("DataField", "");
}
