#pragma once

#include <QString>

namespace lirena {

// The mount that holds a folder: where it is mounted and its file-system type.
struct MountPoint
{
    QString mountPoint; // "/" or a path without trailing "/"
    QString fsType;     // "ext4", "iso9660", ...
};

// The mount holding path (or its nearest existing parent), read from a mount
// table in the format of /proc/self/mountinfo.
MountPoint mountOf(const QString &path, const QString &mountTable = QStringLiteral("/proc/self/mountinfo"));

// Whether a mount is an optical disc (ISO 9660 or UDF).
bool isOpticalDisc(const MountPoint &mount);

} // namespace lirena
