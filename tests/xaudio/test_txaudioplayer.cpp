#include "soundeditor/txaudioplayer.h"

#include "platform/audiodecoder.h"
#include "recordings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace lirena;
using lirena::testing::kXaudioData;

namespace {

const QString kLibrary = QStringLiteral(LIRENA_BINARY_DIR "/libxaudio.so");

// Drives the component the way the sound editor does (play once the input
// is open, close input and output at the end) and writes down what it hears.
struct EditorDrive
{
    QStringList events;           // everything but the positions, in order
    std::vector<quint32> offsets; // the positions' offsets
    bool allRangesAre400 = true;
    bool rawExistedAtEnd = true;
    bool finished = false; // output closed or a command refused

    EditorDrive(TXaudioPlayer &player, const QString &raw, bool autoPlay = true)
    {
        QObject::connect(&player, &TXaudioPlayer::OnNotifyMessage, [this](const XA_Message &m) {
            if (m.code != XA_MSG_NOTIFY_INPUT_POSITION)
                events << QString::number(m.code);
        });
        QObject::connect(&player, &TXaudioPlayer::OnNotifyInputState, [this, &player, autoPlay](int state) {
            events.last() += QStringLiteral(" input %1").arg(state);
            if (state == XA_INPUT_STATE_OPEN && autoPlay)
                player.Play();
        });
        QObject::connect(&player, &TXaudioPlayer::OnNotifyPlayerState, [this, &player, raw](int state) {
            events.last() += QStringLiteral(" player %1").arg(state);
            if (state == XA_PLAYER_STATE_EOS) {
                rawExistedAtEnd = QFileInfo::exists(raw);
                player.InputClose();
                player.OutputClose();
            }
        });
        QObject::connect(&player, &TXaudioPlayer::OnNotifyOutputState, [this](int state) {
            events.last() += QStringLiteral(" output %1").arg(state);
            finished = finished || state == XA_OUTPUT_STATE_CLOSED;
        });
        QObject::connect(&player, &TXaudioPlayer::OnNotifyNack, [this](int command, int code) {
            events.last() += QStringLiteral(" nack %1 %2").arg(command).arg(code);
            finished = true;
        });
        QObject::connect(&player, &TXaudioPlayer::OnNotifyInputPosition,
                         [this](quint32 offset, quint32 range) {
                             offsets.push_back(offset);
                             allRangesAre400 = allRangesAre400 && range == 400;
                         });
    }

    bool wait()
    {
        return QTest::qWaitFor([this] { return finished; }, 20000);
    }
};

// Decodes mp3 to raw through the component as the editor does.
EditorDrive *decode(TXaudioPlayer &player, const QString &mp3, const QString &raw)
{
    auto *drive = new EditorDrive(player, raw);
    player.SetOutputName(raw);
    player.InputOpen(mp3);
    drive->wait();
    return drive;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The position of the loudest sample of the first channel, in ms.
double peakMs(const qint16 *samples, qint64 frames, int channels, int rate)
{
    qint64 best = 0;
    for (qint64 f = 0; f < frames; ++f)
        if (std::abs(samples[f * channels]) > std::abs(samples[best * channels]))
            best = f;
    return double(best) * 1000 / rate;
}

} // namespace

TEST(TXaudioPlayer, DecodesToRawOfTheExactLengthWithTheNotificationsInOrder)
{
    // Exact gapless lengths (lengths.txt) at 22,050 Hz: 44.1 kHz halves.
    const struct
    {
        const char *file;
        qint64 frames;
    } cases[] = {{"cbr-44k-stereo.mp3", 176400 / 2}, {"vbr-22k-mono-id3.mp3", 115693}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        QTemporaryDir dir;
        const QString raw = dir.filePath("x.raw");
        TXaudioPlayer player;
        player.setPriority(1);
        std::unique_ptr<EditorDrive> drive(decode(player, kXaudioData + c.file, raw));
        ASSERT_TRUE(drive->finished);
        EXPECT_EQ(drive->events, QStringList({"82 input 0", "93 output 0", "78 player 1", "78 player 3",
                                              "82 input 1", "93 output 1"}));
        // The finished file gets its name only when closed; nothing else is left.
        EXPECT_FALSE(drive->rawExistedAtEnd);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"x.raw"});
        ASSERT_FALSE(drive->offsets.empty());
        EXPECT_EQ(drive->offsets.front(), 0u);
        EXPECT_EQ(drive->offsets.back(), 400u);
        EXPECT_TRUE(std::is_sorted(drive->offsets.begin(), drive->offsets.end()));
        EXPECT_TRUE(drive->allRangesAre400);

        const QByteArray bytes = readAll(raw);
        ASSERT_EQ(bytes.size(), c.frames * 4);
        // Mono goes to both channels.
        const auto *s = reinterpret_cast<const qint16 *>(bytes.constData());
        if (QByteArray(c.file).contains("mono")) {
            bool same = true;
            for (qint64 f = 0; f < c.frames; ++f)
                same = same && s[2 * f] == s[2 * f + 1];
            EXPECT_TRUE(same);
        }
        EXPECT_EQ(player.Priority(), 1);
        EXPECT_EQ(player.GetVersion(), 0x030800);
    }
}

