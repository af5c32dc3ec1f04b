#include "platform/ReplacingFileSink.h"

namespace quenda {

namespace {
constexpr size_t kSinkBlock = size_t{1} << 18;  // few system calls, little memory
}  // namespace

ReplacingFileSink::ReplacingFileSink(const std::filesystem::path& target) : file_(target) {
    pending_.reserve(kSinkBlock);
}

bool ReplacingFileSink::Write(const uint8_t* data, size_t size) {
    if (!file_.IsOpen()) {
        return false;
    }
    pending_.insert(pending_.end(), data, data + size);
    return pending_.size() < kSinkBlock || Flush();
}

bool ReplacingFileSink::Flush() {
    const bool written = file_.Write(pending_.data(), pending_.size());
    pending_.clear();
    return written;
}

bool ReplacingFileSink::Commit() {
    return file_.IsOpen() && Flush() && file_.Commit();
}

}  // namespace quenda
