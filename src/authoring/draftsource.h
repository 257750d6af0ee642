#pragma once

#include "authoring/pagedraft.h"

#include <QString>

namespace lirena {

class ChapterFile;

// The files a loaded chapter's page is drafted from, resolved in the data
// folder the way the player resolves them. Auto Draft and "lirena-check
// draft" both take their page from here, so both draft the same files.
struct DraftSource
{
    QString picture;   // the page's JPG picture
    QString recording; // its recording

    // The page of the chapter file last read; null, with the reason in *why,
    // when it names no JPG picture or no recording. The files themselves are
    // read only by draftPage.
    static DraftSource of(const ChapterFile &file, QString *why = nullptr);
    bool isNull() const { return picture.isEmpty() || recording.isEmpty(); }
};

// Decodes the page's picture and recording and drafts the page from them
// (see draftPage above), on any thread. A file that cannot be read, or a
// picture without a word of body text, gives a result with error set;
// progress may cancel once both files are read.
DraftResult draftPage(const DraftSource &source, const DraftProgress &progress = {});

} // namespace lirena
