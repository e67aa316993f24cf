#include "platform/Process.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace tarnwick {
namespace {

using process::runAndReadStdout;
using test::ScopedEnv;
using test::TempDir;

TEST(Process, ReadsStandardOutputToTheEnd) {
    EXPECT_EQ(runAndReadStdout("/bin/sh", {"-c", "printf abc; printf def"}), "abcdef");
    // The exit status is not examined: what was written is the answer.
    EXPECT_EQ(runAndReadStdout("/bin/sh", {"-c", "printf partial; exit 3"}), "partial");
    // No output is an empty answer, not an absent one.
    const auto empty = runAndReadStdout("/bin/true", {});
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(*empty, "");
}

TEST(Process, ProgramsThatCannotStartGiveAbsent) {
    TempDir dir;
    const auto notExecutable = dir.write("data.txt", "#!/bin/sh\necho hello\n");
    chmod(notExecutable.c_str(), 0644);
    const struct {
        const char* what;
        std::string executable;
    } cases[] = {
        {"missing file", (dir / "no-such-program").string()},
        {"a folder", dir.path().string()},
        {"a file without execute permission", notExecutable.string()},
        {"empty path", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(runAndReadStdout(c.executable, {"ignored"}), std::nullopt);
    }
}

TEST(Process, ArgumentsArriveLiterallyWithoutAShell) {
    TempDir dir;
    ScopedEnv pwned("TW_PWNED", (dir / "pwned").string());
    const std::vector<std::string> args = {"[%s]\n", "$(touch \"$TW_PWNED\")", "`touch \"$TW_PWNED\"`", "a b",
                                           "*",      "",                        "\"quoted\"",            "; ls"};
    const auto output = runAndReadStdout("/usr/bin/printf", args);
    EXPECT_EQ(output, "[$(touch \"$TW_PWNED\")]\n[`touch \"$TW_PWNED\"`]\n[a b]\n[*]\n[]\n[\"quoted\"]\n[; ls]\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "pwned"));
}

TEST(Process, ChildInheritsTheEnvironment) {
    ScopedEnv probe("TW_PROCESS_PROBE", "value with spaces");
    EXPECT_EQ(runAndReadStdout("/usr/bin/printenv", {"TW_PROCESS_PROBE"}), "value with spaces\n");
}

TEST(Process, LargeOutputIsReadWhileTheChildWrites) {
    // Far more than a pipe holds: a caller that waited for the child before reading would hang.
    constexpr size_t size = 1024 * 1024;
    const auto output = runAndReadStdout("/bin/sh", {"-c", "yes 0123456789abcde | head -c 1048576"});
    ASSERT_TRUE(output.has_value());
    ASSERT_EQ(output->size(), size);
    const std::string line = "0123456789abcde\n";
    for (size_t i = 0; i < size; i += line.size())
        ASSERT_EQ(output->compare(i, line.size(), line, 0, std::min(line.size(), size - i)), 0) << "at " << i;
}

TEST(Process, OutputOfAGrandchildThatOutlivesTheChildIsCollected) {
    // The shell exits at once; its background child keeps the pipe open and writes later. The
    // read goes on to end of file and then returns.
    const auto output = runAndReadStdout("/bin/sh", {"-c", "(sleep 0.2; printf late) & printf early"});
    EXPECT_EQ(output, "earlylate");
}

// End of file is the end of the wait: a child that closes its output and goes on running does not
// hold the caller, and is still collected once it ends, leaving no zombie behind.
TEST(Process, ReturnsAtEndOfFileWhileTheChildRunsOnAndStillCollectsIt) {
    const auto start = std::chrono::steady_clock::now();
    const auto output = runAndReadStdout("/bin/sh", {"-c", "echo $$; exec >&-; exec sleep 2"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500)) << "waited for the child";
    ASSERT_TRUE(output.has_value());
    const pid_t pid = std::stoi(*output);
    const auto stat = "/proc/" + std::to_string(pid) + "/stat";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::filesystem::exists(stat) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::ifstream in(stat);
    std::string state;
    if (in) std::getline(in, state);
    EXPECT_FALSE(std::filesystem::exists(stat)) << "not collected: " << state;
}

TEST(Process, ChildStartsWithDefaultSignalHandlingAndNoBlockedSignals) {
    struct sigaction ignore {}, previous{};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ASSERT_EQ(sigaction(SIGPIPE, &ignore, &previous), 0);
    sigset_t block, oldMask;
    sigemptyset(&block);
    sigaddset(&block, SIGUSR1);
    ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &block, &oldMask), 0);

    const auto output = runAndReadStdout("/usr/bin/grep", {"-E", "^Sig(Blk|Ign):", "/proc/self/status"});

    pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
    sigaction(SIGPIPE, &previous, nullptr);
    ASSERT_TRUE(output.has_value());
    unsigned long long blocked = ~0ull, ignored = ~0ull;
    ASSERT_EQ(std::sscanf(output->c_str(), "SigBlk: %llx SigIgn: %llx", &blocked, &ignored), 2) << *output;
    // Signals 1 to 31; the C library keeps its own real-time signals (32, 33) as it sees fit.
    constexpr unsigned long long standardSignals = 0x7fffffffull;
    EXPECT_EQ(blocked & standardSignals, 0u) << *output;
    EXPECT_EQ(ignored & standardSignals, 0u) << *output;
}

TEST(Process, SpawnDetachedStartsTheProgramInASessionOfItsOwn) {
    TempDir dir;
    const auto report = dir / "report";
    // The shell writes its pid and session id, then moves the file into place in one step.
    ASSERT_TRUE(process::spawnDetached(
        "/bin/sh", {"-c", "echo \"$$ $(cut -d' ' -f6 /proc/$$/stat)\" > \"$1.tmp\" && mv \"$1.tmp\" \"$1\"", "sh",
                    report.string()}));

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!std::filesystem::exists(report) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(std::filesystem::exists(report)) << "the detached program did not run";

    std::ifstream in(report);
    pid_t pid = 0, session = 0;
    in >> pid >> session;
    EXPECT_GT(pid, 0);
    EXPECT_EQ(session, pid) << "the child leads a new session";
    EXPECT_NE(session, getsid(0));
    waitpid(pid, nullptr, 0);  // it is still our child; collect it

    EXPECT_FALSE(process::spawnDetached((dir / "no-such-program").string(), {}));
}

}  // namespace
}  // namespace tarnwick
