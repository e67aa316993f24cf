// The engine's scans on libyara: rule namespaces, the compiled-rules cache, file sizes on both
// read paths, and directory walks that meet what a real volume holds.
#include "engine/CompiledRulesCache.h"
#include "engine/RulesScanner.h"
#include "engine/ScanPool.h"
#include "engine/TreeWalker.h"
#include "engine/YaraEngine.h"
#include "platform/ThreadPriority.h"

#include "support/TestSupport.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <thread>
#include <utility>

namespace tarnwick {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

struct Scan {
    std::vector<RuleMatch> matches;
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    std::vector<std::string> visited;  // paths the callback saw, in order
};

YaraEngine::RuleFiles filesMap(const std::vector<fs::path>& files) {
    YaraEngine::RuleFiles map;
    for (const fs::path& file : files) map[file.string()] = file.string();
    return map;
}

Scan scanFile(const fs::path& target, const std::vector<fs::path>& ruleFiles) {
    Scan s;
    s.matches = YaraEngine().simpleScanFileAtPath(target.string(), filesMap(ruleFiles), nullptr, 10000, false,
                                                  s.errors, s.warnings);
    return s;
}

// Scans the tree; the callback answers false at the `stopAt`th file (0: never).
Scan scanDir(const fs::path& target, const std::vector<fs::path>& ruleFiles, size_t stopAt = 0,
             const std::function<void(const std::string&)>& onFile = {}) {
    Scan s;
    s.matches = YaraEngine().simpleScanDirAtPath(
        target.string(), filesMap(ruleFiles), nullptr, 10000, false, s.errors, s.warnings,
        [&](const std::string& path) {
            s.visited.push_back(path);
            if (onFile) onFile(path);
            return stopAt == 0 || s.visited.size() < stopAt;
        });
    return s;
}

std::set<std::pair<std::string, std::string>> pairs(const std::vector<RuleMatch>& matches) {
    std::set<std::pair<std::string, std::string>> out;
    for (const RuleMatch& m : matches) out.emplace(m.identifier, fs::path(m.filepath).filename().string());
    return out;
}

// A scan as text, to hand it back from an unprivileged child, and back.
std::string encode(const Scan& s) {
    std::string out;
    for (const RuleMatch& m : s.matches) out += "M " + m.identifier + "\t" + m.filepath + "\n";
    for (const std::string& e : s.errors) out += "E " + e + "\n";
    for (const std::string& w : s.warnings) out += "W " + w + "\n";
    for (const std::string& v : s.visited) out += "V " + v + "\n";
    return out;
}

Scan decode(const std::string& text) {
    Scan s;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const std::string rest = line.substr(2);
        switch (line[0]) {
        case 'M': {
            const size_t tab = rest.find('\t');
            s.matches.push_back(RuleMatch{rest.substr(0, tab), rest.substr(tab + 1), {}});
            break;
        }
        case 'E': s.errors.push_back(rest); break;
        case 'W': s.warnings.push_back(rest); break;
        case 'V': s.visited.push_back(rest); break;
        }
    }
    return s;
}

bool anyMentions(const std::vector<std::string>& messages, const std::string& text) {
    return std::any_of(messages.begin(), messages.end(),
                       [&](const std::string& m) { return m.find(text) != std::string::npos; });
}

// The matches of the rules on one file.
std::vector<RuleMatch> matchesOf(const std::shared_ptr<const CompiledRules>& rules, const fs::path& target) {
    ScanMessages messages;
    RulesScanner scanner(rules, 10000, false, messages);
    std::vector<RuleMatch> matches;
    const int fd = ::open(target.c_str(), O_RDONLY);
    scanner.scan(fd, target.string(), matches);
    ::close(fd);
    return matches;
}

constexpr const char* markerRules =
    "rule Marker { strings: $a = \"TARNWICK-MARKER\" condition: $a }\n"
    "private rule Hidden { condition: true }\n"
    "rule Everything { condition: Hidden }\n";

TEST(ScanEngine, RuleFilesKeepTheirOwnNamespacesAndPrivateRulesStayUnreported) {
    TempDir dir;
    const auto first = dir.write("first.yar", markerRules);
    const auto second = dir.write("second.yar", "rule Marker { strings: $a = \"OTHER\" condition: $a }\n");
    dir.write("tree/hit.txt", "xx TARNWICK-MARKER xx");
    dir.write("tree/other.txt", "OTHER");

    const Scan s = scanDir(dir / "tree", {first, second});
    EXPECT_TRUE(s.errors.empty()) << s.errors.front();
    EXPECT_EQ(pairs(s.matches), (std::set<std::pair<std::string, std::string>>{
                                    {"Marker", "hit.txt"}, {"Everything", "hit.txt"},
                                    {"Marker", "other.txt"}, {"Everything", "other.txt"}}));
    EXPECT_EQ(s.matches.size(), 4u);
}

