#include "platform/internal/Modules.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>

namespace {

namespace fs = std::filesystem;

struct Loader {
  std::string folder;  // empty: the program's own
  std::map<std::string, void*> loaded;
};

Loader& TheLoader() {
  static Loader loader;
  return loader;
}

// Where the program's modules lie, from the program file's own place
// (resolved by the kernel, so neither the working folder nor the name the
// program was started by count): the build tree's program has them beside
// it; an installed one in the library folder relative to its own.
std::string ProgramModuleFolder() {
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (error) return {};
  const fs::path folder = program.parent_path();
  if (fs::equivalent(folder, SERVALO_BUILD_TREE_DIR, error)) return folder.string();
  return (folder / SERVALO_MODULE_DIR_FROM_PROGRAM).lexically_normal().string();
}

// Opens file of folder and returns its entry; nullptr, after one line on
// standard error, when it cannot be opened or comes from another build.
// Always by full path: a bare name would be looked up along the search path
// of whatever calls dlopen (under the sanitizers, their runtime), which the
// program does not control.
void* LoadEntry(const std::string& folder, const std::string& name) {
  const std::string file = "libservalo-" + name + ".so";
  if (folder.empty()) {
    std::fprintf(stderr, "servalo: cannot load %s: the program's own folder is unknown\n", file.c_str());
    return nullptr;
  }
  const std::string path = (fs::path(folder) / file).string();
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    std::fprintf(stderr, "servalo: cannot load %s: %s\n", file.c_str(), dlerror());
    return nullptr;
  }
  // A refused library stays open: closing it could unload Qt libraries that
  // it brought in and that keep registrations to the end of the process.
  const std::string symbol = ModuleEntryName(name);
  auto entryFor = reinterpret_cast<ModuleEntryFunction>(dlsym(library, symbol.c_str()));
  if (!entryFor) {
    std::fprintf(stderr, "servalo: %s is from another build of the program and was not used: it has no %s\n",
                 path.c_str(), symbol.c_str());
    return nullptr;
  }
  const char* moduleBuild = nullptr;
  void* entry = entryFor(RuntimeModuleBuild(), &moduleBuild);
  if (!moduleBuild || std::strcmp(moduleBuild, RuntimeModuleBuild()) != 0) {
    std::fprintf(stderr, "servalo: %s is from another build of the program and was not used: it was built as %s, "
                 "the program as %s\n", path.c_str(), moduleBuild ? moduleBuild : "(none)", RuntimeModuleBuild());
    return nullptr;
  }
  if (!entry) std::fprintf(stderr, "servalo: %s gave no entry\n", path.c_str());
  return entry;
}

}  // namespace

const char* RuntimeModuleBuild() { return SERVALO_MODULE_BUILD; }

std::string RuntimeModuleFolder() {
  const Loader& loader = TheLoader();
  return loader.folder.empty() ? ProgramModuleFolder() : loader.folder;
}

void RuntimeSetModuleFolder(const std::string& folder) {
  Loader& loader = TheLoader();
  loader.folder = folder;
  loader.loaded.clear();
}

void* RuntimeLoadModule(const std::string& name) {
  // Loaded at most once; a module that failed is not tried again.
  Loader& loader = TheLoader();
  if (auto found = loader.loaded.find(name); found != loader.loaded.end()) return found->second;
  void* entry = LoadEntry(RuntimeModuleFolder(), name);
  loader.loaded[name] = entry;
  return entry;
}
