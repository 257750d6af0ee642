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

// The drive a course folder lies on, as the player names it in messages.
struct Drive
{
    QString path; // "/" or a path without trailing "/"
    bool disc;    // a disc drive: put the program disc in
};

// The drive of folder: the mount that holds it, a disc drive when that mount
// is an optical disc. A folder below /media, /mnt or /run/media that no mount
// of its own holds is on a disc that is not put in; its drive is the folder
// the disc mounts on (/media/cdrom for /media/cdrom/veri,
// /run/media/USER/LABEL below /run/media).
Drive driveOf(const QString &folder, const QString &mountTable = QStringLiteral("/proc/self/mountinfo"));

} // namespace lirena
