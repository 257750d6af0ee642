#include "soundeditor/teditform.h"

#include "platform/pathresolver.h"
#include "platform/profile.h"
#include "soundeditor/twaveditor.h"
#include "soundeditor/txaudioplayer.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QScreen>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace lirena {

namespace {

const QString kMain = QStringLiteral("Main");

// The decoder's commands its refusals name.
const int kPlayCommand = 4;
const int kInputOpenCommand = 8;
const int kOutputCloseCommand = 18;

// The zoom limits: a page from 16,384 bytes (about 0.19 s) to 2,097,152 (about 23.8 s).
const qint64 kZoomInFrom = 16385;
const qint64 kZoomOutBelow = 2097152;

// The name tests find a control by, and what a screen reader says: its name, then its description.
template <class W>
W *named(W *widget, const char *objectName, const QString &accessibleName, const QString &description = {})
{
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(accessibleName);
    widget->setAccessibleDescription(description);
    return widget;
}

enum class ToolGlyph { Open, Play, PlaySelection, FindFirst, FindNext, ZoomIn, ZoomOut };

// A magnifying glass in the upper left of the 20-unit box, its handle to the lower right.
void drawLens(QPainter &p, QPointF centre)
{
    p.setBrush(QColor(225, 238, 250));
    p.setPen(QPen(QColor(40, 40, 40), 1.8));
    p.drawEllipse(centre, 5.2, 5.2);
    p.setPen(QPen(QColor(40, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(4, 4), centre + QPointF(8.5, 8.5));
}

void drawTriangle(QPainter &p, qreal left, qreal right, QColor colour)
{
    QPainterPath path;
    path.moveTo(left, 4);
    path.lineTo(right, 10);
    path.lineTo(left, 16);
    path.closeSubpath();
    p.setPen(QPen(colour.darker(160), 1));
    p.setBrush(colour);
    p.drawPath(path);
}

// A toolbar picture, size device pixels square, drawn in a box of 20 units.
QPixmap drawToolGlyph(ToolGlyph glyph, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 20.0, size / 20.0);
    const QColor ink(40, 40, 40);
    const QColor green(40, 150, 60);
    switch (glyph) {
    case ToolGlyph::Open: {
        QPainterPath folder;
        folder.moveTo(2, 5);
        folder.lineTo(7, 5);
        folder.lineTo(9, 7);
        folder.lineTo(17, 7);
        folder.lineTo(17, 16);
        folder.lineTo(2, 16);
        folder.closeSubpath();
        p.setPen(QPen(ink, 1.2));
        p.setBrush(QColor(240, 200, 90));
        p.drawPath(folder);
        p.setBrush(QColor(250, 222, 130));
        p.drawPolygon(QPolygonF({QPointF(4, 10), QPointF(19, 10), QPointF(17, 16), QPointF(2, 16)}));
        break;
    }
    case ToolGlyph::Play:
        drawTriangle(p, 5, 16, green);
        break;
    case ToolGlyph::PlaySelection:
        drawTriangle(p, 7, 14, green);
        p.setPen(QPen(ink, 1.6));
        p.drawLine(QPointF(3.5, 2), QPointF(3.5, 18));
        p.drawLine(QPointF(17, 2), QPointF(17, 18));
        break;
    case ToolGlyph::FindFirst:
        p.setPen(QPen(ink, 1.6));
        p.drawLine(QPointF(2, 3), QPointF(2, 17));
        drawLens(p, QPointF(9.5, 8));
        break;
    case ToolGlyph::FindNext:
        drawLens(p, QPointF(7, 8));
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPolygon(QPolygonF({QPointF(14, 1.5), QPointF(19, 5), QPointF(14, 8.5)}));
        break;
    case ToolGlyph::ZoomIn:
    case ToolGlyph::ZoomOut:
        drawLens(p, QPointF(8, 8));
        p.setPen(QPen(ink, 1.6));
        p.drawLine(QPointF(5.2, 8), QPointF(10.8, 8));
        if (glyph == ToolGlyph::ZoomIn)
            p.drawLine(QPointF(8, 5.2), QPointF(8, 10.8));
        break;
    }
    return pixmap;
}

QIcon toolIcon(ToolGlyph glyph)
{
    QIcon icon;
    for (int size : {20, 40})
        icon.addPixmap(drawToolGlyph(glyph, size));
    return icon;
}

} // namespace

TEditForm::TEditForm(Environment environment, QWidget *parent)
    : QWidget(parent), mDialogs(*environment.dialogs),
      mFiles(SoundEditorFiles::choose(environment.programFolder)),
      ProgramFolder(withTrailingSlash(environment.programFolder))
{
    WavEditor = new TWavEditor(this, std::move(environment.output));
    XaudioPlayer = new TXaudioPlayer(this);
    XaudioPlayer->setObjectName(QStringLiteral("XaudioPlayer"));
    if (!environment.xaudioPath.isEmpty())
        XaudioPlayer->setXaudioPath(environment.xaudioPath);
    XaudioPlayer->setPriority(3);
    buildWindow();
    FormCreate();
}

TEditForm::~TEditForm()
{
    // The decoder may still report while the window goes.
    XaudioPlayer->disconnect(this);
    // The view stops its playback as it goes.
    delete WavEditor;
    WavEditor = nullptr;
    // Only a decoder that runs is reset: starting one to reset it would, without
    // the library, greet the author with an error box as the program ends.
    if (XaudioPlayer->running()) {
        try {
            XaudioPlayer->OutputReset();
        } catch (const EXaudioException &) {
        }
    }
}

void TEditForm::buildWindow()
{
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    setWindowTitle(QStringLiteral("Corvel Sound Editor"));
    setObjectName(QStringLiteral("EditForm"));
    setAccessibleName(QStringLiteral("Sound Editor"));
    QFont formFont(QStringLiteral("Arial"));
    formFont.setStyleHint(QFont::SansSerif);
    formFont.setPixelSize(13);
    setFont(formFont);
    resize(718, 242);

    Panel1 = named(new QWidget(this), "Panel1", QStringLiteral("Toolbar"));
    Panel1->setFixedHeight(33);
    auto button = [this](const char *name, const QString &hint, const QString &description, ToolGlyph glyph,
                         int left, auto handler) {
        QToolButton *b = named(new QToolButton(Panel1), name, hint, description);
        b->setToolTip(hint);
        b->setIcon(toolIcon(glyph));
        b->setIconSize(QSize(20, 20));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setGeometry(left, 4, 33, 25);
        connect(b, &QToolButton::clicked, this, handler);
        return b;
    };
    loadBtn =
        button("loadBtn", QStringLiteral("Open File"), QStringLiteral("Opens a WAV file to look at and play"),
               ToolGlyph::Open, 8, [this] { loadBtnClick(); });
    playAllBtn = button("playAllBtn", QStringLiteral("Play"), QStringLiteral("Plays the recording shown"),
                        ToolGlyph::Play, 52, [this] { WavEditor->PlayAll(); });
    playSelBtn =
        button("playSelBtn", QStringLiteral("Play Selection"), QStringLiteral("Plays the selected range"),
               ToolGlyph::PlaySelection, 84, [this] { WavEditor->PlaySelection(); });
    findFirstBtn = button("findFirstBtn", QStringLiteral("Find First"),
                          QStringLiteral("Selects the first spoken stretch"), ToolGlyph::FindFirst, 132,
                          [this] { WavEditor->FindFirst(); });
    findNextBtn =
        button("findNextBtn", QStringLiteral("Find Next"), QStringLiteral("Selects the next spoken stretch"),
               ToolGlyph::FindNext, 164, [this] { WavEditor->FindNext(); });
    zoomInBtn = button("zoomInBtn", QStringLiteral("Zoom In"), QStringLiteral("Shows less time on a page"),
                       ToolGlyph::ZoomIn, 211, [this] { zoomInBtnClick(); });
    zoomOutBtn = button("zoomOutBtn", QStringLiteral("Zoom Out"), QStringLiteral("Shows more time on a page"),
                        ToolGlyph::ZoomOut, 243, [this] { zoomOutBtnClick(); });

    ofsLabel = named(new QLabel(Panel1), "ofsLabel", QStringLiteral("Page time span"));
    QFont labelFont(formFont);
    labelFont.setPixelSize(11);
    ofsLabel->setFont(labelFont);
    QPalette navy = ofsLabel->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    ofsLabel->setPalette(navy);
    ofsLabel->setAlignment(Qt::AlignCenter);
    ofsLabel->setGeometry(280, 10, 95, 14);

    Slider = named(new QSlider(Qt::Horizontal, Panel1), "Slider", QStringLiteral("Position in file"),
                   QStringLiteral("Moves the view through the recording"));
    Slider->setRange(0, 100);
    Slider->setSingleStep(1);
    Slider->setGeometry(374, 3, 328, 29);
    connect(Slider, &QSlider::sliderPressed, this, [this] { SliderDown = true; });
    connect(Slider, &QSlider::sliderReleased, this, [this] { SliderDown = false; });
    connect(Slider, &QSlider::valueChanged, this, &TEditForm::SliderChange);

    // Made after the slider, so that it lies over the slider's lower edge.
    ProgressBar = named(new QProgressBar(Panel1), "ProgressBar", QStringLiteral("Decoding progress"));
    ProgressBar->setRange(0, 400);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    ProgressBar->setGeometry(479, 24, 150, 6);

    WavEditor->setProgramFolder(ProgramFolder);
    WavEditor->setAccessibleDescription(
        QStringLiteral("Drag to select, Shift and click to move the nearer edge, the right button plays the "
                       "selection; Ctrl+A adds it as a voice object, Ctrl+Z gives it to the selected one"));
    connect(WavEditor, &TWavEditor::mouseReleased, this,
            [this](Qt::MouseButton button) { WavEditorMouseUp(button); });
    connect(WavEditor, &TWavEditor::scrolled, this, &TEditForm::WavEditorScroll);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(WavEditor, 1);

    // A replace, not an undo, for all its usual key.
    auto action = [this](const char *name, const QString &text, QKeyCombination key,
                         void (TEditForm::*handler)()) {
        auto *a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(QKeySequence(key));
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, handler);
        addAction(a);
        return a;
    };
    ReplaceVoiceObject = action("ReplaceVoiceObject", QStringLiteral("Replace Voice Object"),
                                Qt::CTRL | Qt::Key_Z, &TEditForm::ReplaceVoiceObjectExecute);
    AddVoiceObject = action("AddVoiceObject", QStringLiteral("Add Voice Object"), Qt::CTRL | Qt::Key_A,
                            &TEditForm::AddVoiceObjectExecute);

