#include "platform/TextArea.h"

#include <climits>
#include <utility>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/Graphics.h"
#include "platform/Text.h"
#include "platform/Window.h"
#include "platform/internal/Native.h"

namespace {

constexpr QChar kParagraph = QChar(QChar::ParagraphSeparator);

// The text as the document holds it: each paragraph break is one U+2029.
QString DocumentText(const std::string& text) {
  QString q = ToQ(text);
  q.replace(QLatin1String("\r\n"), QString(kParagraph));
  q.replace(QLatin1Char('\r'), kParagraph);
  q.replace(QLatin1Char('\n'), kParagraph);
  return q;
}

// A line of the laid-out text, in the document's coordinates.
struct Line {
  double top, bottom;
  int block;       // the number of its paragraph
  int index;       // its number within the paragraph
  QPointF origin;  // where the paragraph's layout is drawn from
};

}  // namespace

// ---- StyledTextPrinter

struct StyledTextPrinter::Impl {
  Graphics* surface = nullptr;
  // Shared with the drawings of the pages, which can go out after the
  // printer is gone (see Graphics::Paint).
  std::shared_ptr<QTextDocument> doc;
  QColor color;
  std::vector<Line> lines;  // top to bottom, trailing blank lines left out
  std::vector<size_t> firstLineOf;  // by paragraph: where its first line stands in lines
  double tallest = 0;               // the height of the tallest line
  size_t next = 0;
};

