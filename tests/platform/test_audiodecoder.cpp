#include "platform/audiodecoder.h"

#include <QFile>
#include <QMap>
#include <QTextStream>

#include <gtest/gtest.h>

#include <vector>

using namespace lirena;

namespace {

const QString kData = QStringLiteral(LIRENA_TEST_DATA "/data/");

struct Expected
{
    int rate = 0;
    qint64 frames = 0;
    qint64 ms = 0;
};

// The exact lengths written down when the fixtures were made.
QMap<QString, Expected> expectedLengths()
{
    QMap<QString, Expected> out;
    QFile file(kData + "lengths.txt");
    file.open(QIODevice::ReadOnly);
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(' ');
        if (f.size() == 4 && !f[0].startsWith('#'))
            out[f[0]] = {f[1].toInt(), f[2].toLongLong(), f[3].toLongLong()};
    }
    return out;
}

std::vector<qint16> decodeAll(AudioDecoder &d)
{
    std::vector<qint16> all;
    std::vector<qint16> chunk(4096 * size_t(d.channels()));
    while (qint64 got = d.read(chunk.data(), 4096))
        all.insert(all.end(), chunk.begin(), chunk.begin() + got * d.channels());
    return all;
}

} // namespace

TEST(AudioDecoder, LengthsAreExactForMp3AndWav)
{
    const auto expected = expectedLengths();
    ASSERT_EQ(expected.size(), 4);
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        QString error;
        auto d = AudioDecoder::open(kData + it.key(), &error);
        ASSERT_TRUE(d) << error.toStdString();
        EXPECT_EQ(d->sampleRate(), it->rate);
        EXPECT_EQ(d->totalFrames(), it->frames);
        EXPECT_EQ(d->lengthMs(), it->ms);
        EXPECT_EQ(qint64(decodeAll(*d).size()), it->frames * d->channels());
    }
}

TEST(AudioDecoder, ChannelsFollowTheFile)
{
    EXPECT_EQ(AudioDecoder::open(kData + "cbr-44k-stereo.mp3")->channels(), 2);
    EXPECT_EQ(AudioDecoder::open(kData + "vbr-22k-mono-id3.mp3")->channels(), 1);
    EXPECT_EQ(AudioDecoder::open(kData + "pcm-22k-mono.wav")->channels(), 1);
}

TEST(AudioDecoder, SeekLandsOnTheSample)
{
    for (const char *name : {"cbr-44k-stereo.mp3", "vbr-22k-mono-id3.mp3", "pcm-44k-stereo.wav"}) {
        SCOPED_TRACE(name);
        auto d = AudioDecoder::open(kData + name);
        ASSERT_TRUE(d);
        const std::vector<qint16> all = decodeAll(*d);
        for (qint64 frame : {qint64(0), qint64(1), qint64(1151), qint64(1152), qint64(33333), d->totalFrames() - 10}) {
            ASSERT_TRUE(d->seek(frame));
            std::vector<qint16> got(10 * size_t(d->channels()));
            ASSERT_EQ(d->read(got.data(), 10), 10);
            const auto from = all.begin() + frame * d->channels();
            EXPECT_TRUE(std::equal(got.begin(), got.end(), from)) << "frame " << frame;
        }
    }
}

TEST(AudioDecoder, MsAndFramesConvert)
{
    auto d = AudioDecoder::open(kData + "cbr-44k-stereo.mp3");
    EXPECT_EQ(d->frameAt(1000), 44100);
    EXPECT_EQ(d->frameAt(-5), 0);
    EXPECT_EQ(d->frameAt(99999), d->totalFrames());
}

TEST(AudioDecoder, FilesWithoutSoundDoNotOpen)
{
    for (const char *name : {"random.mp3", "empty.mp3", "no-such-file.mp3"}) {
        QString error;
        EXPECT_FALSE(AudioDecoder::open(kData + name, &error)) << name;
        EXPECT_FALSE(error.isEmpty()) << name;
    }
}

TEST(AudioDecoder, TruncatedMp3PlaysWhatItHolds)
{
    QString error;
    auto d = AudioDecoder::open(kData + "truncated.mp3", &error);
    ASSERT_TRUE(d) << error.toStdString();
    EXPECT_GT(d->lengthMs(), 2000);
    EXPECT_LT(d->lengthMs(), 3000);
    EXPECT_EQ(qint64(decodeAll(*d).size()), d->totalFrames() * 2);
}

// Opened without a scan, a file whose LAME header tells its length gives the
// length and the sound a scan gives; a file cut short behind its header, or
// without one, is left unknown until scanned. Such a decoder given the index
// of a scanned one seeks as exactly.
TEST(AudioDecoder, TheHeaderGivesTheLengthAScanMeasures)
{
    const struct
    {
        const char *name;
        bool fromHeader;
    } files[] = {{"cbr-44k-stereo.mp3", true},
                 {"vbr-22k-mono-id3.mp3", true},
                 {"click-48k-mono.mp3", true},
                 {"truncated.mp3", false},
                 {"untagged-44k-stereo.mp3", false}};
    for (const auto &file : files) {
        SCOPED_TRACE(file.name);
        auto quick = AudioDecoder::open(kData + file.name, nullptr, AudioDecoder::Scan::Later);
        auto scanned = AudioDecoder::open(kData + file.name, nullptr, AudioDecoder::Scan::Always);
        ASSERT_TRUE(quick && scanned);
        EXPECT_EQ(quick->lengthKnown(), file.fromHeader);
        EXPECT_FALSE(quick->indexed());
        if (!quick->lengthKnown())
            quick->scan();
        EXPECT_EQ(quick->totalFrames(), scanned->totalFrames());
        EXPECT_EQ(decodeAll(*quick), decodeAll(*scanned));
        if (!file.fromHeader)
            continue;

        auto indexed = AudioDecoder::open(kData + file.name, nullptr, AudioDecoder::Scan::Later);
        indexed->takeIndex(*scanned);
        EXPECT_TRUE(indexed->indexed());
        for (const qint64 frame : {scanned->totalFrames() - 3000, qint64(1153)}) {
            std::vector<qint16> got(10 * size_t(indexed->channels())), want(got.size());
            ASSERT_TRUE(indexed->seek(frame) && scanned->seek(frame));
            ASSERT_EQ(indexed->read(got.data(), 10), 10);
            scanned->read(want.data(), 10);
            EXPECT_EQ(got, want) << "frame " << frame;
        }
    }
}
