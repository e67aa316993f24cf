#pragma once
// Runs a piece of a test in a child process without the rights of root, so that files a test
// makes unreadable are unreadable also when the tests run as root (as they do in CI).
#include <functional>
#include <optional>
#include <string>

namespace tarnwick::test {

// Forks; the child drops to the user "nobody" when it is root, runs `body` and hands its answer
// back. None when the child failed or did not end within the limit (seconds). Files the child
// must reach need to be readable for everyone (see `openUp`).
std::optional<std::string> runUnprivileged(const std::function<std::string()>& body, int limitSeconds = 60);

// Makes the folders from `path` up to the system's temporary folder enterable by everyone.
void openUp(const std::string& path);

}  // namespace tarnwick::test
