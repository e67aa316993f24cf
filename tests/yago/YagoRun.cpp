#include "yago/YagoRun.h"

#include "platform/Resources.h"
#include "support/TestSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <fstream>
#include <sstream>

extern char** environ;

namespace tarnwick::test {
namespace {

std::string readAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::filesystem::path yagoExecutable() { return resources::resourceDirectory() / "yago"; }

std::filesystem::path yagoTestFiles(const std::string& folder) {
    return std::filesystem::path(TARNWICK_SOURCE_DIR) / "tests" / "yago" / folder;
}

YagoRun runYago(const std::vector<std::string>& args) {
    // Both outputs go to files, so neither can fill a pipe and stall the child.
    TempDir dir;
    const std::string outFile = (dir / "out").string();
    const std::string errFile = (dir / "err").string();
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const std::string executable = yagoExecutable().string();
    std::vector<char*> argv{const_cast<char*>(executable.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, executable.c_str(), &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    YagoRun run;
    if (rc != 0) return run;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    run.out = readAll(outFile);
    run.err = readAll(errFile);
    return run;
}

YagoRun convert(const std::filesystem::path& file) { return runYago({"fileName", file.string(), "--validJSON"}); }

}  // namespace tarnwick::test
