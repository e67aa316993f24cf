#include "engine/RulesScanner.h"

#include <yara.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tarnwick {
namespace {

struct ScanTarget {
    const CompiledRules* rules;
    const std::string* path;
    std::vector<RuleMatch>* matches;
    ScanMessages* messages;
};

int onScanMessage(YR_SCAN_CONTEXT*, int message, void* data, void* user) {
    auto* target = static_cast<ScanTarget*>(user);
    if (message == CALLBACK_MSG_RULE_MATCHING) {
        const auto* rule = static_cast<const YR_RULE*>(data);
        target->matches->push_back(RuleMatch{rule->identifier, *target->path, target->rules->ruleFileOf(rule->ns->name)});
    } else if (message == CALLBACK_MSG_TOO_MANY_MATCHES) {
        const auto* string = static_cast<const YR_STRING*>(data);
        target->messages->warning(*target->path + ": too many matches of string " + string->identifier +
                                  "; later ones are not counted");
    }
    return CALLBACK_CONTINUE;
}

std::string describeScanError(int code) {
    switch (code) {
    case ERROR_SCAN_TIMEOUT: return "the scan timed out";
    case ERROR_COULD_NOT_MAP_FILE:
    case ERROR_COULD_NOT_OPEN_FILE:
    case ERROR_COULD_NOT_READ_FILE: return "could not be read (it may have changed during the scan)";
    case ERROR_INSUFFICIENT_MEMORY: return "not enough memory to scan it";
    case ERROR_TOO_MANY_MATCHES: return "too many matches";
    default: return "YARA error " + std::to_string(code);
    }
}

// Reads a small file whole; answers the number of bytes read, or -1 with errno set. A file
// that grows while it is read is scanned as far as the buffer goes.
ssize_t readSmallFile(int fd, std::vector<unsigned char>& buffer) {
    size_t filled = 0;
    while (filled < buffer.size()) {
        const ssize_t n = ::pread(fd, buffer.data() + filled, buffer.size() - filled, static_cast<off_t>(filled));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        filled += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(filled);
}

}  // namespace

RulesScanner::RulesScanner(std::shared_ptr<const CompiledRules> rules, int timeout, bool fastMode,
                           ScanMessages& messages)
    : rules_(std::move(rules)), messages_(messages) {
    if (!rules_ || !rules_->rules()) return;
    if (yr_scanner_create(rules_->rules(), &scanner_) != ERROR_SUCCESS) {
        scanner_ = nullptr;
        messages_.error("the YARA scanner could not be created");
        return;
    }
    yr_scanner_set_timeout(scanner_, timeout);
    yr_scanner_set_flags(scanner_, SCAN_FLAGS_REPORT_RULES_MATCHING | (fastMode ? SCAN_FLAGS_FAST_MODE : 0));
}

RulesScanner::~RulesScanner() {
    if (scanner_) yr_scanner_destroy(scanner_);
}

void RulesScanner::scan(int fd, const std::string& path, std::vector<RuleMatch>& matches,
                        ScanMessages::Level failure) {
    if (!scanner_) return;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        messages_.add(failure, path + ": " + std::strerror(errno));
        return;
    }
    ScanTarget target{rules_.get(), &path, &matches, &messages_};
    yr_scanner_set_callback(scanner_, onScanMessage, &target);
    int result = ERROR_SUCCESS;
    if (info.st_size >= 0 && static_cast<size_t>(info.st_size) <= readLimit) {
        if (buffer_.empty()) buffer_.resize(readLimit);
        const ssize_t length = readSmallFile(fd, buffer_);
        if (length < 0) {
            messages_.add(failure, path + ": " + std::strerror(errno));
            return;
        }
        result = yr_scanner_scan_mem(scanner_, buffer_.data(), static_cast<size_t>(length));
    } else {
        // Mapped; libyara turns a fault on pages the file lost meanwhile into an error.
        result = yr_scanner_scan_fd(scanner_, fd);
    }
    if (result != ERROR_SUCCESS) messages_.add(failure, path + ": " + describeScanError(result));
}

}  // namespace tarnwick
