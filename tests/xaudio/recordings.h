#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace lirena::testing {

const QString kXaudioData = QStringLiteral(LIRENA_TEST_DATA "/data/");

// A long MP3 in path: the 4-second tone copies times over. Decoding it takes
// long enough to act while it runs.
inline bool writeLongRecording(const QString &path, int copies)
{
    QFile in(kXaudioData + QStringLiteral("cbr-44k-stereo.mp3"));
    QFile out(path);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return false;
    const QByteArray tone = in.readAll();
    for (int i = 0; i < copies; ++i)
        out.write(tone);
    return true;
}

} // namespace lirena::testing
