#pragma once

#include "platform/profile.h"

#include <QString>

#include <memory>

namespace lirena {

// The machine-wide registry hive the program and its installer share: keys and
// string values kept in one INI file (a key path is a section). Reading a key
// needs only read access to the file; writing fails where the user may not
// write it.
class Registry
{
public:
    // The registry file of this machine.
    static QString defaultPath();

    explicit Registry(QString filePath = defaultPath());
    ~Registry();

    // Opens a key such as "\Software\Brisel\Lirena\1.2" for reading and writing;
    // with canCreate a missing key is created. Returns false when the key is
    // missing and may not be created (no canCreate, or a file the user may not write).
    bool openKey(const QString &key, bool canCreate);
    // Forgets the open key.
    void closeKey();
    // A string value of the open key, empty when missing.
    QString readString(const QString &name) const;
    // Whether the open key holds the value.
    bool valueExists(const QString &name) const;
    // Writes a string value of the open key to the file at once. False, with nothing
    // changed, when the file cannot be written.
    bool writeString(const QString &name, const QString &value);

private:
    static QString sectionOf(const QString &key);
    bool mayWrite() const;

    QString mFilePath;
    std::unique_ptr<Profile> mProfile;
    QString mSection;
};

} // namespace lirena
