#include "platform/internal/SystemLibraries.h"

#include <QtGlobal>

#include <dlfcn.h>
#include <gnu/libc-version.h>

#include <algorithm>
#include <vector>

namespace {

// The folder a loaded library lies in, found through one of its symbols.
std::string FolderOf(const void* symbol) {
  Dl_info info{};
  if (!dladdr(symbol, &info) || !info.dli_fname) return {};
  const std::string file = info.dli_fname;
  const size_t slash = file.rfind('/');
  return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

std::vector<std::string> SystemFolders(const std::string& firstFolder) {
  std::vector<std::string> folders = {firstFolder, FolderOf(reinterpret_cast<const void*>(&qVersion)),
                                      FolderOf(reinterpret_cast<const void*>(&gnu_get_libc_version))};
  const std::string arch = SERVALO_LIBRARY_ARCHITECTURE;
  if (!arch.empty()) {
    folders.push_back("/usr/lib/" + arch);
    folders.push_back("/lib/" + arch);
  }
  folders.push_back("/usr/lib");
  folders.push_back("/lib");
  std::vector<std::string> absolute;
  for (const std::string& folder : folders)
    if (!folder.empty() && folder.front() == '/' &&
        std::find(absolute.begin(), absolute.end(), folder) == absolute.end())
      absolute.push_back(folder);
  return absolute;
}

}  // namespace

void* RuntimeOpenSystemLibrary(const std::string& file, const std::string& firstFolder) {
  for (const std::string& folder : SystemFolders(firstFolder))
    if (void* library = dlopen((folder + "/" + file).c_str(), RTLD_NOW | RTLD_LOCAL)) return library;
  return nullptr;
}
