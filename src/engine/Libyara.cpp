#include "engine/Libyara.h"

#include "engine/RuleIncludes.h"

#include <yara.h>

namespace tarnwick::libyara {
namespace {

void collectMessage(int level, const char* file, int line, const YR_RULE*, const char* message, void* user) {
    auto* messages = static_cast<CompilerMessages*>(user);
    // libyara names an included file by its include as written; we name it by its path.
    const std::string name = file ? (messages->includes ? messages->includes->pathOf(file) : std::string(file)) : "";
    std::string text = name + ":" + std::to_string(line) + ": " + (message ? message : "");
    (level == YARA_ERROR_LEVEL_WARNING ? messages->warnings : messages->errors).push_back(std::move(text));
}

}  // namespace

bool ready() {
    static const bool started = yr_initialize() == ERROR_SUCCESS;
    return started;
}

void CompilerDeleter::operator()(YR_COMPILER* compiler) const { yr_compiler_destroy(compiler); }

Compiler makeCompiler(CompilerMessages& messages, RuleIncludes& includes) {
    if (!ready()) return nullptr;
    YR_COMPILER* raw = nullptr;
    if (yr_compiler_create(&raw) != ERROR_SUCCESS) return nullptr;
    messages.includes = &includes;
    yr_compiler_set_callback(raw, collectMessage, &messages);
    includes.install(raw);
    return Compiler(raw);
}

}  // namespace tarnwick::libyara
