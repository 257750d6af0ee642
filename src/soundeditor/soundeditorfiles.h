#pragma once

#include <QString>

namespace lirena {

// Where the sound editor keeps its settings ("EditForm.INI") and the decoded
// recording ("x.raw"): beside the program when the program's folder can be
// written, otherwise the settings in the user's configuration folder and the
// recording, which may run to hundreds of megabytes, in the user's cache
// folder (both under "lirena/").
struct SoundEditorFiles
{
    QString settings; // full path of "EditForm.INI"
    QString raw;      // full path of "x.raw"

    // The two paths for a program in programFolder; creates the user's
    // folders when they are chosen.
    static SoundEditorFiles choose(const QString &programFolder);
};

} // namespace lirena
