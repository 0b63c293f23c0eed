// Files: the user's preferences folder, the items in a folder, and text
// streams that read and write them.
//
// Every disk operation goes through a small file-system service, so that a
// test can make any step fail or stop; the desktop's service works on the
// real disk.
//
// A text file is written safely: CreateTextFile gives a stream that writes
// to a new file of its own beside the target, and Close completes that file
// on the disk and only then puts it in the target's place, in one step. Until
// Close succeeds the earlier file stays exactly as it was, and a failure at
// any step leaves it so. A save killed before that step leaves its new file
// behind; CreateTextFile removes those of the same target that have stood
// for some minutes (a fresh one may be a running copy's save in progress).
//
// The new file takes over the earlier one's permission bits and, where the
// process may give it that group, its group; at no moment is it open to
// anyone the earlier file was closed to. A file written where none stood
// gets the usual mode of a new file (0666 less the umask).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IFileSystem {
 public:
  using Handle = int;  // a file open for writing; -1 is none
  static constexpr Handle kNoHandle = -1;

  // Who may do what with a file.
  struct Access {
    uint32_t mode = 0;   // the permission bits, 07777
    uint32_t group = 0;  // the group's id
  };

  virtual ~IFileSystem() = default;
  // The per-user configuration folder; empty when the platform gives none.
  virtual std::string PreferencesPath() = 0;
  virtual bool Exists(const std::string& path) = 0;
  // Removes a file, or a folder that is empty.
  virtual bool Delete(const std::string& path) = 0;
  // At most maxBytes from the start of a regular file; false when the path
  // is no regular file or cannot be read.
  virtual bool ReadStart(const std::string& path, size_t maxBytes, std::string& bytes) = 0;
  // The file a symbolic link finally leads to; the path itself when it is no
  // link or leads nowhere.
  virtual std::string ResolveLinks(const std::string& path) = 0;
  // Creates the folder and every missing folder above it.
  virtual bool CreateFolders(const std::string& path) = 0;
  // The permission bits and group of a file, a link followed; false when
  // there is none.
  virtual bool AccessOf(const std::string& path, Access& access) = 0;
  // Creates a file that must not exist yet, with the permission bits of
  // mode less the umask, and opens it for writing.
  virtual Handle CreateNew(const std::string& path, uint32_t mode) = 0;
  // Gives the open file to a group; its owner stays. False when the
  // process may not.
  virtual bool SetGroup(Handle file, uint32_t group) = 0;
  // Sets the open file's permission bits (07777) as they are, the umask
  // aside.
  virtual bool SetMode(Handle file, uint32_t mode) = 0;
  // Writes all of the bytes.
  virtual bool Write(Handle file, const char* data, size_t size) = 0;
  // Puts what was written on the disk.
  virtual bool Sync(Handle file) = 0;
  // Closes the file; false when the system reports a late write error.
  virtual bool CloseHandle(Handle file) = 0;
  // Puts from in the place of to in one step, replacing what stood there.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  // Puts the folder's list of names on the disk.
  virtual bool SyncFolder(const std::string& path) = 0;
  // The names of the regular files in a folder, hidden ones too (a link is
  // not followed, and is no regular file); empty when it cannot be read.
  virtual std::vector<std::string> FileNames(const std::string& folder) = 0;
  // The seconds since the file (not what a link leads to) was last
  // changed; negative when that lies ahead of the clock. False when it
  // cannot be told.
  virtual bool SecondsSinceChange(const std::string& path, int64_t& seconds) = 0;
};

// The service in use: the desktop's unless a test installed another.
IFileSystem& RuntimeFileSystem();
IFileSystem& RuntimeDesktopFileSystem();
void RuntimeSetFileSystem(IFileSystem* service);  // nullptr: the desktop's again

class TextInputStream;
class TextOutputStream;

// A file or folder named by its path; it need not exist.
class FolderItem {
 public:
  explicit FolderItem(std::string path);

  std::string NativePath() const { return path_; }
  // The item of that name in this folder, whether it exists or not; null for
  // a name that is no single item ("", ".", "..", or one holding a "/").
  std::unique_ptr<FolderItem> Child(const std::string& name) const;
  bool Exists() const;
  // Removes the file; false when it could not.
  bool Delete() const;
  // A stream that reads the file from its start; null when the file does not
  // exist, is no regular file or cannot be read.
  std::unique_ptr<TextInputStream> OpenAsTextFile() const;
  // A stream that writes a new, empty file of this name (see the top of this
  // header); a missing folder is created, and what cut-short saves of this
  // file left behind is removed. Null when the file cannot be created. A
  // symbolic link stays in place: the file it leads to is replaced, and its
  // mode and group are what the new file takes over.
  std::unique_ptr<TextOutputStream> CreateTextFile() const;

 private:
  std::string path_;
};

// Reads lines of UTF-8 text. Lines may end in "\n", "\r\n" or "\r"; a
// byte-order mark at the start of the file is skipped; a byte sequence that
// is not valid UTF-8 reads as U+FFFD. Only the first kMostBytes of a file are
// read, so a huge or endless file cannot exhaust memory; when a file is
// longer, the line that the limit cuts through is not read either.
class TextInputStream {
 public:
  static constexpr size_t kMostBytes = size_t(1) << 20;

  // True once no further line can be read. (EOF is a macro of the C
  // library, hence the longer name.)
  bool EndOfFile() const;
  // The next line without its delimiter; empty for an empty line or at the
  // end.
  std::string ReadLine();
  void Close();

 private:
  friend class FolderItem;
  explicit TextInputStream(std::string bytes);

  std::string bytes_;
  size_t at_ = 0;
  bool closed_ = false;
};

// Writes lines, each followed by the platform's line delimiter, to a new
// file that takes the target's place when Close succeeds. A stream that is
// destroyed without Close leaves the target as it was.
class TextOutputStream {
 public:
  static constexpr const char* kDelimiter = "\n";

  ~TextOutputStream();
  TextOutputStream(const TextOutputStream&) = delete;
  TextOutputStream& operator=(const TextOutputStream&) = delete;

  void WriteLine(const std::string& text);
  // Completes the file and puts it in place of the earlier one. False when
  // that failed: the earlier file is then unchanged and the new one gone.
  bool Close();

 private:
  friend class FolderItem;
  TextOutputStream(std::string target, std::string temporary, IFileSystem::Handle file);
  void Discard();

  std::string target_, temporary_;
  IFileSystem::Handle file_;
  bool failed_ = false, done_ = false;
};

// The platform's special folders.
struct SpecialFolderObject {
  // The current user's preferences folder; null when the platform has none.
  std::unique_ptr<FolderItem> Preferences() const;
};
inline constexpr SpecialFolderObject SpecialFolder{};
