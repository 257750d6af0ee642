#pragma once

#include "platform/profile.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QStandardItem;

namespace lirena {

class TTreeCombo;

// The lessons tree: lesson groups from the settings file, and under each the
// chapters of the data folder that name it, in the order of their IDs. The
// window builds it once its first page is on screen, or at once when a
// learner asks for it sooner.
class LessonCatalogue : public QObject
{
    Q_OBJECT

public:
    explicit LessonCatalogue(TTreeCombo &tree, QObject *parent = nullptr);

    // What the tree is built from: the LessonGroups section's lines and the data
    // folder; its chapter files are read at the first ensureScanned().
    void scanLater(const QStringList &groupLines, const QString &dataFolder);
    // Builds the tree, unless it is built or there is nothing to build it from.
    void ensureScanned();
    bool scanned() const { return mScanned; }
    // Opens the chapter's group in the tree, now or once the tree is built.
    void expandChapterGroup(const QString &groupId);
    // The file name of the lesson after the chapter with this file name (see
    // nextLesson); the tree is built first if it is not.
    QString lessonAfter(const QString &chapterFileName);
    // The lessons tree itself.
    TTreeCombo &tree() const { return mTree; }

    // 1 when the first ID is greater than the second, compared character by
    // character; 0 otherwise. "10" sorts before "9".
    static int CompareLessonIds(const QString &a, const QString &b);

    // Fills the tree from the LessonGroups section and the data folder's
    // "*.ini" files that carry a Name, an existing picture and a known group.
    static void ScanLessonGroups(TTreeCombo &tree, const Profile &settings, const QString &dataFolder);
    static void ScanLessonGroups(TTreeCombo &tree, const QStringList &groupLines, const QString &dataFolder);
    // Sorts the lessons of every group by ID.
    static void SortLessons(TTreeCombo &tree);
    // Opens the group with that id and closes every other node.
    static void ExpandChapterGroup(TTreeCombo &tree, const QString &groupId);
    // The file name of the lesson after the one with this file name: depth first,
    // wrapping to the first lesson, passing over nodes without an ID. Empty when
    // the chapter is not in the tree or no lesson follows.
    static QString nextLesson(const TTreeCombo &tree, const QString &chapterFileName);

signals:
    // The tree has just been built.
    void treeScanned();

private:
    TTreeCombo &mTree;
    QStringList mGroupLines;
    QString mDataFolder;
    QString mExpandedGroup;
    bool mPending = false; // given something to build from, not built yet
    bool mScanned = false;
    bool mGroupChosen = false;
};

} // namespace lirena
