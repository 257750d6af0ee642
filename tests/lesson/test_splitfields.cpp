#include "lesson/splitfields.h"

#include "../qtprinters.h"

#include <gtest/gtest.h>

using namespace lirena;

TEST(SplitFields, CutsAtEverySeparator)
{
    EXPECT_EQ(SplitFields("12=elif|105|220|163|281"), (QStringList{"12", "elif", "105", "220", "163", "281"}));
    EXPECT_EQ(SplitFields("a||b"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(SplitFields("|a"), (QStringList{"", "a"}));
    EXPECT_EQ(SplitFields("=a"), (QStringList{"", "a"}));
}

TEST(SplitFields, TrailingSeparatorAddsNoField)
{
    EXPECT_EQ(SplitFields("a|"), QStringList{"a"});
    EXPECT_EQ(SplitFields("7=Bul|TEST3|"), (QStringList{"7", "Bul", "TEST3"}));
    EXPECT_TRUE(SplitFields("").isEmpty());
    EXPECT_EQ(SplitFields("|"), QStringList{""});
}

TEST(SplitFields, SeparatorInsideANameChangesTheFieldCount)
{
    EXPECT_EQ(SplitFields("4=a|b|15230|17230").size(), 5);
    EXPECT_EQ(SplitFields("Ali=Veli|15230|sayfa01.ini").size(), 4);
}