    connect(XaudioPlayer, &TXaudioPlayer::OnNotifyInputState, this, &TEditForm::XaudioPlayerNotifyInputState);
    connect(XaudioPlayer, &TXaudioPlayer::OnNotifyInputPosition, this,
            &TEditForm::XaudioPlayerNotifyInputPosition);
    connect(XaudioPlayer, &TXaudioPlayer::OnNotifyPlayerState, this,
            &TEditForm::XaudioPlayerNotifyPlayerState);
    connect(XaudioPlayer, &TXaudioPlayer::OnNotifyOutputState, this,
            &TEditForm::XaudioPlayerNotifyOutputState);
    connect(XaudioPlayer, &TXaudioPlayer::OnNotifyNack, this, &TEditForm::XaudioPlayerNotifyNack);
}

void TEditForm::FormCreate()
{
    readSettings();
    UpdateOffsetLabel();
    // Without a usable decoder the window still opens: the view and the WAV
    // commands work, decoding does not.
    try {
        XaudioPlayer->Init();
        XaudioPlayer->SetOutputName(mFiles.raw);
        mOutputNamed = true;
    } catch (const EXaudioException &error) {
        mDialogs.error(error.message());
    }
}

void TEditForm::readSettings()
{
    const Profile ini(mFiles.settings);
    if (ini.readInteger(kMain, QStringLiteral("WindowState"), 0) == 2) {
        setWindowState(Qt::WindowMaximized);
    } else {
        resize(ini.readInteger(kMain, QStringLiteral("Width"), width()),
               ini.readInteger(kMain, QStringLiteral("Height"), height()));
        const int left = ini.readInteger(kMain, QStringLiteral("Left"), INT_MIN);
        const int top = ini.readInteger(kMain, QStringLiteral("Top"), INT_MIN);
        // A place on a screen no longer there would hide the window: the system chooses then.
        if (left != INT_MIN && top != INT_MIN && QGuiApplication::screenAt(QPoint(left + 20, top + 10)))
            move(left, top);
    }
    LastFileName = ini.readString(kMain, QStringLiteral("LastFileName"));
    mLastStamp.size = ini.readString(kMain, QStringLiteral("RawSize"), QStringLiteral("-1")).toLongLong();
    mLastStamp.modified = ini.readString(kMain, QStringLiteral("RawTime")).toLongLong();
}

