#pragma once
// Starting programs without a shell.
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::process {

// Runs `executable` with `args` (no shell, the inherited environment and working directory),
// reads its standard output through a pipe until end of file and returns it; standard error is
// inherited. Absent when the program cannot be started. End of file on the pipe is what ends the
// wait: a grandchild that holds the pipe open keeps the caller waiting, while a child that closes
// it and runs on does not. The exit status is collected (in the background when the child is
// still running) but not examined.
std::optional<std::string> runAndReadStdout(const std::string& executable, const std::vector<std::string>& args);

// Starts a program in a session of its own and does not wait for it. Answers whether it started.
bool spawnDetached(const std::string& executable, const std::vector<std::string>& args);

}  // namespace tarnwick::process