StyledTextPrinter::StyledTextPrinter(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
StyledTextPrinter::StyledTextPrinter(StyledTextPrinter&&) noexcept = default;
StyledTextPrinter& StyledTextPrinter::operator=(StyledTextPrinter&&) noexcept = default;
StyledTextPrinter::~StyledTextPrinter() = default;

bool StyledTextPrinter::Eof() const { return impl_->next >= impl_->lines.size(); }

namespace {

// The part of the text that one block shows: every line is drawn on the
// block where it is shown and nowhere else, so that the printed text holds
// each line once. Paragraphs that start in the block are drawn through the
// document's layout, with their list marks, rules and backgrounds. That
// layout draws every line of a paragraph that reaches into its clip, so
// the paragraphs that reach in from above are hidden from it, and the
// lines of a paragraph that began on an earlier block are drawn one by one.
struct BlockDrawing {
  std::shared_ptr<QTextDocument> doc;
  QColor color;
  double x, y, start, stop;
  double textBottom;            // below it, the next block's lines begin
  std::vector<int> hidden;      // paragraphs that reach in from above
  std::vector<Line> continued;  // lines of paragraphs begun on an earlier block

  void operator()(QPainter& p) const {
    QTextDocument& d = *doc;
    p.save();
    p.translate(x, y - start);
    p.setClipRect(QRectF(-1e4, start, 2e4, stop - start), Qt::IntersectClip);

    for (int block : hidden) d.findBlockByNumber(block).setVisible(false);
    // A sliver inside the top edge keeps the paragraphs above out; the
    // bottom edge lies just above the next block's first line.
    const double inset = 0.05;
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = QRectF(-1, start + inset, d.textWidth() + 2, std::max(textBottom - start - 2 * inset, inset));
    ctx.palette.setColor(QPalette::Text, color);
    p.setPen(color);
    d.documentLayout()->draw(&p, ctx);
    for (int block : hidden) d.findBlockByNumber(block).setVisible(true);

    int filled = -1;
    for (const Line& line : continued) {
      const QTextBlock b = d.findBlockByNumber(line.block);
      if (line.block != filled) {
        const QBrush background = b.blockFormat().background();
        if (background.style() != Qt::NoBrush) {
          const QRectF box = d.documentLayout()->blockBoundingRect(b);
          p.setBrushOrigin(box.topLeft());
          p.fillRect(box.intersected(QRectF(box.left(), start, box.width(), stop - start)), background);
        }
        filled = line.block;
      }
      p.setPen(color);
      b.layout()->lineAt(line.index).draw(&p, line.origin);
    }
    p.restore();
  }
};

}  // namespace

void StyledTextPrinter::DrawBlock(double x, double y, double height) {
  Impl& d = *impl_;
  if (Eof()) return;
  const double start = d.lines[d.next].top;
  size_t end = d.next + 1;  // at least one line, so that every block makes progress
  while (end < d.lines.size() && d.lines[end].bottom - start <= height) ++end;
  const double stop = std::min(d.lines[end - 1].bottom, start + std::max(height, 0.0));

  BlockDrawing drawing{d.doc, d.color, x, y, start, stop, stop, {}, {}};
  // Lines overlap where the font's leading is negative: the next line may
  // begin above this block's bottom, and a line above may end below its top.
  if (end < d.lines.size()) drawing.textBottom = std::min(stop, d.lines[end].top);
  auto hide = [&drawing](int block) {
    if (std::find(drawing.hidden.begin(), drawing.hidden.end(), block) == drawing.hidden.end())
      drawing.hidden.push_back(block);
  };
  for (size_t i = d.next; i > 0 && d.lines[i - 1].top > start - d.tallest; --i)
    if (d.lines[i - 1].bottom > start) hide(d.lines[i - 1].block);
  for (size_t i = d.next; i < end; ++i) {
    const Line& line = d.lines[i];
    if (d.firstLineOf[size_t(line.block)] < d.next) {
      hide(line.block);
      drawing.continued.push_back(line);
    }
  }
  d.surface->Paint(std::move(drawing));
  d.next = end;
}

StyledTextPrinter TextArea::styledTextPrinter(Graphics& g, double width) const {
  auto impl = std::make_unique<StyledTextPrinter::Impl>();
  impl->surface = &g;
  impl->doc.reset(Edit()->document()->clone());
  QTextDocument& doc = *impl->doc;

  // Text without styles of its own takes the surface's text settings.
  QFont base = QApplication::font();
  if (!g.TextFont.empty() && g.TextFont != "System") base.setFamily(ResolveFontFamily(g.TextFont));
  if (g.TextSize > 0) base.setPixelSize(std::max(1, int(std::lround(g.TextSize))));  // one point, one unit
  base.setBold(g.Bold);
  base.setItalic(g.Italic);
  base.setUnderline(g.Underline);
  doc.setDefaultFont(base);
  impl->color = QColor(g.ForeColor.red, g.ForeColor.green, g.ForeColor.blue, 255 - g.ForeColor.alpha);

  // Laid out for the surface's device, so that sizes and widths are its own.
  doc.documentLayout()->setPaintDevice(g.Device());
  doc.setDocumentMargin(0);
  doc.setTextWidth(std::max(width, 1.0));
  doc.documentLayout()->documentSize();  // forces the layout

  std::vector<Line> lines;
  size_t lastInk = 0;  // lines up to here hold more than blanks
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    const QTextLayout* layout = b.layout();
    if (!layout) continue;
    // The box's corner is where the layout is drawn from.
    const QRectF box = doc.documentLayout()->blockBoundingRect(b);
    const double origin = box.top() - layout->boundingRect().top();
    const QString text = b.text();
    for (int i = 0; i < layout->lineCount(); ++i) {
      const QTextLine line = layout->lineAt(i);
      const double top = origin + line.y();
      lines.push_back(Line{top, top + line.height(), b.blockNumber(), i, box.topLeft()});
      if (!text.mid(line.textStart(), line.textLength()).trimmed().isEmpty()) lastInk = lines.size();
    }
  }
  lines.resize(lastInk);
  std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) { return a.top < b.top; });
  impl->firstLineOf.assign(size_t(doc.blockCount()), lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].index == 0) impl->firstLineOf[size_t(lines[i].block)] = i;
    impl->tallest = std::max(impl->tallest, lines[i].bottom - lines[i].top);
  }
  impl->lines = std::move(lines);
  return StyledTextPrinter(std::move(impl));
}

// ---- TextArea

