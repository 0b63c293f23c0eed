#include "platform/internal/Modules.h"

#include <dlfcn.h>
#include <link.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

namespace {

// The folders the program's own libraries are looked up in, its run path
// first, as the dynamic loader has them. A module is opened by its full
// path in one of them: a bare name would be looked up by the run path of
// whatever code calls dlopen, which is not the program's when a sanitizer
// runtime stands in between.
std::vector<std::string> ProgramSearchPath() {
  std::vector<std::string> folders;
  void* program = dlopen(nullptr, RTLD_NOW);
  Dl_serinfo size{};
  if (!program || dlinfo(program, RTLD_DI_SERINFOSIZE, &size) != 0) return folders;
  std::unique_ptr<Dl_serinfo, decltype(&std::free)> info(static_cast<Dl_serinfo*>(std::malloc(size.dls_size)),
                                                         &std::free);
  if (!info) return folders;
  info->dls_size = size.dls_size;
  info->dls_cnt = size.dls_cnt;
  if (dlinfo(program, RTLD_DI_SERINFO, info.get()) != 0) return folders;
  for (unsigned i = 0; i < info->dls_cnt; ++i) folders.emplace_back(info->dls_serpath[i].dls_name);
  return folders;
}

void* OpenModuleLibrary(const std::string& file) {
  for (const std::string& folder : ProgramSearchPath())
    if (void* library = dlopen((folder + "/" + file).c_str(), RTLD_NOW | RTLD_LOCAL)) return library;
  return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
}

}  // namespace

void* RuntimeLoadModule(const std::string& name) {
  // Loaded at most once; a module that failed is not tried again.
  static std::map<std::string, void*> loaded;
  if (auto found = loaded.find(name); found != loaded.end()) return found->second;
  void* entry = nullptr;
  const std::string file = "libservalo-" + name + ".so";
  if (void* library = OpenModuleLibrary(file)) {
    using EntryFn = void* (*)();
    const std::string symbol = "servalo_" + name + "_module";
    if (auto fn = reinterpret_cast<EntryFn>(dlsym(library, symbol.c_str()))) entry = fn();
    else std::fprintf(stderr, "servalo: %s has no %s\n", file.c_str(), symbol.c_str());
  } else {
    std::fprintf(stderr, "servalo: cannot load %s: %s\n", file.c_str(), dlerror());
  }
  loaded[name] = entry;
  return entry;
}