TEST(ScanEngine, FilesOfEverySizeAreScannedWhole) {
    // Small files are read into a buffer, larger ones mapped: the marker at the very end must be
    // found on both sides of the limit, and an empty file still reaches the rules.
    TempDir dir;
    const auto rules = dir.write("r.yar", "rule Marker { strings: $a = \"TARNWICK-MARKER\" condition: $a }\n"
                                          "rule Empty { condition: filesize == 0 }\n");
    const std::string marker = "TARNWICK-MARKER";
    struct Case {
        const char* name;
        size_t size;
        const char* rule;
    } cases[] = {
        {"empty", 0, "Empty"},
        {"tiny", marker.size(), "Marker"},
        {"at-limit", RulesScanner::readLimit, "Marker"},
        {"above-limit", RulesScanner::readLimit + 1, "Marker"},
        {"large", 3 * RulesScanner::readLimit + 123, "Marker"},
    };
    for (const Case& c : cases) {
        std::string bytes(c.size, 'z');
        if (c.size >= marker.size()) bytes.replace(c.size - marker.size(), marker.size(), marker);
        const auto file = dir.write(std::string(c.name) + ".bin", bytes);
        const Scan s = scanFile(file, {rules});
        EXPECT_TRUE(s.errors.empty()) << c.name << ": " << s.errors.front();
        ASSERT_EQ(s.matches.size(), 1u) << c.name;
        EXPECT_EQ(s.matches[0].identifier, c.rule) << c.name;
        EXPECT_EQ(s.matches[0].filepath, file.string()) << c.name;
    }
}

TEST(ScanEngine, ARuleFileThatNoLongerCompilesIsLeftOutAndNamed) {
    TempDir dir;
    const auto good = dir.write("good.yar", markerRules);
    const auto broken = dir.write("broken.yar", "rule Broken { condition: $nothing }\n");
    const auto missing = dir / "missing.yar";
    const auto target = dir.write("hit.txt", "TARNWICK-MARKER");

    const Scan s = scanFile(target, {good, broken, missing});
    EXPECT_EQ(pairs(s.matches), (std::set<std::pair<std::string, std::string>>{{"Marker", "hit.txt"},
                                                                               {"Everything", "hit.txt"}}));
    const auto mentions = [&](const fs::path& file) {
        return std::any_of(s.errors.begin(), s.errors.end(),
                           [&](const std::string& e) { return e.find(file.string()) != std::string::npos; });
    };
    EXPECT_TRUE(mentions(broken));
    EXPECT_TRUE(mentions(missing));
    EXPECT_FALSE(mentions(good));
    EXPECT_EQ(std::count(s.errors.begin(), s.errors.end(), YaraEngine::noRulesError), 0);
}

