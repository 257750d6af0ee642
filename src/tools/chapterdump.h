#pragma once

#include "lesson/chapterfile.h"

#include <QString>

#include <optional>

namespace lirena {

// The JSON text that "lirena-check dump" prints for a chapter just read. "error"
// and "warnings" (what reading passed over) are there only when there is one.
struct ChapterDumpInput
{
    const Chapter *chapter = nullptr;
    const ChapterFile *file = nullptr;
    bool sectionPlay = false;
    std::vector<SubjectNode> subjects;
    std::optional<qint64> mediaLength;
    QString error; // empty when reading went through
};

QString chapterDumpJson(const ChapterDumpInput &input);

} // namespace lirena
