// The POSIX file system behind vfs::native().
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <mntent.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "fs/fs.h"

namespace vfs {
namespace {

unsigned attributesOf(const std::string& name, const struct stat& st) {
  unsigned attributes = 0;
  if (S_ISDIR(st.st_mode))
    attributes |= kDirectory;
  if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) || S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) {
    attributes |= kSystem;
  }
  // The permission bits decide, not access(2): root may write anywhere, but a file nobody is
  // meant to write is still a read-only file to the user.
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
    attributes |= kReadOnly;
  if (!name.empty() && name[0] == '.')
    attributes |= kHidden;
  return attributes;
}

std::string baseName(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/')
    trimmed.pop_back();
  auto slash = trimmed.rfind('/');
  return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

// Attributes of what path names, following a final symbolic link; nullopt when nothing is there
// (a dangling link included).
std::optional<std::pair<unsigned, struct stat>> probe(int dirFd, const char* path,
                                                      const std::string& name) {
  struct stat st {};
  if (fstatat(dirFd, path, &st, AT_SYMLINK_NOFOLLOW) != 0)
    return std::nullopt;
  unsigned extra = 0;
  if (S_ISLNK(st.st_mode)) {
    if (fstatat(dirFd, path, &st, 0) != 0)
      return std::nullopt;
    extra = kSymbolicLink;
  }
  return std::make_pair(attributesOf(name, st) | extra, st);
}

// Names in the order a case-insensitive file system lists them, exact order breaking ties.
int compareIgnoringCase(const std::string& x, const std::string& y) {
  auto fold = [](char c) {
    return static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
  };
  std::size_t n = std::min(x.size(), y.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (fold(x[i]) != fold(y[i]))
      return fold(x[i]) < fold(y[i]) ? -1 : 1;
  }
  return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
}

bool nameLess(const Entry& a, const Entry& b) {
  int folded = compareIgnoringCase(a.name, b.name);
  return folded != 0 ? folded < 0 : a.name < b.name;
}

// A find enumeration over readdir. The kind comes from the directory entry itself where the file
// system records it, so a file is never examined; only links (and entries of file systems that
// do not record kinds) are looked at.
class NativeFind final : public FindEnumeration {
 public:
  explicit NativeFind(DIR* dir) : dir_(dir) {}
  ~NativeFind() override { closedir(dir_); }

  bool Next(FindData& entry) override {
    while (dirent* item = readdir(dir_)) {
      const char* name = item->d_name;
      if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
        continue;
      unsigned attributes = 0;
      switch (item->d_type) {
        case DT_REG:
          break;
        case DT_DIR:
          attributes = kDirectory;
          break;
        case DT_FIFO:
        case DT_SOCK:
        case DT_CHR:
        case DT_BLK:
          attributes = kSystem;
          break;
        default: {  // a link, or a kind the file system does not record
          auto found = probe(dirfd(dir_), name, "");
          if (!found)
            continue;
          attributes = found->first & (kDirectory | kSystem | kSymbolicLink);
        }
      }
      if (name[0] == '.')
        attributes |= kHidden;
      entry.name.assign(name);
      entry.attributes = attributes;
      return true;
    }
    return false;
  }

 private:
  DIR* dir_;
};

std::string homeFolder() {
  const char* home = getenv("HOME");
  if (home == nullptr || *home == '\0')
    return "";
  char resolved[PATH_MAX];
  return realpath(home, resolved) != nullptr ? resolved : "";
}

class NativeFileSystem final : public FileSystem {
 public:
  ListResult List(const std::string& folder, const std::string& pattern, unsigned mask) override {
    ListResult result;
    if (folder.empty()) {
      result.error = std::make_error_code(std::errc::no_such_file_or_directory);
      return result;
    }
    // O_NOFOLLOW is deliberately absent: the caller named this folder, and a folder given by
    // its link is still the folder the caller means. Walkers decline links below it.
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
      result.error = std::error_code(errno, std::generic_category());
      return result;
    }
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
      result.error = std::error_code(errno, std::generic_category());
      close(fd);
      return result;
    }
    errno = 0;
    while (dirent* item = readdir(dir)) {
      std::string name = item->d_name;
      if (name == "." || name == "..")
        continue;
      if (!matchesPattern(name, pattern))
        continue;
      auto found = probe(dirfd(dir), item->d_name, name);
      if (!found || !passesMask(found->first, mask))
        continue;
      Entry entry;
      entry.name = std::move(name);
      entry.attributes = found->first;
      if (S_ISREG(found->second.st_mode)) {
        entry.size = static_cast<std::uint64_t>(found->second.st_size);
      }
      result.entries.push_back(std::move(entry));
      errno = 0;
    }
    if (errno != 0)
      result.error = std::error_code(errno, std::generic_category());
    closedir(dir);
    std::sort(result.entries.begin(), result.entries.end(), nameLess);
    return result;
  }

  std::optional<unsigned> Attributes(const std::string& path) override {
    if (path.empty())
      return std::nullopt;
    auto found = probe(AT_FDCWD, path.c_str(), baseName(path));
    if (!found)
      return std::nullopt;
    return found->first;
  }

  std::optional<std::uint64_t> FileLength(const std::string& path) override {
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
      return std::nullopt;
    }
    return static_cast<std::uint64_t>(st.st_size);
  }

  std::vector<std::string> Drives() override {
    std::vector<Mount> mounts = Mounts();
    if (mounts.empty())
      mounts.push_back({"/", ""});  // no mount table to read: the root is still a drive
    return driveList(mounts, homeFolder());
  }

  std::vector<Mount> Mounts() override {
    std::vector<Mount> mounts;
    FILE* table = setmntent("/proc/self/mounts", "r");
    if (table == nullptr)
      return mounts;
    mntent row{};
    char buffer[4 * PATH_MAX];
    // getmntent_r undoes the table's octal escapes (a space in a mount point is "\040").
    while (getmntent_r(table, &row, buffer, sizeof buffer) != nullptr) {
      std::string point = row.mnt_dir;
      if (point.empty() || point.back() != '/')
        point += '/';
      mounts.push_back({std::move(point), row.mnt_type});
    }
    endmntent(table);
    return mounts;
  }

  std::unique_ptr<FindEnumeration> Find(const std::string& folder,
                                        std::error_code& error) override {
    error.clear();
    DIR* dir = folder.empty() ? nullptr : opendir(folder.c_str());
    if (dir == nullptr) {
      error = folder.empty() ? std::make_error_code(std::errc::no_such_file_or_directory)
                             : std::error_code(errno, std::generic_category());
      return nullptr;
    }
    return std::make_unique<NativeFind>(dir);
  }

  bool SameFile(const std::string& a, const std::string& b) override {
    struct stat first {};
    struct stat second {};
    if (a.empty() || b.empty() || stat(a.c_str(), &first) != 0 || stat(b.c_str(), &second) != 0)
      return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
  }
};

}  // namespace

FileSystem& native() {
  static NativeFileSystem instance;
  return instance;
}

}  // namespace vfs
