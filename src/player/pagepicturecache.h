#pragma once

#include "player/pagepicture.h"

#include <QStringList>

#include <condition_variable>
#include <deque>
#include <list>
#include <mutex>
#include <optional>
#include <thread>

namespace lirena {

// Page pictures made ahead on a thread of its own while the learner reads:
// the pages a click may show next, and the pages shown. Each is kept with the
// identity of its file (size, times, inode) and the sizing it was made for
// (screen, size options, device pixel ratio), and is given out only while the
// file is still that file and the sizing the same, so a changed file, size or
// screen density never shows an old picture. Held within a budget of pages
// and of the pictures' real bytes, the least recently used going first.
// One serves the window's page display; nothing in it touches a widget.
class PagePictureCache
{
public:
    struct Limits
    {
        int pages = 6;                   // pictures held at most
        qint64 bytes = qint64(64) << 20; // their pixels at most (device pixels, 4 bytes each)
    };

    PagePictureCache();
    explicit PagePictureCache(Limits limits);
    ~PagePictureCache();
    PagePictureCache(const PagePictureCache &) = delete;
    PagePictureCache &operator=(const PagePictureCache &) = delete;

    // The picture of the JPEG file at path for the sizing, exactly as
    // makePagePicture makes it: a held one while the file is unchanged, the
    // one being made ahead waited for, else made here (and then held).
    PagePicture picture(const QString &path, const PageSizing &sizing);

    // The chapters whose pages to make ahead, most wanted first, in place of
    // those still waiting. A chapter's page is the JPEG picture its
    // General/ImageFile names inside dataFolder; others are passed over.
    void makeAhead(const QStringList &chapterPaths, const QString &dataFolder, const PageSizing &sizing);
    // Forgets every picture held and every page waiting (the size changed).
    void clear();

    // Whether a picture of the file as it is now, for the sizing, is held.
    bool holds(const QString &path, const PageSizing &sizing) const;
    int pagesHeld() const;
    qint64 bytesHeld() const;
    // Returns once no page waits and none is being made.
    void waitUntilIdle();

private:
    // What tells one state of a file from another.
    struct FileStamp
    {
        qint64 size = 0;
        qint64 modified = 0; // ns
        qint64 changed = 0;  // ns, the inode's change
        quint64 inode = 0;
        quint64 device = 0;

        bool operator==(const FileStamp &) const = default;
    };
    struct Entry
    {
        QString path;
        PageSizing sizing;
        FileStamp stamp;
        PagePicture picture;
    };
    struct Job
    {
        QString chapterPath;
        QString dataFolder;
        PageSizing sizing;
    };
    struct Making
    {
        QString path;
        PageSizing sizing;
        FileStamp stamp;
    };

    static std::optional<FileStamp> stampOf(const QString &path);
    static qint64 bytesOf(const PagePicture &picture);
    void run();
    void makeFromJob(const Job &job);
    // These three expect mMutex held.
    std::list<Entry>::iterator find(const QString &path, const PageSizing &sizing);
    void keep(Entry entry);
    bool makingNow(const QString &path, const PageSizing &sizing, const FileStamp &stamp) const;

    const Limits mLimits;
    mutable std::mutex mMutex;
    std::condition_variable mWork;    // a job came, or the end
    std::condition_variable mChanged; // a page was made, or the worker went idle
    std::deque<Job> mJobs;
    std::list<Entry> mEntries; // most recently used first
    std::optional<Making> mMaking;
    quint64 mGeneration = 0; // raised by clear(): what was being made then is not kept
    bool mBusy = false;
    bool mStop = false;
    std::thread mWorker;
};

} // namespace lirena
