#pragma once

#include <QString>

namespace lirena {

class Registry;

// The check, at every start, that the machine maps MP3 files to the media
// player's MPEG device and knows the MP3 codec: the registry entries always,
// and on systems older than version 5 the "system.ini" and "win.ini" entries
// too. Missing entries are written; nothing is reported, and what cannot be
// written is passed over.
class MediaCheck
{
public:
    // The registry, "system.ini" and "win.ini" to check, and the system's major version.
    MediaCheck(QString registryFile, QString systemIni, QString winIni, int majorVersion);
    // The check of this machine: "system.ini" and "win.ini" beside the registry file.
    static MediaCheck forRegistry(const QString &registryFile);

    void CheckMp3Support();
    void CheckMp3SupportRegistry();

    // The major version of the running system: that of its kernel.
    static int WindowsMajorVersion();

private:
    QString mRegistryFile;
    QString mSystemIni;
    QString mWinIni;
    int mMajorVersion;
};

} // namespace lirena
