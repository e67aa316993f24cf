#pragma once
// A rule file's text and where it came from, and how included files are found.
#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <string>

namespace tarnwick::yago {

struct Source {
    Source() = default;
    // A text given in memory.
    Source(std::string name, std::string key, std::string text)
        : name(std::move(name)), key(std::move(key)), text(std::move(text)) {}

    std::string name;  // as shown in error messages, and the base of relative includes
    std::string key;   // identity of the file, for finding include cycles
    std::string text;  // the text, when it was given in memory
    // The text of a file read from disk, mapped. A file that another program shrinks while it
    // is mapped raises SIGBUS on reading past its new end; the converter's executable turns
    // that signal into a refusal.
    std::shared_ptr<const char> bytes;
    size_t bytesSize = 0;

    std::string_view content() const { return bytes ? std::string_view(bytes.get(), bytesSize) : std::string_view(text); }
};

// Finds the file an include statement of `from` names by `path`. Answers false with a reason
// ("cannot open ...") when there is none.
using IncludeResolver = std::function<bool(const Source& from, const std::string& path, Source& found, std::string& reason)>;

// Reads a rule file from disk. Only regular files are read: a device or pipe could feed the
// converter without end.
bool readSource(const std::string& path, Source& out, std::string& reason);

// Includes on disk: a relative path is taken from the including file's folder, as the engine
// does; the key is the file's canonical path.
bool resolveFromDisk(const Source& from, const std::string& path, Source& found, std::string& reason);

}  // namespace tarnwick::yago