// Without rules to scan with, neither call looks at its target: a missing target would add an
// error of its own, a tree would reach the callback.
TEST(ScanEngine, NoRulesToScanWithMeansNoScan) {
    TempDir dir;
    const auto broken = dir.write("broken.yar", "rule Broken { condition: $nothing }\n");
    const auto missing = dir / "missing.yar";
    const auto hit = dir.write("tree/hit.txt", "TARNWICK-MARKER");
    struct Case {
        const char* name;
        std::vector<fs::path> ruleFiles;
    } cases[] = {{"none given", {}}, {"none compiles", {broken, missing}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto expectRefused = [&](const Scan& s, const fs::path& target) {
            EXPECT_TRUE(s.matches.empty());
            EXPECT_TRUE(s.visited.empty());
            ASSERT_FALSE(s.errors.empty());
            EXPECT_EQ(s.errors.back(), YaraEngine::noRulesError);
            // The compile errors come first, at least one for each rule file.
            EXPECT_GE(s.errors.size(), c.ruleFiles.size() + 1);
            for (const std::string& error : s.errors) EXPECT_EQ(error.find(target.string()), std::string::npos) << error;
        };
        for (const fs::path& target : {hit, dir / "gone.txt"}) expectRefused(scanFile(target, c.ruleFiles), target);
        for (const fs::path& target : {dir / "tree", dir / "gone"}) expectRefused(scanDir(target, c.ruleFiles), target);
    }
}

TEST(ScanEngine, CompiledRulesAreReusedUntilARuleFileChanges) {
    TempDir dir;
    const auto rules = dir.write("r.yar", markerRules);
    const auto target = dir.write("hit.txt", "TARNWICK-MARKER");
    CompiledRulesCache cache;
    const YaraEngine::RuleFiles map = filesMap({rules});

    const auto first = cache.rulesFor(map, {});
    const auto again = cache.rulesFor(map, {});
    EXPECT_EQ(cache.compilations(), 1u);
    EXPECT_EQ(first.get(), again.get());

    // Same size, new content and time: a new compilation, with the new rules.
    dir.write("r.yar", std::string(markerRules).replace(0, 11, "rule Marke2"));
    const fs::file_time_type later = fs::last_write_time(rules) + std::chrono::seconds(5);
    fs::last_write_time(rules, later);
    const auto changed = cache.rulesFor(map, {});
    EXPECT_EQ(cache.compilations(), 2u);
    const std::vector<RuleMatch> matches = matchesOf(changed, target);
    ASSERT_FALSE(matches.empty());
    EXPECT_EQ(matches[0].identifier, "Marke2");

    // The set of files is part of the key too.
    const auto other = dir.write("other.yar", "rule Other { condition: true }\n");
    cache.rulesFor(filesMap({rules, other}), {});
    EXPECT_EQ(cache.compilations(), 3u);
}

TEST(ScanEngine, CompiledRulesAreCompiledAgainWhenOnlyAnIncludedFileChanges) {
    // The edit keeps the size and the inode: only the modification time tells it.
    const std::string off = "private rule Leaf { condition: false }\n";
    const std::string on = "private rule Leaf { condition: true  }\n";
    const std::string hit = "rule Hit { condition: Leaf }\n";
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;
        std::string edited;
    } cases[] = {
        {"beside the rule file", {{"rules/main.yar", "include \"leaf.yar\"\n" + hit}, {"rules/leaf.yar", off}},
         "rules/leaf.yar"},
        // Found beside the file that includes it: the one beside the rule file is never read.
        {"two deep in a subfolder",
         {{"rules/main.yar", "include \"sub/middle.yar\"\n" + hit},
          {"rules/sub/middle.yar", "include \"leaf.yar\"\n"},
          {"rules/sub/leaf.yar", off},
          {"rules/leaf.yar", on}},
         "rules/sub/leaf.yar"},
        {"missing at first", {{"rules/main.yar", "include \"leaf.yar\"\n" + hit}}, "rules/leaf.yar"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        for (const auto& [path, text] : c.files) dir.write(path, text);
        const auto target = dir.write("target.txt", "anything");
        const YaraEngine::RuleFiles map = filesMap({dir / "rules/main.yar"});
        CompiledRulesCache cache;

        const auto first = cache.rulesFor(map, {});
        EXPECT_TRUE(matchesOf(first, target).empty());
        EXPECT_EQ(cache.rulesFor(map, {}).get(), first.get());
        EXPECT_EQ(cache.compilations(), 1u);

        const bool existed = fs::exists(dir / c.edited);
        const auto before = existed ? fs::last_write_time(dir / c.edited) : fs::file_time_type();
        dir.write(c.edited, on);
        if (existed) fs::last_write_time(dir / c.edited, before + std::chrono::seconds(5));
        const auto edited = cache.rulesFor(map, {});
        EXPECT_EQ(cache.compilations(), 2u);
        EXPECT_TRUE(edited->errors().empty()) << edited->errors().front();
        const std::vector<RuleMatch> matches = matchesOf(edited, target);
        ASSERT_EQ(matches.size(), 1u);
        EXPECT_EQ(matches[0].ruleFile, (dir / "rules/main.yar").string());

        // The new compilation replaced the stale one.
        EXPECT_EQ(cache.rulesFor(map, {}).get(), edited.get());
        EXPECT_EQ(cache.compilations(), 2u);
    }
}

TEST(ScanEngine, FileScanRefusesWhatIsNotARegularFile) {
    TempDir dir;
    const auto rules = dir.write("r.yar", markerRules);
    const auto fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    for (const fs::path& target : {fifo, dir.path(), dir / "missing"}) {
        const auto started = std::chrono::steady_clock::now();
        const Scan s = scanFile(target, {rules});
        EXPECT_TRUE(s.matches.empty()) << target;
        EXPECT_FALSE(s.errors.empty()) << target;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)) << target;
    }
}

