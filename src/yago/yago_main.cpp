// yago: converts a YARA rule file into the JSON document the rules model reads.
//
//   yago fileName <path> --validJSON
//
// Prints the document on standard output and exits with 0. A file it cannot read or parse gives
// "path:line:column: message" on standard error, nothing on standard output, and exit status 1;
// wrong arguments give the usage and exit status 2.
#include "yago/Parser.h"
#include "yago/RuleDocument.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 4 || std::strcmp(argv[1], "fileName") != 0 || std::strcmp(argv[3], "--validJSON") != 0) {
        std::fputs("usage: yago fileName <rule file> --validJSON\n", stderr);
        return 2;
    }
    const auto result = tarnwick::yago::parseFile(argv[2]);
    if (!result.ok()) {
        std::fprintf(stderr, "%s\n", result.error->text().c_str());
        return 1;
    }
    const std::string document = tarnwick::yago::renderDocument(result.rules);
    if (std::fwrite(document.data(), 1, document.size(), stdout) != document.size() || std::fflush(stdout) != 0) {
        std::fputs("yago: cannot write the document\n", stderr);
        return 1;
    }
    return 0;
}
