// The drive list: where a whole-disk search may start on this platform.
#include <algorithm>
#include <array>
#include <string_view>

#include "fs/fs.h"

namespace vfs {
namespace {

// File systems the kernel makes up: nothing a user saved lives there.
constexpr std::array<std::string_view, 23> kVirtualTypes = {
    "proc",     "sysfs",      "cgroup",    "cgroup2",    "devpts",      "devtmpfs",
    "mqueue",   "debugfs",    "tracefs",   "securityfs", "pstore",      "bpf",
    "configfs", "fusectl",    "hugetlbfs", "autofs",     "binfmt_misc", "nsfs",
    "efivarfs", "rpc_pipefs", "selinuxfs", "nfsd",       "fuse.lxcfs"};

std::string withSlash(std::string path) {
  if (path.empty() || path.back() != '/')
    path += '/';
  return path;
}

bool under(const std::string& path, std::string_view folder) {
  return path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
}

// Kernel interfaces and run-time state: /proc, /sys, /dev and /run, except /run/media, where
// removable media are mounted for the user.
bool systemPlace(const std::string& point) {
  if (under(point, "/run/media"))
    return false;
  return under(point, "/proc") || under(point, "/sys") || under(point, "/dev") ||
         under(point, "/run");
}

}  // namespace

std::vector<std::string> driveList(const std::vector<Mount>& mounts, const std::string& home) {
  std::vector<std::string> drives;
  const auto add = [&](const std::string& drive) {
    if (std::find(drives.begin(), drives.end(), drive) == drives.end())
      drives.push_back(drive);
  };
  if (!home.empty()) {
    const std::string folder = withSlash(home);
    const bool mountRoot = std::any_of(
        mounts.begin(), mounts.end(), [&](const Mount& m) { return withSlash(m.point) == folder; });
    if (!mountRoot)
      add(folder);
  }
  for (const Mount& m : mounts) {
    const std::string point = withSlash(m.point);
    const bool virtualType =
        std::find(kVirtualTypes.begin(), kVirtualTypes.end(), m.type) != kVirtualTypes.end();
    // The slash-less form, so "/run" itself and "/runner" are told apart.
    const std::string bare = point.size() > 1 ? point.substr(0, point.size() - 1) : point;
    if (!virtualType && !systemPlace(bare))
      add(point);
  }
  return drives;
}

}  // namespace vfs
