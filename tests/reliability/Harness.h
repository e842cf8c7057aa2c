// What the crash and concurrency harnesses share: child processes with a script on standard
// input, and a front end's links read straight through SQLite, as the next start would find them.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace reliability {

// Starts a child with input on standard input and standard output and error in the files out
// and err ("" discards). The child runs body and exits with its result, or runs the built
// program with args when body is empty.
pid_t startChild(const std::string& input, const std::string& out, const std::string& err,
                 const std::function<int()>& body, const std::vector<std::string>& args = {});
// Waits for the child; its wait status.
int waitChild(pid_t pid);

// The linked definitions and the active set's rows, one a line. A writer's leftover journal is
// rolled back first, as the next read-write open does, and integrity is what
// PRAGMA integrity_check says ("ok" when the file is sound).
struct LinkState {
  std::string integrity;
  std::string definitions;
  std::string activeRows;
};
LinkState readLinkState(const std::string& frontEnd);

// A whole number from the environment (the long forms raise the counts), else fallback.
int countFromEnvironment(const char* name, int fallback);

}  // namespace reliability
