#include "imaging/ZlibBinding.h"

#include <atomic>

namespace quenda::zlib {

namespace {
std::atomic<bool> disabledForTesting{false};
}

bool IsEnabled() {
    return !disabledForTesting.load();
}

void SetDisabledForTesting(bool disabled) {
    disabledForTesting.store(disabled);
}

}  // namespace quenda::zlib