void TEditForm::closeEvent(QCloseEvent *event)
{
    if (!mProgramEnding)
        FormClose();
    // Hidden, not destroyed: the window lives until the program ends.
    event->accept();
}

void TEditForm::FormClose()
{
    Profile ini(mFiles.settings);
    ini.writeInteger(kMain, QStringLiteral("Width"), width());
    ini.writeInteger(kMain, QStringLiteral("Height"), height());
    ini.writeInteger(kMain, QStringLiteral("Left"), x());
    ini.writeInteger(kMain, QStringLiteral("Top"), y());
    ini.writeInteger(kMain, QStringLiteral("WindowState"), isMaximized() ? 2 : isMinimized() ? 1 : 0);
    ini.writeString(kMain, QStringLiteral("LastFileName"), LastFileName);
    ini.writeString(kMain, QStringLiteral("Offset"), QString::number(WavEditor->OffSet()));
    ini.writeString(kMain, QStringLiteral("RawSize"), QString::number(mLastStamp.size));
    ini.writeString(kMain, QStringLiteral("RawTime"), QString::number(mLastStamp.modified));
    QString error;
    if (ini.isDirty() && !ini.save(&error))
        mDialogs.error(error);
}

void TEditForm::LoadRecording(const QString &fileName)
{
    if (mDecoding != Decoding::Idle && fileName == mDecoded)
        return; // shown once its decoding is done
    if (rawHolds(fileName))
        showRaw();
    else
        startDecoding(fileName);
}

