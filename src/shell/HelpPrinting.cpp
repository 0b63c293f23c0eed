#include "shell/HelpPrinting.h"

#include <memory>
#include <string>

#include "platform/Date.h"
#include "platform/Graphics.h"
#include "platform/Printing.h"
#include "platform/Text.h"
#include "platform/TextArea.h"
#include "shell/Help.h"

namespace {

// The page box of the surface, in its units.
constexpr int32_t kPageWidth = 540;
constexpr int32_t kPageHeight = 720;

void DrawFooter(Graphics& g, int32_t pageNumber, const std::string& stamp) {
  g.TextFont = "Arial";
  g.Bold = false;
  g.DrawString("page " + StringStrInt32(pageNumber), 40, 720, 0, false);
  g.DrawString(stamp, 100, 720, 0, false);
}

}  // namespace

void PrintHelpText() {
  // Formed before the dialog: the moment the command was chosen.
  const Date now;
  const std::string stamp = now.ShortTime() + ", " + now.ShortDate();
  int32_t pageNumber = 1;

  std::unique_ptr<Graphics> g = RuntimeOpenPrinterDialog(nullptr, nullptr);
  if (!g) return;

  g->TextFont = "Courier";
  g->TextSize = 10;
  g->ForeColor = RuntimeRGBA(0, 0, 0, 0);
  g->Bold = true;

  StyledTextPrinter printer = HelpInstance().TextArea1().styledTextPrinter(*g, kPageWidth - 48);
  while (!printer.Eof()) {
    printer.DrawBlock(36, 36, kPageHeight - 48);
    if (!printer.Eof()) {
      DrawFooter(*g, pageNumber, stamp);
      g->TextFont = "Courier";
      g->Bold = true;
      pageNumber = pageNumber + 1;
      g->NextPage();
    }
  }
  DrawFooter(*g, pageNumber, stamp);
}

void CloseHelpWindow() { HelpInstance().Close(); }