TEST(TXaudioPlayer, RefusedCommandsAreNackedAndAnUnfinishedOutputKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString raw = dir.filePath("x.raw");
    {
        QFile old(raw);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    const struct
    {
        QString input;
        int error;
    } unusable[] = {{kXaudioData + "none.mp3", XA_ERROR_INPUT_OPEN_FAILED},
                    {dir.path(), XA_ERROR_INPUT_OPEN_FAILED},
                    {kXaudioData + "empty.mp3", XA_ERROR_INPUT_INVALID},
                    {kXaudioData + "random.mp3", XA_ERROR_INPUT_INVALID}};
    for (const auto &c : unusable) {
        SCOPED_TRACE(c.input.toStdString());
        TXaudioPlayer player;
        std::unique_ptr<EditorDrive> drive(decode(player, c.input, raw));
        EXPECT_EQ(drive->events, QStringList{QStringLiteral("75 nack 8 %1").arg(c.error)});
    }
    {
        TXaudioPlayer player;
        EditorDrive drive(player, raw);
        player.Play();
        ASSERT_TRUE(drive.wait());
        EXPECT_EQ(drive.events, QStringList{QStringLiteral("75 nack 4 %1").arg(XA_ERROR_NO_INPUT)});
    }

    // Closed before its end, the output is dropped: the old file stays whole.
    const QString longMp3 = dir.filePath("long.mp3");
    ASSERT_TRUE(lirena::testing::writeLongRecording(longMp3, 100));
    {
        TXaudioPlayer player;
        EditorDrive drive(player, raw, false);
        player.SetOutputName(raw);
        player.InputOpen(longMp3);
        player.Play();
        player.InputClose();
        player.OutputClose();
        ASSERT_TRUE(drive.wait());
        EXPECT_EQ(drive.events,
                  QStringList({"82 input 0", "93 output 0", "78 player 1", "78 player 0", "82 input 1",
                               QStringLiteral("75 nack 18 %1").arg(XA_ERROR_OUTPUT_INCOMPLETE)}));
        EXPECT_EQ(readAll(raw), "old");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"long.mp3", "x.raw"}));
    }

    // A file cut short decodes as far as the media player plays it.
    TXaudioPlayer player;
    std::unique_ptr<EditorDrive> drive(decode(player, kXaudioData + "truncated.mp3", raw));
    EXPECT_TRUE(drive->events.endsWith("93 output 1"));
    const auto played = AudioDecoder::open(kXaudioData + "truncated.mp3");
    ASSERT_TRUE(played);
    EXPECT_EQ(readAll(raw).size(), played->totalFrames() / 2 * 4);
}

TEST(TXaudioPlayer, UnusableLibrariesRaiseTheirMessageAndLeaveNoPlayer)
{
    const struct
    {
        QString path;
        QString message;
    } cases[] = {
        {"/no/such/libxaudio.so", "Cannot Load Xaudio DLL (/no/such/libxaudio.so)"},
        {XA_MISSING_SYMBOLS_LIBRARY, "Cannot Find Symbol control_message_send_SI in Xaudio DLL"},
        {XA_OTHER_VERSION_LIBRARY, "Xaudio DLL API Mismatch\rExpected 3.8, Got 3.7"},
        {XA_NO_PLAYER_LIBRARY, "Cannot Start Xaudio Player"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        TXaudioPlayer player;
        player.setXaudioPath(c.path);
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                attempt == 0 ? player.Init() : player.InputOpen(kXaudioData + "cbr-44k-stereo.mp3");
                ADD_FAILURE() << "no exception";
            } catch (const EXaudioException &e) {
                EXPECT_EQ(e.message(), c.message);
            }
            EXPECT_FALSE(player.running());
        }
        EXPECT_EQ(player.ErrorString(XA_FAILURE), QString());
        EXPECT_EQ(player.GetVersion(), 0);
        // The next command tries again, with the library now named.
        player.setXaudioPath(kLibrary);
        EXPECT_EQ(player.OutputReset(), XA_SUCCESS);
        EXPECT_TRUE(player.running());
        EXPECT_EQ(player.ErrorString(XA_ERROR_NO_INPUT), "no input open");
    }
    EXPECT_EQ(TXaudioPlayer().XaudioPath(), kLibrary);
}

// The player (AudioDecoder) and the editor (the library) put a click at the
// same millisecond: encoder delay and padding are dropped alike.
TEST(OneTimeline, AClickLiesAtTheSameMillisecondInThePlayerAndTheEditor)
{
    for (const char *file : {"click-44k-stereo.mp3", "click-48k-mono.mp3"}) {
        SCOPED_TRACE(file);
        const auto played = AudioDecoder::open(kXaudioData + file);
        ASSERT_TRUE(played);
        std::vector<qint16> samples(size_t(played->totalFrames() * played->channels()));
        ASSERT_EQ(played->read(samples.data(), played->totalFrames()), played->totalFrames());
        const double playerMs =
            peakMs(samples.data(), played->totalFrames(), played->channels(), played->sampleRate());

        QTemporaryDir dir;
        TXaudioPlayer player;
        std::unique_ptr<EditorDrive> drive(decode(player, kXaudioData + file, dir.filePath("x.raw")));
        const QByteArray raw = readAll(dir.filePath("x.raw"));
        ASSERT_GT(raw.size(), 0);
        const qint64 frames = raw.size() / 4;
        const double editorMs = peakMs(reinterpret_cast<const qint16 *>(raw.constData()), frames, 2, 22050);

        EXPECT_NEAR(playerMs, 1234, 1.0);
        EXPECT_NEAR(editorMs, playerMs, 1.0);
        EXPECT_NEAR(double(frames) * 1000 / 22050, double(played->lengthMs()), 1.0);
    }
}
