#include "lesson/objectlist.h"

#include "../qtprinters.h"

#include <gtest/gtest.h>

using namespace lirena;

namespace {

std::unique_ptr<TBaseObj> object(int id)
{
    auto o = std::make_unique<TBaseObj>();
    o->Id = id;
    return o;
}

QStringList texts(const ObjectList &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.textAt(i);
    return out;
}

} // namespace

TEST(ObjectList, SortedListPutsEntriesInAlphabeticalPlaceIgnoringCase)
{
    ObjectList list(ObjectList::Ownership::Owns, ObjectList::Order::Sorted);
    for (const char *name : {"kalem", "Elma", "999", "1000", "çiçek", "Ceviz", "ağaç", "B"})
        list.add(QString::fromUtf8(name), object(0));
    // Digits before letters, so 1000 before 999; Turkish letters next to their bases.
    EXPECT_EQ(texts(list), (QStringList{"1000", "999", "ağaç", "B", "Ceviz", "çiçek", "Elma", "kalem"}));
}

TEST(ObjectList, EqualNamesKeepTheirArrivalOrder)
{
    ObjectList list(ObjectList::Ownership::Owns, ObjectList::Order::Sorted);
    list.add("kaf", object(1));
    list.add("Kaf", object(2));
    list.add("KAF", object(3));
    EXPECT_EQ(list.objectAt(0)->Id, 1);
    EXPECT_EQ(list.objectAt(1)->Id, 2);
    EXPECT_EQ(list.objectAt(2)->Id, 3);
}

TEST(ObjectList, RenamedEntryKeepsItsPlaceUntilTheListSortsAgain)
{
    ObjectList list(ObjectList::Ownership::Owns, ObjectList::Order::Sorted);
    list.add("a", object(1));
    list.add("b", object(2));
    list.setTextAt(0, "z");
    EXPECT_EQ(texts(list), (QStringList{"z", "b"}));
    list.setSortingSuspended(true);
    list.setSortingSuspended(false);
    EXPECT_EQ(texts(list), (QStringList{"b", "z"}));
}

TEST(ObjectList, SuspendedSortingAppendsAndResumingSorts)
{
    ObjectList list(ObjectList::Ownership::Owns, ObjectList::Order::Sorted);
    list.setSortingSuspended(true);
    list.add("c", object(1));
    list.add("a", object(2));
    list.setCurrentIndex(0);
    EXPECT_EQ(texts(list), (QStringList{"c", "a"}));
    list.setSortingSuspended(false);
    EXPECT_EQ(texts(list), (QStringList{"a", "c"}));
    EXPECT_EQ(list.currentIndex(), 0); // the first entry stays selected
}

TEST(ObjectList, SequenceKeepsInsertionOrderAndDuplicates)
{
    TBaseObj a, b;
    ObjectList list(ObjectList::Ownership::RefersOnly, ObjectList::Order::Insertion);
    list.add("b", &b);
    list.add("a", &a);
    list.add("b", &b);
    EXPECT_EQ(texts(list), (QStringList{"b", "a", "b"}));
    EXPECT_EQ(list.removeAll(&b), 2);
    EXPECT_EQ(texts(list), QStringList{"a"});
}

TEST(ObjectList, SelectionFollowsInsertionsAndRemovals)
{
    ObjectList list(ObjectList::Ownership::Owns, ObjectList::Order::Sorted);
    list.add("m", object(1));
    list.setCurrentIndex(0);
    list.add("a", object(2));
    EXPECT_EQ(list.currentIndex(), 1);
    list.removeAt(0);
    EXPECT_EQ(list.currentIndex(), 0);
    list.removeAt(0);
    EXPECT_EQ(list.currentIndex(), -1);
}
