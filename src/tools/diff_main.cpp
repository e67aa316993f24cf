// tarnwick-diff: compares two XProtect releases and prints what changed from OLD to NEW as one
// JSON object, or with --text as a change log: the rules added, removed and rewritten, and the
// changes to the plug-in and extension blacklists, the Gatekeeper checks and the Java minimum.
// Each side is a Mac's root folder, an XProtect.bundle folder or its Contents/Resources folder;
// both are read at once. A side that cannot be read is named on stderr with the reason, nothing
// is printed on stdout and the exit status is 2. Nothing here goes through the central model.
#include "diff/ChangeLog.h"
#include "diff/ReleaseDiff.h"
#include "diff/ReleaseDiffJson.h"
#include "diff/XProtectRelease.h"
#include "platform/Resources.h"
#include "yara/RuleConverter.h"

#include <algorithm>
#include <cstdio>
#include <future>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tarnwick;

void usage(const char* program) {
    std::fprintf(stderr,
                 "Usage: %s OLD NEW [--text]\n"
                 "Compares two XProtect releases and prints the changes from OLD to NEW as JSON.\n"
                 "OLD and NEW are each a Mac's root folder, an XProtect.bundle folder or its\n"
                 "Contents/Resources folder.\n"
                 "  --text   prints a change log instead, with a unified diff of each changed rule\n",
                 program);
}

// The reason on one line, whatever the engine's messages held.
std::string oneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> sides;
    bool text = false;
    bool onlyPaths = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (onlyPaths || arg.empty() || arg[0] != '-') {
            sides.push_back(arg);
        } else if (arg == "--") {
            onlyPaths = true;
        } else if (arg == "--text") {
            text = true;
        } else if (arg == "-h" || arg == "--help") {
            usage(argv[0]);
            return 0;
        } else {
            usage(argv[0]);
            return 2;
        }
    }
    if (sides.size() != 2) {
        usage(argv[0]);
        return 2;
    }
    const std::optional<std::string> converter = shippedConverterPath();
    if (!converter) {
        std::fprintf(stderr, "tarnwick-diff: the rule converter yago is missing from %s\n",
                     resources::resourceDirectory().c_str());
        return 2;
    }

    auto reading = [&](const std::string& side) {
        return std::async(std::launch::async, [&converter, side] { return readRelease(side, *converter); });
    };
    auto oldReading = reading(sides[0]);
    auto newReading = reading(sides[1]);
    const ReleaseReading before = oldReading.get();
    const ReleaseReading after = newReading.get();
    if (!before.release || !after.release) {
        if (!before.release) std::fprintf(stderr, "tarnwick-diff: old: %s\n", oneLine(before.error).c_str());
        if (!after.release) std::fprintf(stderr, "tarnwick-diff: new: %s\n", oneLine(after.error).c_str());
        return 2;
    }

    const ReleaseDiff diff = compareReleases(*before.release, *after.release);
    if (text)
        std::cout << changeLog(*before.release, *after.release, diff);
    else
        std::cout << releaseDiffJson(*before.release, *after.release, diff)
                         .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                  << std::endl;
    return 0;
}
