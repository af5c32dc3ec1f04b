#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// Assembles device bitmap files byte by byte, so tests can state exactly what a
// file holds, including malformed ones.
struct RLEBuilder {
    bool hasAlpha = false;
    int32_t width = 0;
    int32_t height = 0;
    int32_t rowCount = -1;         // -1: same as height
    int32_t entryCount = -1;       // -1: colors.size() + 1
    std::vector<uint16_t> colors;  // entries 1..N-1
    std::vector<uint8_t> alphas;   // entries 0..N-1 (with alpha)
    std::vector<std::vector<uint8_t>> rows;

    std::vector<uint8_t> Build() const;
};

// Encodes rows of palette codes (0 = transparent, 1..251) with runs as the
// device's writer does, without base markers.
std::vector<uint8_t> EncodeCodesRow(const std::vector<uint8_t>& codes);

// A 260 x 1 device bitmap whose one row holds 260 distinct colours, more than a
// row of the format can hold: codes 1..251, then base 9 and codes 243..251.
std::vector<uint8_t> ColourfulRowFile();

// A device bitmap with 250 colours of varied opacity, each row a diagonal sweep of
// single codes: the pictures the speed figures are measured on.
std::vector<uint8_t> VariedAlphaFile(int32_t width, int32_t height);

// A device bitmap of 200 colours with runs of minRun to minRun + spread - 1 pixels, one
// in ten transparent, written as run tokens: the large pictures memory is measured on.
std::vector<uint8_t> RandomRunsFile(int32_t width, int32_t height, int32_t minRun, int32_t spread,
                                    uint32_t seed);

// Writes bytes to a file; returns the path.
std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes);
// A fresh folder for one test.
std::string MakeTempDir(const std::string& prefix);

}  // namespace testsupport
