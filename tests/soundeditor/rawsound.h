#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

#include <cmath>
#include <initializer_list>

namespace lirena::testing {

// A stretch of 440 Hz tone, amplitude 3000, from fromMs to toMs.
struct Tone
{
    int fromMs;
    int toMs;
};

// Raw 16-bit stereo 22,050 Hz sound, lengthMs long: silence with the tones.
inline QByteArray rawSound(int lengthMs, std::initializer_list<Tone> tones)
{
    const qint64 frames = qint64(lengthMs) * 22050 / 1000;
    QByteArray bytes(frames * 4, '\0');
    for (const Tone &tone : tones) {
        const qint64 from = qint64(tone.fromMs) * 22050 / 1000;
        const qint64 to = std::min(frames, qint64(tone.toMs) * 22050 / 1000);
        for (qint64 f = from; f < to; ++f) {
            const auto v = qint16(std::lround(3000 * std::sin(2 * M_PI * 440 * double(f - from) / 22050)));
            qToLittleEndian(v, bytes.data() + 4 * f);
            qToLittleEndian(v, bytes.data() + 4 * f + 2);
        }
    }
    return bytes;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace lirena::testing
