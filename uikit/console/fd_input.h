// Standard input for the console driver, read straight from a file descriptor. The driver asks,
// in the middle of long work, whether a command line is already waiting (in_avail) and reads it
// only then; a stream over the C library's buffered stdin cannot say that without blocking,
// since the bytes it has read ahead are out of sight. This buffer answers with what it holds plus
// what the descriptor has ready.
#pragma once

#include <streambuf>

namespace uikit::console {

class FdInputBuffer : public std::streambuf {
 public:
  explicit FdInputBuffer(int fd) : fd_(fd) {}
  FdInputBuffer(const FdInputBuffer&) = delete;
  FdInputBuffer& operator=(const FdInputBuffer&) = delete;

 protected:
  int_type underflow() override;
  // Bytes ready without blocking; -1 once the input has ended.
  std::streamsize showmanyc() override;

 private:
  int fd_;
  char buffer_[4096];
};

}  // namespace uikit::console
