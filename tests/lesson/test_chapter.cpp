#include "lesson/chapter.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

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

namespace {

// A crowded page made at random from a fixed seed: overlapping segments and
// rectangles, empty ones, ids that repeat or name nothing.
struct Crowded
{
    Chapter c;
    // Every link with the objects a search from the top finds for it: of the
    // link list, and of the click set.
    std::vector<ChapterIndex::Resolved> links, clickable;

    Crowded()
    {
        std::mt19937 rng(7);
        auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        for (int i = 0; i < 120; ++i) {
            TGraphicObj *g = addGraphic(c, any(1, 100), QStringLiteral("g%1").arg(i));
            const int left = any(0, 300), top = any(0, 200);
            g->ViewRect = {left, top, left + any(-5, 60), top + any(-5, 40)};
            if (i % 30 == 0)
                g->ViewRect = {any(0, 50), any(0, 50), 330, 230}; // over most of the page
            const int start = any(0, 3000);
            addVoice(c, any(1, 100), QStringLiteral("v%1").arg(i), start, start + any(-10, 400));
            addLink(c, i + 1, QStringLiteral("l%1").arg(any(0, 999)), any(1, 110), any(1, 110));
        }
        c.BuildWorkingSets(false);
        auto found = [this](const TVGObj *link) {
            return ChapterIndex::Resolved{
                link, static_cast<TVoiceObj *>(Chapter::FindObjectById(link->VoiceId, c.LstVObj)),
                static_cast<TGraphicObj *>(Chapter::FindObjectById(link->GraphicId, c.LstGObj))};
        };
        for (int i = 0; i < c.LstVGObj.count(); ++i)
            links.push_back(found(c.LstVGObj.at<TVGObj>(i)));
        for (const TVGObj *link : c.ClickSet)
            clickable.push_back(found(link));
    }

    // The rules as the marking step and the pointer state them, by walking the lists.
    const TVGObj *heardByWalking(qint64 p) const
    {
        for (const auto &l : links) {
            if (l.voice && l.voice->StartTime < p && p < l.voice->StopTime && l.graphic)
                return l.link;
        }
        return nullptr;
    }
    const TVGObj *pointedByWalking(int x, int y) const
    {
        for (const auto &l : clickable) {
            if (l.graphic && l.graphic->ViewRect.contains(x, y))
                return l.link;
        }
        return nullptr;
    }
};

} // namespace

TEST(ChapterLookup, IndexedAnswersAreTheFirstMatchesOfTheLists)
{
    Crowded page;
    const Chapter &c = page.c;
    for (qint64 p = -5; p < 3500; ++p) {
        const ChapterIndex::Resolved heard = c.heardAt(p);
        ASSERT_EQ(heard.link, page.heardByWalking(p)) << "at " << p;
        if (heard.link) {
            EXPECT_EQ(heard.voice, c.voiceOf(heard.link));
            EXPECT_EQ(heard.graphic, c.graphicOf(heard.link));
        }
        // Nothing changes before the next change, and something does there.
        const qint64 next = c.nextHeardChange(p);
        const qint64 before = next < 0 ? 3500 : next;
        ASSERT_EQ(page.heardByWalking(before - 1), heard.link) << "at " << p;
        if (next >= 0) {
            ASSERT_NE(page.heardByWalking(next), heard.link) << "at " << p;
        }
    }
    for (int y = -2; y < 250; ++y) {
        for (int x = -2; x < 370; ++x) {
            const ChapterIndex::Resolved pointed = c.clickableAt(x, y);
            ASSERT_EQ(pointed.link, page.pointedByWalking(x, y)) << x << "," << y;
        }
    }
}

TEST(ChapterLookup, EveryChangeOfTheListsIsSeen)
{
    Page p;
    p.c.BuildWorkingSets(false);
    p.c.graphicOf(p.links[0])->ViewRect = {0, 0, 10, 10};
    p.c.invalidateIndex(); // rescaled in place
    EXPECT_EQ(p.c.clickableAt(5, 5).link, p.links[0]);
    EXPECT_EQ(p.c.heardAt(2200).link, p.links[1]);

    p.c.deleteVoice(p.c.voiceOf(p.links[1]));
    EXPECT_EQ(p.c.heardAt(2200).link, nullptr);
    addVoice(p.c, 2, "again", 2100, 2300); // a voice of the id the link names comes back
    EXPECT_EQ(p.c.heardAt(2200).link, p.links[1]);
    p.c.deleteGraphic(p.c.graphicOf(p.links[0]));
    EXPECT_EQ(p.c.clickableAt(5, 5).link, nullptr);
    p.c.deleteLink(p.links[2]);
    EXPECT_EQ(p.c.heardAt(3200).link, nullptr);
    p.c.ClearChapter();
    EXPECT_EQ(p.c.heardAt(2200).link, nullptr);
}
