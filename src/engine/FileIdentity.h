#pragma once
// What tells one version of a rule file from another: the device, inode, size and modification
// time of the file as it was opened, or why it could not be opened. Rule files and the files they
// include are opened here, so that a file is always judged by the very descriptor it is read from.
#include "platform/UniqueFd.h"

#include <compare>
#include <cstdint>
#include <string>

namespace tarnwick {

struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0;
    int openError = 0;  // why it could not be opened (an errno value); 0 when it was

    auto operator<=>(const FileIdentity&) const = default;

    // Opens the file read-only without ever blocking on a FIFO or a device and fills `identity`
    // from the open descriptor. Empty, with `identity.openError` saying why, when `path` is not a
    // regular file that can be read (EISDIR for a directory, EINVAL for any other kind).
    static UniqueFd open(const std::string& path, FileIdentity& identity);

    // The identity the file at `path` has now, as `open` would find it.
    static FileIdentity now(const std::string& path);
};

}  // namespace tarnwick
