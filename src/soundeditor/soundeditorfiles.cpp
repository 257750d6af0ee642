#include "soundeditor/soundeditorfiles.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace lirena {

namespace {

const QString kSettingsName = QStringLiteral("EditForm.INI");
const QString kRawName = QStringLiteral("x.raw");

// Whether a new file can be made in folder. Tried, not read off the
// permission bits: a read-only mount, or an administrator's rights, decide too.
bool canWriteIn(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".lirena-probe-XXXXXX")));
    return probe.open();
}

QString userFolder(QStandardPaths::StandardLocation location)
{
    const QString folder = QStandardPaths::writableLocation(location) + QStringLiteral("/lirena");
    QDir().mkpath(folder);
    return folder;
}

} // namespace

SoundEditorFiles SoundEditorFiles::choose(const QString &programFolder)
{
    if (canWriteIn(programFolder)) {
        const QDir program(programFolder);
        return {program.filePath(kSettingsName), program.filePath(kRawName)};
    }
    return {QDir(userFolder(QStandardPaths::GenericConfigLocation)).filePath(kSettingsName),
            QDir(userFolder(QStandardPaths::GenericCacheLocation)).filePath(kRawName)};
}

} // namespace lirena
