#include "player/pagedisplay.h"

#include "player/imageops.h"
#include "player/pageview.h"
#include "player/rotatedlabel.h"

#include <QApplication>
#include <QFileInfo>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>

#include <cmath>

namespace lirena {

namespace {

const QColor kCorrectTint(129, 251, 132);
const QColor kWrongTint(231, 49, 49);

QRect toQRect(const PixelRect &r)
{
    return QRect(QPoint(std::min(r.Left, r.Right), std::min(r.Top, r.Bottom)),
                 QSize(std::abs(r.Right - r.Left), std::abs(r.Bottom - r.Top)));
}

} // namespace

PageDisplay::PageDisplay(Chapter &chapter, Controls controls, QObject *parent)
    : QObject(parent), mChapter(chapter), c(std::move(controls)), mPointerBitmap(pointerPicture())
{
    connect(&mChapter, &Chapter::objectRemoving, this, &PageDisplay::forget);
    connect(&mChapter, &Chapter::cleared, this, [this] { mMarkedVoice = nullptr; });
}

double PageDisplay::ImageScale() const
{
    return mOptions.sizeType == FitScreen ? mFitScale : chosenScale(mOptions.sizeIndex);
}

PageSizing PageDisplay::sizing() const
{
    return {.screen = c.screenSize(),
            .fitScreen = mOptions.sizeType == FitScreen,
            .sizeIndex = mOptions.sizeIndex,
            .devicePixelRatio = c.devicePixelRatio ? c.devicePixelRatio() : c.img->devicePixelRatioF()};
}

bool PageDisplay::LoadPageImage(const QString &name, QString *error)
{
    mPageImageFile = name;
    emit pageImageFileChanged(name);
    const QString path = c.resolve(name);
    bool ok = true;
    if (QFileInfo(path).isFile()) {
        PagePicture made = c.picture ? c.picture(path, sizing()) : makePagePicture(path, sizing());
        if (made.image.isNull()) {
            ok = false;
            // The learner reads Turkish; the library's own words follow for whoever mends the course.
            if (error)
                *error =
                    QStringLiteral("Sayfaya ait resim dosyası açılamıyor !\n%1\n\n%2").arg(path, made.error);
        } else {
            mFitScale = made.fitScale;
            c.img->setImage(std::move(made.image));
            // Marks belong to the picture they were drawn on.
            forgetMarks();
        }
    }
    CenterPage();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return ok;
}

void PageDisplay::forgetMarks()
{
    mSavedPatch = QImage();
    mMarkKind = NoMark;
    mEditRect = {};
    mMarkedVoice = nullptr;
}

void PageDisplay::CenterPage()
{
    const QSize screen = c.screenSize();
    const int panel = c.controlPanelHeight();
    const QSize picture = viewSize(c.img->image());
    // A picture wider than the screen starts at its left edge: centred, its left
    // part would lie outside the scrollable area, out of reach.
    const int left = std::max(0, (screen.width() - picture.width()) / 2);
    const int top = std::max(0, (screen.height() - picture.height() - panel) / 2);
    c.img->move(left, top);
    // A title longer than the page area is cut to it, not left under the panel.
    c.LblChapterName->setSpace(std::max(0, screen.height() - panel));
    c.LblChapterName->move(3, (screen.height() - c.LblChapterName->height() - panel) / 2);
    if (QWidget *surface = c.SBox->widget()) {
        // The scrollable area reaches to the picture's right and bottom edges.
        surface->setMinimumSize(std::max(0, left + picture.width()), top + picture.height());
    }
}

void PageDisplay::ApplyImageSize()
{
    emit rescaling();
    mPageDirty = true;
    RestorePage();
    RescaleViewRects();
}

void PageDisplay::RescaleViewRects()
{
    const double scale = ImageScale();
    for (int i = 0; i < mChapter.LstGObj.count(); ++i) {
        auto *g = mChapter.LstGObj.at<TGraphicObj>(i);
        g->ViewRect = viewRectOnRescale(g->ImageRect, scale);
    }
    mChapter.invalidateIndex();
}

void PageDisplay::RestorePage()
{
    if (!mPageDirty)
        return;
    mSavedPatch = QImage();
    // The same picture again: the File page's name box is not written (that
    // would mark the chapter changed), and a page without a picture of its own
    // reloads none.
    if (!mPageImageFile.isEmpty()) {
        const QSignalBlocker sameName(this);
        LoadPageImage(mPageImageFile);
    }
    mPageDirty = false;
    emit restored();
}

void PageDisplay::DrawEditRect()
{
    xorFrame(c.img->image(), mEditRect);
    c.img->imageChanged();
}

void PageDisplay::replaceEditRect(const PixelRect &r)
{
    DrawEditRect();
    mEditRect = r;
    DrawEditRect();
}

void PageDisplay::MarkRect(MarkStyle style, const PixelRect &r)
{
    UnmarkRect();
    QImage &page = c.img->image();
    switch (style) {
    case Frame:
        replaceEditRect(r); // takes off an outline still shown there
        break;
    case Pointer: {
        // Drawn as finely as the picture has pixels.
        if (mPointerBitmap.devicePixelRatio() != page.devicePixelRatio())
            mPointerBitmap = pointerPicture(page.devicePixelRatio());
        const QSize pointer = viewSize(mPointerBitmap);
        mMarkOrigin = QPoint(r.Left + (r.Right - r.Left - pointer.width()) / 2, r.Bottom);
        mSavedPatch = copyArea(page, QRect(mMarkOrigin, pointer));
        drawTransparent(page, mPointerBitmap, mMarkOrigin);
        break;
    }
    case Recolour: {
        const QRect area = toQRect(r);
        mMarkOrigin = area.topLeft();
        mSavedPatch = copyArea(page, area);
        tintArea(page, area, mOptions.markColor);
        break;
    }
    default:
        break;
    }
    mMarkKind = style >= Frame && style <= Recolour ? style : NoMark;
    c.img->imageChanged();
}

void PageDisplay::UnmarkRect()
{
    if (mMarkKind == Frame) {
        DrawEditRect();
        mEditRect = {};
    } else if ((mMarkKind == Pointer || mMarkKind == Recolour) && !mSavedPatch.isNull()) {
        drawImage(c.img->image(), mSavedPatch, mMarkOrigin);
        mSavedPatch = QImage();
        c.img->imageChanged();
    }
    mMarkKind = NoMark;
}

void PageDisplay::TintExerciseRect(bool correct, const PixelRect &r)
{
    UnmarkRect();
    const QRect area = toQRect(r);
    mMarkOrigin = area.topLeft();
    tintArea(c.img->image(), area, correct ? kCorrectTint : kWrongTint);
    c.img->imageChanged();
}

void PageDisplay::ScrollRectIntoView(const TGraphicObj *g)
{
    QScrollBar *bar = c.SBox->verticalScrollBar();
    auto pictureTop = [&] { return c.img->y() - bar->value(); };
    if (pictureTop() + g->ViewRect.Bottom > c.SBox->height())
        bar->setValue(g->ViewRect.Bottom);
    if (bar->value() > pictureTop() + g->ViewRect.Bottom)
        bar->setValue(g->ViewRect.Top);

    // Sideways, on a page wider than the page area: a rectangle cut by either
    // edge is brought in with its left edge first, where reading goes on.
    QScrollBar *across = c.SBox->horizontalScrollBar();
    const int visible = c.SBox->viewport()->width();
    const int left = c.img->x() + std::min(g->ViewRect.Left, g->ViewRect.Right);
    const int right = c.img->x() + std::max(g->ViewRect.Left, g->ViewRect.Right);
    if (left < across->value() || right > across->value() + visible)
        across->setValue(right - left > visible ? left : std::max(left - (visible - (right - left)) / 4, 0));
}

void PageDisplay::markSegment(const TGraphicObj *g, const TVoiceObj *v)
{
    MarkRect(mOptions.markStyle, g->ViewRect);
    ScrollRectIntoView(g);
    mMarkedVoice = v;
}

void PageDisplay::MarkingStep(qint64 p)
{
    if (mMarkedVoice && mMarkedVoice->StartTime < p && p < mMarkedVoice->StopTime)
        return;
    // A link whose rectangle is gone marks nothing; the next one may.
    const ChapterIndex::Resolved heard = mChapter.heardAt(p);
    if (heard.link) {
        markSegment(heard.graphic, heard.voice);
        return;
    }
    UnmarkRect();
    mMarkedVoice = nullptr;
}

qint64 PageDisplay::nextMarkChange(qint64 p) const
{
    qint64 next = mChapter.nextHeardChange(p);
    // The marked segment holds its mark to its stop, whatever starts under it.
    if (mMarkedVoice && mMarkedVoice->StopTime > p && (next < 0 || mMarkedVoice->StopTime < next))
        next = mMarkedVoice->StopTime;
    return next;
}

void PageDisplay::forget(const TBaseObj *object)
{
    if (object == mMarkedVoice)
        mMarkedVoice = nullptr;
}

} // namespace lirena
