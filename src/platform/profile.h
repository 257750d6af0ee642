#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace lirena {

// An INI profile file held in memory: the reading and writing rules of the
// profile functions that course and settings files were written for.
// Section and key names match ignoring case, values are trimmed, the first of
// duplicate keys wins, and lines the profile does not touch are kept as they
// are. A value longer than kMaxValueBytes reads as empty. Changes stay in
// memory until save().
class Profile
{
public:
    enum class Encoding { Windows1254, Utf8 };

    // Longest value that is read, in bytes as stored; a longer one reads as empty.
    static constexpr qsizetype kMaxValueBytes = 1 << 20;

    // Reads the file at path; a missing or unreadable file gives an empty profile.
    explicit Profile(QString path);
    // Reads the file at path only up to the end of the first section of that
    // name, for a few keys of a large file; its encoding is still judged on all
    // of it. Such a profile reads like the whole file for that section; it
    // cannot be saved (the rest would be lost).
    Profile(QString path, const QString &onlySection);

    // Path of the file this profile reads and writes.
    const QString &path() const { return mPath; }
    // Whether the file existed when the profile was read.
    bool existed() const { return mExisted; }
    // Encoding the file is written back in (what was read, or Windows-1254 for a new file).
    Encoding encoding() const { return mEncoding; }
    // Whether save() would change the file.
    bool isDirty() const { return mDirty; }
    // What reading the file passed over: a line for each value too long to be read,
    // naming its line, section and key.
    const QStringList &warnings() const { return mWarnings; }

    // Value of the first key of that name in the first section of that name, or def.
    QString readString(const QString &section, const QString &key, const QString &def = {}) const;
    // Value as an integer (decimal, or hexadecimal with 0x or $), def when missing or unparsable.
    int readInteger(const QString &section, const QString &key, int def) const;
    // Whether the section exists.
    bool sectionExists(const QString &section) const;
    // The section's "key=value" lines in file order; a repeated key gives one line with
    // the value of its first occurrence; a key with an empty value gives no line.
    QStringList readSectionValues(const QString &section) const;

    // Sets a key, replacing its first occurrence or adding it at the end of the section;
    // a missing section is appended at the end of the file.
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    // Writes a whole section anew: every copy of it goes and it comes back at the
    // end of the file with these keys and values, in this order (a repeated key
    // keeps its first place and its last value). The same as erasing it and
    // writing the keys one by one, without rescanning the file for each.
    void replaceSection(const QString &section, const std::vector<std::pair<QString, QString>> &values);
    // Removes every section of that name with all its lines.
    void eraseSection(const QString &section);

    // Writes the file in its encoding and line endings: a temporary file renamed over the
    // old one, so a crash leaves the old file or the new one. Where the folder takes no
    // new file but the file itself may be written, the file is written in place. On
    // failure returns false and sets error to a message naming the file; the file is
    // then left as it was.
    bool save(QString *error = nullptr);

private:
    struct Range
    {
        int header = -1; // index of the [section] line
        int end = -1;    // one past the section's last line
    };

    void read(const QString *onlySection);
    Range findSection(const QString &section, int from = 0) const;
    int findKey(const Range &range, const QString &key) const;
    // The value of a key line as it reads: empty when it is too long.
    QString valueAt(int line) const;
    bool tooLong(QStringView value) const;
    void collectWarnings();
    static bool splitKeyLine(QStringView line, QStringView *key, QStringView *value);
    static QStringView sectionName(QStringView line, bool *isHeader);

    QString mPath;
    std::vector<QString> mLines;
    Encoding mEncoding = Encoding::Windows1254;
    bool mUtf8Bom = false;
    QString mLineEnd = QStringLiteral("\r\n");
    bool mExisted = false;
    bool mDirty = false;
    bool mPartial = false;
    QStringList mWarnings;
};

} // namespace lirena
