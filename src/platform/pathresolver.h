#pragma once

#include <QString>

namespace lirena {

// Resolves a name written in a course file (which may use "\" and any letter
// case, as on the platform the course was made on) inside a folder: the exact
// path when it exists, else each component matched ignoring case. When nothing
// matches, the path as written (with "/") is returned, so a caller's existence
// test fails as it should.
QString resolveCoursePath(const QString &folder, const QString &name);

// The folder as a path with exactly one trailing "/"; "\" separators become "/".
QString withTrailingSlash(QString folder);

// The file name part of a path written with "/" or "\".
QString fileNamePart(const QString &path);

} // namespace lirena
