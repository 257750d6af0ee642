#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>
#include <vector>

namespace lirena {

// What a WavPage tells the one who shows it. Every call may let window events
// run, and so any command of the page; the page copes with that.
class WavPageObserver
{
public:
    virtual ~WavPageObserver() = default;

    // The page buffer is about to be rewritten: anything playing from it must
    // have ended when this returns.
    virtual void releaseBuffer() {}
    // A page has been loaded.
    virtual void pageLoaded() {}
    // The selection's lines have moved.
    virtual void selectionChanged() {}
    // The sound search has moved a line: the window's chance to answer.
    virtual void breathe() {}
    // The sound search has found a stretch between two silences.
    virtual void stretchFound() {}
};

// Highest and lowest value shown in one pixel column.
struct ColumnPeak
{
    int max;
    int min;
};

// The peaks of the first channel for the first `columns` pixel columns of a
// page holding `values` values of data, reading about 30 values per column
// whatever the zoom. One entry per column that holds data.
std::vector<ColumnPeak> columnPeaks(const char *page, qint64 values, int samplesPerPixel, int columns);

// One page of a raw sound file (16-bit stereo 22,050 Hz, read from byte 0),
// with the selection on it and the sound search; no widgets. Owned by the
// waveform view; the command-line tools use it on its own.
//
// Positions are counted in values (one 16-bit sample of either channel) from
// the page start; OffSet, sizes and ranges are in bytes; columns in pixels of
// the view; times in ms.
class WavPage
{
public:
    static constexpr qint64 kBytesPerSecond = 88200;
    static constexpr qint64 kDefaultBufferSize = 1048576;

    // How a sound search ended.
    enum class SearchResult {
        NotRun,    // no file, no view width yet, or a search already running
        NoStart,   // no sound up to the end of the file's data
        NoEnd,     // a start was found, but the sound lasts to the end of the data
        Found,     // a stretch between two silences: selected and played
        Abandoned, // a command changed the page in the middle
    };

    explicit WavPage(WavPageObserver *observer = nullptr);
    ~WavPage();
    WavPage(const WavPage &) = delete;
    WavPage &operator=(const WavPage &) = delete;

    // Folder where a name that is not an absolute path is looked for
    // (default: the program's folder).
    void setProgramFolder(const QString &folder) { mProgramFolder = folder; }

    // Opens the file and shows its first page. A name found neither as an
    // absolute path nor in the program folder closes the file, keeping the
    // page and selection; so does an empty name. False, with the reason in
    // *error, when an existing file cannot be opened (the page is then
    // without a file).
    bool setWavFile(const QString &name, QString *error = nullptr);
    // The name last opened, as it was given.
    QString WavFile() const { return mWavFile; }
    bool hasFile() const { return mDataFile.isOpen(); }

    // Byte offset of the page in the file; always even.
    qint64 OffSet() const { return mOffSet; }
    // Scrolls to byte v (lowered to even); ignored without a file, outside
    // the file, or when equal to the current offset.
    void setOffSet(qint64 v);
    // The page size: that of the buffer once a page has been loaded.
    qint64 BufferSize() const { return mBuffer.isEmpty() ? mBufferSize : mBuffer.size(); }
    // Changes the page size (lowered to even, at least 2) and reloads the page.
    void setBufferSize(qint64 v);
    // Size of the open file; 0 without a file.
    qint64 FileSize() const { return hasFile() ? mFileSize : 0; }
    // Bytes at the start of the buffer that hold file data.
    qint64 ValidBytes() const;
    // The page; bytes past ValidBytes are not file data.
    const QByteArray &Buffer() const { return mBuffer; }

    // Values per pixel column for a view `width` pixels wide, as the view
    // paints it: follows the buffer size, not the data. The view calls this on
    // every paint; it sets the selection columns from the positions.
    void setViewWidth(int width);
    int viewWidth() const { return mViewWidth; }
    // Values per pixel column; 0 until a view width is known.
    int SamplesPerPixel() const { return mSamplesPerPixel; }

    // Selection columns (-1 or any negative value: no line) and positions.
    int SelStartX() const { return mStart.column; }
    int SelEndX() const { return mEnd.column; }
    qint64 SelStart() const { return mStart.position; }
    qint64 SelEnd() const { return mEnd.position; }
    // The selection edges as times in the file, truncated to whole ms.
    int SelStartMs() const { return msOf(mStart.position); }
    int SelStopMs() const { return msOf(mEnd.position); }
    // Scrolls to the range startMs..stopMs of the recording, its start one
    // sixteenth of a page from the left edge where possible, and selects it.
    void ShowRange(int startMs, int stopMs);
    // The bytes of the buffer the selection covers, when it can be played.
    struct ByteRange
    {
        qint64 from = 0;
        qint64 length = 0;
    };
    bool selectionBytes(ByteRange *range) const;

    // Mouse on pixel column x (left button, or any button while dragging):
    // Shift moves the nearer edge; otherwise grabs an edge within two pixels
    // or starts a new selection.
    void mousePress(int x, bool shift);
    // Moves the dragged edge to x, kept to the columns that hold data.
    void mouseMove(int x);
    // Ends a drag: a click without movement clears the selection, a
    // selection drawn leftwards is turned round.
    void mouseRelease();
    bool Dragging() const { return mDragging; }
    // Whether x is within two pixels of a selection line.
    bool nearEdge(int x) const;

    // Searches for the next stretch of sound between two silences from value
    // 100 of the page; selects it and has it played.
    SearchResult FindFirst();
    // The same from the end of the selection (column 100 without one).
    SearchResult FindNext();
    bool Finding() const { return mFinding; }

private:
    struct Edge
    {
        qint64 position = 0;
        int column = -1;
        bool shown = false; // false: cleared; the position still gives the time
    };
    enum class DragMode { Start, End, NewEnd };
    enum class Want { Loud, Quiet };

    int msOf(qint64 position) const;
    int columnOf(qint64 position) const;
    void syncColumns();
    void setEdgeColumn(Edge &edge, int column);
    void clearSelection();
    void notifySelection();
    void closeFile();
    void abandonSearch();
    bool scrollAllowed(qint64 v) const;
    void scrollTo(qint64 v);
    void loadPage();
    int lastDataColumn() const;

    SearchResult FindSound(qint64 p);
    bool meanLevel(const char *values, qint64 count, qint64 &p, Want want) const;
    bool advancePage();

    WavPageObserver *mObserver;
    QString mProgramFolder;
    QString mWavFile;
    QFile mDataFile;
    qint64 mFileSize = 0;
    QByteArray mBuffer;
    qint64 mOffSet = 0;
    qint64 mBufferSize = kDefaultBufferSize;
    int mViewWidth = 0;
    int mSamplesPerPixel = 0;
    Edge mStart;
    Edge mEnd;
    bool mDragging = false;
    DragMode mDragMode = DragMode::NewEnd;
    bool mFinding = false;
    // Number of the running search; a command that changes the page, and the
    // destructor, move it on, which tells the search to stop where it stands.
    // Shared so that a search can still look at it after the page is gone.
    std::shared_ptr<quint64> mSearchRun = std::make_shared<quint64>(0);
};

} // namespace lirena
