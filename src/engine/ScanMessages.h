#pragma once
// Errors and warnings gathered while rules are compiled and files scanned, from several threads.
// An error is what keeps a scan from being whole: a rule file left out, a target that could not be
// opened, read or walked, the one file of a file scan that failed to scan, no rules at all. A
// warning is a problem with one entry inside a tree (it is passed by, the others are scanned) or
// a file with more matches of a string than are counted. Each list keeps its first `limit`
// messages and then only counts, so a tree of a million unreadable files cannot fill the memory
// with messages.
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace tarnwick {

class ScanMessages {
public:
    static constexpr size_t limit = 1000;

    enum class Level { error, warning };

    void error(std::string message);
    void warning(std::string message);
    void add(Level level, std::string message);

    // Appends the messages to the caller's lists; a list that overflowed ends with a line telling
    // how many messages were left out.
    void appendTo(std::vector<std::string>& errors, std::vector<std::string>& warnings) const;

private:
    struct List {
        std::vector<std::string> messages;
        size_t dropped = 0;
    };
    static void addTo(List& list, std::string message);
    static void appendList(const List& list, std::vector<std::string>& out);

    mutable std::mutex mutex_;
    List errors_;
    List warnings_;
};

}  // namespace tarnwick
