// Modal dialogs and the alert sound, behind a small interface so that tests
// can answer them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr std::size_t kMessageDialogMostShown = 6000;

struct MessageDialogButton {
  std::string Caption;
  bool Visible = true;
};

// A modal message dialog with up to three buttons. ShowModal returns the
// button that was pressed: one of the dialog's own three.
//
// The message and the explanation are each shown up to
// kMessageDialogMostShown characters (UTF-16 code units, as the desktop's
// text layout counts them); a longer text is cut before a whole character
// and ends in "…", so that a text from the network, however long or
// oddly shaped, cannot hold up the program while it is laid out.
class MessageDialog {
 public:
  std::string Title, Message, Explanation;
  int32_t Icon = 0;  // 0 note, 1 caution, 2 stop, 3 question
  MessageDialogButton ActionButton{"OK", true};
  MessageDialogButton CancelButton{"Cancel", false};
  MessageDialogButton AlternateActionButton{"", false};

  MessageDialogButton* ShowModal();
};

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  virtual void Beep() = 0;
  virtual void MsgBox(const std::string& text) = 0;
  // Returns one of the dialog's three buttons.
  virtual MessageDialogButton* ShowMessageDialog(MessageDialog& dialog) = 0;
};

// The service in use: the desktop's unless a test installed another.
IDialogs& RuntimeDialogs();
void RuntimeSetDialogs(IDialogs* service);  // nullptr: the desktop's again

void RuntimeBeep();
void RuntimeMsgBox(const std::string& text);
