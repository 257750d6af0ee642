#include "platform/audiodecoder.h"

#include <QFile>

#include <mpg123.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>
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

quint32 bigEndian32(const char *p)
{
    return quint32(quint8(p[0])) << 24 | quint32(quint8(p[1])) << 16 | quint32(quint8(p[2])) << 8 |
           quint8(p[3]);
}

quint32 littleEndian32(const char *p)
{
    return quint32(quint8(p[3])) << 24 | quint32(quint8(p[2])) << 16 | quint32(quint8(p[1])) << 8 |
           quint8(p[0]);
}

// What the Xing/Info tag that LAME (and the encoders that follow it) writes in
// place of the first frame says of the stream, and where the stream lies in
// the file. -1 where the tag says nothing.
struct InfoTag
{
    qint64 frames = -1; // MPEG frames after the tag's own
    qint64 bytes = -1;  // the stream's size
    int delay = -1;     // encoder delay and padding, in samples
    int padding = -1;
    qint64 tagBytes = 0;    // an ID3v2 tag in front of the stream
    qint64 streamBytes = 0; // from the tag's frame to the ID3v1 or APEv2 tags at the end
    qint64 fileBytes = 0;
};

// Reads the Xing/Info tag of an MP3 file: a few hundred bytes at the start and
// at the end. Nothing when the first frame is not where the ID3v2 tag ends or
// holds no such tag.
std::optional<InfoTag> readInfoTag(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    InfoTag tag;
    tag.fileBytes = file.size();
    const QByteArray id3 = file.read(10);
    if (id3.size() == 10 && id3.startsWith("ID3")) {
        const auto *h = reinterpret_cast<const uchar *>(id3.constData());
        if ((h[6] | h[7] | h[8] | h[9]) & 0x80)
            return {};
        const qint64 footer = (h[5] & 0x10) ? 10 : 0;
        tag.tagBytes = 10 + (qint64(h[6]) << 21 | qint64(h[7]) << 14 | qint64(h[8]) << 7 | h[9]) + footer;
    }
    // The frame header, side information (CRC first when the frame has one),
    // then "Xing" or "Info", flags, frames, bytes, table of contents, quality,
    // and LAME's extension: encoder (9 bytes), revision, low-pass, peak (4),
    // two gains (2 each), flags, ABR rate, then delay and padding, 12 bits each.
    constexpr qint64 kTagFrameBytes = 4 + 2 + 32 + 8 + 4 + 4 + 100 + 4 + 24;
    if (!file.seek(tag.tagBytes))
        return {};
    const QByteArray frame = file.read(kTagFrameBytes);
    const auto *f = reinterpret_cast<const uchar *>(frame.constData());
    if (frame.size() < 4 || f[0] != 0xFF || (f[1] & 0xE0) != 0xE0)
        return {};
    const int version = (f[1] >> 3) & 3; // 3: MPEG 1, 2: MPEG 2, 0: MPEG 2.5
    const int layer = (f[1] >> 1) & 3;   // 1: layer III
    if (version == 1 || layer != 1)
        return {};
    const bool mono = (f[3] >> 6) == 3;
    const qint64 side = version == 3 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    qint64 at = 4 + ((f[1] & 1) ? 0 : 2) + side;
    if (frame.size() < at + 8 ||
        (!frame.mid(at, 4).startsWith("Xing") && !frame.mid(at, 4).startsWith("Info")))
        return {};
    const quint32 flags = bigEndian32(frame.constData() + at + 4);
    at += 8;
    auto field = [&](quint32 flag, qint64 size, qint64 *value) {
        if (!(flags & flag))
            return;
        if (value && frame.size() >= at + 4)
            *value = bigEndian32(frame.constData() + at);
        at += size;
    };
    field(1, 4, &tag.frames);
    field(2, 4, &tag.bytes);
    field(4, 100, nullptr);
    field(8, 4, nullptr);
    if (frame.size() >= at + 24 && f[at] != 0) {
        const uchar *d = f + at + 21;
        tag.delay = d[0] << 4 | d[1] >> 4;
        tag.padding = (d[1] & 0x0F) << 8 | d[2];
    }
    qint64 end = tag.fileBytes;
    if (end - tag.tagBytes >= 128 && file.seek(end - 128) && file.read(3) == "TAG")
        end -= 128;
    if (end - tag.tagBytes >= 32 && file.seek(end - 32)) {
        const QByteArray ape = file.read(32);
        if (ape.size() == 32 && ape.startsWith("APETAGEX"))
            end -= qint64(littleEndian32(ape.constData() + 12)) +
                   ((littleEndian32(ape.constData() + 20) & 0x80000000u) ? 32 : 0);
    }
    tag.streamBytes = end - tag.tagBytes;
    return tag;
}

// libmpg123 reads a frame's 4-byte header and then its body, each with a
// read() of its own: through a buffered stream instead, a scan of an hour of
// MP3 costs little more than reading the file.
mpg123_ssize_t readBuffered(void *file, void *into, size_t bytes)
{
    auto *f = static_cast<std::FILE *>(file);
    const size_t got = std::fread(into, 1, bytes, f);
    return got == 0 && std::ferror(f) ? -1 : mpg123_ssize_t(got);
}

