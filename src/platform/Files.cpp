#include "platform/Files.h"

#include "platform/Text.h"

#include <QFile>
#include <QStandardPaths>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// ---- The desktop's file system: POSIX calls on the real disk.

class DesktopFileSystem : public IFileSystem {
 public:
  std::string PreferencesPath() override {
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QFile::encodeName(path).toStdString();
  }

  bool Exists(const std::string& path) override {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
  }

  bool Delete(const std::string& path) override {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return false;
    return (S_ISDIR(st.st_mode) ? ::rmdir(path.c_str()) : ::unlink(path.c_str())) == 0;
  }

  bool ReadStart(const std::string& path, size_t maxBytes, std::string& bytes) override {
    bytes.clear();
    // Not blocking: a pipe put in the file's place must not hang the start.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return false;
    }
    bool ok = true;
    char buffer[16384];
    while (bytes.size() < maxBytes) {
      const size_t want = std::min(sizeof buffer, maxBytes - bytes.size());
      const ssize_t got = ::read(fd, buffer, want);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) { ok = false; break; }
      if (got == 0) break;
      bytes.append(buffer, size_t(got));
    }
    ::close(fd);
    if (!ok) bytes.clear();
    return ok;
  }

  std::string ResolveLinks(const std::string& path) override {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved)) return path;
    return resolved;
  }

  bool CreateFolders(const std::string& path) override {
    if (path.empty()) return false;
    for (size_t at = path.find('/', 1);; at = path.find('/', at + 1)) {
      const std::string part = path.substr(0, at);
      // A new preferences folder is private to its user.
      if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
      if (at == std::string::npos) break;
    }
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

  bool AccessOf(const std::string& path, Access& access) override {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    access.mode = uint32_t(st.st_mode) & 07777;
    access.group = uint32_t(st.st_gid);
    return true;
  }

  Handle CreateNew(const std::string& path, uint32_t mode) override {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, static_cast<mode_t>(mode & 07777));
    return fd < 0 ? kNoHandle : fd;
  }

  bool SetGroup(Handle file, uint32_t group) override {
    return ::fchown(file, static_cast<uid_t>(-1), static_cast<gid_t>(group)) == 0;
  }

  bool SetMode(Handle file, uint32_t mode) override {
    return ::fchmod(file, static_cast<mode_t>(mode & 07777)) == 0;
  }

  bool Write(Handle file, const char* data, size_t size) override {
    while (size > 0) {
      const ssize_t put = ::write(file, data, size);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return false;
      data += put;
      size -= size_t(put);
    }
    return true;
  }

  bool Sync(Handle file) override {
#ifdef F_FULLFSYNC
    // macOS: fsync alone leaves the data in the drive's cache.
    if (::fcntl(file, F_FULLFSYNC) == 0) return true;
#endif
    return ::fsync(file) == 0;
  }

  bool CloseHandle(Handle file) override {
    // On Linux the descriptor is gone even when close reports EINTR.
    return ::close(file) == 0 || errno == EINTR;
  }

  bool Rename(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0;
  }

  bool SyncFolder(const std::string& path) override {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
  }

  std::vector<std::string> FileNames(const std::string& folder) override {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      struct stat st;
      if (::fstatat(::dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
        names.push_back(name);
    }
    ::closedir(dir);
    return names;
  }

  bool SecondsSinceChange(const std::string& path, int64_t& seconds) override {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return false;
    seconds = int64_t(::time(nullptr)) - int64_t(st.st_mtime);
    return true;
  }
};

IFileSystem* installed = nullptr;

std::string ParentOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name beside the target that no reader takes for it: hidden, with a
// random part of 16 hexadecimal digits and its own extension:
// ".servalo.txt.0123456789abcdef.tmp".
constexpr size_t kRandomDigits = 16;
constexpr const char* kTemporaryExtension = ".tmp";

std::string TemporaryNameFor(const std::string& target) {
  std::random_device entropy;
  const unsigned long long random = (static_cast<unsigned long long>(entropy()) << 32) ^ entropy();
  char part[kRandomDigits + 1];
  std::snprintf(part, sizeof part, "%016llx", random);
  return ParentOf(target) + "/." + NameOf(target) + "." + part + kTemporaryExtension;
}

bool IsTemporaryNameOf(const std::string& name, const std::string& targetName) {
  const std::string head = "." + targetName + ".", tail = kTemporaryExtension;
  if (name.size() != head.size() + kRandomDigits + tail.size()) return false;
  if (name.compare(0, head.size(), head) != 0) return false;
  if (name.compare(name.size() - tail.size(), tail.size(), tail) != 0) return false;
  return std::all_of(name.begin() + std::ptrdiff_t(head.size()), name.end() - std::ptrdiff_t(tail.size()),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

constexpr uint32_t kNewFileMode = 0666;  // less the umask, as any new file
constexpr uint32_t kOwnerBits = 0700, kGroupBits = 0070;

// A save is a matter of milliseconds; a temporary file that has stood this
// long belongs to a save that was cut short, not to one still running.
constexpr int64_t kStaleAfterSeconds = 5 * 60;

void RemoveStaleTemporaries(IFileSystem& fs, const std::string& target) {
  const std::string folder = ParentOf(target), targetName = NameOf(target);
  for (const std::string& name : fs.FileNames(folder)) {
    if (!IsTemporaryNameOf(name, targetName)) continue;
    const std::string path = folder + "/" + name;
    int64_t age = 0;
    if (fs.SecondsSinceChange(path, age) && age >= kStaleAfterSeconds) fs.Delete(path);
  }
}


}  // namespace

IFileSystem& RuntimeDesktopFileSystem() {
  static DesktopFileSystem desktop;
  return desktop;
}

IFileSystem& RuntimeFileSystem() { return installed ? *installed : RuntimeDesktopFileSystem(); }

void RuntimeSetFileSystem(IFileSystem* service) { installed = service; }

// ---- Items

FolderItem::FolderItem(std::string path) : path_(std::move(path)) {}

std::unique_ptr<FolderItem> FolderItem::Child(const std::string& name) const {
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
      name.find('\0') != std::string::npos)
    return nullptr;
  const bool endsInSlash = !path_.empty() && path_.back() == '/';
  return std::make_unique<FolderItem>(path_ + (endsInSlash ? "" : "/") + name);
}

