#pragma once

#include <filesystem>
#include <string>

namespace quenda {
class c32bppDIB;
}

namespace zorixgimp {

// Reads a device bitmap file into `image`. On failure `reason` says why in one sentence
// and the image holds nothing.
bool DecodeDeviceFile(const std::filesystem::path& path, quenda::c32bppDIB& image,
                      std::string& reason);

}  // namespace zorixgimp
