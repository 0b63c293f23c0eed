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
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/internal/Native.h"

namespace {

// Room kept for the window manager's frame around a dialog, whose size is
// not known before it is shown.
constexpr int kFrameAllowanceWidth = 16, kFrameAllowanceHeight = 64;

// A text shown exactly as written: plain text, so that a text which looks
// like markup is not rendered as such, with its line breaks and runs of
// blanks. It wraps at blanks, and inside a word only when the word alone is
// wider than the line. Given less height than it needs, it scrolls.
class PlainTextView : public QTextEdit {
 public:
  PlainTextView(const QString& text, QWidget* parent) : QTextEdit(parent) {
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
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setPlainText(lines);
  }

  // The width of the widest line, unwrapped.
  int NaturalWidth() {
    Measure().setTextWidth(-1);
    return int(std::ceil(Measure().size().width()));
  }
  int HeightFor(int width) {
    Measure().setTextWidth(width);
    return int(std::ceil(Measure().size().height()));
  }
  // Shown at this size; a text that needs more height scrolls, and can then
  // take the focus so that the keyboard scrolls it too.
  void Place(int width, int height, int needed) {
    setFixedSize(width, height);
    if (height < needed) setFocusPolicy(Qt::StrongFocus);
  }

 private:
  // A copy of the text laid out as the view lays it out, measured without
  // the view's own width getting in the way.
  QTextDocument& Measure() {
    if (!measure_) {
      measure_ = std::make_unique<QTextDocument>();
      measure_->setDefaultFont(font());
      QTextOption wrap = document()->defaultTextOption();
      wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
      measure_->setDefaultTextOption(wrap);
      measure_->setDocumentMargin(document()->documentMargin());
      measure_->setPlainText(toPlainText());
    }
    return *measure_;
  }
  std::unique_ptr<QTextDocument> measure_;
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

    auto* message = new PlainTextView(ToQ(d.Message), &box);
    message->setObjectName("message");
    grid->addWidget(message, 0, 1);
    PlainTextView* explanation = nullptr;
    if (!d.Explanation.empty()) {
      explanation = new PlainTextView(ToQ(d.Explanation), &box);
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
