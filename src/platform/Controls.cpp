#include "platform/Controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/Window.h"
#include "platform/internal/Native.h"

namespace {

// The designs' carriage returns are line breaks.
QString DisplayText(const std::string& text) {
  QString q = ToQ(text);
  q.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  q.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return q;
}

bool addOnsLoaded = false;

}  // namespace

void SetDesignTextColor(QWidget* w, const PropValue& v, std::initializer_list<QPalette::ColorRole> roles) {
  QPalette p = w->palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
    for (QPalette::ColorRole role : roles) p.setColor(group, role, ToQColor(v));
  w->setPalette(p);
}

QString ResolveFontFamily(const std::string& family) {
  if (family.empty() || family == "System") return QApplication::font().family();
  return ToQ(family);
}

void InstallDefaultButtonKeys(Window& window) {
  for (const auto& c : window.Controls()) {
    auto* button = dynamic_cast<PushButton*>(c.get());
    if (!button) continue;
    auto bind = [&](QKeySequence key) {
      auto* sc = new QShortcut(key, window.Native());
      sc->setContext(Qt::WindowShortcut);
      QObject::connect(sc, &QShortcut::activated, [button] { button->Push(); });
    };
    if (button->Default()) {
      bind(QKeySequence(Qt::Key_Return));
      bind(QKeySequence(Qt::Key_Enter));
    }
    if (button->Cancel()) bind(QKeySequence(Qt::Key_Escape));
  }
}

void RuntimeLoadAddOns() { addOnsLoaded = true; }
bool RuntimeAddOnsLoaded() { return addOnsLoaded; }

// ---- PushButton

PushButton::PushButton(Window& window) : ControlOf(window, "PushButton") {
  auto* b = new QPushButton();
  b->setAutoDefault(false);
  SetWidget(b);
  DeclareTextProperties();
  DeclareEvent<PushButton&>("Action", "( PushButton )");
  DeclareProperty("Caption", PropKind::Text, [this](const PropValue& v) { Caption(std::get<std::string>(v)); });
  DeclareProperty("Default", PropKind::Boolean, [b](const PropValue& v) { b->setDefault(std::get<bool>(v)); });
  DeclareProperty("Cancel", PropKind::Boolean);
  DeclareProperty("ButtonStyle", PropKind::Integer);
  QObject::connect(b, &QPushButton::clicked, [this] { RaiseEvent<PushButton&>("Action", *this); });
}

std::string PushButton::Caption() const { return FromQ(static_cast<QPushButton*>(widget_)->text()); }
void PushButton::Caption(const std::string& caption) { static_cast<QPushButton*>(widget_)->setText(ToQ(caption)); }
void PushButton::TextUnit(int32_t unit) { SetProperty("TextUnit", unit); }

void PushButton::Push() {
  if (Enabled() && ParentWindow().IsOpen()) static_cast<QPushButton*>(widget_)->click();
}

// ---- CheckBox

