#include "tests/cli/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace clitest {

namespace {

using Clock = std::chrono::steady_clock;

void closeFd(int& fd) {
  if (fd >= 0)
    ::close(fd);
  fd = -1;
}

std::vector<std::string> childEnvironment(const std::vector<std::string>& extra) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (entry.rfind("DISPLAY=", 0) == 0 || entry.rfind("WAYLAND_DISPLAY=", 0) == 0 ||
        entry.rfind("QT_QPA_PLATFORM=", 0) == 0) {
      continue;
    }
    env.push_back(entry);
  }
  env.insert(env.end(), extra.begin(), extra.end());
  return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (auto& s : strings)
    out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

}  // namespace

const std::string& vantrelPath() {
  static const std::string path = VANTREL_BINARY;
  return path;
}

Process::Process(const std::vector<std::string>& args, const Spawn& spawn) {
  // A child that exits before reading all its input must fail the write, not kill the test.
  std::signal(SIGPIPE, SIG_IGN);

  int inPipe[2], outPipe[2], errPipe[2];
  if (pipe2(inPipe, O_CLOEXEC) != 0 || pipe2(outPipe, O_CLOEXEC) != 0 ||
      pipe2(errPipe, O_CLOEXEC) != 0) {
    throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, inPipe[0], 0);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
  if (!spawn.cwd.empty())
    posix_spawn_file_actions_addchdir_np(&actions, spawn.cwd.c_str());

  std::vector<std::string> argv = {vantrelPath()};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<std::string> env = childEnvironment(spawn.env);
  auto argvPointers = pointers(argv);
  auto envPointers = pointers(env);
  const int rc = posix_spawn(&pid_, vantrelPath().c_str(), &actions, nullptr, argvPointers.data(),
                             envPointers.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(inPipe[0]);
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  in_ = inPipe[1];
  out_ = outPipe[0];
  err_ = errPipe[0];
  if (rc != 0) {
    closeFd(in_);
    closeFd(out_);
    closeFd(err_);
    throw std::runtime_error("cannot start " + vantrelPath() + ": " + std::strerror(rc));
  }
  fcntl(in_, F_SETFL, fcntl(in_, F_GETFL) | O_NONBLOCK);
}

Process::~Process() {
  kill();
  closeFd(in_);
  closeFd(out_);
  closeFd(err_);
}

void Process::kill() {
  if (pid_ > 0 && !reaped_) {
    ::kill(pid_, SIGKILL);
    waitpid(pid_, &status_, 0);
    reaped_ = true;
    status_ = -1;
  }
}

void Process::send(const std::string& text) {
  pendingInput_ += text;
  pump(0ms);
}

void Process::closeInput() {
  closeWhenSent_ = true;
  pump(0ms);
}

bool Process::pump(std::chrono::milliseconds timeout) {
  if (in_ >= 0 && pendingInput_.empty() && closeWhenSent_)
    closeFd(in_);
  std::vector<pollfd> fds;
  if (out_ >= 0)
    fds.push_back({out_, POLLIN, 0});
  if (err_ >= 0)
    fds.push_back({err_, POLLIN, 0});
  if (in_ >= 0 && !pendingInput_.empty())
    fds.push_back({in_, POLLOUT, 0});
  if (fds.empty())
    return false;
  const int ready = poll(fds.data(), fds.size(), static_cast<int>(timeout.count()));
  if (ready <= 0)
    return ready == 0 || errno == EINTR;
  for (const pollfd& p : fds) {
    if (p.revents == 0)
      continue;
    if (p.fd == in_) {
      const ssize_t n = ::write(in_, pendingInput_.data(), pendingInput_.size());
      if (n > 0) {
        pendingInput_.erase(0, static_cast<size_t>(n));
      } else if (n < 0 && errno != EAGAIN) {
        // The child closed its stdin (or exited): what it did not read is dropped.
        pendingInput_.clear();
        closeFd(in_);
      }
      if (in_ >= 0 && pendingInput_.empty() && closeWhenSent_)
        closeFd(in_);
      continue;
    }
    char buffer[4096];
    const ssize_t n = ::read(p.fd, buffer, sizeof buffer);
    std::string& sink = p.fd == out_ ? stdout_ : stderr_;
    if (n > 0) {
      sink.append(buffer, static_cast<size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      closeFd(p.fd == out_ ? out_ : err_);
    }
  }
  return true;
}

std::string Process::waitFor(std::initializer_list<const char*> markers,
                             std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  found_ = false;
  for (;;) {
    size_t best = std::string::npos;
    size_t bestLength = 0;
    for (const char* marker : markers) {
      const size_t at = stdout_.find(marker, cursor_);
      if (at != std::string::npos && at < best) {
        best = at;
        bestLength = std::strlen(marker);
      }
    }
    if (best != std::string::npos) {
      std::string chunk = stdout_.substr(cursor_, best + bestLength - cursor_);
      cursor_ = best + bestLength;
      found_ = true;
      return chunk;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left <= 0ms || !pump(std::min(left, 200ms)))
      break;
  }
  std::string chunk = stdout_.substr(cursor_);
  cursor_ = stdout_.size();
  return chunk;
}

Result Process::finish(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  closeInput();
  while (out_ >= 0 || err_ >= 0) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left <= 0ms)
      break;
    pump(std::min(left, 200ms));
  }
  Result result;
  if (!reaped_) {
    // The outputs close a moment before the child is gone; give it until the deadline.
    for (;;) {
      const pid_t done = waitpid(pid_, &status_, WNOHANG);
      if (done == pid_) {
        reaped_ = true;
        break;
      }
      if (Clock::now() >= deadline) {
        kill();
        break;
      }
      usleep(10000);
    }
  }
  if (status_ >= 0 && WIFEXITED(status_))
    result.exitCode = WEXITSTATUS(status_);
  result.out = stdout_;
  result.err = stderr_;
  return result;
}

Result run(const std::vector<std::string>& args, const std::string& input, const Spawn& spawn,
           std::chrono::milliseconds timeout) {
  Process process(args, spawn);
  process.send(input);
  return process.finish(timeout);
}

}  // namespace clitest
