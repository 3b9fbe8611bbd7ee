#include "WSignalIdGenerator.h"

#include <atomic>

namespace brisa {

int WSignalIdGenerator::generate() {
    static std::atomic<int> lastId{0};
    return ++lastId;
}

}  // namespace brisa
