#pragma once
// The files that rule files include, read for libyara by us so that we know them afterwards.
// An include is looked for where libyara itself would look: an absolute name as it is, a relative
// one in the folder of the file that includes it (as written when that file was named without a
// folder, and for a rule text). Every file looked for is kept with its identity, also one that
// could not be opened: creating it later changes what the rules would be.
//
// libyara tells which file is including by the name on top of its stack of files being read. A
// file that itself included others stays on that stack until the rule file ends (libyara 4.2 does
// so with its own reader too), so the includes that follow it are looked for beside it, and
// libyara's messages about what follows name it. We keep to that, so that a rule file compiles
// here as it compiles anywhere else.
//
// One object serves the compilers of one compilation, one compiler after the other.
#include "engine/FileIdentity.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// libyara names its compiler struct _YR_COMPILER.
struct _YR_COMPILER;

namespace tarnwick {

class RuleIncludes {
public:
    struct Included {
        std::string path;  // where it was looked for
        FileIdentity identity;
        auto operator<=>(const Included&) const = default;
    };

    // Makes the compiler ask this object for the files it includes.
    void install(_YR_COMPILER* compiler);

    // Call before each source is handed to the compiler: the rule file at `path`, or a rule text
    // ("").
    void beginSource(const std::string& path);

    // The path of the file libyara names `name` in messages and include requests: libyara knows
    // an included file by its include as written.
    std::string pathOf(const std::string& name) const;

    // Every file looked for so far, each version once.
    std::vector<Included> included() const { return {included_.begin(), included_.end()}; }

    // Whether every one of the files is still as it was when it was looked for.
    static bool unchanged(const std::vector<Included>& included);

private:
    // Where libyara looks for `name` included by the file at `includingPath`.
    static std::string resolve(const std::string& name, const std::string& includingPath);
    static const char* provide(const char* name, const char* includingFile, const char* nameSpace, void* self);
    static void release(const char* text, void* self);
    const char* provide(const std::string& name, const char* includingFile);

    // Include as written to the file it was read from. The latest one of a name is the one on
    // libyara's stack: libyara refuses to read a name that is on it already.
    std::map<std::string, std::string> reading_;
    std::set<Included> included_;
};

}  // namespace tarnwick
