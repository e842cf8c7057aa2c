// A temporary folder per test, for every suite (the database layer's included, which is why it
// lives apart from the builders that need the component).
#pragma once

#include <string>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path/relative (no file is created).
  std::string file(const std::string& relative) const;
  // Creates path/relative and its parents; returns the full path.
  std::string mkdir(const std::string& relative) const;

 private:
  std::string path_;
};

}  // namespace testsupport
