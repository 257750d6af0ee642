#pragma once

#include "lesson/chapterindex.h"
#include "lesson/lessonobjects.h"
#include "lesson/objectlist.h"

#include <QObject>

#include <random>
#include <vector>

namespace lirena {

// The chapter in memory: the lesson objects of one page in their five lists,
// the two working sets, the id counters and the unsaved-changes flag. The
// graphic, voice and link lists own their objects; the click and read
// sequences and the working sets only refer to links. Deleting an object goes
// through this class, which first makes every list forget it and tells the
// listeners (marking, pointing, exercises) through objectRemoving().
class Chapter : public QObject
{
    Q_OBJECT

public:
    explicit Chapter(QObject *parent = nullptr);
    ~Chapter() override;

    ObjectList LstGObj{ObjectList::Ownership::Owns, ObjectList::Order::Sorted};
    ObjectList LstVObj{ObjectList::Ownership::Owns, ObjectList::Order::Sorted};
    ObjectList LstVGObj{ObjectList::Ownership::Owns, ObjectList::Order::Sorted};
    ObjectList LstCObj{ObjectList::Ownership::RefersOnly, ObjectList::Order::Insertion};
    ObjectList LstRObj{ObjectList::Ownership::RefersOnly, ObjectList::Order::Insertion};

    // Working sets of links for the play modes and the exercises.
    std::vector<TVGObj *> ClickSet;
    std::vector<TVGObj *> ReadSet;

    int LastGraphicId = 0;
    int LastVoiceId = 0;
    int LastLinkId = 0;

    bool Modified() const { return mModified; }
    void setModified(bool modified);

    // The first object of the list whose Id is id, or none.
    static TBaseObj *FindObjectById(int id, const ObjectList &list);
    // The graphic and voice objects a link names, or none when they are gone.
    TGraphicObj *graphicOf(const TVGObj *link) const;
    TVoiceObj *voiceOf(const TVGObj *link) const;
    // The first link of LstVGObj whose segment holds position p (ms, bounds
    // excluded) and whose rectangle exists, with its objects; none when no link does.
    ChapterIndex::Resolved heardAt(qint64 p) const { return index().heardAt(p); }
    // The first position after p at which heardAt answers otherwise, or -1.
    qint64 nextHeardChange(qint64 p) const { return index().nextHeardChange(p); }
    // The first link of ClickSet whose rectangle (ViewRect) contains (x, y), with its objects.
    ChapterIndex::Resolved clickableAt(int x, int y) const { return index().clickableAt(x, y); }
    // Objects changed in place without the chapter being marked changed (the
    // page was rescaled): the lookups above are worked out again. Adding,
    // removing and sorting objects, the working sets and every change that
    // marks the chapter modified do this themselves.
    void invalidateIndex() { mIndexStale = true; }

    // Frees every object, empties the five lists and both working sets, sets the
    // id counters to 0 and clears Modified; emits cleared().
    void ClearChapter();

    // Refills the working sets: ClickSet from the click sequence when limited is
    // true, else from every link; ReadSet from the read sequence.
    void BuildWorkingSets(bool limited);
    // Puts ReadSet in a random order, seeded from the clock.
    void ShuffleReadSet();
    // Puts ReadSet in a random order drawn from rng.
    void ShuffleReadSet(std::mt19937 &rng);

    // Adds an object read from a file: the counter of its kind rises to its id.
    TGraphicObj *addReadGraphic(std::unique_ptr<TGraphicObj> object);
    TVoiceObj *addReadVoice(std::unique_ptr<TVoiceObj> object);
    TVGObj *addReadLink(std::unique_ptr<TVGObj> object);

    // The id a newly created object of each kind gets: its counter is raised by one first.
    int issueGraphicId() { return ++LastGraphicId; }
    int issueVoiceId() { return ++LastVoiceId; }
    int issueLinkId() { return ++LastLinkId; }

    // Deletes an object and every reference to it in the sequences and working
    // sets. Links that name a deleted graphic or voice object by id stay.
    void deleteGraphic(TGraphicObj *object);
    void deleteVoice(TVoiceObj *object);
    void deleteLink(TVGObj *link);

signals:
    // Sent before an object is freed, while it can still be compared against.
    void objectRemoving(const lirena::TBaseObj *object);
    // Sent after ClearChapter freed everything.
    void cleared();
    void modifiedChanged(bool modified);

private:
    // The lookups, built on first use after a change.
    const ChapterIndex &index() const;

    bool mModified = false;
    mutable ChapterIndex mIndex;
    mutable bool mIndexStale = true;
};

} // namespace lirena