TextArea::TextArea(Window& window) : ControlOf(window, "TextArea") {
  auto* e = new QTextEdit();
  e->setAcceptRichText(true);
  e->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  e->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  e->setLineWrapMode(QTextEdit::WidgetWidth);
  SetWidget(e);
  DeclareTextProperties();
  DeclareProperty("Text", PropKind::Text, [this](const PropValue& v) { Text(std::get<std::string>(v)); });
  DeclareProperty("ReadOnly", PropKind::Boolean, [e](const PropValue& v) { e->setReadOnly(std::get<bool>(v)); });
  DeclareStored({"Multiline", "AutomaticallyCheckSpelling"}, PropKind::Boolean);
  DeclareProperty("HideSelection", PropKind::Boolean, [this](const PropValue&) { ApplySelectionColors(); });
  DeclareProperty("Styled", PropKind::Boolean, [e](const PropValue& v) { e->setAcceptRichText(std::get<bool>(v)); });
  DeclareProperty("ScrollbarVertical", PropKind::Boolean, [e](const PropValue& v) {
    e->setVerticalScrollBarPolicy(std::get<bool>(v) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  });
  // A horizontal scroll bar means lines are not wrapped.
  DeclareProperty("ScrollbarHorizontal", PropKind::Boolean, [e](const PropValue& v) {
    const bool on = std::get<bool>(v);
    e->setLineWrapMode(on ? QTextEdit::NoWrap : QTextEdit::WidgetWidth);
    e->setHorizontalScrollBarPolicy(on ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  });
  DeclareProperty("Border", PropKind::Boolean, [e](const PropValue& v) {
    e->setFrameShape(std::get<bool>(v) ? QFrame::StyledPanel : QFrame::NoFrame);
  });
  DeclareProperty("AcceptTabs", PropKind::Boolean, [e](const PropValue& v) { e->setTabChangesFocus(!std::get<bool>(v)); });
  // 0: no limit. Kept for the design; the text area does not cut text.
  DeclareStored({"LimitText"}, PropKind::Integer);
  DeclareProperty("Alignment", PropKind::Integer, [this](const PropValue& v) {
    alignment_ = std::get<int32_t>(v);
    ApplyBlockFormats();
  });
  DeclareProperty("TextColor", PropKind::Color, [this, e](const PropValue& v) {
    SetDesignTextColor(e, v, {QPalette::Text});
    ApplySelectionColors();
  });
  DeclareProperty("BackColor", PropKind::Color, [this, e](const PropValue& v) {
    QPalette p = e->palette();
    p.setColor(QPalette::Base, ToQColor(v));
    e->setPalette(p);
    ApplySelectionColors();
  });
  DeclareStored({"Mask", "Format", "DataSource", "DataField"}, PropKind::Text);
}

QTextEdit* TextArea::Edit() const { return static_cast<QTextEdit*>(widget_); }

std::string TextArea::Text() const {
  const QString shown = Edit()->document()->toRawText();
  if (shown == DocumentText(text_)) return text_;
  // Edited: every paragraph or line break reads back as a carriage return.
  QString q = shown;
  q.replace(kParagraph, QLatin1Char('\r'));
  q.replace(QChar(QChar::LineSeparator), QLatin1Char('\r'));
  return FromQ(q);
}

void TextArea::Text(const std::string& text) {
  text_ = text;
  Edit()->setPlainText(DocumentText(text));
  ApplyBlockFormats();
}

void TextArea::ApplyBlockFormats() {
  // Not a step the operator could undo.
  QTextDocument* doc = Edit()->document();
  const bool undo = doc->isUndoRedoEnabled();
  doc->setUndoRedoEnabled(false);
  QTextCursor c(doc);
  c.select(QTextCursor::Document);
  QTextBlockFormat f;
  if (lineSpacing_ == 1.0) f.setLineHeight(0, QTextBlockFormat::SingleHeight);
  else f.setLineHeight(lineSpacing_ * 100.0, QTextBlockFormat::ProportionalHeight);
  f.setAlignment(AlignmentOf(alignment_));
  c.mergeBlockFormat(f);
  doc->setUndoRedoEnabled(undo);
}

void TextArea::LineSpacing(double factor) {
  lineSpacing_ = factor > 0 ? factor : 1.0;
  ApplyBlockFormats();
}

// Document positions count UTF-16 units and one per paragraph break; Text
// counts code points, and a CR LF pair as two. Walks the text until either
// count reaches its limit and gives both.
static std::pair<int, int32_t> WalkPositions(const QString& q, int docLimit, int32_t charLimit) {
  int doc = 0;
  int32_t chars = 0;
  for (int i = 0; i < q.size() && doc < docLimit && chars < charLimit;) {
    if (q[i] == QLatin1Char('\r') && i + 1 < q.size() && q[i + 1] == QLatin1Char('\n')) {
      i += 2, doc += 1, chars += 2;
    } else if (q[i].isHighSurrogate() && i + 1 < q.size() && q[i + 1].isLowSurrogate()) {
      i += 2, doc += 2, chars += 1;
    } else {
      i += 1, doc += 1, chars += 1;
    }
  }
  return {doc, chars};
}

int32_t TextArea::CharIndexOf(int docPosition) const {
  return WalkPositions(ToQ(Text()), docPosition, INT32_MAX).second;
}

int TextArea::DocPositionOf(int32_t charIndex) const { return WalkPositions(ToQ(Text()), INT_MAX, charIndex).first; }

int32_t TextArea::SelStart() const { return CharIndexOf(Edit()->textCursor().selectionStart()); }

int32_t TextArea::SelLength() const {
  const QTextCursor c = Edit()->textCursor();
  return CharIndexOf(c.selectionEnd()) - CharIndexOf(c.selectionStart());
}

void TextArea::SelStart(int32_t start) {
  QTextCursor c = Edit()->textCursor();
  c.setPosition(DocPositionOf(std::max(start, 0)));
  Edit()->setTextCursor(c);
}

void TextArea::SelLength(int32_t length) {
  QTextCursor c = Edit()->textCursor();
  const int32_t start = CharIndexOf(c.selectionStart());
  c.setPosition(DocPositionOf(start));
  c.setPosition(DocPositionOf(start + std::max(length, 0)), QTextCursor::KeepAnchor);
  Edit()->setTextCursor(c);
}

std::string TextArea::SelText() const { return Mid(Text(), SelStart() + 1, SelLength()); }

// The text area draws its selection in the inactive colours while it lacks
// the focus. To hide the selection then, those colours are the text's own.
void TextArea::ApplySelectionColors() {
  QTextEdit* e = Edit();
  const bool hide = HideSelection();
  if (!hide && !selectionHidden_) return;
  QPalette p = e->palette();
  const QPalette desktop = QApplication::palette(e);
  const QPalette::ColorGroup off = QPalette::Inactive;
  p.setBrush(off, QPalette::Highlight, hide ? p.brush(off, QPalette::Base) : desktop.brush(off, QPalette::Highlight));
  p.setBrush(off, QPalette::HighlightedText,
             hide ? p.brush(off, QPalette::Text) : desktop.brush(off, QPalette::HighlightedText));
  e->setPalette(p);
  selectionHidden_ = hide;
}

bool TextArea::ReadOnly() const { return Edit()->isReadOnly(); }
void TextArea::ReadOnly(bool on) { SetProperty("ReadOnly", on); }
bool TextArea::Styled() const { return Edit()->acceptRichText(); }
void TextArea::Styled(bool on) { SetProperty("Styled", on); }
bool TextArea::ScrollbarVertical() const { return Edit()->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff; }
void TextArea::ScrollbarVertical(bool on) { SetProperty("ScrollbarVertical", on); }
bool TextArea::Border() const { return Edit()->frameShape() != QFrame::NoFrame; }
void TextArea::Border(bool on) { SetProperty("Border", on); }
void TextArea::TextUnit(int32_t unit) { SetProperty("TextUnit", unit); }
