#include <gtest/gtest.h>

#include "engine/BatchRules.h"

#include <set>
#include <string>

namespace batch = quenda::batch;

namespace {

TEST(TargetPathIn, NamesTheTargetInAFolderOrBesideItsSource) {
    EXPECT_EQ(batch::TargetPathIn("/out/", "/a/logo.bmp", quenda::IS_PNG), "/out/logo.png");
    EXPECT_EQ(batch::TargetPathIn("", "/a/logo.bmp", quenda::IS_PNG), "/a/logo.png");
    EXPECT_EQ(batch::TargetPathIn("", "/a/logo.bmp", quenda::IS_BMP_RL), "/a/logo.bmp");
    EXPECT_EQ(batch::TargetPathIn("/out/", "/a/pic.tar.gif", quenda::IS_JPG), "/out/pic.tar.jpg");
    EXPECT_EQ(batch::TargetPathIn("/o.d/", "/a.b/name", quenda::IS_BMP_24), "/o.d/name.bmp");
    EXPECT_EQ(batch::TargetPathIn("", "rel.png", quenda::IS_BMP_32), "rel.bmp");
}

// The outcome is a value: whether it failed or skipped is asked of it, never of its text.
TEST(BatchOutcome, EachOutcomeHasItsRowTextAndItsClass) {
    using O = batch::Outcome;
    struct Row {
        O outcome;
        const char* text;
        bool failure;
        bool skipped;
    };
    const Row rows[] = {
        {O::Done, "done", false, false},
        {O::CopyOk, "copy ok (no conversion)", false, false},
        {O::SkippedSame, "skipped (no conversion)", false, true},
        {O::SkippedNoOverwrite, "skipped (no overwrite)", false, true},
        {O::CopyError, "copy error (no conversion)", true, false},
        {O::LoadError, "error loading image", true, false},
        {O::ConvertError, "error converting image", true, false},
    };
    std::set<std::string> texts;
    for (const Row& row : rows) {
        EXPECT_STREQ(batch::OutcomeText(row.outcome), row.text);
        EXPECT_EQ(batch::IsFailure(row.outcome), row.failure) << row.text;
        EXPECT_EQ(batch::IsSkipped(row.outcome), row.skipped) << row.text;
        texts.insert(row.text);
    }
    EXPECT_EQ(texts.size(), std::size(rows));
}

// The second claim of one target is a conflict naming the first source.
TEST(TargetClaims, ASecondClaimOfOneTargetIsAConflict) {
    batch::TargetClaims claims;
    EXPECT_FALSE(claims.Claim("/a/logo.bmp", "/out/logo.png"));
    EXPECT_FALSE(claims.Claim("/b/other.bmp", "/out/other.png"));
    const quenda::Failure second = claims.Claim("/b/logo.bmp", "/out/./logo.png");
    EXPECT_EQ(second.kind, quenda::FailureKind::Conflict);
    EXPECT_EQ(second.Text(), "same target as /a/logo.bmp");
}

}  // namespace
