// Every rule file of our corpus, converted by yago and compiled by libyara: both must see the
// same rules, in the same order, with the same tags, flags, strings and meta entries.
#include "yago/YagoRun.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <yara.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

// What libyara keeps of one string or rule, in the shape yago reports it.
struct EngineString {
    std::string name;
    int type = 0;
    std::set<std::string> modifiers;  // those the engine's flags record
};

struct EngineRule {
    std::string name;
    bool isPrivate = false;
    bool isGlobal = false;
    std::vector<std::string> tags;
    std::vector<std::pair<std::string, std::string>> meta;  // the values as bytes / decimal text
    std::vector<EngineString> strings;
};

bool initialiseYara() {
    static const bool done = yr_initialize() == ERROR_SUCCESS;
    return done;
}

void collectErrors(int level, const char* file, int line, const YR_RULE*, const char* message, void* user) {
    if (level != YARA_ERROR_LEVEL_ERROR) return;
    auto& errors = *static_cast<std::string*>(user);
    errors += std::string(file ? file : "?") + ":" + std::to_string(line) + ": " + message + "\n";
}

std::set<std::string> modifiersFromFlags(uint32_t flags) {
    std::set<std::string> out;
    if (flags & STRING_FLAGS_WIDE) out.insert("wide");
    if (flags & STRING_FLAGS_FULL_WORD) out.insert("fullword");
    if (flags & STRING_FLAGS_PRIVATE) out.insert("private");
    if (flags & STRING_FLAGS_XOR) out.insert("xor");
    if (flags & STRING_FLAGS_BASE64) out.insert("base64");
    if (flags & STRING_FLAGS_BASE64_WIDE) out.insert("base64wide");
    if (flags & STRING_FLAGS_NO_CASE) out.insert("nocase");
    return out;
}

// Compiles the file with includes taken from its own folder (the engine resolves them against
// the file name it is given). Empty `errors` on success.
std::vector<EngineRule> compile(const std::filesystem::path& file, std::string& errors) {
    std::vector<EngineRule> out;
    YR_COMPILER* compiler = nullptr;
    if (!initialiseYara() || yr_compiler_create(&compiler) != ERROR_SUCCESS) {
        errors = "libyara unavailable";
        return out;
    }
    yr_compiler_set_callback(compiler, collectErrors, &errors);
    FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) {
        errors = "cannot open " + file.string();
        yr_compiler_destroy(compiler);
        return out;
    }
    const int failures = yr_compiler_add_file(compiler, in, nullptr, file.c_str());
    std::fclose(in);
    YR_RULES* rules = nullptr;
    if (failures == 0 && yr_compiler_get_rules(compiler, &rules) == ERROR_SUCCESS) {
        const YR_RULE* rule;
        yr_rules_foreach(rules, rule) {
            EngineRule r;
            r.name = rule->identifier;
            r.isPrivate = RULE_IS_PRIVATE(rule);
            r.isGlobal = RULE_IS_GLOBAL(rule);
            const char* tag;
            yr_rule_tags_foreach(rule, tag) r.tags.emplace_back(tag);
            const YR_META* meta;
            yr_rule_metas_foreach(rule, meta) {
                std::string value;
                if (meta->type == META_TYPE_STRING) value = meta->string;
                else if (meta->type == META_TYPE_BOOLEAN) value = meta->integer ? "true" : "false";
                else value = std::to_string(meta->integer);
                r.meta.emplace_back(meta->identifier, value);
            }
            const YR_STRING* string;
            yr_rule_strings_foreach(rule, string) {
                // A string cut at a long jump continues in further pieces chained to the first.
                if (string->chained_to != nullptr) continue;
                EngineString s;
                s.name = string->identifier;
                s.type = STRING_IS_HEX(string) ? 3 : STRING_IS_REGEXP(string) ? 2 : 1;
                s.modifiers = modifiersFromFlags(string->flags);
                r.strings.push_back(std::move(s));
            }
            out.push_back(std::move(r));
        }
        yr_rules_destroy(rules);
    } else if (errors.empty()) {
        errors = "compilation failed";
    }
    yr_compiler_destroy(compiler);
    return out;
}

