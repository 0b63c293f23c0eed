#include "platform/internal/Modules.h"

#include <dlfcn.h>

#include <cstdio>
#include <map>

void* RuntimeLoadModule(const std::string& name) {
  // Loaded at most once; a module that failed is not tried again.
  static std::map<std::string, void*> loaded;
  if (auto found = loaded.find(name); found != loaded.end()) return found->second;
  void* entry = nullptr;
  const std::string file = "libservalo-" + name + ".so";
  if (void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL)) {
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
