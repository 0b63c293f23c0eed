// Test doubles for the file system. Each installs itself while it lives.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Files.h"

// The steps of writing a file, as the file system sees them.
enum class FileStep { CreateFolders, Create, Write, Sync, Close, Rename, SyncFolder };
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
  bool CreateFolders(const std::string& path) override;
  Handle CreateNew(const std::string& path) override;
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

// Files held in memory, for reading only: nothing can be created.
class MemoryFileSystem : public IFileSystem {
 public:
  MemoryFileSystem() { RuntimeSetFileSystem(this); }
  ~MemoryFileSystem() override { RuntimeSetFileSystem(nullptr); }

  std::string preferences = "/memory/prefs";
  std::map<std::string, std::string> files;  // path -> bytes

  std::string PreferencesPath() override { return preferences; }
  bool Exists(const std::string& path) override { return files.count(path) > 0; }
  bool Delete(const std::string& path) override { return files.erase(path) > 0; }
  bool ReadStart(const std::string& path, size_t maxBytes, std::string& bytes) override;
  std::string ResolveLinks(const std::string& path) override { return path; }
  bool CreateFolders(const std::string&) override { return false; }
  Handle CreateNew(const std::string&) override { return kNoHandle; }
  bool Write(Handle, const char*, size_t) override { return false; }
  bool Sync(Handle) override { return false; }
  bool CloseHandle(Handle) override { return true; }
  bool Rename(const std::string&, const std::string&) override { return false; }
  bool SyncFolder(const std::string&) override { return false; }
  std::vector<std::string> FileNames(const std::string&) override { return {}; }
  bool SecondsSinceChange(const std::string&, int64_t&) override { return false; }
};
