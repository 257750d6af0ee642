#pragma once

// A recording for a benchmark, made once with lame from PCM the benchmark
// writes (44.1 kHz 16-bit stereo, little-endian) and kept in the temporary
// folder; it gets its name only when complete, so a run cut short leaves
// nothing that looks finished.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>

#include <functional>

namespace benchx {

// The recording at name in the temporary folder, made by writePcm and lame
// when it is not there yet; empty when it cannot be made.
inline QString lameRecording(const QString &name, const std::function<bool(QFile &pcm)> &writePcm)
{
    const QString path = QDir::temp().filePath(name);
    if (QFileInfo(path).size() > 0)
        return path;
    const QString pcm = path + QStringLiteral(".pcm"), part = path + QStringLiteral(".part");
    {
        QFile raw(pcm);
        if (!raw.open(QIODevice::WriteOnly) || !writePcm(raw))
            return {};
    }
    QProcess lame;
    lame.start(QStringLiteral("lame"), {"--quiet", "-r", "-s", "44.1", "--bitwidth", "16", "--signed",
                                        "--little-endian", "-m", "j", "-b", "128", pcm, part});
    const bool made =
        lame.waitForFinished(600000) && lame.exitStatus() == QProcess::NormalExit && lame.exitCode() == 0;
    QFile::remove(pcm);
    if (!made || !QFile::rename(part, path)) {
        QFile::remove(part);
        return {};
    }
    return path;
}

} // namespace benchx
