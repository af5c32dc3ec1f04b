#pragma once

namespace quenda {

// How the compression binding may work for one image. The defaults use everything the
// system offers; the others take the paths of a system without zlib, with an older zlib
// or without the faster DEFLATE library, so that those paths can be reached and tested
// without a process-wide switch.
struct ZlibOptions {
    bool zlibMissing = false;         // act as if zlib were not installed
    bool compress2Missing = false;    // only "compress", at zlib's default level
    bool fastLibraryMissing = false;  // every stream made and read by zlib itself
};

}  // namespace quenda
