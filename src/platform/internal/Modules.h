// Modules of the platform: parts that only one command uses (printing,
// the HTTP client) live in shared libraries of their own, loaded the first
// time they are needed, so that start-up does not load the Qt libraries
// behind them and theirs in turn.
//
// A module is libservalo-<name>.so, found through the program's run path:
// beside the program in the build tree, in lib/servalo of an install. Its
// one exported function, servalo_<name>_module, returns its entry object,
// which lives until the process ends. A module refers to Qt only, never to
// the program, so it can be built and loaded on its own.
#pragma once

#include <string>

#define SERVALO_MODULE_ENTRY(name) extern "C" __attribute__((visibility("default"))) void* servalo_##name##_module()

// The entry object of module name, loaded on the first call; nullptr when
// the module cannot be loaded, after the reason went to standard error
// (once).
void* RuntimeLoadModule(const std::string& name);

template <class Entry>
Entry* RuntimeModule(const std::string& name) {
  return static_cast<Entry*>(RuntimeLoadModule(name));
}
