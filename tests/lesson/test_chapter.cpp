#include "lesson/chapter.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>

using namespace lirena;

namespace {

TGraphicObj *addGraphic(Chapter &c, int id, const QString &name)
{
    auto g = std::make_unique<TGraphicObj>();
    g->Id = id;
    g->Name = name;
    return c.addReadGraphic(std::move(g));
}

TVoiceObj *addVoice(Chapter &c, int id, const QString &name, int start, int stop)
{
    auto v = std::make_unique<TVoiceObj>();
    v->Id = id;
    v->Name = name;
    v->StartTime = start;
    v->StopTime = stop;
    return c.addReadVoice(std::move(v));
}

TVGObj *addLink(Chapter &c, int id, const QString &name, int graphic, int voice)
{
    auto l = std::make_unique<TVGObj>();
    l->Id = id;
    l->Name = name;
    l->GraphicId = graphic;
    l->VoiceId = voice;
    return c.addReadLink(std::move(l));
}

std::vector<int> ids(const std::vector<TVGObj *> &set)
{
    std::vector<int> out;
    for (const TVGObj *l : set)
        out.push_back(l->Id);
    return out;
}

// A small page: three words, each graphic i with voice i and link i.
struct Page
{
    Chapter c;
    TVGObj *links[3] = {};

    Page()
    {
        for (int i = 1; i <= 3; ++i) {
            addGraphic(c, i, QStringLiteral("g%1").arg(i));
            addVoice(c, i, QStringLiteral("v%1").arg(i), i * 1000, i * 1000 + 500);
            links[i - 1] = addLink(c, i, QStringLiteral("l%1").arg(i), i, i);
        }
        c.LstCObj.add("l3", links[2]);
        c.LstRObj.add("l2", links[1]);
        c.LstRObj.add("l1", links[0]);
        c.LstRObj.add("l2", links[1]);
    }
};

} // namespace

TEST(ChapterIds, ReadingRaisesTheCountersAndNewIdsFollowTheLargest)
{
    Chapter c;
    addGraphic(c, 41, "a");
    addGraphic(c, 3, "b");
    addGraphic(c, 7, "c");
    EXPECT_EQ(c.LastGraphicId, 41);
    const int id = c.issueGraphicId();
    EXPECT_EQ(id, 42);
    EXPECT_EQ(defaultObjectName(id), "042");
    // Voice ids are a number space of their own.
    EXPECT_EQ(c.issueVoiceId(), 1);
    EXPECT_EQ(defaultObjectName(1), "001");
    EXPECT_EQ(defaultObjectName(1234), "1234");
}

TEST(ChapterIds, ClearChapterResetsEverything)
{
    Page p;
    p.c.setModified(true);
    p.c.BuildWorkingSets(false);
    QSignalSpy cleared(&p.c, &Chapter::cleared);
    p.c.ClearChapter();
    EXPECT_EQ(cleared.count(), 1);
    EXPECT_EQ(p.c.LstGObj.count() + p.c.LstVObj.count() + p.c.LstVGObj.count(), 0);
    EXPECT_EQ(p.c.LstCObj.count() + p.c.LstRObj.count(), 0);
    EXPECT_TRUE(p.c.ClickSet.empty());
    EXPECT_TRUE(p.c.ReadSet.empty());
    EXPECT_EQ(p.c.LastGraphicId + p.c.LastVoiceId + p.c.LastLinkId, 0);
    EXPECT_FALSE(p.c.Modified());
    EXPECT_EQ(p.c.issueLinkId(), 1);
}

TEST(ChapterLookup, FindObjectByIdTakesTheFirstMatch)
{
    Page p;
    EXPECT_EQ(Chapter::FindObjectById(2, p.c.LstVGObj), p.links[1]);
    EXPECT_EQ(Chapter::FindObjectById(9, p.c.LstVGObj), nullptr);
    ObjectList empty(ObjectList::Ownership::Owns, ObjectList::Order::Sorted);
    EXPECT_EQ(Chapter::FindObjectById(1, empty), nullptr);
    EXPECT_EQ(p.c.graphicOf(p.links[0])->Name, "g1");
    EXPECT_EQ(p.c.voiceOf(p.links[2])->StartTime, 3000);
}

TEST(WorkingSets, LimitedModeTakesTheClickSequenceAndPlayAllEveryLink)
{
    Page p;
    p.c.BuildWorkingSets(true);
    EXPECT_EQ(ids(p.c.ClickSet), std::vector<int>{3});
    EXPECT_EQ(ids(p.c.ReadSet), (std::vector<int>{2, 1, 2}));
    p.c.BuildWorkingSets(false);
    EXPECT_EQ(ids(p.c.ClickSet), (std::vector<int>{1, 2, 3}));
}

TEST(WorkingSets, ShuffleKeepsEveryEntryIncludingDuplicates)
{
    Page p;
    p.c.LstRObj.add("l3", p.links[2]);
    p.c.BuildWorkingSets(true);
    std::mt19937 rng(1234);
    bool orderChanged = false;
    for (int round = 0; round < 20; ++round) {
        p.c.BuildWorkingSets(true);
        p.c.ShuffleReadSet(rng);
        std::vector<int> shuffled = ids(p.c.ReadSet);
        orderChanged |= shuffled != std::vector<int>{2, 1, 2, 3};
        std::sort(shuffled.begin(), shuffled.end());
        EXPECT_EQ(shuffled, (std::vector<int>{1, 2, 2, 3}));
    }
    EXPECT_TRUE(orderChanged);
}

TEST(Deleting, ALinkLeavesEverySequenceAndWorkingSet)
{
    Page p;
    p.c.LstCObj.add("l2", p.links[1]);
    p.c.BuildWorkingSets(false);
    QSignalSpy removing(&p.c, &Chapter::objectRemoving);
    p.c.deleteLink(p.links[1]);
    EXPECT_EQ(removing.count(), 1);
    EXPECT_EQ(ids(p.c.ClickSet), (std::vector<int>{1, 3}));
    EXPECT_EQ(ids(p.c.ReadSet), std::vector<int>{1});
    EXPECT_EQ(p.c.LstCObj.count(), 1);
    EXPECT_EQ(p.c.LstRObj.count(), 1);
    EXPECT_EQ(p.c.LstVGObj.count(), 2);
    EXPECT_TRUE(p.c.Modified());
}

TEST(Deleting, AGraphicOrVoiceLeavesTheLinksThatNameIt)
{
    Page p;
    const TBaseObj *announced = nullptr;
    QObject::connect(&p.c, &Chapter::objectRemoving, [&](const TBaseObj *o) { announced = o; });
    TGraphicObj *g = p.c.graphicOf(p.links[0]);
    p.c.deleteGraphic(g);
    EXPECT_EQ(announced, g);
    EXPECT_EQ(p.c.LstVGObj.count(), 3);
    EXPECT_EQ(p.c.graphicOf(p.links[0]), nullptr); // resolves to none, not to freed memory
    p.c.deleteVoice(p.c.voiceOf(p.links[1]));
    EXPECT_EQ(p.c.voiceOf(p.links[1]), nullptr);
}
