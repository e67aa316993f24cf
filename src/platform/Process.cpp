#include "platform/Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <thread>

extern char** environ;

namespace tarnwick::process {
namespace {

std::vector<char*> argv(const std::string& executable, const std::vector<std::string>& args) {
    std::vector<char*> out;
    out.push_back(const_cast<char*>(executable.c_str()));
    for (const auto& a : args) out.push_back(const_cast<char*>(a.c_str()));
    out.push_back(nullptr);
    return out;
}

struct FileActions {
    posix_spawn_file_actions_t actions;
    FileActions() { posix_spawn_file_actions_init(&actions); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions); }
};

struct Attributes {
    posix_spawnattr_t attr;
    Attributes() { posix_spawnattr_init(&attr); }
    ~Attributes() { posix_spawnattr_destroy(&attr); }
};

// The child starts with default signal handling and an empty signal mask, whatever ours are.
void resetSignals(Attributes& a, short extraFlags) {
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&a.attr, &none);
    posix_spawnattr_setsigdefault(&a.attr, &all);
    posix_spawnattr_setflags(&a.attr, static_cast<short>(POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | extraFlags));
}

// Collects the child's exit status without waiting for it: a child that has closed its output
// but runs on is waited for by a thread of its own, so it never stays behind as a zombie.
void collect(pid_t pid) {
    int status = 0;
    pid_t done = 0;
    while ((done = waitpid(pid, &status, WNOHANG)) < 0 && errno == EINTR) {
    }
    if (done != 0) return;  // collected, or not ours to collect
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

}  // namespace

std::optional<std::string> runAndReadStdout(const std::string& executable, const std::vector<std::string>& args) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;

    FileActions files;
    posix_spawn_file_actions_adddup2(&files.actions, fds[1], STDOUT_FILENO);
    Attributes attributes;
    resetSignals(attributes, 0);

    auto arguments = argv(executable, args);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, executable.c_str(), &files.actions, &attributes.attr, arguments.data(), environ);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return std::nullopt;
    }

    std::string output;
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n > 0) {
            output.append(buffer, static_cast<size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            break;
        }
    }
    close(fds[0]);
    collect(pid);
    return output;
}

bool spawnDetached(const std::string& executable, const std::vector<std::string>& args) {
    Attributes attributes;
    resetSignals(attributes, POSIX_SPAWN_SETSID);
    auto arguments = argv(executable, args);
    pid_t pid = 0;
    return posix_spawn(&pid, executable.c_str(), nullptr, &attributes.attr, arguments.data(), environ) == 0;
}

}  // namespace tarnwick::process
