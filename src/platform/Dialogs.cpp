#include "platform/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

#include "platform/internal/Native.h"

namespace {

// Room kept for the window manager's frame around a dialog, whose size is
// not known before it is shown.
constexpr int kFrameAllowanceWidth = 16, kFrameAllowanceHeight = 64;

// The text as shown: line breaks made uniform, and a text longer than
// kMessageDialogMostShown cut there and ended with "…". The cut falls
// between two user-perceived characters when such a boundary is close
// before the bound, else between two code points: never inside a surrogate
// pair, and so never inside what was one UTF-8 sequence. The bound keeps
// the layout of the worst text, which for one unbroken run grows with the
// square of its length, under a tenth of a second.
QString ShownText(const std::string& text) {
  constexpr qsizetype most = qsizetype(kMessageDialogMostShown);
  const auto lines = [](const char* utf8, size_t size) {
    QString s = QString::fromUtf8(utf8, qsizetype(size));
    return s.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  };
  // Valid UTF-8 takes at most three bytes for each character shown, so
  // this much of a text decides the cut however long the rest is. Where it
  // ends, a sequence may be torn, giving up to three stray characters; bad
  // bytes can give fewer characters than that: then the whole text.
  constexpr size_t enough = 3 * kMessageDialogMostShown + 16;
  QString shown = lines(text.data(), std::min(text.size(), enough));
  if (text.size() > enough && shown.size() < most + 4) shown = lines(text.data(), text.size());
  if (shown.size() <= most) return shown;

  // Past a cluster boundary this far back, a run of combining marks is cut
  // between two of its marks.
  constexpr qsizetype clusterReach = 32;
  QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, QStringView(shown).left(most + 1));
  clusters.toEnd();
  qsizetype cut = clusters.toPreviousBoundary();
  if (cut < most - clusterReach)
    cut = shown[most].isLowSurrogate() && shown[most - 1].isHighSurrogate() ? most - 1 : most;
  shown.truncate(cut);
  shown += QChar(0x2026);
  return shown;
}

// A text shown exactly as written: plain text, so that a text which looks
// like markup is not rendered as such, with its line breaks and runs of
// blanks. It wraps at blanks, and inside a word only when the word alone is
// wider than the line. Given less height than it needs, it scrolls.
//
// The text is laid out as few times as can be, since a long one costs: its
// document is first measured on its own, without the view's width getting
// in the way, and becomes the view's document only once the view has its
// final size.
class PlainTextView : public QTextEdit {
 public:
  PlainTextView(const QString& text, QWidget* parent) : QTextEdit(parent), text_(text) {
    setReadOnly(true);
    setAcceptRichText(false);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // Drawn on the dialog's own background, as a label is.
    viewport()->setAutoFillBackground(false);
    document()->setDocumentMargin(0);
  }

  // The width of the widest line, unwrapped.
  int NaturalWidth() {
    Measured();
    return naturalWidth_;
  }
  int HeightFor(int width) {
    QTextDocument& text = Measured();
    // Wider than every line, nothing wraps: the height unwrapped.
    if (width > naturalWidth_) return naturalHeight_;
    text.setTextWidth(width);
    return int(std::ceil(text.size().height()));
  }
  // Shown at this size; a text that needs more height scrolls, and can then
  // take the focus so that the keyboard scrolls it too.
  void Place(int width, int height, int needed) {
    setFixedSize(width, height);
    if (height < needed) {
      setFocusPolicy(Qt::StrongFocus);
      // The scroll bar is there from the start, so that the text is laid
      // out beside it once, not across the whole width first.
      setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
  }

 private:
  // The text in a document of its own, laid out as the view lays it out,
  // and measured unwrapped.
  QTextDocument& Measured() {
    if (!measured_) {
      measured_ = new QTextDocument(this);  // the view's own document once shown
      measured_->setUndoRedoEnabled(false);
      measured_->setDefaultFont(font());
      QTextOption wrap = document()->defaultTextOption();
      wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
      measured_->setDefaultTextOption(wrap);
      measured_->setDocumentMargin(document()->documentMargin());
      measured_->setPlainText(text_);
      text_ = QString();
      // Each paragraph keeps its shaped glyphs after a layout, so that
      // showing and painting it does not shape it again.
      for (QTextBlock b = measured_->begin(); b.isValid(); b = b.next()) b.layout()->setCacheEnabled(true);
      measured_->setTextWidth(-1);
      naturalWidth_ = int(std::ceil(measured_->size().width()));
      naturalHeight_ = int(std::ceil(measured_->size().height()));
    }
    return *measured_;
  }
  void showEvent(QShowEvent* event) override {
    // Resized to its final size by now: laid out for that size.
    if (document() != &Measured()) setDocument(&Measured());
    QTextEdit::showEvent(event);
  }

  QString text_;
  QTextDocument* measured_ = nullptr;
  int naturalWidth_ = 0, naturalHeight_ = 0;
};

QStyle::StandardPixmap IconOf(int32_t icon) {
  switch (icon) {
    case 1: return QStyle::SP_MessageBoxWarning;
    case 2: return QStyle::SP_MessageBoxCritical;
    case 3: return QStyle::SP_MessageBoxQuestion;
    default: return QStyle::SP_MessageBoxInformation;
  }
}

// Sizes the texts so that the whole dialog stays on the screen: the lines
// as wide as the longest line needs, up to half the screen (at most 500
// pixels); the message and the explanation as tall as they need, up to
// what the screen leaves them, past which they scroll.
void FitTexts(QDialog& box, QGridLayout& grid, QLabel& icon, PlainTextView& message, PlainTextView* explanation) {
  const QScreen* screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
  const QSize avail = screen ? screen->availableGeometry().size() : QSize(1024, 768);

  const QMargins margins = grid.contentsMargins();
  const int spacing = std::max(0, grid.horizontalSpacing());
  const int besideText = margins.left() + margins.right() + icon.sizeHint().width() + spacing;
  const int widest = std::max(message.NaturalWidth(), explanation ? explanation->NaturalWidth() : 0);
  const int limit = std::min({avail.width() / 2, 500, avail.width() - kFrameAllowanceWidth - besideText});
  const int width = std::max(std::min(widest + 1, limit), 100);

  // The dialog's height without its texts.
  message.setFixedSize(width, 0);
  if (explanation) explanation->setFixedSize(width, 0);
  grid.activate();
  const int lineHeight = message.fontMetrics().lineSpacing();
  const int room = std::max(avail.height() - kFrameAllowanceHeight - box.sizeHint().height(), 4 * lineHeight);

  const int messageNeeds = message.HeightFor(width);
  const int explanationNeeds = explanation ? explanation->HeightFor(width) : 0;
  const int messageRoom = explanation ? std::max(room / 2, room - explanationNeeds) : room;
  const int messageHeight = std::min(messageNeeds, messageRoom);
  message.Place(width, messageHeight, messageNeeds);
  if (explanation) {
    const int explanationHeight = std::min(explanationNeeds, std::max(room - messageHeight, lineHeight));
    explanation->Place(width, explanationHeight, explanationNeeds);
  }
}

class DesktopDialogs : public IDialogs {
 public:
  void Beep() override { QApplication::beep(); }