void TEditForm::ShowRange(int startMs, int stopMs)
{
    WavEditor->ShowRange(startMs, stopMs);
}

TEditForm::RawStamp TEditForm::rawStamp() const
{
    const QFileInfo raw(mFiles.raw);
    if (!raw.isFile())
        return {};
    return {raw.size(), raw.lastModified().toMSecsSinceEpoch()};
}

bool TEditForm::rawHolds(const QString &fileName) const
{
    if (LastFileName.isEmpty() || fileName != LastFileName)
        return false;
    // Still the very file that decoding wrote (no other run has written it
    // since), and the recording has not changed after it.
    const QFileInfo recording(fileName);
    const RawStamp raw = rawStamp();
    return raw.size >= 0 && raw == mLastStamp && recording.isFile() &&
           raw.modified > recording.lastModified().toMSecsSinceEpoch();
}

void TEditForm::startDecoding(const QString &fileName)
{
    // The view lets go of "x.raw" before the decoder writes it.
    WavEditor->setWavFile(QString());
    WavEditorScroll();
    const Decoding before = mDecoding;
    try {
        // A decoding given up goes no further into the file.
        if (before == Decoding::Playing) {
            XaudioPlayer->InputClose();
            XaudioPlayer->OutputClose();
        }
        if (!mOutputNamed) {
            XaudioPlayer->SetOutputName(mFiles.raw);
            mOutputNamed = true;
        }
        XaudioPlayer->InputOpen(fileName);
    } catch (const EXaudioException &error) {
        // The file is as it was: so is the name of what it holds.
        if (before == Decoding::Opening)
            ++mStaleOpens;
        mDecoding = Decoding::Idle;
        mDecoded.clear();
        mDialogs.error(error.message());
        return;
    }
    // The answer to an open given up still comes, before the answer to this one.
    if (before == Decoding::Opening)
        ++mStaleOpens;
    mDecoding = Decoding::Opening;
    mDecoded = fileName;
    LastFileName.clear();
    mLastStamp = {};
}

void TEditForm::decodingFailed(const QString &message)
{
    mDecoding = Decoding::Idle;
    mDecoded.clear();
    mDialogs.error(message);
}

void TEditForm::showRaw()
{
    QString error;
    if (!WavEditor->setWavFile(mFiles.raw, &error) && !error.isEmpty())
        mDialogs.error(error);
}

void TEditForm::XaudioPlayerNotifyInputState(int state)
{
    if (state != 0)
        return;
    if (mStaleOpens > 0) {
        --mStaleOpens;
        return;
    }
    if (mDecoding != Decoding::Opening)
        return;
    mDecoding = Decoding::Playing;
    try {
        XaudioPlayer->Play();
    } catch (const EXaudioException &error) {
        decodingFailed(error.message());
    }
}

void TEditForm::XaudioPlayerNotifyInputPosition(quint32 offset, quint32 range)
{
    // Positions come in the decoder's range; the bar counts Max - Min steps,
    // and a range smaller than that leaves it at 0.
    const qint64 steps = ProgressBar->maximum() - ProgressBar->minimum();
    const qint64 position = qint64(offset) * (qint64(range) / steps);
    ProgressBar->setValue(int(std::clamp<qint64>(position, ProgressBar->minimum(), ProgressBar->maximum())));
}