// The bytes a YARA text literal stands for.
std::string decodeEscapes(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out.push_back(text[i]);
            continue;
        }
        const char e = text[++i];
        switch (e) {
        case 'n': out.push_back('\n'); break;
        case 't': out.push_back('\t'); break;
        case 'r': out.push_back('\r'); break;
        case 'x': out.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16))); i += 2; break;
        default: out.push_back(e);
        }
    }
    return out;
}

// Modifiers by name, arguments dropped; a regex's "i" flag is the engine's nocase.
std::set<std::string> modifierNames(const nlohmann::ordered_json& string) {
    std::set<std::string> out;
    for (const auto& m : string.at("modifers")) {
        const auto text = m.get<std::string>();
        const auto name = text.substr(0, text.find('('));
        if (name != "ascii") out.insert(name);
    }
    const auto value = string.at("value").get<std::string>();
    if (string.at("type") == 2 && value.substr(value.rfind('/')).find('i') != std::string::npos) out.insert("nocase");
    return out;
}

std::vector<std::filesystem::path> corpusFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(test::yagoTestFiles("corpus")))
        if (entry.path().extension() == ".yar") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(YagoDifferential, CorpusMatchesWhatLibyaraCompiles) {
    const auto files = corpusFiles();
    ASSERT_GE(files.size(), 10u);
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        std::string errors;
        const auto expected = compile(file, errors);
        // The corpus holds good rule files only: one libyara refuses is a broken fixture.
        ASSERT_EQ(errors, "");

        const auto run = test::convert(file);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const auto document = nlohmann::ordered_json::parse(run.out);
        ASSERT_EQ(document.at("ruleset").size(), 1u);
        const auto& rules = document.at("ruleset")[0].at("rules");
        ASSERT_EQ(rules.size(), expected.size());

        for (size_t i = 0; i < expected.size(); ++i) {
            const auto& want = expected[i];
            const auto& got = rules[i];
            SCOPED_TRACE(want.name);
            EXPECT_EQ(got.at("name"), want.name);
            EXPECT_EQ(got.at("private"), want.isPrivate);
            EXPECT_EQ(got.at("global"), want.isGlobal);
            EXPECT_EQ(got.at("tags").get<std::vector<std::string>>(), want.tags);

            // The engine keeps a repeated meta key twice; the document keeps it once, in its
            // first place, with its last value.
            std::vector<std::pair<std::string, std::string>> meta;
            for (const auto& [key, value] : want.meta) {
                auto same = std::find_if(meta.begin(), meta.end(), [&](const auto& e) { return e.first == key; });
                if (same == meta.end()) meta.emplace_back(key, value);
                else same->second = value;
            }
            const auto& gotMeta = got.at("meta");
            ASSERT_EQ(gotMeta.size(), meta.size());
            size_t m = 0;
            for (const auto& [key, value] : gotMeta.items()) {
                EXPECT_EQ(key, meta[m].first);
                EXPECT_EQ(decodeEscapes(value.get<std::string>()), meta[m].second) << key;
                ++m;
            }

            const auto& strings = got.at("strings");
            ASSERT_EQ(strings.size(), want.strings.size());
            for (size_t s = 0; s < strings.size(); ++s) {
                EXPECT_EQ(strings[s].at("name"), want.strings[s].name);
                EXPECT_EQ(strings[s].at("type"), want.strings[s].type) << want.strings[s].name;
                EXPECT_EQ(modifierNames(strings[s]), want.strings[s].modifiers) << want.strings[s].name;
            }
            EXPECT_FALSE(got.at("condition").get<std::string>().empty());
        }
    }
}

}  // namespace
}  // namespace tarnwick
