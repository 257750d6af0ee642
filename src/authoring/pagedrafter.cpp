#include "authoring/pagedrafter.h"

#include "authoring/draftsource.h"
#include "lesson/chapter.h"
#include "lesson/chapterfile.h"
#include "platform/userdialogs.h"

#include <QStringList>
#include <QThread>

#include <utility>

namespace lirena {

PageDrafter::PageDrafter(Parts parts, QObject *parent) : QObject(parent), p(std::move(parts))
{
    Chapter &chapter = p.chapterFile->chapter();
    // A chapter cleared (another one loaded, a new one, the window closing)
    // is no longer the page the running draft reads.
    connect(&chapter, &Chapter::cleared, this, [this] {
        cancel();
        reconsider();
    });
    connect(&chapter.LstGObj, &ObjectList::rowsInserted, this, &PageDrafter::reconsider);
    connect(&chapter.LstGObj, &ObjectList::rowsRemoved, this, &PageDrafter::reconsider);
    connect(&chapter.LstGObj, &ObjectList::modelReset, this, &PageDrafter::reconsider);
    mAvailable = canDraft();
}

PageDrafter::~PageDrafter()
{
    if (mThread) {
        mCancelled = true;
        mThread->wait();
    }
}

bool PageDrafter::canDraft() const
{
    return !mThread && p.chapterFile->chapter().LstGObj.isEmpty() &&
           !DraftSource::of(*p.chapterFile).isNull();
}

void PageDrafter::start()
{
    if (!canDraft())
        return;
    const DraftSource source = DraftSource::of(*p.chapterFile);
    mCancelled = false;
    mResult = DraftResult{};
    mThread.reset(QThread::create([this, source] {
        int shown = -1;
        mResult = draftPage(source, [this, &shown](int percent) {
            if (mCancelled)
                return false;
            if (percent != shown) {
                shown = percent;
                QMetaObject::invokeMethod(
                    this, [this, percent] { emit progressed(percent); }, Qt::QueuedConnection);
            }
            return true;
        });
    }));
    connect(mThread.get(), &QThread::finished, this, &PageDrafter::landed);
    mThread->start(QThread::LowPriority);
    emit started();
    updateAvailability();
}

void PageDrafter::cancel()
{
    if (mThread)
        mCancelled = true;
}

void PageDrafter::landed()
{
    if (!mThread)
        return;
    mThread->wait();
    mThread.reset();
    const DraftResult result = std::exchange(mResult, DraftResult{});
    const bool dropped = mCancelled || result.cancelled;
    mCancelled = false;

    bool applied = false;
    QString summary, error;
    if (dropped) {
        // Cancelled, or the chapter it was made for is gone: nothing changes.
    } else if (!result.error.isEmpty()) {
        error = QStringLiteral("Auto Draft could not draft this page:\n%1").arg(result.error);
    } else {
        applyDraft(p.chapterFile->chapter(), result, DraftApply::Add, p.imageScale ? p.imageScale() : 1.0);
        applied = true;
        summary = draftSummary(result);
    }
    emit finished(applied, summary);
    updateAvailability();
    // Told last: the message box waits for the author while the page already stands.
    if (!error.isEmpty())
        p.dialogs->error(error);
}

void PageDrafter::reconsider()
{
    if (mReconsidering)
        return;
    mReconsidering = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            mReconsidering = false;
            updateAvailability();
        },
        Qt::QueuedConnection);
}

void PageDrafter::updateAvailability()
{
    const bool available = canDraft();
    if (available == mAvailable)
        return;
    mAvailable = available;
    emit availabilityChanged(available);
}

QString draftSummary(const DraftResult &draft)
{
    int body = 0;
    QStringList leftOut;
    for (const PageWord &word : draft.words) {
        if (word.role == PageWord::Role::Body)
            ++body;
        else
            leftOut << word.text;
    }
    QStringList lines;
    lines << QStringLiteral("%1 words drafted, %2 linked").arg(body).arg(draft.links.size());
    if (!leftOut.isEmpty())
        lines << QStringLiteral("not body text: %1").arg(leftOut.join(u' '));
    QStringList unread;
    for (int i : draft.unreadWords())
        unread << draft.words[std::size_t(i)].text;
    if (!unread.isEmpty())
        lines << QStringLiteral("not heard: %1").arg(unread.join(u' '));
    return lines.join(u'\n');
}

} // namespace lirena
