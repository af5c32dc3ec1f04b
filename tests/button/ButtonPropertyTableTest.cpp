#include <gtest/gtest.h>

#include "button/VkButton.h"
#include "support/PropertyTableChecks.h"

using namespace PropertyTableChecks;

TEST(ButtonPropertyTable, SavesExactlyItsKeysInOrder) {
    KeysAreThese<VkButton>({"c1",      "c2",         "htcolor",  "hbcolor", "fcolor",    "hfcolor",
                            "olcolor", "holcolor",   "brdcolor", "ptext",   "cstrength", "cstyle",
                            "plight",  "btline",     "crnstyle", "calign",  "asize",     "font",
                            "olstyle", "handCursor", "icpic",    "icalign", "icx",       "icy",
                            "appear",  "bstyle",     "enabled",  "gtype",   "xtrVar",    "ExProp"});
}

TEST(ButtonPropertyTable, MissingKeysReadAsDefaults) {
    MissingKeysReadAsDefaults<VkButton>();
}

TEST(ButtonPropertyTable, IntegersOutsideTheRangeReadAsDefaults) {
    IntegersOutsideTheRangeReadAsDefaults<VkButton>();
}

TEST(ButtonPropertyTable, EveryPropertySurvivesSaveAndReadBack) {
    EveryPropertySurvivesSaveAndReadBack<VkButton>();
}

// A theme sets its colours and styles without announcing each of them.
TEST(ButtonPropertyTable, SettersAnnounceTheRowTheyChange) {
    SettersAnnounceTheRowTheyChange<VkButton>({"Theme"});
}

// Each setter takes its key from the table: writing the property announces that key.
TEST(ButtonPropertyTable, SettersAnnounceTheTableKey) {
    VkButton b;
    QStringList seen;
    QObject::connect(&b, &VkButton::PropertyChanged, [&](const QString& k) { seen.append(k); });
    b.SetColorA(0x010203);
    b.SetIconAdjustX(5);
    b.SetIconAdjustX(40000);  // outside the range: ignored, not announced
    b.SetCaption("Go");
    EXPECT_EQ(seen, QStringList({"c1", "icx", "ptext"}));
    EXPECT_EQ(b.IconAdjustX(), 5);
}
