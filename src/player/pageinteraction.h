#pragma once

#include "lesson/chapter.h"

#include <QObject>
#include <QPoint>

#include <functional>

class QScrollArea;

namespace lirena {

class Exercises;
class PageDisplay;
class PageView;
class PlaybackControl;

// The mouse on the page in the three modes: pointing at and clicking the
// rectangles of the click set in the play modes, drawing, resizing and moving
// the design rectangle (also from the keyboard), panning with the right
// button. It holds the mode and "Section Play", which the "File" page shows.
class PageInteraction : public QObject
{
    Q_OBJECT

public:
    enum Mode { Design = 0, PlayAll = 1, PlayLimited = 2 };

    struct Controls
    {
        QScrollArea *SBox = nullptr;
        PageView *img = nullptr;
        std::function<int()> screenHeight;
    };

    PageInteraction(Chapter &chapter, PageDisplay &page, PlaybackControl &playback, Exercises &exercises,
                    Controls controls, QObject *parent = nullptr);

    // A press on the picture; secondOfDouble when it is the second press of a double click.
    void imgMouseDown(Qt::MouseButton button, int x, int y, bool secondOfDouble = false);
    void imgMouseMove(int x, int y);
    void imgMouseUp();
    // The pointer over the page area, y in page-area coordinates.
    void SBoxMouseMove(int y);
    // The design keys, in Design mode while a rectangle is drawn: Shift with an
    // arrow resizes it, Ctrl with an arrow moves it, and any other key with
    // Shift or Ctrl alone is taken too. True when the key was taken.
    bool nudgeEditRect(int key, Qt::KeyboardModifiers modifiers);
    // Plays a segment as a click on its rectangle does outside TEST3: a running
    // exercise ends, and with "Section Play" the segment alone is played.
    void playSegment(const TVoiceObj &voice);

    Mode mode() const { return mMode; }
    // Changes the mode as the mode selection does; a play mode takes the
    // design rectangle off and rebuilds the working sets.
    void setMode(Mode mode);
    bool sectionPlay() const { return mSectionPlay; }
    void setSectionPlay(bool on) { mSectionPlay = on; }

    const TGraphicObj *pointedGraphic() const { return mPointedGraphic; }
    const TVoiceObj *pointedVoice() const { return mPointedVoice; }

    // The pointer shape for the whole application; the default one lifts any other.
    static void setScreenCursor(Qt::CursorShape shape);

signals:
    void modeChanged(lirena::PageInteraction::Mode mode);
    // The id of the link now pointed at in a play mode.
    void pointedLinkChanged(int id);
    // The pointer reached the bottom strip of the screen (it brings the
    // control panel back from full screen).
    void bottomEdgeReached();

private:
    void pointAt(int x, int y);
    void designCursor(int x, int y);
    void forget(const TBaseObj *object);

    Chapter &mChapter;
    PageDisplay &mPage;
    PlaybackControl &mPlayback;
    Exercises &mExercises;
    Controls c;

    Mode mMode = Design;
    bool mSectionPlay = false;
    const TGraphicObj *mPointedGraphic = nullptr;
    const TVoiceObj *mPointedVoice = nullptr;
    bool mPanning = false;
    QPoint mPanGrab;
    QPoint mPanStart;
    bool mRectDragging = false;
    QPoint mDragAnchor;
    PixelRect mDragStartRect;
    bool mDragLeft = false, mDragRight = false, mDragTop = false, mDragBottom = false, mDragMove = false;
};

} // namespace lirena
