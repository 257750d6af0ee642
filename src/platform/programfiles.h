#pragma once

#include <QString>

#include <functional>

namespace lirena {

// Where the program keeps a file of its own ("Vedra.ini"): beside the program
// file, as course installers expect, when that file can be written there (it
// exists and is writable, or the folder takes new files); otherwise in the
// user's configuration folder, "$XDG_CONFIG_HOME/lirena/". A copy there is
// made once: from the file beside the program when there is one, else by the
// caller's fill, which writes the first contents to the path it is given (and
// is asked beside the program too, when the file is to be made there).
class ProgramFiles
{
public:
    using Fill = std::function<bool(const QString &path)>;

    // The full path to read and write name at. Creates the user's folder and
    // its first copy when that is where the file lives.
    static QString place(const QString &programFolder, const QString &name, const Fill &fill);

    // Where a library of the program's own is: beside the program (a build),
    // else in lib/lirena/ beside the program's bin/ (an install); the first
    // when neither has it, so that a message names where it was looked for.
    static QString library(const QString &programFolder, const QString &name);

    // Whether a new file can be made in folder: tried, not read off the
    // permission bits (a read-only mount or an administrator's rights decide too).
    static bool canWriteIn(const QString &folder);
};

} // namespace lirena
