#pragma once

#include "platform/userdialogs.h"
#include "platform/waveout.h"
#include "soundeditor/soundeditorfiles.h"

#include <QWidget>

#include <memory>

class QAction;
class QLabel;
class QProgressBar;
class QSlider;
class QToolButton;

namespace lirena {

class TWavEditor;
class TXaudioPlayer;

// The sound editor: a tool window that stays above the main window. It
// decodes the chapter's recording into "x.raw" through the decoder component,
// shows it in the waveform view, plays it, finds spoken stretches and hands
// the selected range over (addVoiceObject, replaceVoiceObject). Made once by
// the main window, its child; closing it only hides it.
class TEditForm : public QWidget
{
    Q_OBJECT

public:
    // What the window is given.
    struct Environment
    {
        QString programFolder;           // folder of the program file
        UserDialogs *dialogs = nullptr;  // error boxes and the WAV file dialog
        QString xaudioPath;              // the decoder library; empty: its usual place
        std::unique_ptr<WaveOut> output; // the view's sound output; null: the sound server's
    };

    TEditForm(Environment environment, QWidget *parent = nullptr);
    ~TEditForm() override;

    // Shows the recording (a full path): the "x.raw" decoded from it when that
    // is still its decoding, otherwise decodes it anew and shows it once done.
    void LoadRecording(const QString &fileName);
    // Scrolls to and selects startMs..stopMs of the recording.
    void ShowRange(int startMs, int stopMs);
    // The program is ending: the close that follows is not the author's and
    // writes no settings.
    void programEnding() { mProgramEnding = true; }

signals:
    // Ctrl+A: the selection, in ms, is to become a new voice object.
    void addVoiceObject(int startMs, int stopMs);
    // Ctrl+Z: the selection, in ms, is to become the selected voice object's range.
    void replaceVoiceObject(int startMs, int stopMs);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Where the decoding of a recording stands; each step waits for one
    // notification of the decoder.
    enum class Decoding {
        Idle,    // nothing asked
        Opening, // InputOpen sent: waits for input state 0 (or Nack 8)
        Playing, // Play sent: waits for player state 3 (or Nack 4)
        Closing, // InputClose and OutputClose sent: waits for output state 1
    };
    // What "x.raw" looked like when its decoding finished.
    struct RawStamp
    {
        qint64 size = -1;
        qint64 modified = 0; // ms since the epoch
        bool operator==(const RawStamp &) const = default;
    };

    void buildWindow();
    void FormCreate();
    void FormClose();
    void readSettings();

    bool rawHolds(const QString &fileName) const;
    RawStamp rawStamp() const;
    void startDecoding(const QString &fileName);
    void decodingFailed(const QString &message);
    void showRaw();

    void XaudioPlayerNotifyInputState(int state);
    void XaudioPlayerNotifyInputPosition(quint32 offset, quint32 range);
    void XaudioPlayerNotifyPlayerState(int state);
    void XaudioPlayerNotifyOutputState(int state);
    void XaudioPlayerNotifyNack(int command, int code);

    void loadBtnClick();
    void zoomInBtnClick();
    void zoomOutBtnClick();
    void WavEditorMouseUp(Qt::MouseButton button);
    void WavEditorScroll();
    void SliderChange(int value);
    void UpdateOffsetLabel();
    bool hasSelection() const;
    void AddVoiceObjectExecute();
    void ReplaceVoiceObjectExecute();

    UserDialogs &mDialogs;
    SoundEditorFiles mFiles;
    QString ProgramFolder;
    bool SliderDown = false;
    bool SliderUpdating = false;
    // The recording "x.raw" holds: named only once its decoding has finished,
    // emptied when another decoding begins to overwrite the file.
    QString LastFileName;
    RawStamp mLastStamp;
    Decoding mDecoding = Decoding::Idle;
    QString mDecoded;    // the recording being decoded
    int mStaleOpens = 0; // answers still due to InputOpens of recordings since given up
    bool mOutputNamed = false;
    bool mProgramEnding = false;

    QWidget *Panel1;
    QToolButton *loadBtn;
    QToolButton *playAllBtn;
    QToolButton *playSelBtn;
    QToolButton *findFirstBtn;
    QToolButton *findNextBtn;
    QToolButton *zoomInBtn;
    QToolButton *zoomOutBtn;
    QLabel *ofsLabel;
    QSlider *Slider;
    QProgressBar *ProgressBar;
    QAction *ReplaceVoiceObject;
    QAction *AddVoiceObject;
    TWavEditor *WavEditor;
    TXaudioPlayer *XaudioPlayer;
};

} // namespace lirena
