#pragma once

#include "lesson/lessonobjects.h"

#include <QHash>

#include <vector>

namespace lirena {

class ObjectList;

// The lookups the playback tick and the pointer make many times a second,
// answered without walking the chapter's lists: objects by id, the link heard
// at a position, the clickable link under a point. A snapshot of the lists it
// was built from; the chapter owns it and builds it anew after every change.
class ChapterIndex
{
public:
    // A link with the objects it names.
    struct Resolved
    {
        const TVGObj *link = nullptr;
        TVoiceObj *voice = nullptr;
        TGraphicObj *graphic = nullptr;
    };

    // Indexes the objects of the three owning lists and the click set as they are now.
    void build(const ObjectList &graphics, const ObjectList &voices, const ObjectList &links,
               const std::vector<TVGObj *> &clickSet);

    // The first object of its list with this id, or none.
    TGraphicObj *graphic(int id) const { return mGraphics.value(id); }
    TVoiceObj *voice(int id) const { return mVoices.value(id); }

    // The first link in list order whose segment holds p (StartTime < p <
    // StopTime, positions in ms) and whose rectangle exists; none when no link does.
    Resolved heardAt(qint64 p) const;
    // The first position after p at which heardAt gives another answer, or -1.
    qint64 nextHeardChange(qint64 p) const;
    // The first link of the click set whose rectangle (view pixels) contains
    // (x, y); its voice may be gone. None when no rectangle does.
    Resolved clickableAt(int x, int y) const;

private:
    void buildHeard(const ObjectList &links);
    void buildPlace(const std::vector<TVGObj *> &clickSet);
    Resolved resolve(const TVGObj *link) const;

    QHash<int, TGraphicObj *> mGraphics;
    QHash<int, TVoiceObj *> mVoices;

    // The links that can be heard, in list order, and the position line cut
    // into pieces: from mPieceStart[i] on (up to the next piece) the link
    // mHeard[mPieceWinner[i]] is heard, or none for -1.
    std::vector<Resolved> mHeard;
    std::vector<qint64> mPieceStart;
    std::vector<int> mPieceWinner;

    // The click set's rectangles, in its order, on a grid of cells: each cell
    // lists the rectangles that overlap it, in that order (offsets into one
    // array). Rectangles over many cells are kept apart and tried at every point.
    struct Clickable
    {
        PixelRect rect;
        Resolved target;
    };
    std::vector<Clickable> mClickable;
    int mGridLeft = 0, mGridTop = 0, mCellWidth = 1, mCellHeight = 1, mColumns = 0, mRows = 0;
    std::vector<int> mCellStart; // mColumns * mRows + 1 offsets into mCellEntries
    std::vector<int> mCellEntries;
    std::vector<int> mLarge;
};

} // namespace lirena
