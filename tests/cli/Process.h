// Runs the built vantrel program as a real child process, the way a user or a script does:
// arguments, a stdin pipe that can be fed line by line, stdout and stderr captured, and the
// exit status. Every wait has a deadline after which the child is killed, so a program that
// hangs (waiting for input that never comes, say) fails its test instead of the whole suite.
#pragma once

#include <sys/types.h>
#include <chrono>
#include <initializer_list>
#include <string>
#include <vector>

namespace clitest {

using namespace std::chrono_literals;

struct Result {
  int exitCode = -1;  // -1: killed at the deadline or by a signal
  std::string out;
  std::string err;
};

// The vantrel binary under test (passed in by the build).
const std::string& vantrelPath();

// How the child starts.
struct Spawn {
  std::vector<std::string> env;  // added to the environment, "NAME=value"
  std::string cwd;               // working folder ("" keeps the test's)
};

class Process {
 public:
  // Starts vantrel with args. The child's environment is the test's without DISPLAY,
  // WAYLAND_DISPLAY and QT_QPA_PLATFORM, so nothing can open a desktop window behind the test's
  // back, plus spawn.env.
  explicit Process(const std::vector<std::string>& args, const Spawn& spawn = {});
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Queues text for the child's stdin (written as the child reads it).
  void send(const std::string& text);
  void closeInput();

  // Waits until the child's stdout, from where the last wait stopped, contains one of the
  // markers; returns the output up to and including it (or what came, when it did not come
  // before the deadline or the end of output; found() says which).
  std::string waitFor(std::initializer_list<const char*> markers,
                      std::chrono::milliseconds timeout = 30s);
  bool found() const { return found_; }

  // Closes stdin, reads everything and reaps the child. Kills it at the deadline.
  Result finish(std::chrono::milliseconds timeout = 60s);

 private:
  // Moves data between the pipes for at most timeout; false when nothing can happen any more.
  bool pump(std::chrono::milliseconds timeout);
  void kill();

  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  int err_ = -1;
  std::string pendingInput_;
  bool closeWhenSent_ = false;
  std::string stdout_;
  std::string stderr_;
  size_t cursor_ = 0;
  bool found_ = false;
  int status_ = -1;
  bool reaped_ = false;
};

// Runs vantrel to the end with input on stdin.
Result run(const std::vector<std::string>& args, const std::string& input = "",
           const Spawn& spawn = {}, std::chrono::milliseconds timeout = 60s);

}  // namespace clitest
