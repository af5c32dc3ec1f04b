#include "codecs/BitmapWriter.h"
#include "imaging/c32bppDIB.h"

namespace quenda {

bool c32bppDIB::SaveToStream(std::vector<uint8_t>& out) const {
    out.clear();
    const uint64_t size = BitmapFileSize(width_, height_, alpha_);
    if (!bits_ || size == 0) {
        return false;
    }
    out.reserve(static_cast<size_t>(size));
    VectorSink sink(out);
    if (!WriteBitmap(bits_.get(), width_, height_, alpha_, sink)) {
        out.clear();
        return false;
    }
    return true;
}

}  // namespace quenda
