// yago: converts a YARA rule file into the JSON document the rules model reads.
//
//   yago fileName <path> --validJSON
//
// Prints the document on standard output and exits with 0. A file it cannot read or parse gives
// "path:line:column: message" on standard error, nothing on standard output, and exit status 1;
// wrong arguments give the usage and exit status 2.
#include "yago/Parser.h"
#include "yago/RuleDocument.h"

#include <csignal>
#include <cstdio>
#include <filesystem>

#include <unistd.h>
#include <cstring>

namespace {

// Rule files are read mapped; one that shrinks while it is read raises SIGBUS. Nothing has been
// printed on standard output yet, so this is a refusal like any other.
void fileChanged(int) {
    static const char message[] = "yago: the rule file changed while it was read\n";
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGBUS, fileChanged);
    if (argc != 4 || std::strcmp(argv[1], "fileName") != 0 || std::strcmp(argv[3], "--validJSON") != 0) {
        std::fputs("usage: yago fileName <rule file> --validJSON\n", stderr);
        return 2;
    }
    // Each rule goes into the document as soon as it is read and is then dropped, so the memory
    // in use is the file and the document, whatever the number of rules. The document is
    // written only once the whole file has parsed: a refused file prints nothing.
    std::error_code ec;
    const auto size = std::filesystem::file_size(argv[2], ec);
    tarnwick::yago::DocumentWriter writer(ec ? 0 : static_cast<size_t>(size) + size / 4);
    const auto error = tarnwick::yago::parseFile(argv[2], [&](tarnwick::yago::Rule&& rule) { writer.add(rule); });
    if (error) {
        std::fprintf(stderr, "%s\n", error->text().c_str());
        return 1;
    }
    const std::string document = writer.finish();
    if (std::fwrite(document.data(), 1, document.size(), stdout) != document.size() || std::fflush(stdout) != 0) {
        std::fputs("yago: cannot write the document\n", stderr);
        return 1;
    }
    return 0;
}
