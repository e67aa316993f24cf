// The line diff under the change log: hunks as `diff -u` writes them, and edit scripts that are
// both right (they turn the old lines into the new) and shortest.
#include "diff/UnifiedDiff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

std::string numbered(int from, int to) {
    std::string out;
    for (int i = from; i <= to; ++i) out += "line " + std::to_string(i) + "\n";
    return out;
}

TEST(UnifiedDiff, WritesHunksAsDiffDoes) {
    const std::string ten = numbered(1, 10);
    std::string middle = ten;
    middle.replace(middle.find("line 5\n"), 7, "line five\n");
    std::string ends = ten;
    ends.replace(ends.find("line 1\n"), 7, "");
    ends += "line 11\n";
    std::string near = ten;  // changes six unchanged lines apart share a hunk
    near.replace(near.find("line 2\n"), 7, "line two\n");
    near.replace(near.find("line 9\n"), 7, "line nine\n");
    std::string apart = ten;  // seven apart, they do not
    apart.replace(apart.find("line 1\n"), 7, "line one\n");
    apart.replace(apart.find("line 9\n"), 7, "line nine\n");
    const struct {
        const char* what;
        std::string before;
        std::string after;
        std::string expected;
    } cases[] = {
        {"equal texts", ten, ten, ""},
        {"one line in the middle, three lines of context", ten, middle,
         "--- a\n+++ b\n@@ -2,7 +2,7 @@\n line 2\n line 3\n line 4\n-line 5\n+line five\n line 6\n line 7\n line 8\n"},
        {"changes at both ends make two hunks", ten, ends,
         "--- a\n+++ b\n@@ -1,4 +1,3 @@\n-line 1\n line 2\n line 3\n line 4\n@@ -8,3 +7,4 @@\n line 8\n line 9\n"
         " line 10\n+line 11\n"},
        {"six unchanged lines between changes: one hunk", ten, near,
         "--- a\n+++ b\n@@ -1,10 +1,10 @@\n line 1\n-line 2\n+line two\n line 3\n line 4\n line 5\n line 6\n line 7\n"
         " line 8\n-line 9\n+line nine\n line 10\n"},
        {"seven unchanged lines between changes: two hunks", ten, apart,
         "--- a\n+++ b\n@@ -1,4 +1,4 @@\n-line 1\n+line one\n line 2\n line 3\n line 4\n@@ -6,5 +6,5 @@\n line 6\n"
         " line 7\n line 8\n-line 9\n+line nine\n line 10\n"},
        {"from nothing: an empty range starts at 0", "", "x\ny", "--- a\n+++ b\n@@ -0,0 +1,2 @@\n+x\n+y\n"},
        {"a one-line range has no count", "x", "y", "--- a\n+++ b\n@@ -1 +1 @@\n-x\n+y\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(unifiedDiff(c.before, c.after, "a", "b"), c.expected);
    }
}

// Length of the longest common subsequence, the slow and obvious way.
size_t commonLines(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b) {
    std::vector<std::vector<size_t>> table(a.size() + 1, std::vector<size_t>(b.size() + 1, 0));
    for (size_t i = 1; i <= a.size(); ++i)
        for (size_t j = 1; j <= b.size(); ++j)
            table[i][j] = a[i - 1] == b[j - 1] ? table[i - 1][j - 1] + 1 : std::max(table[i - 1][j], table[i][j - 1]);
    return table[a.size()][b.size()];
}

// Plays the edits on the old lines; checks each kept line is the same on both sides.
std::vector<std::string_view> apply(const std::vector<LineEdit>& edits, const std::vector<std::string_view>& before,
                                    const std::vector<std::string_view>& after) {
    std::vector<std::string_view> out;
    size_t oldAt = 0;
    for (const LineEdit& edit : edits) {
        switch (edit.kind) {
            case LineEdit::keep:
                EXPECT_EQ(edit.line, oldAt++);
                out.push_back(before.at(edit.line));
                break;
            case LineEdit::remove:
                EXPECT_EQ(edit.line, oldAt++);
                break;
            case LineEdit::insert:
                EXPECT_EQ(edit.line, out.size());
                out.push_back(after.at(edit.line));
                break;
        }
    }
    EXPECT_EQ(oldAt, before.size()) << "every old line is kept or removed";
    return out;
}

TEST(UnifiedDiff, EditScriptsTurnTheOldLinesIntoTheNewAndAreShortest) {
    std::mt19937 random(16);
    for (int round = 0; round < 300; ++round) {
        // Few distinct lines, so that there are many ways to match them.
        auto lines = [&](size_t count) {
            std::vector<std::string_view> out;
            static const std::string_view words[] = {"a", "b", "c", "d"};
            for (size_t i = 0; i < count; ++i) out.push_back(words[random() % 4]);
            return out;
        };
        const auto before = lines(random() % 12);
        const auto after = lines(random() % 12);
        const std::vector<LineEdit> edits = lineEdits(before, after);
        EXPECT_EQ(apply(edits, before, after), after) << "round " << round;
        const auto kept = static_cast<size_t>(
            std::count_if(edits.begin(), edits.end(), [](const LineEdit& e) { return e.kind == LineEdit::keep; }));
        EXPECT_EQ(kept, commonLines(before, after)) << "round " << round;
    }
}

TEST(UnifiedDiff, BeyondTheLimitEverythingIsReplaced) {
    const auto before = splitLines("a\nb\nc\nd\n");
    const auto after = splitLines("a\nB\nC\nd\n");
    const std::vector<LineEdit> edits = lineEdits(before, after, 3);  // needs 4
    EXPECT_EQ(apply(edits, before, after), after);
    EXPECT_TRUE(std::none_of(edits.begin(), edits.end(), [](const LineEdit& e) { return e.kind == LineEdit::keep; }));
    const std::vector<LineEdit> within = lineEdits(before, after, 4);
    EXPECT_EQ(std::count_if(within.begin(), within.end(), [](const LineEdit& e) { return e.kind == LineEdit::keep; }),
              2)
        << "within the limit the script is the shortest";
}

}  // namespace
}  // namespace tarnwick
