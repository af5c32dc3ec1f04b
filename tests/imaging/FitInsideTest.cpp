#include "imaging/FitInside.h"

#include <gtest/gtest.h>

using quenda::Extent;
using quenda::FitInside;

namespace {

void ExpectFit(Extent picture, Extent box, Extent expected) {
    const Extent got = FitInside(picture, box);
    EXPECT_EQ(got.width, expected.width) << picture.width << "x" << picture.height;
    EXPECT_EQ(got.height, expected.height) << picture.width << "x" << picture.height;
}

}  // namespace

// The rule behind the viewer's Fit to window and the thumbnailer's sizes.
TEST(FitInside, KeepsWhatFitsAndShrinksTheRestKeepingTheAspect) {
    ExpectFit({300, 200}, {400, 300}, {300, 200});
    ExpectFit({400, 300}, {400, 300}, {400, 300});
    ExpectFit({20, 10}, {128, 128}, {20, 10});
    ExpectFit({1600, 400}, {400, 300}, {400, 100});
    ExpectFit({300, 900}, {400, 300}, {100, 300});
    ExpectFit({1200, 900}, {500, 300}, {400, 300});
    ExpectFit({300, 100}, {128, 128}, {128, 43});
    ExpectFit({100, 200}, {64, 64}, {32, 64});
    ExpectFit({512, 512}, {256, 256}, {256, 256});
}

TEST(FitInside, AThinPictureKeepsOnePixel) {
    ExpectFit({10000, 1}, {100, 100}, {100, 1});
    ExpectFit({1, 30000}, {128, 128}, {1, 128});
}
