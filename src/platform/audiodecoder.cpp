#include "platform/audiodecoder.h"

#include <QFile>

#include <mpg123.h>

#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace lirena {

namespace {

// Sets the error message, for the open functions' failure returns.
bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

// MP3 through libmpg123, gapless, always 16-bit signed output at the file's own rate.
class Mp3Decoder : public AudioDecoder
{
public:
    ~Mp3Decoder() override
    {
        if (mHandle) {
            mpg123_close(mHandle);
            mpg123_delete(mHandle);
        }
    }

    bool open(const QString &path, QString *error)
    {
        static std::once_flag initialised;
        std::call_once(initialised, [] { mpg123_init(); });
        int result = MPG123_OK;
        mHandle = mpg123_new(nullptr, &result);
        if (!mHandle)
            return fail(error, QString::fromUtf8(mpg123_plain_strerror(result)));
        mpg123_param(mHandle, MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0);
        // Junk is skipped only a little way: a file of noise is no recording.
        mpg123_param(mHandle, MPG123_RESYNC_LIMIT, 2048, 0);
        mpg123_format_none(mHandle);
        const long *rates = nullptr;
        size_t count = 0;
        mpg123_rates(&rates, &count);
        for (size_t i = 0; i < count; ++i)
            mpg123_format(mHandle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);

        if (mpg123_open(mHandle, QFile::encodeName(path).constData()) != MPG123_OK)
            return fail(error, QString::fromUtf8(mpg123_strerror(mHandle)));
        // A full scan gives the exact length and the index for exact seeks.
        if (mpg123_scan(mHandle) != MPG123_OK)
            return fail(error, QString::fromUtf8(mpg123_strerror(mHandle)));
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_getformat(mHandle, &rate, &channels, &encoding) != MPG123_OK || rate <= 0)
            return fail(error, QStringLiteral("no MPEG audio frames found"));
        mRate = int(rate);
        mChannels = channels;
        mFrames = mpg123_length(mHandle);
        if (mFrames <= 0)
            return fail(error, QStringLiteral("no MPEG audio frames found"));
        return seek(0);
    }

    int sampleRate() const override { return mRate; }
    int channels() const override { return mChannels; }
    qint64 totalFrames() const override { return mFrames; }

    bool seek(qint64 frame) override { return mpg123_seek(mHandle, off_t(frame), SEEK_SET) >= 0; }

    qint64 read(qint16 *out, qint64 frames) override
    {
        const size_t wanted = size_t(frames) * size_t(mChannels) * sizeof(qint16);
        size_t done = 0;
        auto *bytes = reinterpret_cast<unsigned char *>(out);
        while (done < wanted) {
            size_t got = 0;
            const int result = mpg123_read(mHandle, bytes + done, wanted - done, &got);
            done += got;
            if (result == MPG123_DONE || (result != MPG123_OK && result != MPG123_NEW_FORMAT && got == 0))
                break;
        }
        return qint64(done / (size_t(mChannels) * sizeof(qint16)));
    }

private:

    mpg123_handle *mHandle = nullptr;
    int mRate = 0;
    int mChannels = 0;
    qint64 mFrames = 0;
};

// PCM in a RIFF/WAVE file: 8, 16, 24 or 32-bit integer samples.
class WavDecoder : public AudioDecoder
{
public:
    bool open(const QString &path, QString *error)
    {
        mFile.setFileName(path);
        if (!mFile.open(QIODevice::ReadOnly))
            return fail(error, mFile.errorString());
        const QByteArray header = mFile.read(12);
        if (header.size() < 12 || !header.startsWith("RIFF") || header.mid(8, 4) != "WAVE")
            return fail(error, QStringLiteral("not a WAVE file"));
        bool haveFormat = false;
        while (true) {
            const QByteArray chunk = mFile.read(8);
            if (chunk.size() < 8)
                return fail(error, QStringLiteral("WAVE file without sound data"));
            const quint32 size = le32(chunk.constData() + 4);
            const qint64 start = mFile.pos();
            // A size comes from the file: only the sound data may claim more than is there (a
            // recording cut short); any other chunk that does is damage, not a reason to allocate.
            if (!chunk.startsWith("data") && size > mFile.size() - start)
                return fail(error, QStringLiteral("damaged WAVE file: a chunk larger than the file"));
            if (chunk.startsWith("fmt ")) {
                const QByteArray fmt = mFile.read(std::min<qint64>(size, kFormatBytes));
                if (fmt.size() < 16)
                    return fail(error, QStringLiteral("damaged WAVE format"));
                const quint16 tag = le16(fmt.constData());
                mChannels = le16(fmt.constData() + 2);
                mRate = int(le32(fmt.constData() + 4));
                mBits = le16(fmt.constData() + 14);
                const bool pcm = tag == 1 || (tag == 0xFFFE && fmt.size() >= 26 && le16(fmt.constData() + 24) == 1);
                if (!pcm || mChannels < 1 || mChannels > 8 || mRate <= 0 ||
                    (mBits != 8 && mBits != 16 && mBits != 24 && mBits != 32))
                    return fail(error, QStringLiteral("only integer PCM WAVE files can be played"));
                haveFormat = true;
                mFile.seek(start + size + (size % 2));
            } else if (chunk.startsWith("data")) {
                if (!haveFormat)
                    return fail(error, QStringLiteral("WAVE sound data before its format"));
                mDataStart = mFile.pos();
                // A file cut short holds less than its header says.
                const qint64 present = mFile.size() - mDataStart;
                mFrames = std::min<qint64>(size, present) / frameBytes();
                if (mFrames <= 0)
                    return fail(error, QStringLiteral("WAVE file without sound data"));
                return seek(0);
            } else if (!mFile.seek(mFile.pos() + size + (size % 2))) {
                return fail(error, QStringLiteral("WAVE file without sound data"));
            }
        }
    }

