// The file-system layer: what the component asks of the platform's file system, behind one small
// interface. The engine lists folders (every entry, or the files that match a wildcard such as
// "*.mdb"), asks for a path's attributes and whether two paths reach one file; the folder
// searches that propose replacement back ends are built on these calls and nothing else, so a
// test can put a failing or scripted file system underneath them.
//
// Attributes are the classic bit mask (read-only 1, hidden 2, system 4, folder 16, archive 32)
// that listings are filtered by, mapped onto POSIX as follows: a folder is a directory; a file
// or folder without any write permission bit is read-only (the bits, not access(2), so the
// answer does not depend on who asks: tests run as root); a name beginning with "." is hidden;
// FIFOs, sockets and devices are system entries. A symbolic link carries the attributes of what
// it points at plus kSymbolicLink, so a caller walking a tree can decline to follow links to
// folders (a link loop would otherwise never end); a dangling link is not listed at all.
//
// Listings come back whole and sorted by name (ignoring case, then exactly), so a caller may
// recurse while it walks one and results do not depend on the order the directory happens to
// return. A folder that does not exist or cannot be read lists as empty, with the reason in
// ListResult::error; callers that search treat it as a folder with nothing in it.
//
// Whole-drive searches use a second, leaner way in: a find enumeration (Find) hands out one
// folder's entries in the order the file system gives them, unsorted and without examining each
// file, because a search of a disk meets millions of entries and needs only names and kinds.
//
// Drives on this platform. A "drive" is where users keep files: the home folder ($HOME, with
// links resolved), unless it is itself a mount point, followed by the mount points of real file
// systems in mount-table order. Kernel and virtual file systems (proc, sysfs, cgroup, devpts
// and the like; tmpfs holds real files and stays) and anything mounted under /proc, /sys, /dev or
// /run (except /run/media, where removable media appear) are left out. Each drive is one file
// system: a search of one never enters another mount point below it, since that one is a drive of
// its own (or is not one a user keeps files on). The mount table comes through Mounts, so tests can
// give both lists.
//
// Threading: each thread has its own current FileSystem (setCurrent); the default one is
// stateless and serves any number of threads.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace vfs {

// Attribute bits.
inline constexpr unsigned kReadOnly = 1;
inline constexpr unsigned kHidden = 2;
inline constexpr unsigned kSystem = 4;
inline constexpr unsigned kDirectory = 16;
inline constexpr unsigned kArchive = 32;
// Not a classic listing bit (listing masks ignore it): the entry is a symbolic link.
inline constexpr unsigned kSymbolicLink = 1024;

// Masks callers use: every entry, folders included (55), and files only (39).
inline constexpr unsigned kAllEntries = kReadOnly | kHidden | kSystem | kDirectory | kArchive;
inline constexpr unsigned kAllFiles = kReadOnly | kHidden | kSystem | kArchive;

struct Entry {
  std::string name;  // the name inside its folder, never "." or ".."
  unsigned attributes = 0;
  std::uint64_t size = 0;  // bytes, for files
};

struct ListResult {
  std::vector<Entry> entries;
  std::error_code error;  // why the folder could not be listed; entries is then empty
};

// Whether an entry with attributes passes a listing mask, as the classic listing decides: hidden,
// system and folder entries are listed only when the mask asks for them; read-only and archive
// entries are listed like plain files.
bool passesMask(unsigned attributes, unsigned mask);

// Wildcard match of a file name: "*" any run of characters, "?" one character, everything else
// itself with ASCII letters compared ignoring case. "*.mdb" matches "Sales.MDB".
bool matchesPattern(std::string_view name, std::string_view pattern);

// One entry of a find enumeration. Only kind bits are reported: kDirectory, kSystem (a FIFO,
// socket or device: not a regular file), kHidden (the name begins with ".") and kSymbolicLink
// with the kind of what the link reaches; a dangling link is not reported. Read-only is not
// known here (finding it would mean examining every file).
struct FindData {
  std::string name;  // never "." or ".."; any bytes but "/" and NUL
  unsigned attributes = 0;
};

