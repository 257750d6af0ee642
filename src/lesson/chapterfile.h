#pragma once

#include "lesson/chapter.h"
#include "platform/profile.h"

#include <QString>
#include <QStringList>

#include <stdexcept>
#include <vector>

namespace lirena {

// One node of a chapter's subjects menu: a heading (no action) or an entry.
struct SubjectNode
{
    QString Title;
    QString Action;    // "PLAY", "LOADCHAPTER", "TEST1", "TEST2", "TEST3" as written; empty for a heading
    QString Parameter; // start ms, chapter file name or exercise option
    std::vector<SubjectNode> children;

    bool operator==(const SubjectNode &) const = default;
};

// The subjects menu built from the Subjects section's lines: two fields make a
// heading, four an entry under the latest heading (at the top level before any).
std::vector<SubjectNode> parseSubjects(const QStringList &sectionLines);

// The General section of the chapter file at path, read without the rest of
// the file: what the lessons tree and the pages made ahead need of a chapter.
Profile readChapterGeneral(const QString &path);

// Raised when a field that must be an integer is not; the text names the field.
class EChapterFormat : public std::runtime_error
{
public:
    explicit EChapterFormat(const QString &message);
    QString message() const { return QString::fromUtf8(what()); }
};

// What the chapter reader asks of the window that shows the chapter. Every
// step has a quiet default so a tool can read a chapter without a window.
class ChapterView
{
public:
    virtual ~ChapterView();

    virtual void stopMedia() {}
    virtual void showWaitPicture(bool /*shown*/) {}
    virtual void setSectionPlay(bool /*checked*/) {}
    virtual void setChapterName(const QString & /*name*/) {}
    // A ".JPG" page: imageFile as written in the chapter, relative to the data folder.
    virtual void showPicturePage(const QString & /*imageFile*/) {}
    // A ".HTM" page, by its resolved path.
    virtual void showHtmlPage(const QString & /*path*/) {}
    // The recording: the name as written and its resolved path.
    virtual void openMedia(const QString & /*mediaFile*/, const QString & /*path*/) {}
    // The display scale of the page just shown.
    virtual double imageScale() const { return 1.0; }
    virtual void setSubjects(const std::vector<SubjectNode> & /*subjects*/) {}
    virtual void expandChapterGroup(const QString & /*groupId*/) {}
    // The last step of every load, also after an error: the chapter stands.
    virtual void chapterLoaded(const QString & /*path*/) {}
    virtual void showError(const QString & /*message*/) {}
};

// Reads chapter files into a Chapter and writes it back. Knows the data folder
// (where names inside a chapter are resolved) and the chapter last read.
class ChapterFile
{
public:
    explicit ChapterFile(Chapter &chapter);

    // The chapter this reader fills and writes.
    Chapter &chapter() { return mChapter; }

    void setDataFolder(const QString &folder);
    const QString &dataFolder() const { return mDataFolder; }

    // Resolves a name written in a chapter inside the data folder.
    QString resolve(const QString &name) const;

    // Replaces the chapter by the file's content and shows it through view.
    // Returns false, changing nothing, when the file does not exist or has the
    // file name of the chapter already loaded. A malformed number, or memory
    // running out anywhere on the way (view's steps included), stops the reading
    // with a message through view; the chapter then stands as far as it was read.
    bool LoadChapter(const QString &path, ChapterView &view);

    // Writes the object sections and the sequence keys into the file, after
    // copying it to path + ".old". Other keys and sections stay. On failure
    // returns false with error set, and Modified stays set.
    bool SaveChapter(const QString &path, bool sectionPlay, QString *error = nullptr);
    // The page's picture and recording, as a chapter names them.
    struct PageFiles
    {
        QString ImageFile;
        QString MediaFile;
    };
    // SaveChapter that also writes General/ImageFile and MediaFile, so a new file
    // shows the page it was made on.
    bool SaveChapter(const QString &path, bool sectionPlay, const PageFiles &page, QString *error = nullptr);

    // File name (no folder) of the chapter last read; compared exactly on the next read.
    QString ChapterFileName;
    // General/Name of the chapter last read.
    QString ChapterName;
    // General/ImageFile, MediaFile and GroupID of the chapter last read, as written.
    QString ImageFile;
    QString MediaFile;
    QString GroupId;
    // What reading the chapter last read passed over (values too long to be read).
    QStringList Warnings;

private:
    bool save(const QString &path, bool sectionPlay, const PageFiles *page, QString *error);
    void readObjects(const Profile &profile, double scale);
    void readSequence(const Profile &profile, const QString &key, ObjectList &target);

    Chapter &mChapter;
    QString mDataFolder;
};

} // namespace lirena
