// The per-thread choice of file system.
#include "fs/fs.h"

namespace vfs {
namespace {
thread_local FileSystem* currentFileSystem = nullptr;
}  // namespace

FileSystem& current() {
  return currentFileSystem ? *currentFileSystem : native();
}

void setCurrent(FileSystem* fileSystem) {
  currentFileSystem = fileSystem;
}

ScopedFileSystem::ScopedFileSystem(FileSystem& fileSystem) : previous_(currentFileSystem) {
  currentFileSystem = &fileSystem;
}

ScopedFileSystem::~ScopedFileSystem() {
  currentFileSystem = previous_;
}

}  // namespace vfs
