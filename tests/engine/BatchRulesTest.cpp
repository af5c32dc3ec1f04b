#include <gtest/gtest.h>

#include "engine/BatchRules.h"

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

}  // namespace