    int sampleRate() const override { return mRate; }
    int channels() const override { return mChannels; }
    qint64 totalFrames() const override { return mFrames; }

    bool seek(qint64 frame) override
    {
        mFrame = std::clamp<qint64>(frame, 0, mFrames);
        return mFile.seek(mDataStart + mFrame * frameBytes());
    }

    qint64 read(qint16 *out, qint64 frames) override
    {
        frames = std::min(frames, mFrames - mFrame);
        if (frames <= 0)
            return 0;
        mBuffer.resize(size_t(frames * frameBytes()));
        const qint64 got = mFile.read(mBuffer.data(), qint64(mBuffer.size())) / frameBytes();
        const int bytes = mBits / 8;
        const qint64 samples = got * mChannels;
        for (qint64 i = 0; i < samples; ++i) {
            const char *s = mBuffer.data() + i * bytes;
            switch (mBits) {
            case 8: out[i] = qint16((int(quint8(s[0])) - 128) << 8); break;
            case 16: out[i] = qint16(le16(s)); break;
            default: out[i] = qint16(le16(s + bytes - 2)); break; // the high 16 bits
            }
        }
        mFrame += got;
        return got;
    }

private:
    // The longest format chunk read: WAVE_FORMAT_EXTENSIBLE's; anything after it is passed over.
    static constexpr qint64 kFormatBytes = 40;

    static quint16 le16(const char *p) { return quint16(quint8(p[0]) | quint8(p[1]) << 8); }
    static quint32 le32(const char *p) { return quint32(le16(p)) | quint32(le16(p + 2)) << 16; }
    qint64 frameBytes() const { return qint64(mChannels) * (mBits / 8); }

    QFile mFile;
    std::vector<char> mBuffer;
    int mRate = 0;
    int mChannels = 0;
    int mBits = 0;
    qint64 mDataStart = 0;
    qint64 mFrames = 0;
    qint64 mFrame = 0;
};

} // namespace

AudioDecoder::~AudioDecoder() = default;

qint64 AudioDecoder::lengthMs() const
{
    return totalFrames() * 1000 / sampleRate();
}

qint64 AudioDecoder::frameAt(qint64 ms) const
{
    return std::clamp<qint64>(ms * sampleRate() / 1000, 0, totalFrames());
}

std::unique_ptr<AudioDecoder> AudioDecoder::open(const QString &path, QString *error)
{
    // Opening runs in the playback thread too, where an exception would end the program.
    try {
        return openFile(path, error);
    } catch (const std::bad_alloc &) {
        fail(error, QStringLiteral("not enough memory to open the recording"));
        return nullptr;
    }
}

std::unique_ptr<AudioDecoder> AudioDecoder::openFile(const QString &path, QString *error)
{
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        fail(error, probe.errorString());
        return nullptr;
    }
    const QByteArray head = probe.read(12);
    probe.close();
    if (head.isEmpty()) {
        fail(error, QStringLiteral("the file is empty"));
        return nullptr;
    }
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WAVE") {
        auto wav = std::make_unique<WavDecoder>();
        if (wav->open(path, error))
            return wav;
        return nullptr;
    }
    auto mp3 = std::make_unique<Mp3Decoder>();
    if (mp3->open(path, error))
        return mp3;
    return nullptr;
}

} // namespace lirena
