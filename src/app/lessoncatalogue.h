#pragma once

#include "platform/profile.h"

#include <QString>

class QStandardItem;

namespace lirena {

class TTreeCombo;

// The lessons tree: lesson groups from the settings file, and under each the
// chapters of the data folder that name it, in the order of their IDs.
class LessonCatalogue
{
public:
    // 1 when the first ID is greater than the second, compared character by
    // character; 0 otherwise. "10" sorts before "9".
    static int CompareLessonIds(const QString &a, const QString &b);

    // Fills the tree from the LessonGroups section and the data folder's
    // "*.ini" files that carry a Name, an existing picture and a known group.
    static void ScanLessonGroups(TTreeCombo &tree, const Profile &settings, const QString &dataFolder);
    // Sorts the lessons of every group by ID.
    static void SortLessons(TTreeCombo &tree);
    // Opens the group with that id and closes every other node.
    static void ExpandChapterGroup(TTreeCombo &tree, const QString &groupId);
    // The file name of the lesson after the one with this file name: depth first,
    // wrapping to the first lesson, passing over nodes without an ID. Empty when
    // the chapter is not in the tree or no lesson follows.
    static QString nextLesson(const TTreeCombo &tree, const QString &chapterFileName);
};

} // namespace lirena
