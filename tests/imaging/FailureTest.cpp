#include "imaging/Failure.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using quenda::Failure;
using quenda::FailureKind;

namespace {

constexpr FailureKind kEveryKind[] = {
    FailureKind::Truncated,       FailureKind::Malformed,  FailureKind::ChecksumMismatch,
    FailureKind::Unsupported,     FailureKind::TooLarge,   FailureKind::NotAnImage,
    FailureKind::NoImage,         FailureKind::CannotRead, FailureKind::CannotWrite,
    FailureKind::NotARegularFile, FailureKind::Conflict,   FailureKind::PaletteOverflow,
    FailureKind::OutOfMemory,
};

}  // namespace

// Scripts test the names, so each is its own, lower-case with hyphens, and has a text.
TEST(Failure, EveryKindHasItsOwnStableNameAndAText) {
    std::set<std::string> names;
    for (const FailureKind kind : kEveryKind) {
        const std::string name = quenda::FailureKindName(kind);
        EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyz-"), std::string::npos) << name;
        EXPECT_TRUE(names.insert(name).second) << name;
        EXPECT_FALSE(Failure::Of(kind).Text().empty()) << name;
        EXPECT_TRUE(Failure::Of(kind)) << name;
    }
    EXPECT_EQ(quenda::FailureKindName(FailureKind::Truncated), std::string("truncated"));
    EXPECT_EQ(quenda::FailureKindName(FailureKind::NotARegularFile),
              std::string("not-a-regular-file"));
    EXPECT_STREQ(quenda::FailureKindName(FailureKind::None), "");
    EXPECT_FALSE(Failure{});
    EXPECT_TRUE(Failure{}.Text().empty());
}

// The text is made from the kind and where, unless the failure names its own fault.
TEST(Failure, TextComesFromTheKindUnlessADetailIsGiven) {
    EXPECT_EQ(Failure::At(FailureKind::Truncated, 812).Text(), "truncated data at byte 812");
    EXPECT_EQ(Failure::At(FailureKind::ChecksumMismatch, 0, "IDAT").Text(), "CRC mismatch in IDAT");
    EXPECT_EQ(Failure::Of(FailureKind::Malformed, "BMP header").Text(), "malformed BMP header");
    EXPECT_EQ(Failure::Of(FailureKind::Malformed).Text(), "malformed data");
    EXPECT_EQ(Failure::Of(FailureKind::Conflict, "a.bmp").Text(), "same target as a.bmp");
    EXPECT_EQ(Failure::Of(FailureKind::CannotWrite, "file", "Permission denied").Text(),
              "Permission denied");
}