TEST(ScanEngine, StopAfterTheNthFileScansExactlyThoseFiles) {
    TempDir dir;
    const auto rules = dir.write("r.yar", "rule Any { condition: true }\n");
    for (int i = 0; i < 150; ++i) dir.write("tree/d" + std::to_string(i % 7) + "/f" + std::to_string(i), "x");

    const Scan s = scanDir(dir / "tree", {rules}, 100);
    ASSERT_EQ(s.visited.size(), 100u);
    // Every file handed out was scanned and nothing else: one match per visited file.
    std::set<std::string> matched;
    for (const RuleMatch& m : s.matches) matched.insert(m.filepath);
    EXPECT_EQ(matched, std::set<std::string>(s.visited.begin(), s.visited.end()));
    EXPECT_EQ(s.matches.size(), 100u);
    // Matches come in walk order.
    for (size_t i = 0; i < s.matches.size(); ++i) EXPECT_EQ(s.matches[i].filepath, s.visited[i]);
}

TEST(ScanEngine, WalkSkipsPseudoFileSystems) {
    if (!TreeWalker::onPseudoFileSystem("/proc/self")) GTEST_SKIP() << "no /proc here";
    ScanMessages messages;
    size_t visited = 0;
    TreeWalker::walk("/proc", [&](WalkedFile&&) { return ++visited, true; }, messages);
    EXPECT_EQ(visited, 0u);
}

// A tree as a real volume may hold it: regular files among a FIFO, a socket, a symbolic-link
// loop, a link to a file, an unreadable file and folder, and files deleted while the walk runs.
// The scan must end and count exactly the files it could scan.
TEST(ScanEngine, OddTreeFinishesAndCountsWhatItScanned) {
    TempDir dir;
    const auto rules = dir.write("r.yar", markerRules);
    const fs::path tree = dir / "tree";
    for (int i = 0; i < 20; ++i) dir.write("tree/sub" + std::to_string(i % 3) + "/plain" + std::to_string(i), "text");
    dir.write("tree/hit.txt", "TARNWICK-MARKER");
    for (int i = 0; i < 5; ++i) dir.write("tree/doomed" + std::to_string(i), "TARNWICK-MARKER");
    ASSERT_EQ(::mkfifo((tree / "fifo").c_str(), 0644), 0);
    fs::create_directory_symlink("..", tree / "sub0" / "loop");
    fs::create_symlink(tree / "hit.txt", tree / "link-to-hit");
    const auto locked = dir.write("tree/locked.txt", "TARNWICK-MARKER");
    fs::permissions(locked, fs::perms::none);
    dir.write("tree/closed/inside.txt", "TARNWICK-MARKER");
    fs::permissions(tree / "closed", fs::perms::none);
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string socketPath = (tree / "sock").string();
        ASSERT_LT(socketPath.size(), sizeof address.sun_path);
        std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
        const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(s);
    }
    test::openUp(tree.string());
    fs::permissions(tree, fs::perms::all);  // the unprivileged walk deletes in it

    // The folder listing is read before the first file is visited; the doomed files go then.
    const auto answer = test::runUnprivileged([&] {
        bool first = true;
        return encode(scanDir(tree, {rules}, 0, [&](const std::string& path) {
            if (!std::exchange(first, false)) return;
            for (int i = 0; i < 5; ++i) {
                const auto doomed = tree / ("doomed" + std::to_string(i));
                if (doomed != path) ::unlink(doomed.c_str());
            }
        }));
    });
    ASSERT_TRUE(answer) << "the scan did not finish";
    const Scan s = decode(*answer);
    ASSERT_FALSE(s.visited.empty());
    const std::string first = s.visited.front();
    const bool firstWasDoomed = first.find("doomed") != std::string::npos;
    std::set<std::string> markerHits;
    for (const RuleMatch& m : s.matches)
        if (m.identifier == "Marker") markerHits.insert(fs::path(m.filepath).filename().string());

    // 20 plain files and hit.txt, and the doomed file already open when the others went.
    EXPECT_EQ(s.visited.size(), 21u + (firstWasDoomed ? 1 : 0));
    EXPECT_TRUE(markerHits.count("hit.txt"));
    EXPECT_FALSE(markerHits.count("locked.txt"));
    EXPECT_FALSE(markerHits.count("inside.txt"));
    EXPECT_FALSE(markerHits.count("link-to-hit"));
    EXPECT_EQ(markerHits.size(), 1u + (firstWasDoomed ? 1 : 0));

    // What was passed by is told, as warnings: the scan of the rest was whole.
    EXPECT_TRUE(s.errors.empty()) << s.errors.front();
    EXPECT_TRUE(anyMentions(s.warnings, locked.string()));
    EXPECT_TRUE(anyMentions(s.warnings, (tree / "closed").string()));
    for (int i = 0; i < 5; ++i) {
        const std::string doomed = (tree / ("doomed" + std::to_string(i))).string();
        if (doomed != first) {
            EXPECT_TRUE(anyMentions(s.warnings, doomed)) << doomed;
        }
    }
}

