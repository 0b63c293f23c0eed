// A styled multi-line text area and the printer that lays its text out on
// a page surface.
//
// Text: carriage returns (and CR LF pairs and line feeds) are paragraph
// breaks on screen and in print. The text reads back exactly as it was set
// until the operator edits it; after an edit each paragraph break reads
// back as one carriage return.
//
// SelStart and SelLength count characters (Unicode code points) of Text,
// the start from 0 (before the first character), so that
// Mid(Text, SelStart + 1, SelLength) is the selected text. A CR LF pair
// counts as two characters, and the caret never stands between them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Control.h"

class Graphics;
class QTextEdit;

// Lays a text area's styled text out in lines of one width and draws it on
// a surface block after block. It works on a copy taken when it was made:
// later edits of the text area do not reach it.
class StyledTextPrinter {
 public:
  StyledTextPrinter(StyledTextPrinter&&) noexcept;
  StyledTextPrinter& operator=(StyledTextPrinter&&) noexcept;
  ~StyledTextPrinter();

  // Draws the next lines that fit wholly into the block whose top-left
  // corner is (x, y) and whose height is given: a line is never cut between
  // two blocks, and each line is drawn once, in the block that shows it. A
  // single line taller than the block is drawn alone, cut at the block's
  // bottom, so that every call makes progress. The drawing goes through
  // Graphics::Paint and may be carried out after the printer is gone.
  void DrawBlock(double x, double y, double height);
  // True once every line has been drawn. Empty lines and lines of blanks at
  // the end of the text count as drawn, so an empty text is at its end from
  // the start and trailing blank lines never start a page of their own.
  // (The macro EOF of the C library rules out that name.)
  bool Eof() const;

 private:
  friend class TextArea;
  struct Impl;
  explicit StyledTextPrinter(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

class TextArea : public ControlOf<TextArea> {
 public:
  std::string ClassName() const override { return "TextArea"; }

  std::string Text() const;
  void Text(const std::string& text);
  int32_t SelStart() const;
  void SelStart(int32_t start);  // places the caret there; nothing selected
  int32_t SelLength() const;
  void SelLength(int32_t length);  // selects that many characters from SelStart
  std::string SelText() const;

  double LineSpacing() const { return lineSpacing_; }
  void LineSpacing(double factor);  // 1.0: single spacing
  bool ReadOnly() const;
  void ReadOnly(bool on);
  // The selection is drawn only while the text area has the focus.
  bool HideSelection() const { return DesignBool("HideSelection"); }
  void HideSelection(bool on) { SetProperty("HideSelection", on); }
  bool Multiline() const { return DesignBool("Multiline", true); }
  void Multiline(bool on) { SetProperty("Multiline", on); }
  bool Styled() const;  // pasted text keeps its fonts and colours
  void Styled(bool on);
  bool ScrollbarVertical() const;
  void ScrollbarVertical(bool on);
  bool Border() const;
  void Border(bool on);
  // Kept for the design: the desktop offers the text area no spell checker.
  bool AutomaticallyCheckSpelling() const { return DesignBool("AutomaticallyCheckSpelling"); }
  void AutomaticallyCheckSpelling(bool on) { SetProperty("AutomaticallyCheckSpelling", on); }
  void TextUnit(int32_t unit);

  // A printer for the text as it stands now, in lines of the given width in
  // the surface's units. Text without styles of its own takes the surface's
  // font, size, bold, italic, underline and colour as they are set now.
  StyledTextPrinter styledTextPrinter(Graphics& g, double width) const;

 private:
  friend class Window;
  explicit TextArea(Window& window);
  QTextEdit* Edit() const;
  void ApplyBlockFormats();
  void ApplySelectionColors();
  int32_t CharIndexOf(int docPosition) const;
  int DocPositionOf(int32_t charIndex) const;

  std::string text_;  // as last set, while the document still shows it
  double lineSpacing_ = 1.0;
  int32_t alignment_ = 0;
  bool selectionHidden_ = false;
};
