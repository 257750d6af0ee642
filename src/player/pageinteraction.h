#pragma once

#include "lesson/chapter.h"

#include <QObject>
#include <QPoint>

#include <functional>

class QMouseEvent;
class QLabel;
class QScrollArea;

namespace lirena {

class Exercises;
class PageDisplay;
class PageView;
class PlaybackControl;

// The mouse on the page: pointing at and clicking the rectangles of the click
// set in the play modes, drawing, resizing and moving the design rectangle,
// panning with the right button, and bringing the control panel back from
// full screen.
class PageInteraction : public QObject
{
    Q_OBJECT

public:
    enum Mode { Design = 0, PlayAll = 1, PlayLimited = 2 };

    struct Controls
    {
        QScrollArea *SBox = nullptr;
        PageView *img = nullptr;
        QLabel *LblPointedVGObj = nullptr;
        std::function<int()> mode;                 // RGrpMode index
        std::function<bool()> sectionPlay;         // "Section Play" ticked
        std::function<int()> screenHeight;
        std::function<int()> controlPanelState;
        std::function<void(int)> setControlPanelState;
    };

    PageInteraction(Chapter &chapter, PageDisplay &page, PlaybackControl &playback, Exercises &exercises,
                    Controls controls, QObject *parent = nullptr);

    // A press on the picture; secondOfDouble when it is the second press of a double click.
    void imgMouseDown(Qt::MouseButton button, int x, int y, bool secondOfDouble = false);
    void imgMouseMove(int x, int y);
    void imgMouseUp();
    // The pointer over the page area, y in page-area coordinates.
    void SBoxMouseMove(int y);
    // The mode selection changed (by the learner or the program).
    void RGrpModeClick(int index);

    const TGraphicObj *PointedGraphic = nullptr;
    const TVoiceObj *PointedVoice = nullptr;
    bool Panning = false;
    QPoint PanGrab;
    QPoint PanStart;
    bool RectDragging = false;
    QPoint DragAnchor;
    PixelRect DragStartRect;
    bool DragLeft = false, DragRight = false, DragTop = false, DragBottom = false, DragMove = false;

    // The pointer shape for the whole application; the default one lifts any other.
    static void setScreenCursor(Qt::CursorShape shape);

    // Forgets an object that is about to be freed.
    void forget(const TBaseObj *object);

private:
    void pointAt(int x, int y);
    void designCursor(int x, int y);

    Chapter &mChapter;
    PageDisplay &mPage;
    PlaybackControl &mPlayback;
    Exercises &mExercises;
    Controls c;
};

} // namespace lirena
