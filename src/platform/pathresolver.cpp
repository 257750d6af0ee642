#include "platform/pathresolver.h"

#include <QDir>
#include <QFileInfo>

namespace lirena {

QString withTrailingSlash(QString folder)
{
    folder.replace(u'\\', u'/');
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString fileNamePart(const QString &path)
{
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1);
}

QString resolveCoursePath(const QString &folder, const QString &name)
{
    QString relative = name;
    relative.replace(u'\\', u'/');
    const QString base = relative.startsWith(u'/') ? QStringLiteral("/") : withTrailingSlash(folder);
    const QString direct = base + (relative.startsWith(u'/') ? relative.mid(1) : relative);
    if (relative.isEmpty() || QFileInfo::exists(direct))
        return direct;

    QString current = base;
    const QStringList parts = relative.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString &part = parts[i];
        QString next = current + part;
        if (!QFileInfo::exists(next) && part != u"." && part != u"..") {
            const QStringList entries =
                QDir(current).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            bool found = false;
            for (const QString &entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    next = current + entry;
                    found = true;
                    break;
                }
            }
            if (!found)
                return direct;
        }
        current = i + 1 < parts.size() ? next + u'/' : next;
    }
    return current;
}

} // namespace lirena
