#include "soundeditor/wavpage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace lirena {

namespace {

const qint64 kFindFirstFrom = 100; // values: FindFirst passes over a WAV header
const int kFindNextColumn = 100;   // where FindNext begins without a selection end
const int kLoudValue = 5;          // a value above this is loud, below it quiet
const qint64 kWindow = 3000;       // values in a window judged by its mean
const qint64 kWindowMiss = 1000;   // how far a window of the wrong kind moves the search
const qint64 kLoudMean = 4;        // a window at this mean magnitude or more starts a stretch
const qint64 kQuietMean = 2;       // a window below this mean magnitude ends it
const int kEdgeGrab = 2;           // pixels either side of a line that grab it
const int kValuesReadPerColumn = 30;

int valueAt(const char *page, qint64 i)
{
    return qFromLittleEndian<qint16>(page + 2 * i);
}

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The first even byte at or after the time ms.
qint64 evenByteAt(int ms)
{
    const qint64 exact = qint64(ms) * WavPage::kBytesPerSecond;
    const qint64 byte = -floorDiv(-exact, 1000);
    return byte + (byte & 1);
}

int samplesPerPixelFor(qint64 bufferBytes, int width)
{
    qint64 spp = (bufferBytes / 2) / width;
    spp -= spp % 2;
    return spp == 0 ? 2 : int(spp);
}

} // namespace

std::vector<ColumnPeak> columnPeaks(const char *page, qint64 values, int samplesPerPixel, int columns)
{
    std::vector<ColumnPeak> peaks;
    if (!page || values <= 0 || samplesPerPixel <= 0 || columns <= 0)
        return peaks;
    int stride = samplesPerPixel / kValuesReadPerColumn;
    stride -= stride % 2;
    if (stride == 0)
        stride = 2;
    peaks.reserve(size_t(std::min<qint64>(columns, values / samplesPerPixel + 1)));
    // g runs through the whole page and is never set back: each column reads
    // on from where the one before stopped.
    qint64 g = 0;
    for (qint64 k = 0; k < columns; ++k) {
        const qint64 i = k * samplesPerPixel;
        if (i >= values)
            break;
        int high = valueAt(page, i);
        int low = high;
        g += stride;
        const qint64 end = std::min(i + samplesPerPixel, values);
        for (; g < end; g += stride) {
            const int v = valueAt(page, g);
            high = std::max(high, v);
            low = std::min(low, v);
        }
        peaks.push_back({high, low});
    }
    return peaks;
}

WavPage::WavPage(WavPageObserver *observer) : mObserver(observer)
{
}

WavPage::~WavPage()
{
    // A search still on the stack stops when it next looks.
    ++*mSearchRun;
}

bool WavPage::setWavFile(const QString &name, QString *error)
{
    abandonSearch();
    QString path;
    if (!name.isEmpty()) {
        const QString folder =
            mProgramFolder.isEmpty() ? QCoreApplication::applicationDirPath() : mProgramFolder;
        if (QDir::isAbsolutePath(name) && QFileInfo(name).isFile())
            path = name;
        else if (!QDir::isAbsolutePath(name) && QFileInfo(QDir(folder).filePath(name)).isFile())
            path = QDir(folder).filePath(name);
    }
    closeFile();
    if (path.isEmpty())
        return true;
    mDataFile.setFileName(path);
    if (!mDataFile.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, mDataFile.errorString());
        return false;
    }
    mWavFile = name;
    mFileSize = mDataFile.size();
    mOffSet = 0;
    clearSelection();
    loadPage();
    return true;
}

void WavPage::closeFile()
{
    mDataFile.close();
    mFileSize = 0;
}

qint64 WavPage::ValidBytes() const
{
    if (!hasFile())
        return 0;
    return std::max<qint64>(0, std::min<qint64>(mBuffer.size(), mFileSize - mOffSet));
}

void WavPage::abandonSearch()
{
    if (!mFinding)
        return;
    mFinding = false;
    ++*mSearchRun;
}

bool WavPage::scrollAllowed(qint64 v) const
{
    return hasFile() && v >= 0 && v < mFileSize && (v & ~qint64(1)) != mOffSet;
}

void WavPage::setOffSet(qint64 v)
{
    if (!scrollAllowed(v))
        return;
    abandonSearch();
    scrollTo(v);
}

void WavPage::scrollTo(qint64 v)
{
    if (!scrollAllowed(v))
        return;
    v &= ~qint64(1);
    // The selection stays on the same sound.
    const qint64 d = v - mOffSet;
    mStart.position -= d / 2;
    mEnd.position -= d / 2;
    mOffSet = v;
    loadPage();
}

void WavPage::setBufferSize(qint64 v)
{
    v &= ~qint64(1);
    if (v < 2 || v == mBufferSize)
        return;
    abandonSearch();
    mBufferSize = v;
    loadPage();
}