// A target that cannot be scanned at all is an error, whichever call was given it.
TEST(ScanEngine, ATargetThatCannotBeOpenedIsAnError) {
    TempDir dir;
    const auto rules = dir.write("r.yar", markerRules);
    const auto lockedFile = dir.write("locked.txt", "TARNWICK-MARKER");
    fs::permissions(lockedFile, fs::perms::none);
    dir.write("closed/inside.txt", "TARNWICK-MARKER");
    fs::permissions(dir / "closed", fs::perms::none);
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    fs::create_symlink(dir / "nowhere", dir / "dangling");
    test::openUp(dir.path().string());
    struct Case {
        const char* name;
        fs::path target;
        bool tree;
    } cases[] = {
        {"missing file", dir / "missing.txt", false},
        {"unreadable file", lockedFile, false},
        {"missing root", dir / "missing", true},
        {"unreadable root", dir / "closed", true},
        {"unreadable file as the root", lockedFile, true},
        {"FIFO as the root", dir / "fifo", true},
        {"link to nothing as the root", dir / "dangling", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto answer = test::runUnprivileged(
            [&] { return encode(c.tree ? scanDir(c.target, {rules}) : scanFile(c.target, {rules})); });
        ASSERT_TRUE(answer);
        const Scan s = decode(*answer);
        EXPECT_TRUE(s.matches.empty());
        EXPECT_TRUE(anyMentions(s.errors, c.target.string()));
        EXPECT_TRUE(s.warnings.empty()) << s.warnings.front();
    }
}

// A rule that cannot finish within the time-out: the file a scan was given failing is an error,
// a file inside a tree failing is passed by.
TEST(ScanEngine, ATimedOutFileFailsAScanOnlyWhenItIsTheTarget) {
    TempDir dir;
    const auto slow = dir.write("slow.yar", "rule Slow { condition: for all i in (0..4000000000) : (i >= 0) }\n");
    const auto file = dir.write("tree/file.txt", "text");
    const YaraEngine::RuleFiles map = filesMap({slow});
    struct Case {
        const char* name;
        fs::path target;
        bool tree;
        bool error;
    } cases[] = {
        {"file scan", file, false, true},
        {"file inside a tree", dir / "tree", true, false},
        {"file as the root of a tree", file, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scan s;
        if (c.tree)
            YaraEngine().simpleScanDirAtPath(c.target.string(), map, nullptr, 1, false, s.errors, s.warnings, {});
        else
            YaraEngine().simpleScanFileAtPath(c.target.string(), map, nullptr, 1, false, s.errors, s.warnings);
        const std::string timedOut = file.string() + ": the scan timed out";
        EXPECT_EQ(anyMentions(s.errors, timedOut), c.error) << ::testing::PrintToString(s.errors);
        EXPECT_EQ(anyMentions(s.warnings, timedOut), !c.error) << ::testing::PrintToString(s.warnings);
    }
}

// Niceness of each thread of this process that has the given name, from field 19 of its stat.
std::vector<int> niceOfThreadsNamed(const std::string& name) {
    std::vector<int> nice;
    for (const auto& task : fs::directory_iterator("/proc/self/task")) {
        std::string comm;
        std::getline(std::ifstream(task.path() / "comm"), comm);
        if (comm != name) continue;
        std::ifstream in(task.path() / "stat");
        const std::string stat{std::istreambuf_iterator<char>(in), {}};
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));  // from field 3 on
        std::string field;
        for (int i = 3; i <= 19 && fields >> field; ++i) {}
        nice.push_back(std::stoi(field));
    }
    return nice;
}

TEST(ScanEngine, PoolWorkersRunAtTheBackgroundPriorityOfTheScanThread) {
    TempDir dir;
    const auto rules = dir.write("r.yar", markerRules);
    dir.write("tree/file.txt", "text");
    int expected = 0;
    std::vector<int> workers;
    // A thread of its own: a thread cannot take its priority back up.
    std::thread([&] {
        errno = 0;
        const int before = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)));
        ASSERT_EQ(errno, 0);
        threadPriority::enterBackground();
        expected = std::max(threadPriority::backgroundNice, before);
        scanDir(dir / "tree", {rules}, 0, [&](const std::string&) { workers = niceOfThreadsNamed(ScanPool::workerName); });
    }).join();
    EXPECT_EQ(workers.size(), ScanPool::defaultWorkerCount());
    for (const int nice : workers) EXPECT_EQ(nice, expected);
}

}  // namespace
}  // namespace tarnwick
