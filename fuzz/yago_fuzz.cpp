// libFuzzer target for the rule converter: the input is the content of a rule file. Whatever it
// holds, parsing must end without a crash, a hang or unbounded recursion, and an accepted file
// must render to a document that is valid JSON.
//
// Includes never touch the disk: every include names the input itself, under the included path,
// so include handling (nesting, cycles, failures inside included text) is exercised too.
#include "yago/Parser.h"
#include "yago/RuleDocument.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarnwick::yago;
    const Source input{"fuzz.yar", "fuzz.yar", std::string(reinterpret_cast<const char*>(data), size)};
    const IncludeResolver sameText = [&input](const Source&, const std::string& path, Source& found, std::string&) {
        found = Source{path, path, std::string(input.content())};
        return true;
    };
    const ParseResult result = parseSource(input, sameText);
    if (result.ok()) {
        if (!nlohmann::json::accept(renderDocument(result.rules))) std::abort();
    } else if (result.error->message.empty() || !result.rules.empty()) {
        std::abort();
    }
    return 0;
}
