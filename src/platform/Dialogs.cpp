#include "platform/Dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocument>

#include "platform/internal/Native.h"

namespace {

class DesktopDialogs : public IDialogs {
 public:
  void Beep() override { QApplication::beep(); }

  void MsgBox(const std::string& text) override {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), ToQ(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
  }

  MessageDialogButton* ShowMessageDialog(MessageDialog& d) override {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(ToQ(d.Title));
    // Shown as given: a text that happens to look like markup is not
    // rendered as such, and its line breaks and blanks stay.
    box.setTextFormat(Qt::RichText);
    box.setText(Qt::convertFromPlainText(ToQ(d.Message)));
    if (!d.Explanation.empty()) box.setInformativeText(Qt::convertFromPlainText(ToQ(d.Explanation)));
    switch (d.Icon) {
      case 1: box.setIcon(QMessageBox::Warning); break;
      case 2: box.setIcon(QMessageBox::Critical); break;
      case 3: box.setIcon(QMessageBox::Question); break;
      default: box.setIcon(QMessageBox::Information); break;
    }
    QPushButton* action = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* alternate = nullptr;
    if (d.ActionButton.Visible) action = box.addButton(ToQ(d.ActionButton.Caption), QMessageBox::AcceptRole);
    if (d.AlternateActionButton.Visible)
      alternate = box.addButton(ToQ(d.AlternateActionButton.Caption), QMessageBox::ActionRole);
    if (d.CancelButton.Visible) cancel = box.addButton(ToQ(d.CancelButton.Caption), QMessageBox::RejectRole);
    if (action) box.setDefaultButton(action);
    if (cancel) box.setEscapeButton(cancel);
    box.exec();
    QAbstractButton* pressed = box.clickedButton();
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
