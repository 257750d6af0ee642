#include "authoring/objecteditor.h"

#include "lesson/chapter.h"
#include "player/player.h"

#include <cmath>

namespace lirena {

namespace {

QString initialName(int id)
{
    return QString::asprintf("%.3d", id);
}

// Selects the entry that takes the place of a removed one: the same index, or
// the last entry when the removed one was last.
void selectAfterRemoval(ObjectList &list, int removed)
{
    list.setCurrentIndex(list.isEmpty() ? -1 : std::min(removed, list.count() - 1));
}

// One entry down, unless on the last one.
void stepDown(ObjectList &list)
{
    const int i = list.currentIndex();
    if (i >= 0 && i < list.count() - 1)
        list.setCurrentIndex(i + 1);
}

} // namespace

ObjectEditor::ObjectEditor(Chapter &chapter, Player &player, QObject *parent)
    : QObject(parent), mChapter(chapter), mPlayer(player)
{
}

void ObjectEditor::BtnAddClick()
{
    const PixelRect view = mPlayer.page().editRect();
    if (view.isEmpty())
        return;
    auto g = std::make_unique<TGraphicObj>();
    g->Id = mChapter.issueGraphicId();
    g->Name = initialName(g->Id);
    g->ViewRect = view;
    g->ImageRect = imageRectOf(view);
    const QString name = g->Name;
    const int index = mChapter.LstGObj.add(name, std::unique_ptr<TBaseObj>(std::move(g)));
    emit graphicNameShown(name);
    mChapter.LstGObj.setCurrentIndex(index);
    mChapter.setModified(true);
}

void ObjectEditor::LstGObjClick(int index)
{
    ObjectList &list = mChapter.LstGObj;
    if (index < 0 || index >= list.count())
        return;
    list.setCurrentIndex(index);
    const auto *g = list.at<TGraphicObj>(index);
    emit graphicNameShown(g->Name);
    mPlayer.page().replaceEditRect(g->ViewRect);
}

void ObjectEditor::renameGraphic(const QString &name)
{
    ObjectList &list = mChapter.LstGObj;
    const int i = list.currentIndex();
    if (i < 0)
        return;
    list.at<TGraphicObj>(i)->Name = name;
    list.setTextAt(i, name);
    // A name is part of the chapter: an author who renames and closes is asked.
    mChapter.setModified(true);
}

void ObjectEditor::BtnReplaceClick()
{
    ObjectList &list = mChapter.LstGObj;
    const int i = list.currentIndex();
    if (i < 0)
        return;
    auto *g = list.at<TGraphicObj>(i);
    const PixelRect view = mPlayer.page().editRect();
    g->ViewRect = view;
    g->ImageRect = imageRectOf(view);
    mChapter.setModified(true);
}

PixelRect ObjectEditor::imageRectOf(const PixelRect &view) const
{
    // Stored in picture pixels, so a rectangle drawn at any size comes back where it was drawn.
    const double scale = mPlayer.page().ImageScale();
    auto toImage = [scale](int v) { return int(std::lround(v / scale)); };
    return {toImage(view.Left), toImage(view.Top), toImage(view.Right), toImage(view.Bottom)};
}

template <class T> void ObjectEditor::deleteSelected(ObjectList &list, void (Chapter::*remove)(T *))
{
    const int i = list.currentIndex();
    if (i >= 0) {
        (mChapter.*remove)(list.at<T>(i));
        selectAfterRemoval(list, i);
    }
    // A delete counts as a change also when nothing was chosen.
    mChapter.setModified(true);
}

void ObjectEditor::BtnDeleteClick()
{
    deleteSelected(mChapter.LstGObj, &Chapter::deleteGraphic);
}

void ObjectEditor::BtnAddVObjClick()
{
    const int p = int(mPlayer.playback().position());
    NewVoiceObject(p, p + 2000);
}

void ObjectEditor::NewVoiceObject(int start, int stop)
{
    auto v = std::make_unique<TVoiceObj>();
    v->Id = mChapter.issueVoiceId();
    mSectionStart = start;
    mSectionStop = stop;
    v->StartTime = start;
    v->StopTime = stop;
    v->Name = initialName(v->Id);
    const QString name = v->Name;
    emit voiceNameShown(name);
    const int index = mChapter.LstVObj.add(name, std::unique_ptr<TBaseObj>(std::move(v)));
    mChapter.LstVObj.setCurrentIndex(index);
    emit sectionChanged(mSectionStart, mSectionStop);
    mPlayer.playback().PauseMedia();
    mChapter.setModified(true);
}

void ObjectEditor::LstVObjClick(int index)
{
    ObjectList &list = mChapter.LstVObj;
    if (index < 0 || index >= list.count())
        return;
    list.setCurrentIndex(index);
    const auto *v = list.at<TVoiceObj>(index);
    emit voiceNameShown(v->Name);
    mSectionStart = v->StartTime;
    mSectionStop = v->StopTime;
    emit sectionChanged(mSectionStart, mSectionStop);
    emit voiceObjectSelected(mSectionStart, mSectionStop);
}

void ObjectEditor::renameVoice(const QString &name)
{
    ObjectList &list = mChapter.LstVObj;
    const int i = list.currentIndex();
    if (list.isEmpty() || i < 0)
        return;
    list.at<TVoiceObj>(i)->Name = name;
    list.setTextAt(i, name);
    mChapter.setModified(true);
}

void ObjectEditor::BtnDeleteVObjClick()
{
    deleteSelected(mChapter.LstVObj, &Chapter::deleteVoice);
}

bool ObjectEditor::nudgeStart(int ms)
{
    const int candidate = mSectionStart + ms;
    if (candidate >= mSectionStop)
        return false;
    mSectionStart = candidate;
    ObjectList &list = mChapter.LstVObj;
    if (!list.isEmpty() && list.currentIndex() >= 0) {
        list.at<TVoiceObj>(list.currentIndex())->StartTime = candidate;
        // A retimed segment is a change of the chapter.
        mChapter.setModified(true);
    }
    emit sectionChanged(mSectionStart, mSectionStop);
    return true;
}

void ObjectEditor::SetVoiceRange(int start, int stop)
{
    mSectionStart = start;
    mSectionStop = stop;
    ObjectList &list = mChapter.LstVObj;
    if (!list.isEmpty() && list.currentIndex() >= 0) {
        auto *voice = list.at<TVoiceObj>(list.currentIndex());
        voice->StartTime = start;
        voice->StopTime = stop;
        mChapter.setModified(true);
    }
    emit sectionChanged(mSectionStart, mSectionStop);
}

bool ObjectEditor::nudgeStop(int ms)
{
    const int candidate = mSectionStop + ms;
    if (candidate <= mSectionStart)
        return false;
    mSectionStop = candidate;
    ObjectList &list = mChapter.LstVObj;
    if (!list.isEmpty() && list.currentIndex() >= 0) {
        list.at<TVoiceObj>(list.currentIndex())->StopTime = candidate;
        mChapter.setModified(true);
    }
    emit sectionChanged(mSectionStart, mSectionStop);
    return true;
}

void ObjectEditor::PlaySection()
{
    mPlayer.exercises().PlaySection(mSectionStart, mSectionStop);
}

void ObjectEditor::nudgeProbe(int ms)
{
    mProbePosition += ms;
    emit probeChanged(mProbePosition);
}

void ObjectEditor::BtnGetPosClick()
{
    mProbePosition = int(mPlayer.playback().position());
    emit probeChanged(mProbePosition);
}

void ObjectEditor::BtnGoClick()
{
    mPlayer.playback().SeekMedia(mProbePosition);
    mPlayer.playback().PlayMedia();
}

void ObjectEditor::SBtnAddVGObjClick()
{
    ObjectList &graphics = mChapter.LstGObj;
    ObjectList &voices = mChapter.LstVObj;
    if (graphics.currentIndex() < 0 || voices.currentIndex() < 0)
        return;
    const auto *g = graphics.at<TGraphicObj>(graphics.currentIndex());
    const auto *v = voices.at<TVoiceObj>(voices.currentIndex());
    auto link = std::make_unique<TVGObj>();
    link->Id = mChapter.issueLinkId();
    link->GraphicId = g->Id;
    link->VoiceId = v->Id;
    link->Name = g->Name + u',' + v->Name;
    const QString name = link->Name;
    const int index = mChapter.LstVGObj.add(name, std::unique_ptr<TBaseObj>(std::move(link)));
    mChapter.LstVGObj.setCurrentIndex(index);
    // Both lists step on, so pairs listed in the same order are linked press by press.
    stepDown(graphics);
    stepDown(voices);
    mChapter.setModified(true);
}

void ObjectEditor::SBtnDelVGObjClick()
{
    deleteSelected(mChapter.LstVGObj, &Chapter::deleteLink);
}

void ObjectEditor::appendSelectedLink(ObjectList &sequence)
{
    const ObjectList &links = mChapter.LstVGObj;
    if (links.currentIndex() < 0)
        return;
    auto *link = links.at<TVGObj>(links.currentIndex());
    sequence.setCurrentIndex(sequence.add(link->Name, link));
    mChapter.setModified(true);
}

void ObjectEditor::btnClickClick()
{
    appendSelectedLink(mChapter.LstCObj);
}

void ObjectEditor::btnReadClick()
{
    appendSelectedLink(mChapter.LstRObj);
}

void ObjectEditor::btnRCClick()
{
    appendSelectedLink(mChapter.LstCObj);
    appendSelectedLink(mChapter.LstRObj);
    stepDown(mChapter.LstVGObj);
}

void ObjectEditor::removeSelected(ObjectList &sequence)
{
    const int i = sequence.currentIndex();
    if (i < 0)
        return;
    sequence.removeAt(i);
    selectAfterRemoval(sequence, i);
    mChapter.setModified(true);
}

void ObjectEditor::BtnDelClickClick()
{
    removeSelected(mChapter.LstCObj);
}

void ObjectEditor::BtnDelReadClick()
{
    removeSelected(mChapter.LstRObj);
}

void ObjectEditor::moveRead(int step)
{
    ObjectList &read = mChapter.LstRObj;
    const int i = read.currentIndex();
    const int to = i + step;
    if (i < 0 || to < 0 || to >= read.count())
        return;
    read.swap(i, to);
    read.setCurrentIndex(to);
    mChapter.setModified(true);
}

void ObjectEditor::BtnRObjUpClick()
{
    moveRead(-1);
}

void ObjectEditor::BtnRObjDownClick()
{
    moveRead(+1);
}

void ObjectEditor::PlayLinkSection(const ObjectList &list)
{
    if (list.currentIndex() < 0)
        return;
    const auto *link = list.at<TVGObj>(list.currentIndex());
    const auto *voice = static_cast<const TVoiceObj *>(Chapter::FindObjectById(link->VoiceId, mChapter.LstVObj));
    if (!voice)
        return;
    mSectionStart = voice->StartTime;
    mSectionStop = voice->StopTime;
    PlaySection();
}

} // namespace lirena