bool FolderItem::Exists() const { return RuntimeFileSystem().Exists(path_); }

bool FolderItem::Delete() const { return RuntimeFileSystem().Delete(path_); }

std::unique_ptr<TextInputStream> FolderItem::OpenAsTextFile() const {
  std::string bytes;
  if (!RuntimeFileSystem().ReadStart(path_, TextInputStream::kMostBytes + 1, bytes)) return nullptr;
  if (bytes.size() > TextInputStream::kMostBytes) {
    // Cut at the limit: the line that runs past it is not read, so that no
    // value is taken from half a line.
    bytes.resize(TextInputStream::kMostBytes);
    const size_t lastEnd = bytes.find_last_of("\r\n");
    bytes.resize(lastEnd == std::string::npos ? 0 : lastEnd + 1);
  }
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  return std::unique_ptr<TextInputStream>(new TextInputStream(std::move(bytes)));
}

std::unique_ptr<TextOutputStream> FolderItem::CreateTextFile() const {
  IFileSystem& fs = RuntimeFileSystem();
  const std::string target = fs.ResolveLinks(path_);
  const std::string folder = ParentOf(target);
  if (!fs.Exists(folder) && !fs.CreateFolders(folder)) return nullptr;
  RemoveStaleTemporaries(fs, target);
  const std::string temporary = TemporaryNameFor(target);
  IFileSystem::Access earlier;
  if (!fs.AccessOf(target, earlier)) {
    const IFileSystem::Handle file = fs.CreateNew(temporary, kNewFileMode);
    if (file == IFileSystem::kNoHandle) return nullptr;
    return std::unique_ptr<TextOutputStream>(new TextOutputStream(target, temporary, file));
  }
  // The new file is born with no more than the owner's share of the earlier
  // one's bits, so that no one else can open it before it has the earlier
  // file's group and mode. The group goes first: a change of group clears
  // the set-id bits.
  const IFileSystem::Handle file = fs.CreateNew(temporary, earlier.mode & kOwnerBits);
  if (file == IFileSystem::kNoHandle) return nullptr;
  uint32_t mode = earlier.mode;
  // A group the process may not give it leaves the new file in the
  // process's own group, whose members the earlier file's group bits were
  // never meant for.
  if (!fs.SetGroup(file, earlier.group)) mode &= ~kGroupBits;
  // Should the mode not take (a file system without modes), the file keeps
  // the owner's bits it was born with: no more open than the earlier one.
  fs.SetMode(file, mode);
  return std::unique_ptr<TextOutputStream>(new TextOutputStream(target, temporary, file));
}

// ---- Reading

TextInputStream::TextInputStream(std::string bytes) : bytes_(std::move(bytes)) {}

bool TextInputStream::EndOfFile() const { return closed_ || at_ >= bytes_.size(); }

std::string TextInputStream::ReadLine() {
  if (EndOfFile()) return {};
  const size_t end = bytes_.find_first_of("\r\n", at_);
  const size_t stop = end == std::string::npos ? bytes_.size() : end;
  std::string line = ValidUtf8(bytes_.substr(at_, stop - at_));
  at_ = stop;
  if (at_ < bytes_.size()) {
    // "\r\n" is one delimiter.
    if (bytes_[at_] == '\r' && at_ + 1 < bytes_.size() && bytes_[at_ + 1] == '\n') ++at_;
    ++at_;
  }
  return line;
}

void TextInputStream::Close() {
  closed_ = true;
  std::string().swap(bytes_);
  at_ = 0;
}

// ---- Writing

TextOutputStream::TextOutputStream(std::string target, std::string temporary, IFileSystem::Handle file)
    : target_(std::move(target)), temporary_(std::move(temporary)), file_(file) {}

TextOutputStream::~TextOutputStream() {
  if (!done_) Discard();
}

void TextOutputStream::WriteLine(const std::string& text) {
  if (done_ || failed_) return;
  const std::string line = text + kDelimiter;
  if (!RuntimeFileSystem().Write(file_, line.data(), line.size())) failed_ = true;
}

bool TextOutputStream::Close() {
  if (done_) return false;
  IFileSystem& fs = RuntimeFileSystem();
  if (failed_ || !fs.Sync(file_)) {
    Discard();
    return false;
  }
  const bool closed = fs.CloseHandle(file_);
  file_ = IFileSystem::kNoHandle;
  if (!closed || !fs.Rename(temporary_, target_)) {
    Discard();
    return false;
  }
  done_ = true;
  // The new file is in place; a folder that cannot be synced only leaves
  // the rename to the system's next flush, and nothing can be undone here.
  fs.SyncFolder(ParentOf(target_));
  return true;
}

void TextOutputStream::Discard() {
  IFileSystem& fs = RuntimeFileSystem();
  if (file_ != IFileSystem::kNoHandle) fs.CloseHandle(file_);
  file_ = IFileSystem::kNoHandle;
  fs.Delete(temporary_);
  done_ = true;
}

// ---- Special folders

std::unique_ptr<FolderItem> SpecialFolderObject::Preferences() const {
  const std::string path = RuntimeFileSystem().PreferencesPath();
  if (path.empty()) return nullptr;
  return std::make_unique<FolderItem>(path);
}