// An open enumeration of one folder; closing it is destroying it.
class FindEnumeration {
 public:
  FindEnumeration() = default;
  virtual ~FindEnumeration() = default;
  FindEnumeration(const FindEnumeration&) = delete;
  FindEnumeration& operator=(const FindEnumeration&) = delete;
  // Fills entry with the next entry and returns true; false at the end, or when reading fails
  // part way (a vanished mount): what was read stands.
  virtual bool Next(FindData& entry) = 0;
};

// One row of the mount table: where a file system is mounted, with its trailing "/", and its
// type ("ext4", "proc", "fuse.sshfs").
struct Mount {
  std::string point;
  std::string type;
  bool operator==(const Mount&) const = default;
};

// The drive list described at the top, from a mount table and the home folder ("" for none,
// with or without its trailing "/"). Each entry ends with "/"; none is listed twice.
std::vector<std::string> driveList(const std::vector<Mount>& mounts, const std::string& home);

class FileSystem {
 public:
  FileSystem() = default;
  virtual ~FileSystem() = default;
  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;

  // The entries of folder (with or without its trailing separator) whose names match pattern
  // and whose attributes pass mask, sorted by name. Never throws for a missing or unreadable
  // folder: the result is empty and error says why.
  virtual ListResult List(const std::string& folder, const std::string& pattern, unsigned mask) = 0;

  // The attributes of path (a symbolic link: its target's, plus kSymbolicLink), or nullopt when
  // nothing is there.
  virtual std::optional<unsigned> Attributes(const std::string& path) = 0;

  // The length of a file in bytes, or nullopt when there is no such file.
  virtual std::optional<std::uint64_t> FileLength(const std::string& path) = 0;

  // The roots a whole-disk search starts from, each with its trailing separator: driveList of
  // the mount table and the home folder.
  virtual std::vector<std::string> Drives() = 0;

  // Every row of the mount table, virtual file systems included; empty when it cannot be read.
  virtual std::vector<Mount> Mounts() = 0;

  // Opens folder (with or without its trailing separator) for a find enumeration; nullptr, with
  // the reason in error, when it cannot be opened.
  virtual std::unique_ptr<FindEnumeration> Find(const std::string& folder,
                                                std::error_code& error) = 0;

  // True when a and b both exist and are one file (the same device and inode, links followed):
  // a hard link, a symbolic link or another spelling of a path is the file it reaches. False
  // when either is missing or cannot be examined.
  virtual bool SameFile(const std::string& a, const std::string& b) = 0;
};

// The platform's own file system.
FileSystem& native();

// Forwards every call to another file system. Tests subclass it and override one call to
// inject a fault (a folder that cannot be read, say) while everything else stays real.
class FileSystemWrapper : public FileSystem {
 public:
  explicit FileSystemWrapper(FileSystem& target) : target_(target) {}
  FileSystem& target() const { return target_; }

  ListResult List(const std::string& folder, const std::string& pattern, unsigned mask) override {
    return target_.List(folder, pattern, mask);
  }
  std::optional<unsigned> Attributes(const std::string& path) override {
    return target_.Attributes(path);
  }
  std::optional<std::uint64_t> FileLength(const std::string& path) override {
    return target_.FileLength(path);
  }
  std::vector<std::string> Drives() override { return target_.Drives(); }
  std::vector<Mount> Mounts() override { return target_.Mounts(); }
  std::unique_ptr<FindEnumeration> Find(const std::string& folder,
                                        std::error_code& error) override {
    return target_.Find(folder, error);
  }
  bool SameFile(const std::string& a, const std::string& b) override {
    return target_.SameFile(a, b);
  }

 private:
  FileSystem& target_;
};

// The calling thread's file system: native() unless setCurrent chose another.
FileSystem& current();
// Makes fileSystem the thread's current one (nullptr restores native()). The caller keeps
// ownership and must keep it alive while it is current.
void setCurrent(FileSystem* fileSystem);

// Makes a file system current for a scope and restores the previous one at its end.
class ScopedFileSystem {
 public:
  explicit ScopedFileSystem(FileSystem& fileSystem);
  ~ScopedFileSystem();
  ScopedFileSystem(const ScopedFileSystem&) = delete;
  ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

 private:
  FileSystem* previous_;
};

}  // namespace vfs
