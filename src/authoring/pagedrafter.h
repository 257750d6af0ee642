#pragma once

#include "authoring/pagedraft.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace lirena {

class ChapterFile;
class UserDialogs;

// Auto Draft of the "All Objects" page without its widgets: whether the
// loaded page may be drafted, the draft on a thread of its own while the
// window keeps answering, its cancelling, and the result put into the chapter
// on the window thread. Owned by the page; a draft still running when the
// chapter is cleared is dropped, and one running when the drafter goes is
// cancelled and waited for.
class PageDrafter : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        ChapterFile *chapterFile = nullptr; // the chapter and the files it names
        UserDialogs *dialogs = nullptr;     // where a failed draft is told
        std::function<double()> imageScale; // the display scale now
    };

    explicit PageDrafter(Parts parts, QObject *parent = nullptr);
    ~PageDrafter() override;

    // Whether a draft may start: the page is a JPG picture with a recording,
    // the chapter holds no graphic objects yet, and no draft runs.
    bool canDraft() const;
    bool running() const { return mThread != nullptr; }

    // Drafts the loaded page in the background; does nothing when canDraft() is false.
    void start();
    // Stops a running draft: its result is dropped and the chapter stays as it was.
    void cancel();

signals:
    // canDraft() answers this now.
    void availabilityChanged(bool available);
    void started();
    // How far the running draft is, 0 to 100.
    void progressed(int percent);
    // The draft is over. applied: its objects are in the chapter, and summary
    // says what it made and what it left out; otherwise summary is empty.
    void finished(bool applied, const QString &summary);

private:
    // Works canDraft() out again once the events of a load or a change are through.
    void reconsider();
    void updateAvailability();
    // The worker is done: puts its result into the chapter, unless it was dropped.
    void landed();

    Parts p;
    std::unique_ptr<QThread> mThread;
    std::atomic<bool> mCancelled{false};
    DraftResult mResult; // written by the worker, read once it has ended
    bool mAvailable = false;
    bool mReconsidering = false;
};

// What a draft put into a chapter and what it left out, in up to three short
// lines for the author: the words drafted and linked, the words of lines too
// small or too large to be body text, and the body words the recording does
// not read.
QString draftSummary(const DraftResult &draft);

} // namespace lirena
