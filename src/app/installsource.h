#pragma once

#include "platform/userdialogs.h"

#include <QString>
#include <QUrl>

#include <functional>

namespace lirena {

// Where the program was installed from and where its course is: the
// installation source folder recorded in the registry, the message when the
// course data are missing, and the opening of the source's own files.
namespace InstallSource {

// The recorded source folder with a trailing "/", "/" when the key holds no
// value, empty when the machine has no record.
QString readSourceFolder(const QString &registryFile);
// What the learner is told when the data folder holds no course: the drive,
// and whether to insert the program disc or to install again.
QString dataMissingMessage(const QString &dataFolder, const QString &mountTable);
// Opens a file of the source (a name as the course writes it) with the
// desktop, or its folder when the desktop cannot open the file; asks for the
// disc when the file is not there.
void openFile(const QString &sourceFolder, const QString &relativePath, UserDialogs &dialogs,
              const std::function<bool(const QUrl &)> &openUrl);

} // namespace InstallSource

} // namespace lirena