  void MsgBox(const std::string& text) override {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), ToQ(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
  }

  // The message above the explanation, beside the icon, and the buttons
  // below; the texts are the caller's, shown as written.
  MessageDialogButton* ShowMessageDialog(MessageDialog& d) override {
    // A message box's frame: a title and a close box, no resizing.
    QDialog box(QApplication::activeWindow(), Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                                                  Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    box.setWindowTitle(ToQ(d.Title));
    auto* grid = new QGridLayout(&box);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    auto* icon = new QLabel(&box);
    const int iconSize = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    icon->setPixmap(box.style()->standardIcon(IconOf(d.Icon), nullptr, &box).pixmap(iconSize, iconSize));
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);

    auto* message = new PlainTextView(ShownText(d.Message), &box);
    message->setObjectName("message");
    grid->addWidget(message, 0, 1);
    PlainTextView* explanation = nullptr;
    if (!d.Explanation.empty()) {
      explanation = new PlainTextView(ShownText(d.Explanation), &box);
      explanation->setObjectName("explanation");
      grid->addWidget(explanation, 1, 1);
    }

    auto* buttons = new QDialogButtonBox(&box);
    QPushButton* action = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* alternate = nullptr;
    if (d.ActionButton.Visible) action = buttons->addButton(ToQ(d.ActionButton.Caption), QDialogButtonBox::AcceptRole);
    if (d.AlternateActionButton.Visible)
      alternate = buttons->addButton(ToQ(d.AlternateActionButton.Caption), QDialogButtonBox::ActionRole);
    if (d.CancelButton.Visible)
      cancel = buttons->addButton(ToQ(d.CancelButton.Caption), QDialogButtonBox::RejectRole);
    grid->addWidget(buttons, 2, 0, 1, 2);
    QAbstractButton* pressed = nullptr;
    QObject::connect(buttons, &QDialogButtonBox::clicked, &box, [&](QAbstractButton* b) {
      pressed = b;
      box.done(b == cancel ? QDialog::Rejected : QDialog::Accepted);
    });

    FitTexts(box, *grid, *icon, *message, explanation);
    if (action) {
      action->setDefault(true);
      action->setFocus();
    }
    // Escape and the close box answer as the cancel button does.
    box.exec();
    if (pressed && pressed == alternate) return &d.AlternateActionButton;
    if (pressed && pressed == action) return &d.ActionButton;
    return &d.CancelButton;
  }
};

IDialogs* installed = nullptr;

}  // namespace

IDialogs& RuntimeDialogs() {
  static DesktopDialogs desktop;
  return installed ? *installed : desktop;
}

void RuntimeSetDialogs(IDialogs* service) { installed = service; }

void RuntimeBeep() { RuntimeDialogs().Beep(); }
void RuntimeMsgBox(const std::string& text) { RuntimeDialogs().MsgBox(text); }

MessageDialogButton* MessageDialog::ShowModal() { return RuntimeDialogs().ShowMessageDialog(*this); }
