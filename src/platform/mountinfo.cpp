#include "platform/mountinfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lirena {

namespace {

// Mount points escape blanks and backslashes as three octal digits (\040).
QString unescapeMountPath(const QByteArray &field)
{
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += char(code);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return QFile::decodeName(out);
}

bool isUnder(const QString &path, const QString &mountPoint)
{
    if (mountPoint == u"/")
        return true;
    return path == mountPoint || path.startsWith(mountPoint + u'/');
}

QString existingAbsolute(const QString &path)
{
    QFileInfo info(QDir::cleanPath(QDir(path).absolutePath()));
    while (!info.exists() && info.absoluteFilePath() != u"/")
        info = QFileInfo(info.absolutePath());
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

// The folder a removable disc mounts on, for a path below one of the usual
// places (the path as given, not resolved: /media/cdrom is often a link to
// /media/cdrom0 and is the name people know); empty elsewhere.
QString removableMountFolder(const QString &path)
{
    const QStringList parts = QDir::cleanPath(QDir(path).absolutePath()).split(u'/', Qt::SkipEmptyParts);
    qsizetype depth = 0;
    if (!parts.isEmpty() && (parts[0] == u"media" || parts[0] == u"mnt"))
        depth = 2;
    else if (parts.size() >= 2 && parts[0] == u"run" && parts[1] == u"media")
        depth = 4; // /run/media/USER/LABEL
    if (depth == 0 || parts.size() < depth)
        return {};
    return u'/' + parts.first(depth).join(u'/');
}

} // namespace

MountPoint mountOf(const QString &path, const QString &mountTable)
{
    MountPoint best{QStringLiteral("/"), QString()};
    const QString target = existingAbsolute(path);
    QFile file(mountTable);
    if (!file.open(QIODevice::ReadOnly))
        return best;
    qsizetype bestLength = -1;
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().trimmed().split(' ');
        const qsizetype dash = fields.indexOf("-");
        if (fields.size() < 5 || dash < 0 || dash + 1 >= fields.size())
            continue;
        const QString mountPoint = unescapeMountPath(fields[4]);
        // Later mounts on the same point hide earlier ones, so ties go to the later line.
        if (isUnder(target, mountPoint) && mountPoint.size() >= bestLength) {
            bestLength = mountPoint.size();
            best = {mountPoint, QString::fromUtf8(fields[dash + 1])};
        }
    }
    return best;
}

bool isOpticalDisc(const MountPoint &mount)
{
    return mount.fsType == u"iso9660" || mount.fsType == u"udf";
}

Drive driveOf(const QString &folder, const QString &mountTable)
{
    const MountPoint mount = mountOf(folder, mountTable);
    const QString top = removableMountFolder(folder);
    if (!top.isEmpty()) {
        const QString canonical = QFileInfo(top).canonicalFilePath();
        const QString own = canonical.isEmpty() ? top : canonical;
        // Without the disc the folder falls through to the mount above (often "/").
        if (!isUnder(mount.mountPoint, own))
            return {top, true};
    }
    return {mount.mountPoint, isOpticalDisc(mount)};
}

} // namespace lirena
