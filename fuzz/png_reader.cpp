// The PNG reader on arbitrary bytes, with zlib on and off.
#include <cstddef>
#include <cstdint>

#include "codecs/cPNGparser.h"
#include "fuzz/SizeCaps.h"
#include "imaging/c32bppDIB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (fuzzcap::DeclaresHugePng(data, size)) {
        return 0;
    }
    uint32_t token = 0;
    for (bool zlibOn : {true, false}) {
        quenda::c32bppDIB image;
        image.setZlibOptions({.zlibMissing = !zlibOn});
        quenda::cPNGparser().LoadStream(data, size, image, token);
        if (image.Handle() != 0 && image.Width() * image.Height() <= 0) {
            __builtin_trap();
        }
    }
    return 0;
}