void WavPage::loadPage()
{
    if (!hasFile())
        return;
    if (mObserver)
        mObserver->releaseBuffer();
    if (!hasFile()) // closed by a command that ran meanwhile
        return;
    mFileSize = mDataFile.size();
    const qint64 n = std::max<qint64>(0, std::min(mBufferSize, mFileSize - mOffSet));
    mBuffer.resize(mBufferSize);
    qint64 got = 0;
    if (n > 0 && mDataFile.seek(mOffSet))
        got = std::max<qint64>(0, mDataFile.read(mBuffer.data(), n));
    // What cannot be read shows as silence rather than an older page.
    if (got < n)
        std::memset(mBuffer.data() + got, 0, size_t(n - got));
    if (mViewWidth > 0)
        mSamplesPerPixel = samplesPerPixelFor(mBuffer.size(), mViewWidth);
    syncColumns();
    if (mObserver)
        mObserver->pageLoaded();
}

void WavPage::setViewWidth(int width)
{
    mViewWidth = std::max(width, 1);
    mSamplesPerPixel = samplesPerPixelFor(mBuffer.size(), mViewWidth);
    syncColumns();
}

int WavPage::columnOf(qint64 position) const
{
    // Rounded down, so that a position left of the page is never in column 0.
    return int(floorDiv(position, mSamplesPerPixel));
}

void WavPage::syncColumns()
{
    if (mSamplesPerPixel <= 0)
        return;
    for (Edge *edge : {&mStart, &mEnd})
        edge->column = edge->shown ? columnOf(edge->position) : -1;
}

void WavPage::setEdgeColumn(Edge &edge, int column)
{
    edge.column = column;
    edge.shown = column >= 0;
    edge.position = qint64(column) * mSamplesPerPixel;
}

void WavPage::clearSelection()
{
    setEdgeColumn(mStart, -1);
    setEdgeColumn(mEnd, -1);
}

void WavPage::notifySelection()
{
    if (mObserver)
        mObserver->selectionChanged();
}

int WavPage::msOf(qint64 position) const
{
    return int((mOffSet + 2 * position) * 1000 / kBytesPerSecond);
}

void WavPage::ShowRange(int startMs, int stopMs)
{
    abandonSearch();
    // Both edges land on the first sample at or after their time, so that
    // SelStartMs and SelStopMs give the same times back.
    const qint64 from = evenByteAt(startMs);
    const qint64 to = evenByteAt(stopMs);
    const qint64 lead = (mBuffer.size() / 16) & ~qint64(1);
    scrollTo(from > lead ? from - lead : from);
    mStart.position = (from - mOffSet) / 2;
    mEnd.position = (to - mOffSet) / 2;
    mStart.shown = mEnd.shown = true;
    syncColumns();
    notifySelection();
}

bool WavPage::selectionBytes(ByteRange *range) const
{
    const qint64 spp = mSamplesPerPixel;
    const int start = mStart.column;
    const int end = mEnd.column;
    if (spp <= 0 || start < 0 || start >= end || end > mViewWidth)
        return false;
    const qint64 length = (end - start) * spp * 2;
    const qint64 from = start * spp * 2;
    if (length > mBuffer.size() || from >= ValidBytes() || end * spp * 2 >= ValidBytes())
        return false;
    *range = {from, length};
    return true;
}

int WavPage::lastDataColumn() const
{
    const qint64 values = ValidBytes() / 2;
    if (mSamplesPerPixel <= 0 || values <= 0)
        return -1;
    return int(std::min<qint64>((values - 1) / mSamplesPerPixel, mViewWidth - 1));
}

bool WavPage::nearEdge(int x) const
{
    const auto near = [x](const Edge &e) { return e.column >= 0 && std::abs(x - e.column) <= kEdgeGrab; };
    return near(mStart) || near(mEnd);
}

void WavPage::mousePress(int x, bool shift)
{
    if (shift) {
        Edge &edge = std::abs(x - mStart.column) <= std::abs(x - mEnd.column) ? mStart : mEnd;
        edge.column = x;
        edge.shown = x >= 0;
        mStart.position = qint64(mStart.column) * mSamplesPerPixel;
        mEnd.position = qint64(mEnd.column) * mSamplesPerPixel;
        notifySelection();
        return;
    }
    mDragging = true;
    const auto near = [x](const Edge &e) { return e.column >= 0 && std::abs(x - e.column) <= kEdgeGrab; };
    if (near(mStart)) {
        mDragMode = DragMode::Start;
    } else if (near(mEnd)) {
        mDragMode = DragMode::End;
    } else {
        setEdgeColumn(mStart, x);
        setEdgeColumn(mEnd, x);
        mDragMode = DragMode::NewEnd;
        notifySelection();
    }
}

void WavPage::mouseMove(int x)
{
    if (!mDragging)
        return;
    Edge &edge = mDragMode == DragMode::Start ? mStart : mEnd;
    const int last = lastDataColumn();
    if (last < 0)
        return;
    x = std::clamp(x, 0, last);
    if (x == edge.column)
        return;
    setEdgeColumn(edge, x);
    notifySelection();
}

