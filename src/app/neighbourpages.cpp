#include "app/neighbourpages.h"

#include "app/appsettings.h"
#include "app/lessoncatalogue.h"
#include "app/navigation.h"
#include "lesson/chapterfile.h"
#include "platform/pathresolver.h"
#include "player/pagedisplay.h"
#include "player/pagepicturecache.h"

namespace lirena {

NeighbourPages::NeighbourPages(Parts parts, QObject *parent) : QObject(parent), p(parts)
{
    connect(p.navigation, &Navigation::moved, this, &NeighbourPages::makeAhead);
    connect(p.catalogue, &LessonCatalogue::treeScanned, this, &NeighbourPages::makeAhead);
    // Pictures of the old size are never shown again; the page shown is made
    // anew at the new size (RestorePage), then its neighbours.
    connect(p.page, &PageDisplay::rescaling, this, [this] { p.pages->clear(); });
    connect(p.page, &PageDisplay::restored, this, &NeighbourPages::makeAhead);
}

QStringList NeighbourPages::neighbours() const
{
    const QString &shown = p.chapterFile->ChapterFileName;
    QStringList files;
    // Before the tree is built there is no next lesson to know; the tree asks again once it is.
    if (p.catalogue->scanned() && !shown.isEmpty())
        files << LessonCatalogue::nextLesson(p.catalogue->tree(), shown);
    const QStringList &history = p.navigation->history();
    for (const int at : {p.navigation->historyIndex() - 1, p.navigation->historyIndex() + 1}) {
        if (at < 0 || at >= history.size())
            continue;
        qint64 position = 0;
        QString file;
        Navigation::splitEntry(history[at], &position, &file);
        files << file;
    }
    QStringList paths;
    for (const QString &file : files) {
        if (file.isEmpty() || file == shown)
            continue;
        const QString path = resolveCoursePath(p.chapterFile->dataFolder(), file);
        if (!paths.contains(path))
            paths << path;
    }
    return paths;
}

void NeighbourPages::makeAhead()
{
    p.pages->makeAhead(neighbours(), p.chapterFile->dataFolder(), p.page->sizing());
}

void NeighbourPages::makeFirstPageAhead(PagePictureCache &pages, const Profile &settings,
                                        const QString &programFolder, QSize screen, qreal devicePixelRatio)
{
    const QString chapter = AppSettings::readRunState(settings).LastChapter;
    if (chapter.isEmpty())
        return;
    const QString dataFolder = AppSettings::readDataFolder(settings, programFolder);
    // The sizing the page display takes from the same options (Player::applyOptions).
    const DisplayOptions options = AppSettings::readDisplayOptions(settings);
    pages.makeAhead({resolveCoursePath(dataFolder, chapter)}, dataFolder,
                    {.screen = screen,
                     .fitScreen = options.ImageSizeType == 0,
                     .sizeIndex = options.ImageSize,
                     .devicePixelRatio = devicePixelRatio});
}

} // namespace lirena
