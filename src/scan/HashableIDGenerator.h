#pragma once
// Numbers the scan records of a run: 1, 2, 3, ... in the order they are made, never reused, also
// when scans start on several threads at once.
#include <cstdint>
#include <mutex>

namespace tarnwick {

class HashableIDGenerator {
public:
    // The one generator of the process, made on first use.
    static HashableIDGenerator& shared();

    // The next identifier.
    int64_t generateId();

private:
    HashableIDGenerator() = default;

    std::mutex lock_;
    int64_t nextId = 0;
};

}  // namespace tarnwick
