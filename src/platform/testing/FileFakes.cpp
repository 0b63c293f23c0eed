#include "platform/testing/FileFakes.h"

const char* FileStepName(FileStep step) {
  switch (step) {
    case FileStep::CreateFolders: return "CreateFolders";
    case FileStep::Create: return "Create";
    case FileStep::Group: return "Group";
    case FileStep::Mode: return "Mode";
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

IFileSystem::Handle FaultyFileSystem::CreateNew(const std::string& path, uint32_t mode) {
  if (Enter(FileStep::Create)) return kNoHandle;
  return desktop().CreateNew(path, mode);
}

bool FaultyFileSystem::SetGroup(Handle file, uint32_t group) {
  if (Enter(FileStep::Group)) return false;
  return desktop().SetGroup(file, group);
}

bool FaultyFileSystem::SetMode(Handle file, uint32_t mode) {
  if (Enter(FileStep::Mode)) return false;
  return desktop().SetMode(file, mode);
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

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool MemoryFileSystem::ReadStart(const std::string& path, size_t maxBytes, std::string& bytes) {
  const auto it = files.find(path);
  if (it == files.end()) return false;
  bytes = it->second.bytes.substr(0, maxBytes);
  return true;
}

bool MemoryFileSystem::Delete(const std::string& path) {
  if (folders.count(path)) {
    const std::string inside = path + "/";
    for (const auto& [name, file] : files)
      if (name.compare(0, inside.size(), inside) == 0) return false;
    folders.erase(path);
    return true;
  }
  if (!files.erase(path)) return false;
  Changed();
  return true;
}

bool MemoryFileSystem::AccessOf(const std::string& path, Access& access) {
  const auto it = files.find(path);
  if (it == files.end()) return false;
  access = {it->second.mode, it->second.group};
  return true;
}

bool MemoryFileSystem::CreateFolders(const std::string& path) {
  for (std::string at = path; !at.empty() && at != "/" && at != "."; at = FolderOf(at)) {
    if (files.count(at)) return false;
    folders.insert(at);
  }
  return true;
}

IFileSystem::Handle MemoryFileSystem::CreateNew(const std::string& path, uint32_t mode) {
  if (files.count(path) || folders.count(path) || !folders.count(FolderOf(path))) return kNoHandle;
  files[path] = File({}, mode & 07777 & ~umask, group);
  const Handle handle = next_++;
  open_[handle] = path;
  Changed();
  return handle;
}

MemoryFileSystem::File* MemoryFileSystem::OpenFile(Handle file) {
  const auto handle = open_.find(file);
  if (handle == open_.end()) return nullptr;
  const auto it = files.find(handle->second);
  return it == files.end() ? nullptr : &it->second;
}

bool MemoryFileSystem::SetGroup(Handle file, uint32_t newGroup) {
  File* f = OpenFile(file);
  if (!f || !memberOf.count(newGroup)) return false;
  f->group = newGroup;
  Changed();
  return true;
}

bool MemoryFileSystem::SetMode(Handle file, uint32_t mode) {
  File* f = OpenFile(file);
  if (!f) return false;
  f->mode = mode & 07777;
  Changed();
  return true;
}

bool MemoryFileSystem::Write(Handle file, const char* data, size_t size) {
  File* f = OpenFile(file);
  if (!f) return false;
  f->bytes.append(data, size);
  Changed();
  return true;
}

bool MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
  const auto it = files.find(from);
  if (it == files.end() || folders.count(to) || !folders.count(FolderOf(to))) return false;
  File moved = std::move(it->second);
  files.erase(it);
  files[to] = std::move(moved);
  for (auto& [handle, path] : open_)
    if (path == from) path = to;
  Changed();
  return true;
}

std::vector<std::string> MemoryFileSystem::FileNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& [path, file] : files)
    if (FolderOf(path) == folder) names.push_back(path.substr(folder == "/" ? 1 : folder.size() + 1));
  return names;
}

bool MemoryFileSystem::SecondsSinceChange(const std::string& path, int64_t& seconds) {
  if (!files.count(path)) return false;
  seconds = 0;  // every file here is fresh
  return true;
}
