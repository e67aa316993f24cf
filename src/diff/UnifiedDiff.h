#pragma once
// A unified diff of two texts, line by line, as `diff -u` writes one: "---" and "+++" headers,
// then hunks of changed lines with up to `context` unchanged lines around them.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The lines of a text, split at "\n"; a last line without its break is a line too.
std::vector<std::string_view> splitLines(std::string_view text);

// One step of turning the old lines into the new ones.
struct LineEdit {
    enum Kind { keep, remove, insert };
    Kind kind;
    size_t line;  // of the old text for keep and remove, of the new one for insert
};

// A shortest edit script (Myers' algorithm). Texts that differ in more than `maxDifferences`
// lines are answered with every old line removed and every new one inserted, which keeps time
// and memory bounded however large they are.
std::vector<LineEdit> lineEdits(const std::vector<std::string_view>& before, const std::vector<std::string_view>& after,
                                size_t maxDifferences = 1000);

// "" when the texts are equal. Every line of the diff ends with "\n".
std::string unifiedDiff(std::string_view before, std::string_view after, const std::string& beforeLabel,
                        const std::string& afterLabel, size_t context = 3);

}  // namespace tarnwick
