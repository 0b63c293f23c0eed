// The settings file as arbitrary bytes: the reader and the loader must take
// anything without a crash, a leak or undefined behaviour, and every entry
// they keep must be what the reader promises.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "calling/CallingState.h"
#include "platform/Text.h"
#include "platform/testing/FileFakes.h"
#include "settings/Settings.h"

namespace {

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz_settings: %s\n", what);
  std::abort();
}

// Valid UTF-8 survives decoding and encoding unchanged.
bool ValidText(const std::string& s) { return Mid(s, 1) == s; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static MemoryFileSystem* fs = new MemoryFileSystem;  // installed for the whole run
  const std::string path = fs->preferences + "/servalo.txt";
  fs->files.clear();
  fs->files[path] = std::string(reinterpret_cast<const char*>(data), size);

  InitDirectives();
  InitCallingState();
  LoadSettings();

  Require(directives.Ubound() >= 0 && directives(0) == nullptr, "index 0 must stay empty");
  for (int32_t i = 1; i <= directives.Ubound(); ++i) {
    const directiveClass* d = directives(i);
    Require(d != nullptr, "an entry is missing");
    Require(d->name.find(' ') == std::string::npos, "a key holds a blank");
    Require(d->name == Lowercase(d->name), "a key is not in lower case");
    Require(d->name.find_first_of("\r\n") == std::string::npos, "a key holds a line end");
    Require(d->text.find_first_of("\r\n") == std::string::npos, "a value holds a line end");
    Require(ValidText(d->name) && ValidText(d->text), "an entry is not valid UTF-8");
  }
  Require(ValidText(tableOrder), "the order is not valid UTF-8");

  // The same bytes read a second time give the same entries.
  const int32_t first = directives.Ubound();
  std::unique_ptr<FolderItem> f = SettingsFileItem();
  Require(f && ReadDirectives(f.get()), "a file that exists must open");
  Require(directives.Ubound() == 2 * first, "a second reading gives other entries");
  for (int32_t i = 1; i <= first; ++i)
    Require(directives(i)->name == directives(first + i)->name && directives(i)->text == directives(first + i)->text,
            "a second reading gives other entries");

  ReleaseDirectives();
  ReleaseTableOrder();
  ReleaseTableSequence();
  return 0;
}
