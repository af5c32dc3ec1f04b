#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// Writes bytes to exactly this path (replacing a file there); returns the path.
std::string WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// The whole content of a file; empty when it cannot be read.
std::vector<uint8_t> ReadBytes(const std::string& path);

}  // namespace testsupport
