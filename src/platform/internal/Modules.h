// Modules of the platform: parts that only one command uses (printing,
// the HTTP client) live in shared libraries of their own, loaded the first
// time they are needed, so that start-up does not load the Qt libraries
// behind them and theirs in turn.
//
// A module is libservalo-<name>.so in the program's module folder, which is
// found from where the program itself lies: beside it in the build tree, in
// lib/servalo of an install. Never through the working folder or a search
// path: a library found there would run inside the program.
//
// Program and module meet through interfaces (NetModule.h, PrintModule.h)
// that both must have been built with. So the one function a module
// exports, servalo_<name>_module_for_build, is given the program's build
// identity and hands out the entry object only when the module was built
// with the same; it also reports its own, which the program compares in
// turn. A module from another build (say one an older install left behind,
// which has no such function) is refused just like a missing one. The entry
// object lives until the process ends. A module refers to Qt only, never to
// the program, so it can be built and loaded on its own.
#pragma once

#include <cstring>
#include <string>

// What a module exports: the entry object when programBuild is the build
// the module comes from, else nullptr; *moduleBuild is set to the module's
// build in both cases.
using ModuleEntryFunction = void* (*)(const char* programBuild, const char** moduleBuild);

// Defines a module's entry: follow it with the body of a function that
// returns the entry object. SERVALO_MODULE_BUILD, the build identity, is
// set by the build for the program and its modules alike.
#define SERVALO_MODULE_ENTRY(name)                                                                    \
  static void* servalo_##name##_entry();                                                              \
  extern "C" __attribute__((visibility("default"))) void* servalo_##name##_module_for_build(          \
      const char* programBuild, const char** moduleBuild) {                                           \
    *moduleBuild = SERVALO_MODULE_BUILD;                                                              \
    return std::strcmp(programBuild, SERVALO_MODULE_BUILD) == 0 ? servalo_##name##_entry() : nullptr; \
  }                                                                                                   \
  static void* servalo_##name##_entry()

// The name of the function that module name exports.
inline std::string ModuleEntryName(const std::string& name) { return "servalo_" + name + "_module_for_build"; }

// The entry object of module name, loaded on the first call; nullptr when
// the module cannot be loaded or comes from another build, after the
// reason went to standard error (once).
void* RuntimeLoadModule(const std::string& name);

template <class Entry>
Entry* RuntimeModule(const std::string& name) {
  return static_cast<Entry*>(RuntimeLoadModule(name));
}

// This program's build identity.
const char* RuntimeModuleBuild();

// The folder modules are loaded from.
std::string RuntimeModuleFolder();

// For test programs, which do not lie beside the modules: load modules from
// folder from now on (empty: the program's own folder again). What was
// loaded is forgotten, so the next use loads anew from there; libraries
// already open stay open, and the entries handed out stay valid.
void RuntimeSetModuleFolder(const std::string& folder);
