#pragma once

#include <QObject>
#include <QSize>

namespace lirena {

class ChapterFile;
class LessonCatalogue;
class Navigation;
class PageDisplay;
class PagePictureCache;
class Profile;

// The pages a click may show next, made ahead while the learner reads the
// page shown: the next lesson of the lessons tree ("Bir Sonraki Ders") and
// the history's entries before and after the current one ("Geri", "İleri").
// Asks again whenever the history moves, the tree is built or the size
// changes; a size change first forgets every page made at the old size.
class NeighbourPages : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        ChapterFile *chapterFile = nullptr;
        Navigation *navigation = nullptr;
        LessonCatalogue *catalogue = nullptr;
        PageDisplay *page = nullptr;
        PagePictureCache *pages = nullptr; // where the pages are made and kept
    };

    explicit NeighbourPages(Parts parts, QObject *parent = nullptr);

    // The chapter files (full paths) around the chapter shown, most likely
    // first: the next lesson, then back, then forward.
    QStringList neighbours() const;
    // Has the neighbours' pages made ahead, in place of any still waiting.
    void makeAhead();
    // Has the page of the chapter the settings restore made ahead, at the
    // size they choose on this screen (logical size, device pixel ratio),
    // while the window is being built.
    static void makeFirstPageAhead(PagePictureCache &pages, const Profile &settings,
                                   const QString &programFolder, QSize screen, qreal devicePixelRatio);

private:
    Parts p;
};

} // namespace lirena
