#include "lesson/chapter.h"

#include <algorithm>
#include <chrono>

namespace lirena {

Chapter::Chapter(QObject *parent) : QObject(parent)
{
    // Whatever adds, removes or reorders objects leaves the lookups stale.
    for (ObjectList *list : {&LstGObj, &LstVObj, &LstVGObj}) {
        connect(list, &ObjectList::rowsInserted, this, &Chapter::invalidateIndex);
        connect(list, &ObjectList::rowsRemoved, this, &Chapter::invalidateIndex);
        connect(list, &ObjectList::modelReset, this, &Chapter::invalidateIndex);
    }
}

Chapter::~Chapter()
{
    // The sequences refer into the owning lists: let them go first.
    ClickSet.clear();
    ReadSet.clear();
    LstCObj.clear();
    LstRObj.clear();
}

void Chapter::setModified(bool modified)
{
    // Every edit of an object's times, rectangle or ids marks the chapter changed.
    if (modified)
        invalidateIndex();
    if (mModified == modified)
        return;
    mModified = modified;
    emit modifiedChanged(modified);
}

TBaseObj *Chapter::FindObjectById(int id, const ObjectList &list)
{
    for (int i = 0; i < list.count(); ++i) {
        TBaseObj *object = list.objectAt(i);
        if (object && object->Id == id)
            return object;
    }
    return nullptr;
}

const ChapterIndex &Chapter::index() const
{
    if (mIndexStale) {
        mIndex.build(LstGObj, LstVObj, LstVGObj, ClickSet);
        mIndexStale = false;
    }
    return mIndex;
}

TGraphicObj *Chapter::graphicOf(const TVGObj *link) const
{
    return link ? index().graphic(link->GraphicId) : nullptr;
}

TVoiceObj *Chapter::voiceOf(const TVGObj *link) const
{
    return link ? index().voice(link->VoiceId) : nullptr;
}

void Chapter::ClearChapter()
{
    ClickSet.clear();
    ReadSet.clear();
    LstCObj.clear();
    LstRObj.clear();
    LstVGObj.clear();
    LstVObj.clear();
    LstGObj.clear();
    LastGraphicId = 0;
    LastVoiceId = 0;
    LastLinkId = 0;
    invalidateIndex();
    emit cleared();
    setModified(false);
}

void Chapter::BuildWorkingSets(bool limited)
{
    invalidateIndex();
    ClickSet.clear();
    ReadSet.clear();
    const ObjectList &clickSource = limited ? LstCObj : LstVGObj;
    for (int i = 0; i < clickSource.count(); ++i) {
        if (auto *link = clickSource.at<TVGObj>(i))
            ClickSet.push_back(link);
    }
    for (int i = 0; i < LstRObj.count(); ++i) {
        if (auto *link = LstRObj.at<TVGObj>(i))
            ReadSet.push_back(link);
    }
}

void Chapter::ShuffleReadSet()
{
    std::mt19937 rng(unsigned(std::chrono::steady_clock::now().time_since_epoch().count()));
    ShuffleReadSet(rng);
}

void Chapter::ShuffleReadSet(std::mt19937 &rng)
{
    std::vector<TVGObj *> pool;
    pool.swap(ReadSet);
    while (!pool.empty()) {
        std::uniform_int_distribution<size_t> pick(0, pool.size() - 1);
        const size_t index = pick(rng);
        ReadSet.push_back(pool[index]);
        pool.erase(pool.begin() + std::ptrdiff_t(index));
    }
}

TGraphicObj *Chapter::addReadGraphic(std::unique_ptr<TGraphicObj> object)
{
    LastGraphicId = std::max(LastGraphicId, object->Id);
    TGraphicObj *raw = object.get();
    LstGObj.add(raw->Name, std::move(object));
    return raw;
}

TVoiceObj *Chapter::addReadVoice(std::unique_ptr<TVoiceObj> object)
{
    LastVoiceId = std::max(LastVoiceId, object->Id);
    TVoiceObj *raw = object.get();
    LstVObj.add(raw->Name, std::move(object));
    return raw;
}

TVGObj *Chapter::addReadLink(std::unique_ptr<TVGObj> object)
{
    LastLinkId = std::max(LastLinkId, object->Id);
    TVGObj *raw = object.get();
    LstVGObj.add(raw->Name, std::move(object));
    return raw;
}

void Chapter::deleteGraphic(TGraphicObj *object)
{
    const int index = LstGObj.indexOf(object);
    if (index < 0)
        return;
    emit objectRemoving(object);
    LstGObj.removeAt(index);
    setModified(true);
}

void Chapter::deleteVoice(TVoiceObj *object)
{
    const int index = LstVObj.indexOf(object);
    if (index < 0)
        return;
    emit objectRemoving(object);
    LstVObj.removeAt(index);
    setModified(true);
}

void Chapter::deleteLink(TVGObj *link)
{
    const int index = LstVGObj.indexOf(link);
    if (index < 0)
        return;
    emit objectRemoving(link);
    invalidateIndex();
    std::erase(ClickSet, link);
    std::erase(ReadSet, link);
    LstCObj.removeAll(link);
    LstRObj.removeAll(link);
    LstVGObj.removeAt(LstVGObj.indexOf(link));
    setModified(true);
}

} // namespace lirena
