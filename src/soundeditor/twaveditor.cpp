#include "soundeditor/twaveditor.h"

#include "soundeditor/twavplayer.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QtMath>

#include <algorithm>

namespace lirena {

namespace {

// A running search lets the window answer at least this often (ms).
const int kBreathInterval = 10;

int columnAt(const QMouseEvent *event)
{
    return qFloor(event->position().x());
}

} // namespace

QImage WaveformPicture(const WavPage &page, QSize size, qreal dpr)
{
    const int width = std::max(1, qCeil(size.width() * dpr));
    const int height = std::max(1, qCeil(size.height() * dpr));
    QImage picture(width, height, QImage::Format_RGB32);
    picture.setDevicePixelRatio(dpr);
    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    const int mid = height / 2;
    const int scale = std::max(1, (65535 / height) / 2);

    // Each device column's black run: rows top..bottom, bottom excluded.
    std::vector<int> top(size_t(width), 0);
    std::vector<int> bottom(size_t(width), 0);
    int firstRow = height;
    int endRow = 0;
    const std::vector<ColumnPeak> peaks =
        columnPeaks(page.Buffer().constData(), page.ValidBytes() / 2, page.SamplesPerPixel(), size.width());
    for (size_t k = 0; k < peaks.size(); ++k) {
        const int y0 = std::clamp(mid - peaks[k].max / scale, 0, height);
        const int y1 = std::clamp(mid - peaks[k].min / scale, 0, height);
        const int x0 = int(qreal(k) * dpr);
        const int x1 = std::min(width, std::max(x0 + 1, int(qreal(k + 1) * dpr)));
        for (int x = x0; x < x1; ++x) {
            top[size_t(x)] = y0;
            bottom[size_t(x)] = y1;
        }
        firstRow = std::min(firstRow, y0);
        endRow = std::max(endRow, y1);
    }

    // Row by row, so that memory is written in order.
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        if (y == 0 || y == height - 1 || y == mid) {
            std::fill(line, line + width, black);
            continue;
        }
        if (y < firstRow || y >= endRow) {
            std::fill(line, line + width, white);
        } else {
            const int *t = top.data();
            const int *b = bottom.data();
            for (int x = 0; x < width; ++x)
                line[x] = unsigned(y - t[x]) < unsigned(b[x] - t[x]) ? black : white;
        }
        line[0] = black;
        line[width - 1] = black;
    }
    return picture;
}

