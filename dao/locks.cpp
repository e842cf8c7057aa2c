// Advisory locks that make shared and exclusive use visible between Database objects, and the
// bookkeeping that keeps our own descriptors from dropping SQLite's locks.
//
// Each open Database holds an open file description (OFD) lock on one byte of its file, far
// beyond the bytes SQLite locks: a read lock for shared use, a write lock for exclusive use.
// OFD locks belong to the open file description, not to the process, so they conflict between
// two Database objects of one process as well as between processes, and closing some other
// descriptor of the file does not release them.
//
// Traditional POSIX locks (SQLite's) are the opposite: closing any descriptor of a file drops
// all of the process's locks on it. Every descriptor the layer opens on a database file is
// therefore closed through CloseFileDescriptor, which parks it while one of our SQLite
// connections still uses the file, the same way SQLite itself defers such closes.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <vector>

#include "dao/internal.h"

namespace dao::detail {
namespace {

// 1 TiB: beyond SQLite's lock bytes (at 1 GiB) and beyond any database the layer will meet.
constexpr off_t kUseByte = off_t(1) << 40;

struct FileUse {
  int connections = 0;
  std::vector<int> parked;
};

std::mutex gUseMutex;
std::map<FileId, FileUse>& Uses() {
  static auto* uses = new std::map<FileId, FileUse>();  // never destroyed: used at exit
  return *uses;
}

// Files this thread's engine holds exclusively. Its own exclusive use does not keep its own
// linked tables and link checks out, as one engine is one user.
thread_local std::map<FileId, int> tOwnExclusive;

struct flock LockRequest(short type) {
  struct flock request {};
  request.l_type = type;
  request.l_whence = SEEK_SET;
  request.l_start = kUseByte;
  request.l_len = 1;
  request.l_pid = 0;
  return request;
}

// True when some open file description holds a lock conflicting with `type`.
bool Conflicts(int fd, short type) {
  struct flock request = LockRequest(type);
  if (fcntl(fd, F_OFD_GETLK, &request) != 0)
    return false;  // no OFD locks here: no conflict
  return request.l_type != F_UNLCK;
}

}  // namespace

void NoteFileInUse(const FileId& id) {
  std::lock_guard<std::mutex> guard(gUseMutex);
  ++Uses()[id].connections;
}

void NoteFileReleased(const FileId& id) {
  std::vector<int> toClose;
  {
    std::lock_guard<std::mutex> guard(gUseMutex);
    auto it = Uses().find(id);
    if (it == Uses().end())
      return;
    if (--it->second.connections > 0)
      return;
    toClose.swap(it->second.parked);
    Uses().erase(it);
  }
  for (int fd : toClose)
    ::close(fd);
}

void CloseFileDescriptor(const FileId& id, int fd) {
  if (fd < 0)
    return;
  {
    std::lock_guard<std::mutex> guard(gUseMutex);
    auto it = Uses().find(id);
    if (it != Uses().end() && it->second.connections > 0) {
      it->second.parked.push_back(fd);
      return;
    }
  }
  ::close(fd);
}

FileLock FileLock::Acquire(ProbedFile& file, bool exclusive, const std::string& path) {
  FileLock lock;
  lock.id_ = file.id();
  // A file without write permission cannot be locked for writing; nobody can change it, so
  // shared use is all that exclusive use would protect.
  bool writeLock = exclusive && file.writableDescriptor();
  lock.fd_ = file.Release();
  struct flock request = LockRequest(writeLock ? F_WRLCK : F_RDLCK);
  if (fcntl(lock.fd_, F_OFD_SETLK, &request) != 0) {
    int err = errno;
    if (err == EAGAIN || err == EACCES) {
      bool exclusiveElsewhere = Conflicts(lock.fd_, F_RDLCK);
      lock.Release();
      if (exclusiveElsewhere)
        Fail(kErrExclusivelyLocked, "The file '" + path + "' is in exclusive use by another user.");
      Fail(kErrExclusiveDenied,
           "The file '" + path + "' cannot be opened exclusively: others have it open.");
    }
    // The file system offers no such locks (EINVAL, ENOLCK): use goes unlocked.
  }
  lock.exclusive_ = writeLock;
  if (writeLock)
    ++tOwnExclusive[lock.id_];
  return lock;
}

FileLock::FileLock(FileLock&& other) noexcept
    : fd_(other.fd_), id_(other.id_), exclusive_(other.exclusive_) {
  other.fd_ = -1;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = other.fd_;
    id_ = other.id_;
    exclusive_ = other.exclusive_;
    other.fd_ = -1;
  }
  return *this;
}

void FileLock::Release() {
  if (fd_ < 0)
    return;
  // Unlock at once, so other holders see the file free even while the descriptor is parked.
  struct flock request = LockRequest(F_UNLCK);
  fcntl(fd_, F_OFD_SETLK, &request);
  if (exclusive_) {
    auto it = tOwnExclusive.find(id_);
    if (it != tOwnExclusive.end() && --it->second == 0)
      tOwnExclusive.erase(it);
  }
  CloseFileDescriptor(id_, fd_);
  fd_ = -1;
  exclusive_ = false;
}

bool HeldExclusivelyElsewhere(const ProbedFile& file) {
  if (tOwnExclusive.count(file.id()))
    return false;
  return Conflicts(file.fd(), F_RDLCK);
}

bool HeldExclusivelyElsewhere(int fd, const FileId& id) {
  if (tOwnExclusive.count(id))
    return false;
  return Conflicts(fd, F_RDLCK);
}

int TakeParkedDescriptor(const FileId& id, bool forWriting) {
  std::lock_guard<std::mutex> guard(gUseMutex);
  auto it = Uses().find(id);
  if (it == Uses().end())
    return -1;
  std::vector<int>& parked = it->second.parked;
  for (auto fd = parked.begin(); fd != parked.end(); ++fd) {
    int mode = fcntl(*fd, F_GETFL) & O_ACCMODE;
    if (!forWriting || mode == O_RDWR) {
      int taken = *fd;
      parked.erase(fd);
      return taken;
    }
  }
  return -1;
}

}  // namespace dao::detail
