// The core is read bottom-up: every folder of src/ includes only its own files and those of the
// folders below it, and only the engine sees libyara. This is the one place the layers are
// written down (README's layout section shows the same table).
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

const std::set<std::string> appAndBelow = {"platform", "engine", "models", "yara", "scan", "update", "app"};
// The tools stand on the window, app and below, and on the comparison of releases.
const std::set<std::string> toolsMayInclude = {"platform", "engine", "models", "yara", "scan",
                                               "update", "app",     "ui",     "diff"};

// Folder to the folders it may include besides itself.
const std::map<std::string, std::set<std::string>> mayInclude = {
    {"platform", {}},
    {"engine", {"platform"}},
    {"models", {"platform"}},
    {"yara", {"platform", "engine", "models"}},
    {"scan", {"platform", "engine", "models", "yara"}},
    {"update", {"platform", "models"}},
    {"diff", {"platform", "engine", "models", "yara"}},
    {"app", {"platform", "engine", "models", "yara", "scan", "update"}},
    {"ui", appAndBelow},
    {"tools", toolsMayInclude},
    {"yago", {}},  // a program of its own
};

// Qt belongs to the window: the core below it, and the converter, never see it.
bool mayIncludeQt(const fs::path& relative) {
    const std::string folder = relative.begin()->string();
    return folder == "ui" || folder == "tools";
}

// Only the engine's sources see libyara; its headers keep it to themselves.
bool mayIncludeLibyara(const fs::path& relative) {
    return relative.begin()->string() == "engine" && relative.extension() == ".cpp";
}

// "file:line: what is wrong" for every include under `src` the layers do not allow.
std::vector<std::string> includeViolations(const fs::path& src) {
    static const std::regex quoted(R"re(^\s*#\s*include\s*"([^"]+)")re");
    static const std::regex libyara(R"(^\s*#\s*include\s*<yara(\.h|/[^>]*)>)");
    static const std::regex qt(R"(^\s*#\s*include\s*<Q[A-Za-z]+(/[^>]*)?>)");
    std::vector<std::string> violations;
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(src))
        if (entry.is_regular_file() && (entry.path().extension() == ".h" || entry.path().extension() == ".cpp"))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        const fs::path relative = fs::relative(file, src);
        const std::string folder = relative.begin()->string();
        const std::string where = relative.string();
        const auto rules = mayInclude.find(folder);
        if (rules == mayInclude.end() || std::next(relative.begin()) == relative.end()) {
            violations.push_back(where + ": in no layer; add its folder to the table");
            continue;
        }
        std::ifstream in(file);
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            const std::string at = where + ":" + std::to_string(number) + ": ";
            std::smatch match;
            if (std::regex_search(line, match, libyara) && !mayIncludeLibyara(relative))
                violations.push_back(at + "includes libyara, which only the engine's sources may");
            if (std::regex_search(line, match, qt) && !mayIncludeQt(relative))
                violations.push_back(at + "includes Qt, which only the window may");
            if (!std::regex_search(line, match, quoted)) continue;
            const fs::path target = match[1].str();
            if (std::next(target.begin()) == target.end()) continue;  // beside the file itself
            const std::string targetFolder = target.begin()->string();
            if (targetFolder != folder && !rules->second.count(targetFolder))
                violations.push_back(at + folder + "/ may not include " + target.string());
        }
    }
    return violations;
}

TEST(Layering, EveryIncludeUnderSrcGoesDownTheLayers) {
    const auto violations = includeViolations(fs::path(TARNWICK_SOURCE_DIR) / "src");
    for (const std::string& violation : violations) ADD_FAILURE() << violation;
    EXPECT_TRUE(violations.empty());
}

TEST(Layering, UpwardIncludesAreNamedWithFileAndLine) {
    test::TempDir src;
    src.write("platform/Queue.h", "#pragma once\n#include <string>\n");
    src.write("models/List.h", "#pragma once\n#include \"platform/Queue.h\"\n#include \"List2.h\"\n");
    src.write("models/Lists.cpp", "#include \"models/List.h\"\n\n  #  include \"app/TarnwickModel.h\"\n");
    src.write("engine/Engine.h", "#pragma once\n#include <yara.h>\n");
    src.write("engine/Engine.cpp", "#include <yara.h>\n#include \"engine/Engine.h\"\n");
    src.write("scan/Driver.cpp", "#include \"yara/YaraModel.h\"\n#include \"update/XProtectUpdate.h\"\n");
    src.write("yago/Lexer.cpp", "#include \"yago/Lexer.h\"\n#include \"platform/Log.h\"\n");
    src.write("gui/Window.cpp", "#include \"app/TarnwickModel.h\"\n");
    src.write("app/Model.cpp", "#include <QString>\n");
    src.write("ui/Window.cpp", "#include <QtWidgets/QWidget>\n#include <QLabel>\n#include \"app/TarnwickModel.h\"\n");
    EXPECT_EQ(includeViolations(src.path()), (std::vector<std::string>{
                                                 "app/Model.cpp:1: includes Qt, which only the window may",
                                                 "engine/Engine.h:2: includes libyara, which only the engine's sources may",
                                                 "gui/Window.cpp: in no layer; add its folder to the table",
                                                 "models/Lists.cpp:3: models/ may not include app/TarnwickModel.h",
                                                 "scan/Driver.cpp:2: scan/ may not include update/XProtectUpdate.h",
                                                 "yago/Lexer.cpp:2: yago/ may not include platform/Log.h",
                                             }));
}

}  // namespace
}  // namespace tarnwick