void TEditForm::XaudioPlayerNotifyPlayerState(int state)
{
    if (state != 3 || mDecoding != Decoding::Playing)
        return;
    // The stream has been played to its end.
    mDecoding = Decoding::Closing;
    try {
        XaudioPlayer->InputClose();
        XaudioPlayer->OutputClose();
    } catch (const EXaudioException &error) {
        decodingFailed(error.message());
    }
}

void TEditForm::XaudioPlayerNotifyOutputState(int state)
{
    if (state != 1 || mDecoding != Decoding::Closing)
        return;
    // "x.raw" is complete: from now on it is this recording's.
    mDecoding = Decoding::Idle;
    LastFileName = mDecoded;
    mDecoded.clear();
    mLastStamp = rawStamp();
    showRaw();
}

void TEditForm::XaudioPlayerNotifyNack(int command, int /*code*/)
{
    if (command == kInputOpenCommand) {
        if (mStaleOpens > 0) {
            --mStaleOpens;
            return;
        }
        if (mDecoding == Decoding::Opening)
            decodingFailed(QStringLiteral("Cannot Open Input"));
    } else if (command == kPlayCommand && mDecoding == Decoding::Playing) {
        decodingFailed(QStringLiteral("Cannot Play Stream"));
    } else if (command == kOutputCloseCommand && mDecoding == Decoding::Closing) {
        // The decoded file did not get its name: waiting on would leave the view empty for good.
        decodingFailed(QStringLiteral("Cannot Close Output"));
    }
}

void TEditForm::loadBtnClick()
{
    const QString name =
        mDialogs.chooseFileToOpen(QStringLiteral("Select a WAV file"), QStringLiteral("Wav files (*.wav)"),
                                  QString(), QStringLiteral("wav"));
    if (name.isEmpty())
        return;
    QString error;
    if (!WavEditor->setWavFile(name, &error) && !error.isEmpty())
        mDialogs.error(error);
    setWindowTitle(QStringLiteral("Taven's Sound Editor - ") + WavEditor->WavFile());
}

void TEditForm::zoomInBtnClick()
{
    if (WavEditor->BufferSize() >= kZoomInFrom)
        WavEditor->setBufferSize(WavEditor->BufferSize() / 2);
}

void TEditForm::zoomOutBtnClick()
{
    if (WavEditor->BufferSize() < kZoomOutBelow)
        WavEditor->setBufferSize(WavEditor->BufferSize() * 2);
}

void TEditForm::WavEditorMouseUp(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        WavEditor->PlaySelection();
}

void TEditForm::WavEditorScroll()
{
    UpdateOffsetLabel();
    // The slider under the author's mouse stays where the author holds it.
    if (SliderDown)
        return;
    SliderUpdating = true;
    const qint64 size = WavEditor->FileSize();
    Slider->setValue(size > 0 ? int(WavEditor->OffSet() * 100 / size) : 0);
    SliderUpdating = false;
}

void TEditForm::SliderChange(int value)
{
    if (SliderUpdating)
        return;
    WavEditor->setOffSet(qint64(double(WavEditor->FileSize()) / 100 * value));
}

void TEditForm::UpdateOffsetLabel()
{
    // Seconds of the page's first and last byte, in single precision, with a
    // decimal point like the rest of the editor's English.
    const qint64 size = WavEditor->FileSize();
    const qint64 offset = size > 0 ? WavEditor->OffSet() : 0;
    const qint64 end = std::min(WavEditor->BufferSize() + offset, size);
    const float from = float(offset) / 44100.0f / 2.0f;
    const float to = float(end) / 44100.0f / 2.0f;
    ofsLabel->setText(QString::asprintf("%4.2f - %4.2f", double(from), double(to)));
}

bool TEditForm::hasSelection() const
{
    const WavPage &page = WavEditor->page();
    return page.SelStartX() >= 0 && page.SelEndX() >= 0 && page.SelStartMs() < page.SelStopMs();
}

void TEditForm::AddVoiceObjectExecute()
{
    // Without a selection there are no times to hand over.
    if (hasSelection())
        emit addVoiceObject(WavEditor->SelStartMs(), WavEditor->SelStopMs());
}

void TEditForm::ReplaceVoiceObjectExecute()
{
    if (hasSelection())
        emit replaceVoiceObject(WavEditor->SelStartMs(), WavEditor->SelStopMs());
}

} // namespace lirena
