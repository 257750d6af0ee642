#include "app/installsource.h"

#include "platform/mountinfo.h"
#include "platform/pathresolver.h"
#include "platform/registry.h"

#include <QDir>
#include <QFileInfo>

namespace lirena::InstallSource {

QString readSourceFolder(const QString &registryFile)
{
    Registry registry(registryFile);
    if (!registry.openKey(QStringLiteral("\\Software\\Brisel\\Lirena\\1.2"), false))
        return {};
    QString folder = registry.readString(QStringLiteral("SourceFolder"));
    folder.replace(u'\\', u'/');
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString dataMissingMessage(const QString &dataFolder, const QString &mountTable)
{
    const Drive found = driveOf(dataFolder, mountTable);
    const QString drive = withTrailingSlash(found.path);
    QString message = drive + QStringLiteral(" sürücüsünde Lirena programının veri dosyaları bulunamadı.");
    if (found.disc)
        message += QStringLiteral("\nLütfen ") + drive + QStringLiteral(" sürücüsüne program CD'sini takıp tekrar deneyin.");
    else
        message += QStringLiteral("\nLütfen programı tekrar kurmayı deneyin.");
    return message;
}

void openFile(const QString &sourceFolder, const QString &relativePath, UserDialogs &dialogs,
              const std::function<bool(const QUrl &)> &openUrl)
{
    const QString folder = sourceFolder.isEmpty() ? QDir::currentPath() : sourceFolder;
    const QString path = resolveCoursePath(folder, relativePath);
    if (!QFileInfo::exists(path)) {
        dialogs.error(QStringLiteral("Lütfen kuruluş CD'sini takın !"));
        return;
    }
    if (!openUrl(QUrl::fromLocalFile(path)))
        openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

} // namespace lirena::InstallSource
