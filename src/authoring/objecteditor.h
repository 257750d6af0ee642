#pragma once

#include "lesson/lessonobjects.h"

#include <QObject>

namespace lirena {

class Chapter;
class ObjectList;
class Player;

// The authoring operations of the "All Objects" page, without its widgets:
// graphic and voice objects (add, select, rename, replace, delete, nudge the
// times), the section being edited and played, the position probe, links and
// the click and read sequences. Lists and selections are the chapter's own.
class ObjectEditor : public QObject
{
    Q_OBJECT

public:
    ObjectEditor(Chapter &chapter, Player &player, QObject *parent = nullptr);

    // Graphic objects.
    void BtnAddClick();
    void LstGObjClick(int index);
    void renameGraphic(const QString &name);
    void BtnReplaceClick();
    void BtnDeleteClick();

    // Voice objects, their times and the probe.
    void BtnAddVObjClick();
    // Creates, lists and selects a voice object of start..stop ms.
    void NewVoiceObject(int start, int stop);
    void LstVObjClick(int index);
    void renameVoice(const QString &name);
    void BtnDeleteVObjClick();
    // Moves the section's start or stop by ms; refused (false) when start would
    // not stay below stop. The selected voice object follows.
    bool nudgeStart(int ms);
    bool nudgeStop(int ms);
    // The sound editor's range handed over: the section becomes start..stop ms,
    // and so do the selected voice object's times (a change of the chapter).
    void SetVoiceRange(int start, int stop);
    // Plays the section and pauses once it has been heard.
    void PlaySection();
    void nudgeProbe(int ms);
    void BtnGetPosClick();
    void BtnGoClick();

    // Links and the sequences.
    void SBtnAddVGObjClick();
    void SBtnDelVGObjClick();
    void btnClickClick();
    void btnReadClick();
    void btnRCClick();
    void BtnDelClickClick();
    void BtnDelReadClick();
    void BtnRObjUpClick();
    void BtnRObjDownClick();
    // Plays the voice segment of the link selected in one of the three link lists.
    void PlayLinkSection(const ObjectList &list);

    int sectionStart() const { return mSectionStart; }
    int sectionStop() const { return mSectionStop; }
    int probePosition() const { return mProbePosition; }

signals:
    // The name box of a kind shows this object's name now.
    void graphicNameShown(const QString &name);
    void voiceNameShown(const QString &name);
    void sectionChanged(int start, int stop);
    // The author chose a voice object in its list; its times, in ms.
    void voiceObjectSelected(int start, int stop);
    void probeChanged(int ms);

private:
    PixelRect imageRectOf(const PixelRect &view) const;
    template <class T> void deleteSelected(ObjectList &list, void (Chapter::*remove)(T *));
    void appendSelectedLink(ObjectList &sequence);
    void removeSelected(ObjectList &sequence);
    void moveRead(int step);

    Chapter &mChapter;
    Player &mPlayer;
    int mSectionStart = 0;
    int mSectionStop = 0;
    int mProbePosition = 0;
};

} // namespace lirena
