#include "platform/testing/FileFakes.h"

const char* FileStepName(FileStep step) {
  switch (step) {
    case FileStep::CreateFolders: return "CreateFolders";
    case FileStep::Create: return "Create";
    case FileStep::Write: return "Write";
    case FileStep::Sync: return "Sync";
    case FileStep::Close: return "Close";
    case FileStep::Rename: return "Rename";
    case FileStep::SyncFolder: return "SyncFolder";
  }
  return "?";
}

bool FaultyFileSystem::Enter(FileStep step) {
  steps.push_back(step);
  if (beforeStep) beforeStep(step);
  const int call = ++calls_[step];
  return failing_ && step == failStep_ && call >= failFrom_;
}

bool FaultyFileSystem::CreateFolders(const std::string& path) {
  if (Enter(FileStep::CreateFolders)) return false;
  return desktop().CreateFolders(path);
}

IFileSystem::Handle FaultyFileSystem::CreateNew(const std::string& path) {
  if (Enter(FileStep::Create)) return kNoHandle;
  return desktop().CreateNew(path);
}

bool FaultyFileSystem::Write(Handle file, const char* data, size_t size) {
  if (Enter(FileStep::Write)) {
    desktop().Write(file, data, size / 2);
    return false;
  }
  return desktop().Write(file, data, size);
}

bool FaultyFileSystem::Sync(Handle file) {
  if (Enter(FileStep::Sync)) return false;
  return desktop().Sync(file);
}

bool FaultyFileSystem::CloseHandle(Handle file) {
  // The descriptor is released even when the close is made to fail, as a
  // real late write error does.
  const bool fail = Enter(FileStep::Close);
  const bool closed = desktop().CloseHandle(file);
  return closed && !fail;
}

bool FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
  if (Enter(FileStep::Rename)) return false;
  return desktop().Rename(from, to);
}

bool FaultyFileSystem::SyncFolder(const std::string& path) {
  if (Enter(FileStep::SyncFolder)) return false;
  return desktop().SyncFolder(path);
}

bool MemoryFileSystem::ReadStart(const std::string& path, size_t maxBytes, std::string& bytes) {
  const auto it = files.find(path);
  if (it == files.end()) return false;
  bytes = it->second.substr(0, maxBytes);
  return true;
}
