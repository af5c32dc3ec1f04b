#include <gtest/gtest.h>

#include "controls/VkCheckBox.h"
#include "controls/VkGradFrame.h"
#include "controls/VkHyperLink.h"
#include "controls/VkMeter.h"
#include "controls/VkProgressBar.h"
#include "support/PropertyTableChecks.h"

using namespace PropertyTableChecks;

// The saved keys of each control, in the order a saved form lists them.
template <typename C>
QStringList ExpectedKeys();
template <>
QStringList ExpectedKeys<VkProgressBar>() {
    return {"BarColor", "BackColor", "LightColor", "BorderColor", "lstyle", "orient",
            "uappear",  "uborder",   "minv",       "maxv",        "vl",     "xtrVar"};
}
template <>
QStringList ExpectedKeys<VkMeter>() {
    return {"cl0",  "cl1",  "cl2",  "coff", "bcolor", "orient", "uappear", "uborder",
            "stps", "l1pc", "l2pc", "minv", "maxv",   "vl",     "xtrVar"};
}
template <>
QStringList ExpectedKeys<VkCheckBox>() {
    return {"value",      "ustyle",      "text",        "ualign",  "font",   "bcolor",
            "fcolor",     "mcolor",      "umask",       "uasize",  "ufocus", "uhover",
            "uhoverbold", "uhoverunder", "uhovercolor", "enabled", "xtrVar", "ExProp"};
}
template <>
QStringList ExpectedKeys<VkHyperLink>() {
    return {"prop.pCaption",   "prop.pAlignment", "prop.pFont",       "prop.pMOverFont",
            "prop.pBackColor", "prop.pForeColor", "prop.pMOverColor", "prop.pMaskColor",
            "prop.pUseMask",   "prop.pAutoSize",  "prop.pURL",        "prop.pXtrVar",
            "ExProp"};
}
template <>
QStringList ExpectedKeys<VkGradFrame>() {
    return {"ColorA", "ColorB", "BorderColor", "ForeColor", "orient",
            "appear", "bstyle", "caption",     "capAlign",  "capCentered",
            "capW",   "capH",   "font",        "enabled",   "xtrVar"};
}

template <typename C>
class ControlPropertyTable : public ::testing::Test {};
using Controls = ::testing::Types<VkProgressBar, VkMeter, VkCheckBox, VkHyperLink, VkGradFrame>;
TYPED_TEST_SUITE(ControlPropertyTable, Controls);

TYPED_TEST(ControlPropertyTable, SavesExactlyItsKeysInOrder) {
    KeysAreThese<TypeParam>(ExpectedKeys<TypeParam>());
}

TYPED_TEST(ControlPropertyTable, MissingKeysReadAsDefaults) {
    MissingKeysReadAsDefaults<TypeParam>();
}

TYPED_TEST(ControlPropertyTable, IntegersOutsideTheRangeReadAsDefaults) {
    IntegersOutsideTheRangeReadAsDefaults<TypeParam>({"value"});
}

TYPED_TEST(ControlPropertyTable, EveryPropertySurvivesSaveAndReadBack) {
    EveryPropertySurvivesSaveAndReadBack<TypeParam>();
}

TYPED_TEST(ControlPropertyTable, SettersAnnounceTheRowTheyChange) {
    SettersAnnounceTheRowTheyChange<TypeParam>();
}

// A fresh control starts from the same defaults a form without keys gives.
TYPED_TEST(ControlPropertyTable, NewControlStartsAtTheDefaults) {
    TypeParam fresh;
    PropertyBag made;
    fresh.WriteProperties(made);
    TypeParam read;
    read.ReadProperties(PropertyBag());
    PropertyBag readBack;
    read.WriteProperties(readBack);
    EXPECT_EQ(made.Keys(), readBack.Keys());
    for (const QString& key : made.Keys()) {
        EXPECT_EQ(made.Read(key), readBack.Read(key)) << key.toStdString();
    }
}
