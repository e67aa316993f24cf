#include "diff/UnifiedDiff.h"

#include <algorithm>

namespace tarnwick {
namespace {

std::vector<LineEdit> replaceAll(size_t beforeCount, size_t afterCount) {
    std::vector<LineEdit> edits;
    for (size_t i = 0; i < beforeCount; ++i) edits.push_back({LineEdit::remove, i});
    for (size_t j = 0; j < afterCount; ++j) edits.push_back({LineEdit::insert, j});
    return edits;
}

// "@@ -start,count +start,count @@" as diff writes it: a count of one is left out, and an empty
// range starts at the line before it.
std::string range(size_t linesBefore, size_t count) {
    const size_t start = count == 0 ? linesBefore : linesBefore + 1;
    return std::to_string(start) + (count == 1 ? "" : "," + std::to_string(count));
}

}  // namespace

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<LineEdit> lineEdits(const std::vector<std::string_view>& before, const std::vector<std::string_view>& after,
                                size_t maxDifferences) {
    const long n = static_cast<long>(before.size());
    const long m = static_cast<long>(after.size());
    const long maxD = std::min<long>(n + m, static_cast<long>(maxDifferences));
    // furthest[k + offset]: the furthest old line reached on diagonal k (old line minus new line).
    const long offset = maxD + 1;
    std::vector<long> furthest(static_cast<size_t>(2 * offset + 1), 0);
    // trace[d]: `furthest` on diagonals -d..d as step d found it, for walking back.
    std::vector<std::vector<long>> trace;
    auto at = [&](long k) -> long& { return furthest[static_cast<size_t>(k + offset)]; };

    long found = -1;
    for (long d = 0; d <= maxD && found < 0; ++d) {
        trace.emplace_back(furthest.begin() + (offset - d), furthest.begin() + (offset + d + 1));
        for (long k = -d; k <= d; k += 2) {
            long x = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? at(k + 1) : at(k - 1) + 1;
            long y = x - k;
            while (x < n && y < m && before[static_cast<size_t>(x)] == after[static_cast<size_t>(y)]) ++x, ++y;
            at(k) = x;
            if (x >= n && y >= m) {
                found = d;
                break;
            }
        }
    }
    if (found < 0) return replaceAll(before.size(), after.size());

    // Walk back from the end; each step d came from diagonal k-1 (a removal) or k+1 (an insertion).
    std::vector<LineEdit> reversed;
    long x = n;
    long y = m;
    for (long d = found; d > 0; --d) {
        const std::vector<long>& previous = trace[static_cast<size_t>(d)];
        auto prev = [&](long k) { return previous[static_cast<size_t>(k + d)]; };
        const long k = x - y;
        const long fromK = (k == -d || (k != d && prev(k - 1) < prev(k + 1))) ? k + 1 : k - 1;
        const long fromX = prev(fromK);
        const long fromY = fromX - fromK;
        while (x > fromX && y > fromY) reversed.push_back({LineEdit::keep, static_cast<size_t>(--x)}), --y;
        if (x == fromX) reversed.push_back({LineEdit::insert, static_cast<size_t>(fromY)});
        else reversed.push_back({LineEdit::remove, static_cast<size_t>(fromX)});
        x = fromX;
        y = fromY;
    }
    while (x > 0 && y > 0) reversed.push_back({LineEdit::keep, static_cast<size_t>(--x)}), --y;
    std::vector<LineEdit> edits(reversed.rbegin(), reversed.rend());
    // Within each run of changes the old lines go first, as diff shows them.
    for (auto run = edits.begin(); run != edits.end();) {
        auto end = std::find_if(run, edits.end(), [](const LineEdit& e) { return e.kind == LineEdit::keep; });
        std::stable_partition(run, end, [](const LineEdit& e) { return e.kind == LineEdit::remove; });
        run = end == edits.end() ? end : end + 1;
    }
    return edits;
}

std::string unifiedDiff(std::string_view before, std::string_view after, const std::string& beforeLabel,
                        const std::string& afterLabel, size_t context) {
    const auto oldLines = splitLines(before);
    const auto newLines = splitLines(after);
    const std::vector<LineEdit> edits = lineEdits(oldLines, newLines);

    // Old and new lines passed before each edit, to number the hunks.
    std::vector<size_t> oldBefore(edits.size() + 1, 0);
    std::vector<size_t> newBefore(edits.size() + 1, 0);
    for (size_t i = 0; i < edits.size(); ++i) {
        oldBefore[i + 1] = oldBefore[i] + (edits[i].kind != LineEdit::insert);
        newBefore[i + 1] = newBefore[i] + (edits[i].kind != LineEdit::remove);
    }

    std::string out;
    size_t i = 0;
    while (i < edits.size()) {
        while (i < edits.size() && edits[i].kind == LineEdit::keep) ++i;
        if (i == edits.size()) break;
        // A hunk: from `context` lines before this change to `context` lines after the last
        // change that is no further than twice the context from the one before it.
        const size_t first = i >= context ? i - context : 0;
        size_t last = i;  // one past the last change
        for (size_t j = i; j < edits.size(); ++j) {
            if (edits[j].kind == LineEdit::keep) {
                if (j - last >= 2 * context) break;  // more than twice the context unchanged
                continue;
            }
            last = j + 1;
        }
        const size_t end = std::min(edits.size(), last + context);
        if (out.empty()) out += "--- " + beforeLabel + "\n+++ " + afterLabel + "\n";
        out += "@@ -" + range(oldBefore[first], oldBefore[end] - oldBefore[first]) + " +" +
               range(newBefore[first], newBefore[end] - newBefore[first]) + " @@\n";
        for (size_t j = first; j < end; ++j) {
            const LineEdit& edit = edits[j];
            const char mark = edit.kind == LineEdit::keep ? ' ' : edit.kind == LineEdit::remove ? '-' : '+';
            out += mark;
            out += edit.kind == LineEdit::insert ? newLines[edit.line] : oldLines[edit.line];
            out += '\n';
        }
        i = end;
    }
    return out;
}

}  // namespace tarnwick
