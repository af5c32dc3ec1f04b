#include "controls/PropertyBag.h"

#include <gtest/gtest.h>

TEST(PropertyBag, MissingKeysGiveDefaults) {
    PropertyBag bag;
    EXPECT_EQ(bag.ReadInt("a", 7), 7);
    EXPECT_EQ(bag.ReadColor("c", 0x123456u), 0x123456u);
    EXPECT_TRUE(bag.ReadBool("b", true));
    EXPECT_EQ(bag.ReadString("s", "def"), "def");
    EXPECT_FALSE(bag.Contains("a"));
}

TEST(PropertyBag, MalformedValuesGiveDefaults) {
    PropertyBag bag;
    bag.Write("n", "twelve");
    bag.Write("big", QVariant::fromValue<qint64>(1LL << 40));
    bag.Write("frac", 2.5);
    bag.Write("enum", 9);
    bag.Write("font", "not a font description at all,,,,");
    EXPECT_EQ(bag.ReadInt("n", 3), 3);
    EXPECT_EQ(bag.ReadInt("big", 3), 3);
    EXPECT_EQ(bag.ReadInt("frac", 3), 3);
    EXPECT_EQ(bag.ReadRange("enum", 1, 0, 5), 1);
    EXPECT_EQ(bag.ReadColor("n", 0xFFu), 0xFFu);
    QFont def("Serif", 11);
    EXPECT_EQ(bag.ReadFont("font", def).pointSize(), 11);
}

TEST(PropertyBag, ReadsNumbersInTheirCommonForms) {
    PropertyBag bag;
    bag.Write("text", " 42 ");
    bag.Write("hex", "0x80000012");
    bag.Write("neg", -2147483630);  // the same word as 0x80000012
    bag.Write("flag", "False");
    EXPECT_EQ(bag.ReadInt("text", 0), 42);
    EXPECT_EQ(bag.ReadColor("hex", 0), 0x80000012u);
    EXPECT_EQ(bag.ReadColor("neg", 0), 0x80000012u);
    EXPECT_FALSE(bag.ReadBool("flag", true));
}

TEST(PropertyBag, KeepsWriteOrderAndReplacesInPlace) {
    PropertyBag bag;
    bag.Write("z", 1);
    bag.Write("a", 2);
    bag.Write("z", 3);
    EXPECT_EQ(bag.Keys(), (QStringList{"z", "a"}));
    EXPECT_EQ(bag.ReadInt("z", 0), 3);
    EXPECT_TRUE(bag.Remove("z"));
    EXPECT_EQ(bag.Count(), 1);
}
