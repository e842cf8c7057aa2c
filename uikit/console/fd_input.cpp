#include "uikit/console/fd_input.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace uikit::console {

FdInputBuffer::int_type FdInputBuffer::underflow() {
  if (gptr() < egptr())
    return traits_type::to_int_type(*gptr());
  ssize_t n;
  do {
    n = read(fd_, buffer_, sizeof buffer_);
  } while (n < 0 && errno == EINTR);
  if (n <= 0)
    return traits_type::eof();
  setg(buffer_, buffer_, buffer_ + n);
  return traits_type::to_int_type(*gptr());
}

std::streamsize FdInputBuffer::showmanyc() {
  pollfd ready{fd_, POLLIN, 0};
  if (poll(&ready, 1, 0) <= 0)
    return 0;
  int bytes = 0;
  if (ioctl(fd_, FIONREAD, &bytes) == 0 && bytes > 0)
    return bytes;
  // Readable with nothing to read: the writer has gone (or the descriptor failed).
  return (ready.revents & (POLLHUP | POLLERR | POLLIN)) != 0 ? -1 : 0;
}

}  // namespace uikit::console
