#pragma once

#include "platform/waveout.h"
#include "soundeditor/wavpage.h"

#include <QElapsedTimer>
#include <QImage>
#include <QWidget>

#include <memory>

namespace lirena {

class TWavPlayer;

// The waveform of a page as the view shows it, `size` logical pixels at
// `dpr` device pixels each: black frame, white field, centre line and one
// vertical line per column from the column's lowest to its highest value.
// Columns follow page.SamplesPerPixel(); heights use every device pixel.
QImage WaveformPicture(const WavPage &page, QSize size, qreal dpr);

// The waveform view of the sound editor: shows one page of a raw sound file,
// lets the author mark a range with the mouse, plays the page or the range,
// searches for stretches of sound, scrolls and zooms. Owned by the sound
// editor window; it owns its page and its player.
class TWavEditor : public QWidget, private WavPageObserver
{
    Q_OBJECT
public:
    // Plays through `output`, or the sound server's when it is null.
    explicit TWavEditor(QWidget *parent = nullptr, std::unique_ptr<WaveOut> output = nullptr);
    ~TWavEditor() override;

    // Where a relative file name is looked for (default: the program's folder).
    void setProgramFolder(const QString &folder) { mPage.setProgramFolder(folder); }
    // Opens a raw sound file at its first page; an unknown or empty name
    // closes the file. False, with the reason, when it exists but cannot be opened.
    bool setWavFile(const QString &name, QString *error = nullptr);
    QString WavFile() const { return mPage.WavFile(); }
    // Byte offset of the page in the file; setting it scrolls.
    qint64 OffSet() const { return mPage.OffSet(); }
    void setOffSet(qint64 v) { mPage.setOffSet(v); }
    // Page size in bytes; setting it zooms.
    qint64 BufferSize() const { return mPage.BufferSize(); }
    void setBufferSize(qint64 v) { mPage.setBufferSize(v); }
    qint64 FileSize() const { return mPage.FileSize(); }
    qint64 ValidBytes() const { return mPage.ValidBytes(); }
    // The selection edges as times in the file, in ms.
    int SelStartMs() const { return mPage.SelStartMs(); }
    int SelStopMs() const { return mPage.SelStopMs(); }
    // Scrolls to and selects startMs..stopMs of the recording.
    void ShowRange(int startMs, int stopMs) { mPage.ShowRange(startMs, stopMs); }
    // The shown page and its selection.
    const WavPage &page() const { return mPage; }

    // Plays the page's data.
    void PlayAll();
    // Plays the selected columns, when they are in order and hold data.
    void PlaySelection();
    void StopPlaying();
    bool playing() const;

    // Searches for the next stretch of sound from the page start, selects it
    // and plays it; the window goes on answering meanwhile.
    WavPage::SearchResult FindFirst();
    // The same from the end of the selection.
    WavPage::SearchResult FindNext();
    bool Finding() const { return mPage.Finding(); }

signals:
    // After every page load (scroll, zoom, open).
    void scrolled();
    // A mouse button was released over the view; raised before the view
    // ends its own drag.
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void releaseBuffer() override;
    void pageLoaded() override;
    void selectionChanged() override;
    void breathe() override;
    void stretchFound() override;

    WavPage::SearchResult search(WavPage::SearchResult (WavPage::*find)());
    void play(qint64 from, qint64 length);
    void updateLines();
    QRect lineRect(int x) const { return {x, 0, 1, height()}; }

    // The bytes being played: shares the page's memory, so that a page
    // loaded while the device still holds the block goes to new memory.
    QByteArray mPlayed;
    std::unique_ptr<TWavPlayer> mPlayer;
    WavPage mPage{this};
    QImage mPicture; // the waveform, in device pixels
    bool mPictureStale = true;
    int mPaintedStartX = -1;
    int mPaintedEndX = -1;
    QElapsedTimer mSinceBreath; // since the search last let the window answer
};

} // namespace lirena
