// Rules read by the converter and rendered back as text compile again to the same rules: on every
// file of the converter's corpus that libyara compiles, the raw rendering of all its rules, joined
// behind the file's imports, compiles to the same rule names in the same order.
#include "platform/PlatformHelpers.h"
#include "platform/Resources.h"
#include "yara/ConverterDocument.h"
#include "yara/RuleRendering.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <yara.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// libyara stays set up for the rest of the process, as the engine leaves it.
bool libyaraReady() {
    static const bool ready = yr_initialize() == ERROR_SUCCESS;
    return ready;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void noMessages(int, const char*, int, const YR_RULE*, const char*, void*) {}

// The rule names libyara compiles the source (a file, or text) to; absent when it does not compile.
std::optional<std::vector<std::string>> compiledNames(const fs::path* file, const std::string* text) {
    YR_COMPILER* compiler = nullptr;
    if (yr_compiler_create(&compiler) != ERROR_SUCCESS) return std::nullopt;
    yr_compiler_set_callback(compiler, noMessages, nullptr);
    int errors = 0;
    if (file) {
        FILE* f = std::fopen(file->c_str(), "r");
        errors = f ? yr_compiler_add_file(compiler, f, nullptr, file->c_str()) : 1;
        if (f) std::fclose(f);
    } else {
        errors = yr_compiler_add_string(compiler, text->c_str(), nullptr);
    }
    std::optional<std::vector<std::string>> names;
    YR_RULES* rules = nullptr;
    if (errors == 0 && yr_compiler_get_rules(compiler, &rules) == ERROR_SUCCESS) {
        names.emplace();
        const YR_RULE* rule = nullptr;
        yr_rules_foreach(rules, rule) names->push_back(rule->identifier);
        yr_rules_destroy(rules);
    }
    yr_compiler_destroy(compiler);
    return names;
}

// `import "x"` lines of the file and of the files it includes.
void collectImports(const fs::path& file, std::set<std::string>& imports, int depth = 0) {
    if (depth > 16) return;
    const std::string source = readFile(file);
    static const std::regex importLine(R"re(^\s*import\s+"([^"]+)")re", std::regex::multiline);
    static const std::regex includeLine(R"re(^\s*include\s+"([^"]+)")re", std::regex::multiline);
    for (std::sregex_iterator it(source.begin(), source.end(), importLine), end; it != end; ++it)
        imports.insert((*it)[1]);
    for (std::sregex_iterator it(source.begin(), source.end(), includeLine), end; it != end; ++it)
        collectImports(file.parent_path() / (*it)[1].str(), imports, depth + 1);
}

TEST(RoundTrip, RenderedRulesCompileToTheSameRules) {
    ASSERT_TRUE(libyaraReady());
    const auto converter = resources::path("yago", "");
    ASSERT_TRUE(converter) << "the converter is built into the resources";
    const fs::path corpus = fs::path(TARNWICK_SOURCE_DIR) / "tests/yago/corpus";
    ASSERT_TRUE(fs::is_directory(corpus));

    size_t checked = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
        const fs::path& file = entry.path();
        if (!entry.is_regular_file() || (file.extension() != ".yar" && file.extension() != ".yara")) continue;
        const auto expected = compiledNames(&file, nullptr);
        if (!expected) continue;  // files that libyara refuses are the converter's own concern
        SCOPED_TRACE(file.string());

        const auto output = launchAndReturnStdOut(converter->string(), {"fileName", file.string(), "--validJSON"});
        ASSERT_TRUE(output && !output->empty());
        std::set<std::string> imports;
        collectImports(file, imports);
        std::string text;
        for (const std::string& module : imports) text += "import \"" + module + "\"\n";
        std::vector<std::string> names;
        for (YaraRuleFields& fields : readConverterText(*output)) {
            names.push_back(fields.name);
            text += renderRule(DisplayType::RAW, YaraRule(std::move(fields))) + "\n";
        }
        EXPECT_EQ(names, *expected) << "the converter gives libyara's rules in libyara's order";
        const auto again = compiledNames(nullptr, &text);
        ASSERT_TRUE(again) << "the rendering does not compile:\n" << text;
        EXPECT_EQ(*again, *expected);
        ++checked;
    }
    EXPECT_GT(checked, 0u);
}

}  // namespace
}  // namespace tarnwick