off_t seekBuffered(void *file, off_t offset, int whence)
{
    auto *f = static_cast<std::FILE *>(file);
    return fseeko(f, offset, whence) == 0 ? ftello(f) : -1;
}

struct FileCloser
{
    void operator()(std::FILE *f) const { std::fclose(f); }
};

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

    bool open(const QString &path, QString *error, Scan scan)
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

        mFile.reset(std::fopen(QFile::encodeName(path).constData(), "rbe"));
        if (!mFile)
            return fail(error, QString::fromLocal8Bit(std::strerror(errno)));
        std::setvbuf(mFile.get(), nullptr, _IOFBF, kReadBuffer);
        if (mpg123_replace_reader_handle(mHandle, readBuffered, seekBuffered, nullptr) != MPG123_OK ||
            mpg123_open_handle(mHandle, mFile.get()) != MPG123_OK)
            return fail(error, QString::fromUtf8(mpg123_strerror(mHandle)));
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_getformat(mHandle, &rate, &channels, &encoding) != MPG123_OK || rate <= 0)
            return fail(error, QStringLiteral("no MPEG audio frames found"));
        mRate = int(rate);
        mChannels = channels;
        if (scan == Scan::Always || (scan == Scan::WhenNeeded && !headerGivesLength(path))) {
            if (!this->scan())
                return fail(error, QString::fromUtf8(mpg123_strerror(mHandle)));
        } else if (headerGivesLength(path)) {
            mFrames = mpg123_length(mHandle);
        } else {
            mLengthKnown = false;
        }
        if (mLengthKnown && mFrames <= 0)
            return fail(error, QStringLiteral("no MPEG audio frames found"));
        return seek(0);
    }

    int sampleRate() const override { return mRate; }
    int channels() const override { return mChannels; }
    qint64 totalFrames() const override { return mFrames; }
    bool lengthKnown() const override { return mLengthKnown; }
    bool indexed() const override { return mIndexed; }

    bool scan() override
    {
        const bool read = mpg123_scan(mHandle) == MPG123_OK;
        mFrames = std::max<qint64>(mpg123_length(mHandle), 0);
        mLengthKnown = true;
        mIndexed = read;
        return read;
    }

    void takeIndex(const AudioDecoder &scanned) override
    {
        const auto *other = dynamic_cast<const Mp3Decoder *>(&scanned);
        if (!other || !other->mIndexed || mIndexed)
            return;
        off_t *offsets = nullptr;
        off_t step = 0;
        size_t fill = 0;
        if (mpg123_index(other->mHandle, &offsets, &step, &fill) == MPG123_OK && fill > 0)
            mIndexed = mpg123_set_index(mHandle, offsets, step, fill) == MPG123_OK;
    }

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
    // Whether the Xing/Info tag gives the exact length: the frame count with
    // LAME's encoder delay and padding, read alike by libmpg123, and a stream
    // of the size the tag says (a file cut short, or recordings joined behind
    // the tag, are scanned).
    bool headerGivesLength(const QString &path)
    {
        if (mHeaderChecked)
            return mHeaderExact;
        mHeaderChecked = true;
        const std::optional<InfoTag> tag = readInfoTag(path);
        long delay = -1, padding = -1;
        double unused = 0;
        mpg123_getstate(mHandle, MPG123_ENC_DELAY, &delay, &unused);
        mpg123_getstate(mHandle, MPG123_ENC_PADDING, &padding, &unused);
        mHeaderExact = tag && tag->frames > 0 && tag->frames == mpg123_framelength(mHandle) &&
                       tag->delay >= 0 && tag->delay == delay && tag->padding == padding &&
                       (tag->bytes == tag->streamBytes || tag->bytes == tag->streamBytes + tag->tagBytes ||
                        tag->bytes == tag->fileBytes);
        return mHeaderExact;
    }

    static constexpr size_t kReadBuffer = 64 * 1024;

    std::unique_ptr<std::FILE, FileCloser> mFile; // closed after the handle
    mpg123_handle *mHandle = nullptr;
    int mRate = 0;
    int mChannels = 0;
    qint64 mFrames = 0;
    bool mLengthKnown = true;
    bool mIndexed = false;
    bool mHeaderChecked = false;
    bool mHeaderExact = false;
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

std::unique_ptr<AudioDecoder> AudioDecoder::open(const QString &path, QString *error, Scan scan)
{
    // Opening and scanning run in other threads too, where an exception would end the program.
    try {
        return openFile(path, error, scan);
    } catch (const std::bad_alloc &) {
        fail(error, QStringLiteral("not enough memory to open the recording"));
        return nullptr;
    }
}

std::unique_ptr<AudioDecoder> AudioDecoder::openFile(const QString &path, QString *error, Scan scan)
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
    if (mp3->open(path, error, scan))
        return mp3;
    return nullptr;
}

} // namespace lirena
