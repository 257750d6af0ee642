#pragma once

#include "platform/profile.h"
#include "player/displayoptions.h"

#include <QString>

namespace lirena {

// The state of the last run, restored at the first activation.
struct RunState
{
    QString LastChapter; // file name, relative to the data folder
    int MediaPosition = 0;
    int LastScreenSize = 1; // control panel state 0, 1 or 2

    bool operator==(const RunState &) const = default;
};

// Reads and writes the program's settings file "Vedra.ini" (section Settings).
class AppSettings
{
public:
    static QString fileName() { return QStringLiteral("Vedra.ini"); }

    // Where "Vedra.ini" lives for a program in programFolder: beside it when it
    // may be written there, else in the user's configuration folder, first
    // filled from the one beside the program or for the example course.
    static QString placeFile(const QString &programFolder);
    // The example course installed with the program ("share/lirena/example-course"
    // beside its "bin" folder), or empty when there is none.
    static QString exampleCourse(const QString &programFolder);
    // First settings for a course folder: its lesson groups (from its
    // "lesson-groups.txt") and its first page. False when nothing was written.
    static bool writeFirstSettings(const QString &path, const QString &courseFolder);

    // The course data folder with a trailing "/": Settings/DataFolder, the program
    // folder by default; a relative folder is taken from the program folder.
    static QString readDataFolder(const Profile &profile, const QString &programFolder);
    // The options, each falling back to its default when missing or unparsable.
    static DisplayOptions readDisplayOptions(const Profile &profile);
    static RunState readRunState(const Profile &profile);
    // Whether a course author asked for the authoring pages (Settings/AuthorMode=1);
    // read at start, never written.
    static bool readAuthorMode(const Profile &profile);
    // Writes the keys in the order the program always wrote them; other keys stay.
    static void write(Profile &profile, const RunState &run, const DisplayOptions &options);
};

} // namespace lirena