void WavPage::mouseRelease()
{
    if (!mDragging)
        return;
    mDragging = false;
    if (mStart.column == mEnd.column) {
        clearSelection();
    } else {
        if (mEnd.column < mStart.column)
            std::swap(mStart, mEnd);
        mStart.position = qint64(mStart.column) * mSamplesPerPixel;
        mEnd.position = qint64(mEnd.column) * mSamplesPerPixel;
    }
    notifySelection();
}

WavPage::SearchResult WavPage::FindFirst()
{
    return FindSound(kFindFirstFrom);
}

WavPage::SearchResult WavPage::FindNext()
{
    if (mFinding)
        return SearchResult::NotRun;
    // From the end itself, which lies past the silence that ended the last
    // stretch; its column may start inside that stretch's last sound.
    return FindSound(mEnd.column < 0 ? qint64(kFindNextColumn) * mSamplesPerPixel : mEnd.position);
}

bool WavPage::meanLevel(const char *values, qint64 count, qint64 &p, Want want) const
{
    const qint64 end = std::min(p + kWindow, count);
    qint64 sum = 0;
    for (qint64 i = p; i < end; ++i)
        sum += std::abs(valueAt(values, i));
    const qint64 mean = sum / (end - p);
    if (want == Want::Loud ? mean >= kLoudMean : mean < kQuietMean)
        return true;
    p = end - p < kWindow ? end : p + kWindowMiss;
    return false;
}

bool WavPage::advancePage()
{
    qint64 v;
    if (mStart.column > 0)
        v = mOffSet + 2 * qint64(mStart.column) * mSamplesPerPixel; // the start line becomes the left edge
    else if (mOffSet + mBuffer.size() < mFileSize)
        v = mOffSet + mBuffer.size();
    else
        return false;
    if (v >= mFileSize)
        return false;
    scrollTo(v);
    return true;
}

WavPage::SearchResult WavPage::FindSound(qint64 p)
{
    if (mFinding || !hasFile() || mSamplesPerPixel <= 0)
        return SearchResult::NotRun;
    mFinding = true;
    // Every hook may run any command, even one that deletes this page: after
    // each, look only at the local copy of the run counter first.
    const std::shared_ptr<quint64> runs = mSearchRun;
    const quint64 run = ++*runs;
    const auto abandoned = [&runs, run] { return *runs != run; };

    // Moves p, its line following, until a window of the wanted kind begins
    // at p (true in `found`) or the file's data ends. False when abandoned.
    const auto seek = [&](Edge &line, Want want, bool &found) {
        found = false;
        const char *values = mBuffer.constData();
        qint64 pageValues = mBuffer.size() / 2;
        qint64 dataValues = ValidBytes() / 2;
        while (p < dataValues) {
            const qint64 spp = mSamplesPerPixel;
            const qint64 columnEnd = std::min(dataValues, (p / spp + 1) * spp);
            if (want == Want::Loud) {
                while (p < columnEnd && std::abs(valueAt(values, p)) <= kLoudValue)
                    ++p;
            } else {
                while (p < columnEnd && std::abs(valueAt(values, p)) >= kLoudValue)
                    ++p;
            }
            if (p < columnEnd)
                found = meanLevel(values, dataValues, p, want);
            if (p / spp != line.column) {
                line.column = int(p / spp);
                line.position = p;
                line.shown = true;
                notifySelection();
                if (abandoned())
                    return false;
                if (mObserver)
                    mObserver->breathe();
                if (abandoned())
                    return false;
            }
            if (found)
                return true;
            if (p >= pageValues) {
                if (!advancePage())
                    return !abandoned();
                if (abandoned())
                    return false;
                p = 0;
            }
            values = mBuffer.constData();
            pageValues = mBuffer.size() / 2;
            dataValues = ValidBytes() / 2;
        }
        return true;
    };
    const auto finish = [&](SearchResult result) {
        notifySelection();
        if (abandoned())
            return SearchResult::Abandoned;
        if (result == SearchResult::Found && mObserver) {
            mObserver->stretchFound();
            if (abandoned())
                return SearchResult::Abandoned;
        }
        mFinding = false;
        return result;
    };

    if (mObserver)
        mObserver->releaseBuffer();
    if (abandoned())
        return SearchResult::Abandoned;

    p = std::max<qint64>(p, 0);
    setEdgeColumn(mEnd, -1); // hidden while the start is sought
    mStart = {p, int(p / mSamplesPerPixel), true};
    notifySelection();
    if (abandoned())
        return SearchResult::Abandoned;

    bool found = false;
    if (!seek(mStart, Want::Loud, found))
        return SearchResult::Abandoned;
    // The edges are where the search stopped, not where their lines entered
    // the column.
    mStart.position = p;
    if (!found)
        return finish(SearchResult::NoStart);

    p += 2;
    mEnd = {p, int(p / mSamplesPerPixel), true};
    notifySelection();
    if (abandoned())
        return SearchResult::Abandoned;
    if (!seek(mEnd, Want::Quiet, found))
        return SearchResult::Abandoned;
    mEnd.position = p;
    return finish(found ? SearchResult::Found : SearchResult::NoEnd);
}

} // namespace lirena
