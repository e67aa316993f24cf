#include "support/Unprivileged.h"

#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

namespace tarnwick::test {
namespace {

constexpr uid_t nobody = 65534;

void writeAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

}  // namespace

void openUp(const std::string& path) {
    const auto top = std::filesystem::temp_directory_path();
    for (std::filesystem::path p = path; !p.empty() && p != top && p != p.root_path(); p = p.parent_path())
        ::chmod(p.c_str(), 0755);
}

std::optional<std::string> runUnprivileged(const std::function<std::string()>& body, int limitSeconds) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        ::close(pipeFds[0]);
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0))
            ::_exit(3);
        writeAll(pipeFds[1], body());
        ::close(pipeFds[1]);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string answer;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
    bool timedOut = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd p{pipeFds[0], POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[4096];
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        answer.append(buffer, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    if (timedOut) ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (timedOut || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return answer;
}

}  // namespace tarnwick::test
