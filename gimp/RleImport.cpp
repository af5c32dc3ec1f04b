#include "gimp/RleImport.h"

#include <vector>

#include "engine/RLEDecoder.h"
#include "engine/RLEFormat.h"
#include "engine/ZorixImgEngineEvents.h"
#include "imaging/c32bppDIB.h"
#include "platform/FileIO.h"

namespace zorixgimp {

bool DecodeDeviceFile(const std::filesystem::path& path, quenda::c32bppDIB& image,
                      std::string& reason) {
    std::vector<uint8_t> bytes;
    if (!quenda::fileio::ReadWholeFile(path, bytes)) {
        reason = "the file cannot be read";
        return false;
    }
    if (!quenda::rle::HasSignature(bytes.data(), bytes.size())) {
        reason = "not a device bitmap";
        return false;
    }
    quenda::ZorixImgEngineEvents silent;
    const quenda::RLEDecodeResult result =
        quenda::DecodeRLEBytes(bytes, path.string(), image, silent);
    if (!result.success || image.BitsPointer() == nullptr) {
        image.DestroyDIB();
        reason = result.failure.Text();
        return false;
    }
    return true;
}

}  // namespace zorixgimp
