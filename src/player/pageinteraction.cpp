#include "player/pageinteraction.h"

#include "player/exercises.h"
#include "player/pagedisplay.h"
#include "player/pageview.h"
#include "player/playbackcontrol.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>

namespace lirena {

namespace {

// The 3-pixel strips along a rectangle's edges that resize it.
const int kStrip = 3;

bool inLeftStrip(const PixelRect &r, int x, int y)
{
    return PixelRect{r.Left, r.Top, r.Left + kStrip, r.Bottom}.contains(x, y);
}
bool inRightStrip(const PixelRect &r, int x, int y)
{
    return PixelRect{r.Right - kStrip, r.Top, r.Right, r.Bottom}.contains(x, y);
}
bool inTopStrip(const PixelRect &r, int x, int y)
{
    return PixelRect{r.Left, r.Top, r.Right, r.Top + kStrip}.contains(x, y);
}
bool inBottomStrip(const PixelRect &r, int x, int y)
{
    return PixelRect{r.Left, r.Bottom - kStrip, r.Right, r.Bottom}.contains(x, y);
}
bool inInnerStrip(const PixelRect &r, int x, int y)
{
    return PixelRect{r.Left + kStrip, r.Top + kStrip, r.Right - kStrip, r.Bottom - kStrip}.contains(x, y);
}

} // namespace

PageInteraction::PageInteraction(Chapter &chapter, PageDisplay &page, PlaybackControl &playback,
                                 Exercises &exercises, Controls controls, QObject *parent)
    : QObject(parent), mChapter(chapter), mPage(page), mPlayback(playback), mExercises(exercises),
      c(std::move(controls))
{
    connect(c.img, &PageView::mousePressed, this,
            [this](QMouseEvent *e) {
                const QPoint at = e->position().toPoint();
                imgMouseDown(e->button(), at.x(), at.y(), e->type() == QEvent::MouseButtonDblClick);
            });
    connect(c.img, &PageView::mouseMoved, this,
            [this](QMouseEvent *e) { imgMouseMove(e->position().toPoint().x(), e->position().toPoint().y()); });
    connect(c.img, &PageView::mouseReleased, this, [this](QMouseEvent *) { imgMouseUp(); });
    connect(&mChapter, &Chapter::objectRemoving, this, &PageInteraction::forget);
    connect(&mChapter, &Chapter::cleared, this, [this] {
        PointedGraphic = nullptr;
        PointedVoice = nullptr;
    });
}

void PageInteraction::setScreenCursor(Qt::CursorShape shape)
{
    if (shape == Qt::ArrowCursor) {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        return;
    }
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(shape);
    else
        QApplication::setOverrideCursor(shape);
}

void PageInteraction::imgMouseDown(Qt::MouseButton button, int x, int y, bool secondOfDouble)
{
    QScrollBar *h = c.SBox->horizontalScrollBar();
    QScrollBar *v = c.SBox->verticalScrollBar();
    if (button == Qt::RightButton) {
        setScreenCursor(Qt::SizeAllCursor);
        Panning = true;
        PanGrab = QPoint(x - h->value(), y - v->value());
        PanStart = QPoint(h->value(), v->value());
        return;
    }
    if (button != Qt::LeftButton)
        return;

    if (c.mode() == Design) {
        RectDragging = true;
        const PixelRect &r = mPage.EditRect;
        if (r.contains(x, y)) {
            DragAnchor = QPoint(x, y);
            DragStartRect = r;
            DragLeft = inLeftStrip(r, x, y);
            DragRight = inRightStrip(r, x, y);
            DragTop = inTopStrip(r, x, y);
            DragBottom = inBottomStrip(r, x, y);
            DragMove = !DragLeft && !DragRight && !DragTop && !DragBottom;
        } else {
            mPage.DrawEditRect();
            mPage.EditRect = {x, y, x, y};
            DragAnchor.setX(0);
        }
        return;
    }

    // The page may have moved under a still pointer (wheel, scrolling while
    // reading): the word clicked is the one under the pointer now.
    pointAt(x, y);
    if (!PointedVoice)
        return;
    if (mExercises.ExerciseKind == Exercises::Test3) {
        // Before the first item has started there is nothing to find; the second
        // press of a double click would answer the item after this one.
        if (!mExercises.TargetGraphic || secondOfDouble)
            return;
        mPage.TintExerciseRect(PointedGraphic == mExercises.TargetGraphic, mExercises.TargetGraphic->ViewRect);
        mExercises.Answered = true;
        mExercises.ExercisePhase = Exercises::Waiting;
        return;
    }
    mExercises.StopExercise();
    if (c.sectionPlay()) {
        mExercises.SectionStart = PointedVoice->StartTime;
        mExercises.SectionStop = PointedVoice->StopTime;
        mExercises.PlaySection();
    } else {
        mPlayback.SeekMedia(PointedVoice->StartTime);
        mPlayback.PlayMedia();
    }
}

void PageInteraction::imgMouseMove(int x, int y)
{
    // In full screen the bottom strip of the screen brings the button bar back,
    // also where the picture covers it.
    if (c.controlPanelState() == 0 && c.img->mapTo(c.SBox, QPoint(x, y)).y() > c.screenHeight() - 20)
        c.setControlPanelState(1);
    if (Panning) {
        QScrollBar *h = c.SBox->horizontalScrollBar();
        QScrollBar *v = c.SBox->verticalScrollBar();
        h->setValue(PanStart.x() + h->value() + PanGrab.x() - x);
        v->setValue(PanStart.y() + v->value() + PanGrab.y() - y);
        return;
    }
    if (RectDragging) {
        mPage.DrawEditRect();
        PixelRect &r = mPage.EditRect;
        if (DragAnchor.x() < 1) {
            r.Right = x;
            r.Bottom = y;
        } else {
            const PixelRect &s = DragStartRect;
            const int dx = x - DragAnchor.x(), dy = y - DragAnchor.y();
            if (DragLeft)
                r.Left = s.Left + dx;
            if (DragRight)
                r.Right = s.Right + dx;
            if (DragTop)
                r.Top = s.Top + dy;
            if (DragBottom)
                r.Bottom = s.Bottom + dy;
            if (DragMove)
                r = {s.Left + dx, s.Top + dy, s.Right + dx, s.Bottom + dy};
        }
        mPage.DrawEditRect();
    }
    if (c.mode() == Design)
        designCursor(x, y);
    else
        pointAt(x, y);
}

void PageInteraction::designCursor(int x, int y)
{
    const PixelRect &r = mPage.EditRect;
    if (inInnerStrip(r, x, y))
        setScreenCursor(Qt::SizeAllCursor);
    else if (inLeftStrip(r, x, y) || inRightStrip(r, x, y))
        setScreenCursor(Qt::SizeHorCursor);
    else if (inTopStrip(r, x, y) || inBottomStrip(r, x, y))
        setScreenCursor(Qt::SizeVerCursor);
    else
        setScreenCursor(Qt::ArrowCursor);
}

void PageInteraction::pointAt(int x, int y)
{
    if (PointedGraphic && PointedGraphic->ViewRect.contains(x, y))
        return;
    for (const TVGObj *link : mChapter.ClickSet) {
        const TGraphicObj *graphic = mChapter.graphicOf(link);
        if (!graphic || !graphic->ViewRect.contains(x, y))
            continue;
        setScreenCursor(Qt::PointingHandCursor);
        PointedGraphic = graphic;
        PointedVoice = mChapter.voiceOf(link);
        c.LblPointedVGObj->setText(QString::number(link->Id));
        return;
    }
    setScreenCursor(Qt::ArrowCursor);
    PointedVoice = nullptr;
    PointedGraphic = nullptr;
}

void PageInteraction::imgMouseUp()
{
    if (Panning) {
        Panning = false;
        setScreenCursor(Qt::ArrowCursor);
    } else if (RectDragging) {
        RectDragging = false;
    }
}

void PageInteraction::SBoxMouseMove(int y)
{
    if (c.controlPanelState() == 0 && y > c.screenHeight() - 20)
        c.setControlPanelState(1);
    setScreenCursor(Qt::ArrowCursor);
}

void PageInteraction::RGrpModeClick(int index)
{
    if (index != PlayAll && index != PlayLimited)
        return;
    mPage.DrawEditRect();
    mPage.EditRect = {};
    mChapter.BuildWorkingSets(index == PlayLimited);
}

void PageInteraction::forget(const TBaseObj *object)
{
    if (object == PointedGraphic)
        PointedGraphic = nullptr;
    if (object == PointedVoice)
        PointedVoice = nullptr;
}

} // namespace lirena