CheckBox::CheckBox(Window& window) : ControlOf(window, "CheckBox") {
  auto* b = new QCheckBox();
  SetWidget(b);
  DeclareTextProperties();
  DeclareEvent<CheckBox&>("Action", "( CheckBox )");
  DeclareProperty("Caption", PropKind::Text, [b](const PropValue& v) { b->setText(ToQ(std::get<std::string>(v))); });
  DeclareProperty("Value", PropKind::Boolean, [this](const PropValue& v) { Value(std::get<bool>(v)); });
  DeclareProperty("State", PropKind::Integer, [b](const PropValue& v) {
    const int32_t s = std::get<int32_t>(v);
    b->setTristate(s == 2);
    b->setCheckState(s == 1 ? Qt::Checked : s == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
  });
  DeclareStored({"DataSource", "DataField"}, PropKind::Text);
  // clicked is the operator's action only; setting the value emits nothing.
  QObject::connect(b, &QCheckBox::clicked, [this] { RaiseEvent<CheckBox&>("Action", *this); });
}

bool CheckBox::Value() const { return static_cast<QCheckBox*>(widget_)->isChecked(); }
void CheckBox::Value(bool on) {
  auto* b = static_cast<QCheckBox*>(widget_);
  b->setTristate(false);
  b->setChecked(on);
}
void CheckBox::Click() {
  if (Enabled() && ParentWindow().IsOpen()) static_cast<QCheckBox*>(widget_)->click();
}
void CheckBox::TextUnit(int32_t unit) { SetProperty("TextUnit", unit); }

// ---- TextField

TextField::TextField(Window& window) : ControlOf(window, "TextField") {
  auto* e = new QLineEdit();
  SetWidget(e);
  DeclareTextProperties();
  DeclareProperty("Text", PropKind::Text, [this](const PropValue& v) { Text(std::get<std::string>(v)); });
  DeclareProperty("ReadOnly", PropKind::Boolean, [e](const PropValue& v) { e->setReadOnly(std::get<bool>(v)); });
  DeclareProperty("Alignment", PropKind::Integer, [e](const PropValue& v) {
    e->setAlignment(AlignmentOf(std::get<int32_t>(v)));
  });
  DeclareProperty("Border", PropKind::Boolean, [e](const PropValue& v) { e->setFrame(std::get<bool>(v)); });
  DeclareProperty("Password", PropKind::Boolean, [e](const PropValue& v) {
    e->setEchoMode(std::get<bool>(v) ? QLineEdit::Password : QLineEdit::Normal);
  });
  DeclareProperty("LimitText", PropKind::Integer, [e](const PropValue& v) {
    const int32_t n = std::get<int32_t>(v);
    e->setMaxLength(n > 0 ? n : 32767);
  });
  DeclareProperty("CueText", PropKind::Text, [e](const PropValue& v) { e->setPlaceholderText(ToQ(std::get<std::string>(v))); });
  DeclareProperty("TextColor", PropKind::Color, [e](const PropValue& v) { SetDesignTextColor(e, v, {QPalette::Text}); });
  DeclareProperty("BackColor", PropKind::Color, [e](const PropValue& v) {
    QPalette p = e->palette();
    p.setColor(QPalette::Base, ToQColor(v));
    e->setPalette(p);
  });
  DeclareStored({"AcceptTabs", "AutomaticallyCheckSpelling"}, PropKind::Boolean);
  DeclareStored({"Format", "Mask", "DataSource", "DataField"}, PropKind::Text);
}

std::string TextField::Text() const { return FromQ(static_cast<QLineEdit*>(widget_)->text()); }
void TextField::Text(const std::string& text) { static_cast<QLineEdit*>(widget_)->setText(ToQ(text)); }
void TextField::TextUnit(int32_t unit) { SetProperty("TextUnit", unit); }

// ---- Label

Label::Label(Window& window) : ControlOf(window, "Label") {
  auto* l = new QLabel();
  l->setTextFormat(Qt::PlainText);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  SetWidget(l);
  DeclareTextProperties();
  DeclareProperty("Text", PropKind::Text, [this](const PropValue& v) { Text(std::get<std::string>(v)); });
  DeclareProperty("TextAlign", PropKind::Integer, [l](const PropValue& v) {
    const int32_t a = std::get<int32_t>(v);
    l->setAlignment((a == 1 ? Qt::AlignHCenter : a == 2 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
  });
  DeclareProperty("Multiline", PropKind::Boolean, [l](const PropValue& v) { l->setWordWrap(std::get<bool>(v)); });
  DeclareProperty("Selectable", PropKind::Boolean, [l](const PropValue& v) {
    l->setTextInteractionFlags(std::get<bool>(v) ? Qt::TextSelectableByMouse : Qt::NoTextInteraction);
  });
  DeclareStored({"Transparent"}, PropKind::Boolean);
  DeclareProperty("TextColor", PropKind::Color, [l](const PropValue& v) { SetDesignTextColor(l, v, {QPalette::WindowText}); });
  DeclareStored({"DataSource", "DataField"}, PropKind::Text);
}

std::string Label::Text() const { return FromQ(static_cast<QLabel*>(widget_)->property("designText").toString()); }
void Label::Text(const std::string& text) {
  auto* l = static_cast<QLabel*>(widget_);
  l->setProperty("designText", ToQ(text));  // kept as given, carriage returns and all
  l->setText(DisplayText(text));
}
float Label::TextSize() const { return textSize_; }
void Label::TextSize(float points) { SetTextSize(points); }
void Label::TextUnit(int32_t unit) { SetProperty("TextUnit", unit); }

// ---- UpDownArrows

UpDownArrows::UpDownArrows(Window& window) : ControlOf(window, "UpDownArrows") {
  if (!RuntimeAddOnsLoaded()) RuntimeFail("UpDownArrows comes from the add-on controls, which are not loaded");
  auto* box = new QWidget();
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto makeArrow = [&](Qt::ArrowType type, const char* name) {
    auto* b = new QToolButton(box);
    b->setArrowType(type);
    b->setObjectName(name);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(b);
    return b;
  };
  QToolButton* up = makeArrow(Qt::UpArrow, "up");
  QToolButton* down = makeArrow(Qt::DownArrow, "down");
  box->setFocusPolicy(Qt::NoFocus);
  SetWidget(box);
  DeclareEvent<UpDownArrows&>("Up", "( UpDownArrows )");
  DeclareEvent<UpDownArrows&>("Down", "( UpDownArrows )");
  QObject::connect(up, &QToolButton::clicked, [this] { RaiseEvent<UpDownArrows&>("Up", *this); });
  QObject::connect(down, &QToolButton::clicked, [this] { RaiseEvent<UpDownArrows&>("Down", *this); });
}

void UpDownArrows::PushUp() {
  if (Enabled() && ParentWindow().IsOpen()) widget_->findChild<QToolButton*>("up")->click();
}
void UpDownArrows::PushDown() {
  if (Enabled() && ParentWindow().IsOpen()) widget_->findChild<QToolButton*>("down")->click();
}

// ---- Timer

Timer::Timer(Window& window) : ControlOf(window, "Timer"), timer_(new QTimer()) {
  timer_->setTimerType(Qt::PreciseTimer);
  DeclareEvent<Timer&>("Action", "( Timer )");
  DeclareProperty("Mode", PropKind::Integer, [this](const PropValue& v) { Mode(std::get<int32_t>(v)); });
  DeclareProperty("Period", PropKind::Integer, [this](const PropValue& v) { Period(std::get<int32_t>(v)); });
  QObject::connect(timer_, &QTimer::timeout, [this] {
    if (!ParentWindow().IsOpen()) return;
    ++fires_;
    RaiseEvent<Timer&>("Action", *this);
  });
}

Timer::~Timer() { delete timer_; }

void Timer::Mode(int32_t mode) {
  mode_ = mode;
  Arm();
}

void Timer::Period(int32_t ms) {
  period_ = ms;
  if (timer_->isActive()) Arm();
}

void Timer::Arm() {
  timer_->stop();
  if (mode_ != 1 && mode_ != 2) return;
  timer_->setSingleShot(mode_ == 1);
  timer_->start(std::max(period_, 0));
}

bool Timer::Armed() const { return timer_->isActive(); }
void Timer::Stop() { timer_->stop(); }
