// Parses a YARA rule file with yaramod and builds, for every rule, what our converter delivers:
// name, meta, tags, strings (identifier, value, modifiers, kind), condition text and the
// private/global flags. Without this walk yaramod would be timed on parsing alone and the
// comparison with a converter that also extracts and writes all of it would flatter yaramod.
//
//     yaramod_driver RULEFILE [--json FILE]
//
// Prints the rule count. With --json the rules are also written as the converter's JSON document.
#include <yaramod/yaramod.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

namespace {

// Same numbering as the converter's: 1 text, 2 regular expression, 3 hex.
int stringKind(const yaramod::String& s)
{
    if (s.isHex())
        return 3;
    if (s.isRegexp())
        return 2;
    return 1;
}

// yaramod keeps the modifiers as one text (" ascii wide xor(1-255)"); split it on blanks.
nlohmann::json splitModifiers(const std::string& text)
{
    nlohmann::json out = nlohmann::json::array();
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = text.find_first_not_of(' ', pos);
        if (start == std::string::npos)
            break;
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        out.push_back(text.substr(start, end - start));
        pos = end;
    }
    return out;
}

nlohmann::json ruleRecord(const yaramod::Rule& rule)
{
    nlohmann::json r;
    r["name"] = rule.getName();

    nlohmann::json meta = nlohmann::json::object();
    for (const auto& m : rule.getMetas()) {
        const auto& value = m.getValue();
        meta[m.getKey()] = value.isString() ? value.getPureText() : value.getText();
    }
    r["meta"] = std::move(meta);

    r["tags"] = rule.getTags();

    nlohmann::json strings = nlohmann::json::array();
    for (const yaramod::String* s : rule.getStrings()) {
        nlohmann::json js;
        js["name"] = s->getIdentifier();
        // getText() ends with the modifiers; the value is the text before them.
        const std::string mods = s->getModifiersText();
        std::string value = s->isPlain() ? s->getPureText() : s->getText();
        if (!s->isPlain() && !mods.empty() && value.size() >= mods.size()
            && value.compare(value.size() - mods.size(), mods.size(), mods) == 0)
            value.resize(value.size() - mods.size());
        js["value"] = std::move(value);
        js["modifers"] = splitModifiers(mods);
        js["type"] = stringKind(*s);
        strings.push_back(std::move(js));
    }
    r["strings"] = std::move(strings);

    r["condition"] = rule.getCondition() ? rule.getCondition()->getText() : std::string();
    const auto mod = rule.getModifier();
    r["private"] = mod == yaramod::Rule::Modifier::Private || mod == yaramod::Rule::Modifier::PrivateGlobal;
    r["global"] = mod == yaramod::Rule::Modifier::Global || mod == yaramod::Rule::Modifier::PrivateGlobal;
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    std::string ruleFile;
    std::string jsonFile;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--json" && i + 1 < argc)
            jsonFile = argv[++i];
        else if (ruleFile.empty())
            ruleFile = arg;
        else {
            std::cerr << "usage: yaramod_driver RULEFILE [--json FILE]\n";
            return 2;
        }
    }
    if (ruleFile.empty()) {
        std::cerr << "usage: yaramod_driver RULEFILE [--json FILE]\n";
        return 2;
    }

    try {
        yaramod::Yaramod yaramod;
        const auto file = yaramod.parseFile(ruleFile);
        if (!file) {
            std::cerr << "yaramod: could not parse " << ruleFile << "\n";
            return 1;
        }

        nlohmann::json rules = nlohmann::json::array();
        for (const auto& rule : file->getRules())
            rules.push_back(ruleRecord(*rule));
        const std::size_t count = rules.size();

        if (!jsonFile.empty()) {
            nlohmann::json doc;
            doc["ruleset"] = nlohmann::json::array({nlohmann::json{{"rules", std::move(rules)}}});
            std::ofstream out(jsonFile, std::ios::binary);
            // Text from a rule file need not be UTF-8; replace what is not rather than abort.
            out << doc.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
            if (!out) {
                std::cerr << "yaramod_driver: cannot write " << jsonFile << "\n";
                return 1;
            }
        }
        std::cout << count << '\n';
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "yaramod: " << e.what() << "\n";
        return 1;
    }
}
