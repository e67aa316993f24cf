#include "scan/HashableIDGenerator.h"

namespace tarnwick {

HashableIDGenerator& HashableIDGenerator::shared() {
    static HashableIDGenerator* generator = new HashableIDGenerator;  // scans may outlive main()
    return *generator;
}

int64_t HashableIDGenerator::generateId() {
    std::lock_guard lock(lock_);
    return ++nextId;
}

}  // namespace tarnwick
