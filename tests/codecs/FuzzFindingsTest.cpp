// Inputs the fuzzers once found troublesome, kept so they stay harmless.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codecs/cPNGparser.h"
#include "fuzz/SizeCaps.h"
#include "imaging/c32bppDIB.h"

namespace {

std::vector<uint8_t> FromHex(const std::string& hex) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

struct Finding {
    const char* what;
    const char* hex;
};

// A 5 x 4 IHDR followed by a second one of 16318469 x 12, which the reader takes.
const Finding kPngFindings[] = {
    {"second IHDR declares a huge interlaced palette image",
     "89504e470d0a1a0a0000000d49484452000000050000000402030000014c5a2d450000000d4948445200f9"
     "00050000000c02030000014c5ac8ed0000000252744e53000101947aae000000104944415478da63d063d8"
     "c13697290700072d01f34245e99e0000000049454e44ae4200000000000000310082006082"},
};

}  // namespace

TEST(FuzzFindings, PngInputsAreCappedAndLoadOrFailCleanly) {
    for (const Finding& finding : kPngFindings) {
        SCOPED_TRACE(finding.what);
        const std::vector<uint8_t> bytes = FromHex(finding.hex);
        // The fuzz target must skip what the reader would allocate hugely.
        EXPECT_TRUE(fuzzcap::DeclaresHugePng(bytes.data(), bytes.size()));
        for (bool zlibOn : {true, false}) {
            quenda::c32bppDIB image;
            image.setZlibOptions({.zlibMissing = !zlibOn});
            uint32_t token = 0;
            quenda::cPNGparser().LoadStream(bytes.data(), bytes.size(), image, token);
            if (image.Handle() != 0) {
                // The later header wins; data missing from the short stream reads as zero.
                EXPECT_EQ(image.Width(), 16318469);
                EXPECT_EQ(image.Height(), 12);
            } else {
                EXPECT_EQ(image.Width(), 0);
            }
        }
    }
}

TEST(FuzzFindings, SizeCapLooksAtEveryHeader) {
    // A small first IHDR alone passes; the cap follows the chunk lengths to later ones.
    std::vector<uint8_t> bytes = FromHex(kPngFindings[0].hex);
    EXPECT_FALSE(fuzzcap::DeclaresHugePng(bytes.data(), 33));
    bytes[33 + 4] = 'X';  // the second header's type no longer says IHDR
    EXPECT_FALSE(fuzzcap::DeclaresHugePng(bytes.data(), bytes.size()));
}
