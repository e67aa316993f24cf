#pragma once
// Walks a directory tree and hands over, one at a time and in the walk's order, every regular
// file in it that could be opened for reading. It:
// - opens regular files only: FIFOs, sockets and devices are passed by, so nothing can block;
// - never follows a symbolic link (the root itself may be one), so no walk can loop, and no link
//   on a mounted volume leads out of it;
// - does not go into pseudo file systems (proc, sysfs, debugfs, cgroup and the like);
// - skips what it cannot read and what vanishes during the walk, with a warning in `messages`;
//   only a root that cannot be opened, read or walked, and a walk that cannot go on, are errors.
// It keeps only the directories on the way down to the current one in memory.
#include "engine/ScanMessages.h"
#include "platform/UniqueFd.h"

#include <functional>
#include <string>

namespace tarnwick {

struct WalkedFile {
    std::string path;
    UniqueFd fd;        // open read-only on the regular file
    bool root = false;  // the root itself: the walk was given a file
};

class TreeWalker {
public:
    // Answers false to end the walk after this file.
    using Visit = std::function<bool(WalkedFile&&)>;

    // Walks the tree at `root` (a single file is a tree of one).
    static void walk(const std::string& root, const Visit& visit, ScanMessages& messages);

    // Opens one named file (a symbolic link is followed) under the same rules: a regular file
    // that is not on a pseudo file system. Empty, with the reason as an error in `messages`,
    // otherwise.
    static UniqueFd openFile(const std::string& path, ScanMessages& messages);

    // Whether the file or directory at `path` lies on a pseudo file system.
    static bool onPseudoFileSystem(const std::string& path);
};

}  // namespace tarnwick
