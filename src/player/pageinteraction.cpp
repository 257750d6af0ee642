#include "player/pageinteraction.h"

#include "player/exercises.h"
#include "player/pagedisplay.h"
#include "player/pageview.h"
#include "player/playbackcontrol.h"

#include <QApplication>
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
        mPointedGraphic = nullptr;
        mPointedVoice = nullptr;
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
        mPanning = true;
        mPanGrab = QPoint(x - h->value(), y - v->value());
        mPanStart = QPoint(h->value(), v->value());
        return;
    }
    if (button != Qt::LeftButton)
        return;

    if (mMode == Design) {
        mRectDragging = true;
        const PixelRect &r = mPage.editRect();
        if (r.contains(x, y)) {
            mDragAnchor = QPoint(x, y);
            mDragStartRect = r;
            mDragLeft = inLeftStrip(r, x, y);
            mDragRight = inRightStrip(r, x, y);
            mDragTop = inTopStrip(r, x, y);
            mDragBottom = inBottomStrip(r, x, y);
            mDragMove = !mDragLeft && !mDragRight && !mDragTop && !mDragBottom;
        } else {
            mPage.replaceEditRect({x, y, x, y});
            mDragAnchor.setX(0);
        }
        return;
    }

    // The page may have moved under a still pointer (wheel, scrolling while
    // reading): the word clicked is the one under the pointer now.
    pointAt(x, y);
    if (!mPointedVoice)
        return;
    if (mExercises.kind() == Exercises::Test3) {
        // The second press of a double click would answer the item after this one.
        if (!secondOfDouble)
            mExercises.answer(mPointedGraphic);
        return;
    }
    playSegment(*mPointedVoice);
}

void PageInteraction::playSegment(const TVoiceObj &voice)
{
    mExercises.StopExercise();
    if (mSectionPlay) {
        mExercises.PlaySection(voice.StartTime, voice.StopTime);
    } else {
        mPlayback.SeekMedia(voice.StartTime);
        mPlayback.PlayMedia();
    }
}

void PageInteraction::imgMouseMove(int x, int y)
{
    // In full screen the bottom strip of the screen brings the button bar back,
    // also where the picture covers it.
    if (c.img->mapTo(c.SBox, QPoint(x, y)).y() > c.screenHeight() - 20)
        emit bottomEdgeReached();
    if (mPanning) {
        QScrollBar *h = c.SBox->horizontalScrollBar();
        QScrollBar *v = c.SBox->verticalScrollBar();
        h->setValue(mPanStart.x() + h->value() + mPanGrab.x() - x);
        v->setValue(mPanStart.y() + v->value() + mPanGrab.y() - y);
        return;
    }
    if (mRectDragging) {
        PixelRect r = mPage.editRect();
        if (mDragAnchor.x() < 1) {
            r.Right = x;
            r.Bottom = y;
        } else {
            const PixelRect &s = mDragStartRect;
            const int dx = x - mDragAnchor.x(), dy = y - mDragAnchor.y();
            if (mDragLeft)
                r.Left = s.Left + dx;
            if (mDragRight)
                r.Right = s.Right + dx;
            if (mDragTop)
                r.Top = s.Top + dy;
            if (mDragBottom)
                r.Bottom = s.Bottom + dy;
            if (mDragMove)
                r = {s.Left + dx, s.Top + dy, s.Right + dx, s.Bottom + dy};
        }
        mPage.replaceEditRect(r);
    }
    if (mMode == Design)
        designCursor(x, y);
    else
        pointAt(x, y);
}

void PageInteraction::designCursor(int x, int y)
{
    const PixelRect &r = mPage.editRect();
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
    if (mPointedGraphic && mPointedGraphic->ViewRect.contains(x, y))
        return;
    const ChapterIndex::Resolved under = mChapter.clickableAt(x, y);
    if (under.link) {
        setScreenCursor(Qt::PointingHandCursor);
        mPointedGraphic = under.graphic;
        mPointedVoice = under.voice;
        emit pointedLinkChanged(under.link->Id);
        return;
    }
    setScreenCursor(Qt::ArrowCursor);
    mPointedVoice = nullptr;
    mPointedGraphic = nullptr;
}

void PageInteraction::imgMouseUp()
{
    if (mPanning) {
        mPanning = false;
        setScreenCursor(Qt::ArrowCursor);
    } else if (mRectDragging) {
        mRectDragging = false;
    }
}

void PageInteraction::SBoxMouseMove(int y)
{
    if (y > c.screenHeight() - 20)
        emit bottomEdgeReached();
    setScreenCursor(Qt::ArrowCursor);
}

void PageInteraction::setMode(Mode mode)
{
    if (mode == mMode)
        return;
    mMode = mode;
    if (mode == PlayAll || mode == PlayLimited) {
        mPage.replaceEditRect({});
        mChapter.BuildWorkingSets(mode == PlayLimited);
    }
    emit modeChanged(mode);
}

bool PageInteraction::nudgeEditRect(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool noButton = QApplication::mouseButtons() == Qt::NoButton;
    const bool shiftAlone = held == Qt::ShiftModifier && noButton;
    const bool ctrlAlone = held == Qt::ControlModifier && noButton;
    PixelRect r = mPage.editRect();
    const bool rectDrawn = r.Left + r.Top + r.Right + r.Bottom > 0;
    if (mMode != Design || !rectDrawn || !(shiftAlone || ctrlAlone))
        return false;
    if (shiftAlone) {
        if (key == Qt::Key_Left && r.Left + 1 < r.Right)
            --r.Right;
        else if (key == Qt::Key_Up && r.Top + 1 < r.Bottom)
            --r.Bottom;
        else if (key == Qt::Key_Right)
            ++r.Right;
        else if (key == Qt::Key_Down)
            ++r.Bottom;
    } else {
        const int dx = key == Qt::Key_Left ? -1 : key == Qt::Key_Right ? 1 : 0;
        const int dy = key == Qt::Key_Up ? -1 : key == Qt::Key_Down ? 1 : 0;
        r = {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
    }
    mPage.replaceEditRect(r);
    return true;
}

void PageInteraction::forget(const TBaseObj *object)
{
    if (object == mPointedGraphic)
        mPointedGraphic = nullptr;
    if (object == mPointedVoice)
        mPointedVoice = nullptr;
}

} // namespace lirena
