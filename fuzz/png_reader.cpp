// The PNG reader on arbitrary bytes, with zlib on and off.
#include <cstddef>
#include <cstdint>

#include "codecs/cPNGparser.h"
#include "imaging/ByteOrder.h"
#include "imaging/ZlibBinding.h"
#include "imaging/c32bppDIB.h"

namespace {

// Inputs declaring huge images only make the fuzzer slow; the size checks themselves
// are covered by the tests.
bool DeclaresHugeImage(const uint8_t* data, size_t size) {
    if (size < 24) {
        return false;
    }
    const uint64_t w = quenda::bytes::ReadBE32(data + 16);
    const uint64_t h = quenda::bytes::ReadBE32(data + 20);
    return w * h > (uint64_t{1} << 22);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (DeclaresHugeImage(data, size)) {
        return 0;
    }
    uint32_t token = 0;
    for (bool zlibOn : {true, false}) {
        quenda::zlib::SetDisabledForTesting(!zlibOn);
        quenda::c32bppDIB image;
        quenda::cPNGparser().LoadStream(data, size, image, token);
        if (image.Handle() != 0 && image.Width() * image.Height() <= 0) {
            __builtin_trap();
        }
    }
    quenda::zlib::SetDisabledForTesting(false);
    return 0;
}
