#include "platform/programfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace lirena {

bool ProgramFiles::canWriteIn(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".lirena-probe-XXXXXX")));
    return probe.open();
}

QString ProgramFiles::library(const QString &programFolder, const QString &name)
{
    const QString beside = QDir(programFolder).filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir::cleanPath(programFolder + QStringLiteral("/../lib/lirena/") + name);
    if (QFileInfo::exists(installed))
        return installed;
    return beside;
}

namespace {

bool canWrite(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly);
}

// The whole file copied through a temporary file beside the target: a copy
// cut short by a full disk or a crash never takes the target's place.
bool copyWhole(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError || target.write(bytes) != bytes.size()) {
        target.cancelWriting();
        return false;
    }
    return target.commit();
}

} // namespace

QString ProgramFiles::place(const QString &programFolder, const QString &name, const Fill &fill)
{
    const QString beside = QDir(programFolder).filePath(name);
    const bool besideExists = QFileInfo(beside).isFile();
    if ((besideExists && canWrite(beside)) || canWriteIn(programFolder)) {
        if (!besideExists && fill)
            fill(beside);
        return beside;
    }

    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/lirena");
    QDir().mkpath(folder);
    const QString own = QDir(folder).filePath(name);
    if (!QFileInfo::exists(own)) {
        if (besideExists)
            copyWhole(beside, own);
        else if (fill)
            fill(own);
    }
    return own;
}

} // namespace lirena
