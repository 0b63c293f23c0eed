// Test doubles for the file system. Each installs itself while it lives.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Files.h"

// The steps of writing a file, as the file system sees them.
enum class FileStep { CreateFolders, Create, Group, Mode, Write, Sync, Close, Rename, SyncFolder };
const char* FileStepName(FileStep step);

// The desktop's file system, with a failure at a chosen step and a hook run
// before every step. A failing Write puts half of its bytes on the disk
// first, as a full disk would.
class FaultyFileSystem : public IFileSystem {
 public:
  FaultyFileSystem() { RuntimeSetFileSystem(this); }
  ~FaultyFileSystem() override { RuntimeSetFileSystem(nullptr); }

  // Fail this step from its failFrom-th call (1: the first) on.
  void FailAt(FileStep step, int failFrom = 1) {
    failing_ = true;
    failStep_ = step;
    failFrom_ = failFrom;
  }
  std::function<void(FileStep)> beforeStep;
  std::vector<FileStep> steps;  // every step asked for, in order

  std::string PreferencesPath() override { return desktop().PreferencesPath(); }
  bool Exists(const std::string& path) override { return desktop().Exists(path); }
  bool Delete(const std::string& path) override { return desktop().Delete(path); }
  bool ReadStart(const std::string& path, size_t maxBytes, std::string& bytes) override {
    return desktop().ReadStart(path, maxBytes, bytes);
  }
  std::string ResolveLinks(const std::string& path) override { return desktop().ResolveLinks(path); }
  bool AccessOf(const std::string& path, Access& access) override { return desktop().AccessOf(path, access); }
  bool CreateFolders(const std::string& path) override;
  Handle CreateNew(const std::string& path, uint32_t mode) override;
  bool SetGroup(Handle file, uint32_t group) override;
  bool SetMode(Handle file, uint32_t mode) override;
  bool Write(Handle file, const char* data, size_t size) override;
  bool Sync(Handle file) override;
  bool CloseHandle(Handle file) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool SyncFolder(const std::string& path) override;
  std::vector<std::string> FileNames(const std::string& folder) override { return desktop().FileNames(folder); }
  bool SecondsSinceChange(const std::string& path, int64_t& seconds) override {
    return desktop().SecondsSinceChange(path, seconds);
  }

 private:
  static IFileSystem& desktop() { return RuntimeDesktopFileSystem(); }
  // Records the step, runs the hook; true when the step is to fail.
  bool Enter(FileStep step);
  bool failing_ = false;
  FileStep failStep_ = FileStep::Create;
  int failFrom_ = 1;
  std::map<FileStep, int> calls_;
};

// Files and folders held in memory, each file with a mode and a group, in
// place of the disk. New files get the mode asked for less `umask`, and
// `group`; the process may give a file only a group in `memberOf`.
class MemoryFileSystem : public IFileSystem {
 public:
  struct File {
    File(std::string b = {}, uint32_t m = 0644, uint32_t g = kOwnGroup) : bytes(std::move(b)), mode(m), group(g) {}
    std::string bytes;
    uint32_t mode;
    uint32_t group;
  };
  static constexpr uint32_t kOwnGroup = 1000;

  MemoryFileSystem() { RuntimeSetFileSystem(this); }
  ~MemoryFileSystem() override { RuntimeSetFileSystem(nullptr); }

  std::string preferences = "/memory/prefs";
  std::map<std::string, File> files;  // by path
  std::set<std::string> folders{"/", "/memory", "/memory/prefs"};
  uint32_t umask = 022;
  uint32_t group = kOwnGroup;
  std::set<uint32_t> memberOf{kOwnGroup};
  // Run after every change to a file: its creation, a write, a new group
  // or mode, a rename, a removal.
  std::function<void()> afterChange;

  std::string PreferencesPath() override { return preferences; }
  bool Exists(const std::string& path) override { return files.count(path) > 0 || folders.count(path) > 0; }
  bool Delete(const std::string& path) override;
  bool ReadStart(const std::string& path, size_t maxBytes, std::string& bytes) override;
  std::string ResolveLinks(const std::string& path) override { return path; }
  bool AccessOf(const std::string& path, Access& access) override;
  bool CreateFolders(const std::string& path) override;
  Handle CreateNew(const std::string& path, uint32_t mode) override;
  bool SetGroup(Handle file, uint32_t group) override;
  bool SetMode(Handle file, uint32_t mode) override;
  bool Write(Handle file, const char* data, size_t size) override;
  bool Sync(Handle file) override { return open_.count(file) > 0; }
  bool CloseHandle(Handle file) override { return open_.erase(file) > 0; }
  bool Rename(const std::string& from, const std::string& to) override;
  bool SyncFolder(const std::string& path) override { return folders.count(path) > 0; }
  std::vector<std::string> FileNames(const std::string& folder) override;
  bool SecondsSinceChange(const std::string& path, int64_t& seconds) override;

 private:
  File* OpenFile(Handle file);
  void Changed() {
    if (afterChange) afterChange();
  }
  std::map<Handle, std::string> open_;  // open handles and their files' paths
  Handle next_ = 3;
};
