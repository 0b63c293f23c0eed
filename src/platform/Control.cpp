#include "platform/Control.h"

#include <QApplication>
#include <QFont>

#include <cmath>
#include <QWidget>

#include "platform/Window.h"
#include "platform/internal/Native.h"

Control::Control(Window& window) : window_(window) {
  // Every control takes these, visible or not.
  DeclareProperty("Index", PropKind::Integer);
}

Control::~Control() { delete widget_; }

void Control::AddEventHandler(const std::string& event, const Delegate& handler) {
  auto it = events_.find(event);
  if (it == events_.end()) RuntimeFail(ClassName() + " '" + name_ + "' has no event " + event);
  if (!RuntimeSameParamList(handler.params, it->second.params))
    RuntimeFail("handler for " + event + " of '" + name_ + "' declared as '" + handler.params + "', the event passes '" +
                it->second.params + "'");
  if (handler.type != it->second.type)
    RuntimeFail("handler for " + event + " of '" + name_ + "' has a C++ signature other than the event's");
  it->second.fn = handler.fn;
}

bool Control::HasEventHandler(const std::string& event) const {
  auto it = events_.find(event);
  return it != events_.end() && it->second.fn;
}

void Control::SetWidget(QWidget* widget) {
  widget_ = widget;
  widget_->setParent(window_.Content());
  widget_->show();
  DeclareRectProperties();
}

void Control::DeclareRectProperties() {
  auto geometry = [this](int32_t* field) {
    return [this, field](const PropValue& v) {
      *field = std::get<int32_t>(v);
      ApplyGeometry();
    };
  };
  DeclareProperty("Left", PropKind::Integer, geometry(&left_));
  DeclareProperty("Top", PropKind::Integer, geometry(&top_));
  DeclareProperty("Width", PropKind::Integer, geometry(&width_));
  DeclareProperty("Height", PropKind::Integer, geometry(&height_));
  DeclareProperty("Enabled", PropKind::Boolean, [this](const PropValue& v) { Enabled(std::get<bool>(v)); });
  DeclareProperty("Visible", PropKind::Boolean, [this](const PropValue& v) { Visible(std::get<bool>(v)); });
  DeclareProperty("InitialParent", PropKind::Text, [this](const PropValue& v) {
    const std::string& parent = std::get<std::string>(v);
    QWidget* target = parent.empty() ? window_.Content() : window_.ControlByName(parent).NativeWidget();
    if (!target) RuntimeFail("control '" + parent + "' cannot hold other controls");
    // Positions stay those of the window: the parent's offset is taken off.
    widget_->setParent(target);
    widget_->show();
    ApplyGeometry();
  });
  DeclareProperty("TabIndex", PropKind::Integer);
  DeclareProperty("TabStop", PropKind::Boolean, [this](const PropValue& v) {
    if (!std::get<bool>(v)) widget_->setFocusPolicy(Qt::NoFocus);
  });
  DeclareProperty("AcceptFocus", PropKind::Boolean, [this](const PropValue& v) {
    if (!std::get<bool>(v)) widget_->setFocusPolicy(Qt::NoFocus);
  });
  DeclareStored({"TabPanelIndex"}, PropKind::Integer);
  DeclareStored({"LockLeft", "LockTop", "LockRight", "LockBottom", "AutoDeactivate", "UseFocusRing"},
                PropKind::Boolean);
  DeclareStored({"HelpTag"}, PropKind::Text);
}

void Control::DeclareTextProperties() {
  auto font = [this](const PropValue&) { ApplyFont(); };
  DeclareProperty("TextFont", PropKind::Text, font);
  DeclareProperty("Bold", PropKind::Boolean, font);
  DeclareProperty("Italic", PropKind::Boolean, font);
  DeclareProperty("Underline", PropKind::Boolean, font);
  DeclareProperty("TextUnit", PropKind::Integer);
}

void Control::ApplyFont() {
  if (!widget_) return;
  QFont f = QApplication::font();
  const std::string family = DesignText("TextFont", "System");
  if (family != "System") f.setFamily(ResolveFontFamily(family));
  // One point is one screen pixel, as on the screens the designs were made for.
  if (textSize_ > 0) f.setPixelSize(int(std::lround(textSize_)));
  f.setBold(DesignBool("Bold"));
  f.setItalic(DesignBool("Italic"));
  f.setUnderline(DesignBool("Underline"));
  widget_->setFont(f);
}

void Control::SetTextSize(float points) {
  textSize_ = points;
  ApplyFont();
}

void Control::ApplyGeometry() {
  if (!widget_) return;
  QPoint origin(left_, top_);
  // A control placed inside another keeps window coordinates in its design.
  for (QWidget* p = widget_->parentWidget(); p && p != window_.Content(); p = p->parentWidget())
    origin -= p->pos();
  widget_->setGeometry(origin.x(), origin.y(), width_, height_);
}

bool Control::Enabled() const { return enabled_; }

void Control::Enabled(bool on) {
  enabled_ = on;
  if (widget_) widget_->setEnabled(on);
}

bool Control::Visible() const { return visible_; }

void Control::Visible(bool on) {
  visible_ = on;
  if (widget_) widget_->setVisible(on);
}

void Control::Refresh(bool eraseBackground) {
  if (!widget_) return;
  widget_->setAttribute(Qt::WA_OpaquePaintEvent, !eraseBackground);
  widget_->repaint();
}
