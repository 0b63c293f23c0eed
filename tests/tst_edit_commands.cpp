// The Edit menu's commands on the focused text control, chosen from the menu
// or by their shortcuts: a read-only control keeps its text, an editable
// one takes all six.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QTextEdit>

#include "AppFixture.h"
#include "TestMain.h"
#include "calling/Window1.h"
#include "platform/Controls.h"
#include "platform/TextArea.h"
#include "platform/internal/Native.h"
#include "shell/Help.h"
#include "shell/MenuBar1.h"

namespace {

// A window with an editable text field.
class Form : public Window {
 public:
  std::string ClassName() const override { return "Form"; }
  void Layout() override {
    RuntimeMassPropertySetter(*this, DesignBlock().Text("Title", "Form").Int("Width", 200).Int("Height", 60));
  }
  void CreateControls() override {
    AddControl(New<TextField>(), "Field");
    RuntimeMassPropertySetter(ControlByName("Field"),
                              DesignBlock().Int("Left", 10).Int("Top", 10).Int("Width", 120).Int("Height", 22));
  }
};

// The text control of a case, as the operator meets it.
struct Target {
  QWidget* widget;
  QString Text() const {
    if (auto* e = qobject_cast<QLineEdit*>(widget)) return e->text();
    return static_cast<QTextEdit*>(widget)->toPlainText();
  }
  QString Selected() const {
    if (auto* e = qobject_cast<QLineEdit*>(widget)) return e->selectedText();
    return static_cast<QTextEdit*>(widget)->textCursor().selectedText();
  }
  void SelectAll() const {
    if (auto* e = qobject_cast<QLineEdit*>(widget)) e->selectAll();
    else static_cast<QTextEdit*>(widget)->selectAll();
  }
  void Deselect() const {  // the caret at the end
    if (auto* e = qobject_cast<QLineEdit*>(widget)) e->end(false);
    else static_cast<QTextEdit*>(widget)->moveCursor(QTextCursor::End);
  }
  void ReadOnly(bool on) const {
    if (auto* e = qobject_cast<QLineEdit*>(widget)) e->setReadOnly(on);
    else static_cast<QTextEdit*>(widget)->setReadOnly(on);
  }
};

// Puts "20" in the case's control, then types "5" after it, so that there is
// a step to undo, and leaves the control read-only or not as the case says.
Target Prepare(const QString& which) {
  QWidget* w = nullptr;
  bool readOnly = false;
  if (which == "read-only field") {
    Window1& panel = Window1Instance();
    panel.TextField1().Text("20");
    w = panel.TextField1().NativeWidget();
    readOnly = true;
  } else if (which == "editable field") {
    auto& form = RuntimeWindowInstance<Form>();
    ControlCast<TextField>(form.ControlByName("Field")).Text("20");
    w = form.ControlByName("Field").NativeWidget();
  } else {
    TextArea& area = HelpInstance().TextArea1();
    area.Text("20");
    w = area.NativeWidget();
    readOnly = which == "read-only text area";
  }
  const Target t{w};
  QApplication::setActiveWindow(w->window());
  w->setFocus();
  t.ReadOnly(false);
  t.Deselect();
  QTest::keyClicks(w, "5");
  t.ReadOnly(readOnly);
  return t;
}

}  // namespace

class EditCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  // Each command starts on "205", all of it selected (Select All starts with
  // nothing selected), with "77" on the clipboard.
  void commandOnTheFocusedControl_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");       // afterwards
    QTest::addColumn<QString>("clipboard");  // afterwards
    struct Row {
      const char* command;
      const char* shortcut;  // nullptr: the command has none
      const char *editedText, *editedClipboard;
    };
    const Row rows[] = {
        {"EditUndo", "Ctrl+Z", "20", "77"},   {"EditCut", "Ctrl+X", "", "205"},
        {"EditCopy", "Ctrl+C", "205", "205"}, {"EditPaste", "Ctrl+V", "77", "77"},
        {"EditClear", nullptr, "", "77"},     {"EditSelectAll", "Ctrl+A", "205", "77"},
    };
    for (const char* target : {"read-only field", "read-only text area", "editable field", "editable text area"}) {
      const bool readOnly = QString(target).startsWith("read-only");
      for (const Row& r : rows) {
        const bool copies = QString(r.command) == "EditCopy";
        const QString text = readOnly ? "205" : r.editedText;
        const QString clipboard = readOnly ? (copies ? "205" : "77") : r.editedClipboard;
        QTest::addRow("%s, %s, menu", target, r.command) << target << r.command << "menu" << text << clipboard;
        if (r.shortcut)
          QTest::addRow("%s, %s", target, r.shortcut) << target << r.command << r.shortcut << text << clipboard;
      }
    }
  }
  void commandOnTheFocusedControl() {
    QFETCH(QString, target);
    QFETCH(QString, command);
    QFETCH(QString, path);
    QFETCH(QString, text);
    QFETCH(QString, clipboard);
    AppFixture fx;
    fx.app.Event_Open();  // the panel, with the menu bar
    const Target t = Prepare(target);
    QCOMPARE(t.Text(), QString("205"));
    QCOMPARE(QApplication::focusWidget(), t.widget);
    if (command == "EditSelectAll") t.Deselect();
    else t.SelectAll();
    QApplication::clipboard()->setText("77");

    if (path == "menu") {
      MenuBar1Instance().Lookup(command.toStdString()).NativeAction()->trigger();
    } else {
      const QKeySequence key(path);
      QTest::keyClick(t.widget, Qt::Key(key[0].key()), key[0].keyboardModifiers());
    }

    QCOMPARE(t.Text(), text);
    QCOMPARE(QApplication::clipboard()->text(), clipboard);
    if (command == "EditSelectAll") QCOMPARE(t.Selected(), QString("205"));
  }

  // The panel's number stays what the field shows: the arrows go on from
  // the number after a paste, a cut or a delete was tried on the field.
  void fieldAndNumberAgreeAfterEditCommands() {
    AppFixture fx;
    fx.app.Event_Open();
    Window1& panel = Window1Instance();
    numberOfTables = 99;
    panel.TextField1().Text("99");
    auto* field = static_cast<QLineEdit*>(panel.TextField1().NativeWidget());
    QApplication::setActiveWindow(panel.Native());
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_X, Qt::ControlModifier);
    QApplication::clipboard()->setText("100");
    field->selectAll();
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    field->selectAll();
    MenuBar1Instance().Lookup("EditClear").NativeAction()->trigger();
    QCOMPARE(panel.TextField1().Text(), std::string("99"));
    panel.UpDownArrows1().PushUp();
    QCOMPARE(numberOfTables, 99);
    QCOMPARE(panel.TextField1().Text(), std::string("99"));
  }
};

SERVALO_TEST_MAIN(EditCommandsTest)
#include "tst_edit_commands.moc"
