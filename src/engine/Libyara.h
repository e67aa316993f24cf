#pragma once
// What every use of libyara here shares: its process-wide start-up, and compilers that find
// included files through RuleIncludes and report their messages as "file:line: message".
#include <memory>
#include <string>
#include <vector>

// libyara names its compiler struct _YR_COMPILER.
struct _YR_COMPILER;

namespace tarnwick {
class RuleIncludes;
}

namespace tarnwick::libyara {

// Starts libyara on first use. It is never shut down, since scans may be running on other
// threads until the process ends. False when it could not be started.
bool ready();

struct CompilerDeleter {
    void operator()(_YR_COMPILER* compiler) const;
};
using Compiler = std::unique_ptr<_YR_COMPILER, CompilerDeleter>;

// Where a compiler's messages go; it must outlive the compiler's use.
struct CompilerMessages {
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    const RuleIncludes* includes = nullptr;  // names included files in messages; set by makeCompiler
};

// A new compiler reporting into `messages` and reading includes through `includes` (both must
// outlive its use); null when libyara could not make one.
Compiler makeCompiler(CompilerMessages& messages, RuleIncludes& includes);

}  // namespace tarnwick::libyara
