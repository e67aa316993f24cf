#pragma once
// Runs one of the built programs the way a terminal would, for end-to-end tests.
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace tarnwick::test {

struct ProgramRun {
    int status = -1;        // exit status; -1 when the program did not end by itself
    bool timedOut = false;  // killed at the time limit
    std::string out;        // standard output
    std::string err;        // standard error
    std::chrono::milliseconds elapsed{0};
};

// Runs `executable` with `arguments` (argv[0] is the executable's path), in the current
// environment and with no standard input. A program still running at `limit` is killed.
ProgramRun runProgram(const std::filesystem::path& executable, const std::vector<std::string>& arguments,
                      std::chrono::milliseconds limit = std::chrono::seconds(90));

// A signal to send once the program's standard error holds `text` (the program then runs on until
// it ends or the limit passes).
struct SignalWhen {
    std::string text;
    int signal = 0;
};

ProgramRun runProgram(const std::filesystem::path& executable, const std::vector<std::string>& arguments,
                      const SignalWhen& signalWhen, std::chrono::milliseconds limit = std::chrono::seconds(90));

// A program built beside the test executable (bin/NAME).
std::filesystem::path builtProgram(const std::string& name);

}  // namespace tarnwick::test
