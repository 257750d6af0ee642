#pragma once

#include "lesson/chapterfile.h"

class QLabel;
class QScrollArea;
class QTextBrowser;

namespace lirena {

class ButtonBar;
class FilePage;
class LessonCatalogue;
class PagePictureCache;
class Player;
class RotatedLabel;
class UserDialogs;

// Shows a chapter in the window while the reader reads it: the wait picture,
// the title, the page picture or the HTML page, the recording, the subjects
// menu, the lessons tree's group, and the mode a loaded chapter starts in.
// The wait picture is drawn only where there is something to wait for: a page
// made ahead comes at once.
class ChapterPresenter : public ChapterView
{
public:
    struct Parts
    {
        ChapterFile *chapterFile = nullptr;
        Player *player = nullptr;
        FilePage *filePage = nullptr;
        ButtonBar *bar = nullptr;
        LessonCatalogue *catalogue = nullptr;
        PagePictureCache *pages = nullptr; // pages made ahead; none: every page is waited for
        UserDialogs *dialogs = nullptr;
        QScrollArea *pageArea = nullptr;
        QLabel *waitPicture = nullptr;
        RotatedLabel *chapterTitle = nullptr;
        QTextBrowser *htmlView = nullptr;
    };

    explicit ChapterPresenter(Parts parts) : p(parts) {}

    void stopMedia() override;
    void showWaitPicture(bool shown) override;
    void setSectionPlay(bool checked) override;
    void setChapterName(const QString &name) override;
    void showPicturePage(const QString &imageFile) override;
    void showHtmlPage(const QString &path) override;
    void openMedia(const QString &mediaFile, const QString &path) override;
    double imageScale() const override;
    void setSubjects(const std::vector<SubjectNode> &subjects) override;
    void expandChapterGroup(const QString &groupId) override;
    void chapterLoaded(const QString &path) override;
    void showError(const QString &message) override;

    // The recording last given to the media player, a full path, whether it
    // opened or not.
    const QString &mediaPath() const { return mMediaPath; }

private:
    // Lets the wait picture shown be drawn before a wait, once for a chapter.
    void paintWaitPicture();

    Parts p;
    QString mMediaPath;
    bool mWaitPainted = false;
};

} // namespace lirena
