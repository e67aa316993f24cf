#include "support/ProgramRun.h"

#include "platform/Resources.h"
#include "support/TestSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace tarnwick::test {
namespace {

std::string readWhole(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

ProgramRun runProgram(const std::filesystem::path& executable, const std::vector<std::string>& arguments,
                      std::chrono::milliseconds limit) {
    return runProgram(executable, arguments, SignalWhen{}, limit);
}

ProgramRun runProgram(const std::filesystem::path& executable, const std::vector<std::string>& arguments,
                      const SignalWhen& signalWhen, std::chrono::milliseconds limit) {
    // Output goes to files, so a chatty program never blocks on a full pipe while we wait.
    TempDir capture;
    const auto outFile = capture / "out";
    const auto errFile = capture / "err";
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    const std::string path = executable.string();
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    ProgramRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, path.c_str(), &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (rc != 0) return run;

    int status = 0;
    bool signalled = signalWhen.signal == 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (!signalled && readWhole(errFile).find(signalWhen.text) != std::string::npos) {
            kill(pid, signalWhen.signal);
            signalled = true;
        }
        if (std::chrono::steady_clock::now() - start > limit) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            run.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    if (!run.timedOut && WIFEXITED(status)) run.status = WEXITSTATUS(status);
    run.out = readWhole(outFile);
    run.err = readWhole(errFile);
    return run;
}

std::filesystem::path builtProgram(const std::string& name) { return resources::executablePath().parent_path() / name; }

}  // namespace tarnwick::test