TWavEditor::TWavEditor(QWidget *parent, std::unique_ptr<WaveOut> output)
    : QWidget(parent),
      mPlayer(output ? std::make_unique<TWavPlayer>(std::move(output)) : std::make_unique<TWavPlayer>())
{
    setObjectName(QStringLiteral("WavEditor"));
    setAccessibleName(QStringLiteral("Waveform"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    connect(mPlayer.get(), &TWavPlayer::finished, this, [this] {
        if (!mPlayer->playing())
            mPlayed.clear();
    });
}

TWavEditor::~TWavEditor()
{
    // The player reads straight out of the page.
    StopPlaying();
}

bool TWavEditor::setWavFile(const QString &name, QString *error)
{
    const bool opened = mPage.setWavFile(name, error);
    // Closing keeps the page but shows it empty.
    mPictureStale = true;
    update();
    return opened;
}

bool TWavEditor::playing() const
{
    return mPlayer->playing();
}

void TWavEditor::StopPlaying()
{
    mPlayer->Stop();
    if (!mPlayer->playing())
        mPlayed.clear();
}

void TWavEditor::PlayAll()
{
    StopPlaying();
    play(0, mPage.ValidBytes());
}

void TWavEditor::PlaySelection()
{
    StopPlaying();
    // Taken after the stop: window events may have run while it waited.
    WavPage::ByteRange range;
    if (mPage.selectionBytes(&range))
        play(range.from, range.length);
}

void TWavEditor::play(qint64 from, qint64 length)
{
    if (length <= 0)
        return;
    const QByteArray bytes = mPage.Buffer();
    mPlayer->Play(bytes.constData() + from, length);
    if (mPlayer->playing())
        mPlayed = bytes;
}

WavPage::SearchResult TWavEditor::FindFirst()
{
    return search(&WavPage::FindFirst);
}

WavPage::SearchResult TWavEditor::FindNext()
{
    return search(&WavPage::FindNext);
}

WavPage::SearchResult TWavEditor::search(WavPage::SearchResult (WavPage::*find)())
{
    const QPointer<TWavEditor> alive(this);
    mSinceBreath.invalidate();
    const WavPage::SearchResult result = (mPage.*find)();
    if (alive)
        updateLines();
    return result;
}

void TWavEditor::releaseBuffer()
{
    StopPlaying();
}

void TWavEditor::pageLoaded()
{
    mPictureStale = true;
    repaint();
    emit scrolled();
}

void TWavEditor::selectionChanged()
{
    // A search moves its lines often; it shows them when it lets the window answer.
    if (!mPage.Finding())
        updateLines();
}

void TWavEditor::breathe()
{
    if (mSinceBreath.isValid() && mSinceBreath.elapsed() < kBreathInterval)
        return;
    updateLines();
    mSinceBreath.start();
    // May run any command, even one that deletes this view: nothing after it.
    QCoreApplication::processEvents();
}

void TWavEditor::stretchFound()
{
    PlaySelection();
}

void TWavEditor::updateLines()
{
    const int start = mPage.SelStartX();
    const int end = mPage.SelEndX();
    if (start == mPaintedStartX && end == mPaintedEndX)
        return;
    for (int x : {mPaintedStartX, mPaintedEndX, start, end}) {
        if (x >= 0 && x < width())
            update(lineRect(x));
    }
}

void TWavEditor::paintEvent(QPaintEvent *event)
{
    mPage.setViewWidth(width());
    const qreal dpr = devicePixelRatio();
    if (mPictureStale || mPicture.devicePixelRatio() != dpr) {
        mPicture = WaveformPicture(mPage, size(), dpr);
        mPictureStale = false;
    }
    const int start = mPage.SelStartX();
    const int end = mPage.SelEndX();
    // A line that moved outside the region being painted (the columns
    // follow the width) is put right by one more paint.
    for (int x : {mPaintedStartX, mPaintedEndX, start, end}) {
        const bool moved = (x == start || x == end) != (x == mPaintedStartX || x == mPaintedEndX);
        if (moved && x >= 0 && x < width() && !event->region().contains(lineRect(x)))
            update(lineRect(x));
    }

    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), mPicture);
    // Yellow in exclusive-or: shows on black and white alike; both edges in
    // one column show as one line.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const QColor yellow(255, 255, 0);
    if (start >= 0)
        painter.fillRect(lineRect(start), yellow);
    if (end >= 0 && end != start)
        painter.fillRect(lineRect(end), yellow);
    mPaintedStartX = start;
    mPaintedEndX = end;
}

void TWavEditor::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The columns follow the width at once: a search or a selection made
    // before the next paint already works in the new columns.
    mPage.setViewWidth(width());
    mPictureStale = true;
    update();
}

void TWavEditor::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton && !mPage.Dragging())
        return;
    mPage.mousePress(columnAt(event), event->modifiers().testFlag(Qt::ShiftModifier));
}

void TWavEditor::mouseMoveEvent(QMouseEvent *event)
{
    const int x = columnAt(event);
    if (mPage.nearEdge(x))
        setCursor(Qt::SplitHCursor);
    else
        unsetCursor();
    mPage.mouseMove(x);
}

void TWavEditor::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointer<TWavEditor> alive(this);
    emit mouseReleased(event->button(), event->modifiers(), event->position().toPoint());
    if (alive)
        mPage.mouseRelease();
}

} // namespace lirena
