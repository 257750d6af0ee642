#include "player/pagepicturecache.h"

#include "lesson/chapterfile.h"
#include "platform/pathresolver.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace lirena {

PagePictureCache::PagePictureCache() : PagePictureCache(Limits{})
{
}

PagePictureCache::PagePictureCache(Limits limits) : mLimits(limits), mWorker([this] { run(); })
{
}

PagePictureCache::~PagePictureCache()
{
    {
        const std::lock_guard lock(mMutex);
        mStop = true;
        mJobs.clear();
    }
    mWork.notify_all();
    mWorker.join();
}

std::optional<PagePictureCache::FileStamp> PagePictureCache::stampOf(const QString &path)
{
    struct stat s;
    if (::stat(QFile::encodeName(path).constData(), &s) != 0 || !S_ISREG(s.st_mode))
        return std::nullopt;
    return FileStamp{
        .size = qint64(s.st_size),
        .modified = qint64(s.st_mtim.tv_sec) * 1000000000 + s.st_mtim.tv_nsec,
        .changed = qint64(s.st_ctim.tv_sec) * 1000000000 + s.st_ctim.tv_nsec,
        .inode = quint64(s.st_ino),
        .device = quint64(s.st_dev),
    };
}

qint64 PagePictureCache::bytesOf(const PagePicture &picture)
{
    return picture.image.sizeInBytes();
}

std::list<PagePictureCache::Entry>::iterator PagePictureCache::find(const QString &path,
                                                                    const PageSizing &sizing)
{
    for (auto it = mEntries.begin(); it != mEntries.end(); ++it) {
        if (it->path == path && it->sizing == sizing)
            return it;
    }
    return mEntries.end();
}

bool PagePictureCache::makingNow(const QString &path, const PageSizing &sizing, const FileStamp &stamp) const
{
    return mMaking && mMaking->path == path && mMaking->sizing == sizing && mMaking->stamp == stamp;
}

void PagePictureCache::keep(Entry entry)
{
    // Only pictures are kept: a failure is made again, and reported, where it is asked for.
    if (entry.picture.image.isNull() || bytesOf(entry.picture) > mLimits.bytes || mLimits.pages < 1)
        return;
    if (const auto old = find(entry.path, entry.sizing); old != mEntries.end())
        mEntries.erase(old);
    mEntries.push_front(std::move(entry));
    qint64 bytes = 0;
    for (const Entry &e : mEntries)
        bytes += bytesOf(e.picture);
    while (int(mEntries.size()) > mLimits.pages || bytes > mLimits.bytes) {
        bytes -= bytesOf(mEntries.back().picture);
        mEntries.pop_back();
    }
}

PagePicture PagePictureCache::picture(const QString &path, const PageSizing &sizing)
{
    const std::optional<FileStamp> stamp = stampOf(path);
    if (!stamp)
        return makePagePicture(path, sizing);
    {
        std::unique_lock lock(mMutex);
        // The page the worker is making is waited for: it is further on than a start here would be.
        mChanged.wait(lock, [&] { return !makingNow(path, sizing, *stamp); });
        const auto held = find(path, sizing);
        if (held != mEntries.end() && held->stamp == *stamp) {
            mEntries.splice(mEntries.begin(), mEntries, held);
            return held->picture;
        }
        if (held != mEntries.end())
            mEntries.erase(held); // made of the file as it was
    }
    PagePicture made = makePagePicture(path, sizing);
    if (stampOf(path) == stamp) {
        const std::lock_guard lock(mMutex);
        keep({path, sizing, *stamp, made});
    }
    return made;
}

void PagePictureCache::makeAhead(const QStringList &chapterPaths, const QString &dataFolder,
                                 const PageSizing &sizing)
{
    {
        const std::lock_guard lock(mMutex);
        mJobs.clear();
        for (const QString &chapter : chapterPaths)
            mJobs.push_back({chapter, dataFolder, sizing});
    }
    mWork.notify_all();
}

void PagePictureCache::clear()
{
    const std::lock_guard lock(mMutex);
    mJobs.clear();
    mEntries.clear();
    ++mGeneration;
}

bool PagePictureCache::holds(const QString &path, const PageSizing &sizing) const
{
    const std::optional<FileStamp> stamp = stampOf(path);
    const std::lock_guard lock(mMutex);
    for (const Entry &e : mEntries) {
        if (e.path == path && e.sizing == sizing)
            return stamp && e.stamp == *stamp;
    }
    return false;
}

int PagePictureCache::pagesHeld() const
{
    const std::lock_guard lock(mMutex);
    return int(mEntries.size());
}

qint64 PagePictureCache::bytesHeld() const
{
    const std::lock_guard lock(mMutex);
    qint64 bytes = 0;
    for (const Entry &e : mEntries)
        bytes += bytesOf(e.picture);
    return bytes;
}

void PagePictureCache::waitUntilIdle()
{
    std::unique_lock lock(mMutex);
    mChanged.wait(lock, [this] { return mJobs.empty() && !mBusy; });
}

void PagePictureCache::run()
{
    std::unique_lock lock(mMutex);
    for (;;) {
        mWork.wait(lock, [this] { return mStop || !mJobs.empty(); });
        if (mStop)
            return;
        const Job job = mJobs.front();
        mJobs.pop_front();
        mBusy = true;
        lock.unlock();
        makeFromJob(job);
        lock.lock();
        mBusy = false;
        mMaking.reset();
        mChanged.notify_all();
    }
}

void PagePictureCache::makeFromJob(const Job &job)
{
    const QString imageFile = readChapterGeneral(job.chapterPath)
                                  .readString(QStringLiteral("General"), QStringLiteral("ImageFile"));
    if (QFileInfo(fileNamePart(imageFile)).suffix().toUpper() != u"JPG")
        return;
    const QString path = resolveCoursePath(job.dataFolder, imageFile);
    const std::optional<FileStamp> stamp = stampOf(path);
    if (!stamp)
        return;
    // A page too large to be kept is not made ahead (its header tells its size;
    // on a high-density screen the picture has more pixels than it shows).
    if (const QSize full = jpegSize(path); full.isValid()) {
        const QSize made = pictureSize(full, job.sizing);
        if (qint64(made.width()) * made.height() * 4 > mLimits.bytes)
            return;
    }
    quint64 generation = 0;
    {
        const std::lock_guard lock(mMutex);
        const auto held = find(path, job.sizing);
        if (held != mEntries.end() && held->stamp == *stamp) {
            mEntries.splice(mEntries.begin(), mEntries, held); // wanted again: the last to go
            return;
        }
        mMaking = Making{path, job.sizing, *stamp};
        generation = mGeneration;
    }
    PagePicture made = makePagePicture(path, job.sizing);
    const bool unchanged = stampOf(path) == stamp;
    const std::lock_guard lock(mMutex);
    if (unchanged && generation == mGeneration)
        keep({path, job.sizing, *stamp, std::move(made)});
}

} // namespace lirena
