#include "app/lessoncatalogue.h"

#include "app/ttreecombo.h"
#include "lesson/chapterfile.h"
#include "lesson/splitfields.h"
#include "platform/pathresolver.h"

#include <QDir>
#include <QFileInfo>
#include <QTreeView>

#include <algorithm>

namespace lirena {

namespace {

const int kGroupImage = TTreeCombo::kGroupImage;
const int kLessonImage = TTreeCombo::kEntryImage;

QString firstData(const QStandardItem *node)
{
    return node->data(TTreeCombo::FirstDataRole).toString();
}

QString secondData(const QStandardItem *node)
{
    return node->data(TTreeCombo::SecondDataRole).toString();
}

} // namespace

LessonCatalogue::LessonCatalogue(TTreeCombo &tree, QObject *parent) : QObject(parent), mTree(tree)
{
}

void LessonCatalogue::scanLater(const QStringList &groupLines, const QString &dataFolder)
{
    mGroupLines = groupLines;
    mDataFolder = dataFolder;
    mPending = !mScanned;
}

void LessonCatalogue::ensureScanned()
{
    if (!mPending)
        return;
    mPending = false;
    ScanLessonGroups(mTree, mGroupLines, mDataFolder);
    mScanned = true;
    // The chapter shown asked for its group before the tree was there.
    if (mGroupChosen)
        ExpandChapterGroup(mTree, mExpandedGroup);
    emit treeScanned();
}

void LessonCatalogue::expandChapterGroup(const QString &groupId)
{
    mExpandedGroup = groupId;
    mGroupChosen = true;
    if (!mPending)
        ExpandChapterGroup(mTree, groupId);
}

QString LessonCatalogue::lessonAfter(const QString &chapterFileName)
{
    ensureScanned();
    return nextLesson(mTree, chapterFileName);
}

int LessonCatalogue::CompareLessonIds(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseSensitive) > 0 ? 1 : 0;
}

void LessonCatalogue::ScanLessonGroups(TTreeCombo &tree, const Profile &settings, const QString &dataFolder)
{
    ScanLessonGroups(tree, settings.readSectionValues(QStringLiteral("LessonGroups")), dataFolder);
}

void LessonCatalogue::ScanLessonGroups(TTreeCombo &tree, const QStringList &groupLines,
                                       const QString &dataFolder)
{
    for (const QString &line : groupLines) {
        const QStringList fields = SplitFields(line);
        if (fields.size() == 2)
            tree.addNode(nullptr, fields[1], kGroupImage, fields[0]);
    }

    const QStringList files = QDir(dataFolder).entryList({QStringLiteral("*.ini")}, QDir::Files | QDir::Hidden,
                                                         QDir::Name);
    for (const QString &file : files) {
        // Only the General section counts here: the objects after it are left unread.
        const Profile chapter = readChapterGeneral(withTrailingSlash(dataFolder) + file);
        const QString name = chapter.readString(QStringLiteral("General"), QStringLiteral("Name"));
        if (name.isEmpty())
            continue;
        const QString image = chapter.readString(QStringLiteral("General"), QStringLiteral("ImageFile"),
                                                 QStringLiteral("x"));
        if (!QFileInfo(resolveCoursePath(dataFolder, image)).isFile())
            continue;
        const QString group = chapter.readString(QStringLiteral("General"), QStringLiteral("GroupID"));
        QStandardItem *groupNode = nullptr;
        for (int i = 0; i < tree.tree().rowCount() && !groupNode; ++i) {
            if (firstData(tree.tree().item(i)) == group)
                groupNode = tree.tree().item(i);
        }
        if (!groupNode)
            continue;
        tree.addNode(groupNode, name, kLessonImage, file,
                     chapter.readString(QStringLiteral("General"), QStringLiteral("ID")));
    }
    SortLessons(tree);
}

void LessonCatalogue::SortLessons(TTreeCombo &tree)
{
    for (int g = 0; g < tree.tree().rowCount(); ++g) {
        QStandardItem *group = tree.tree().item(g);
        QList<QList<QStandardItem *>> rows;
        while (group->rowCount() > 0)
            rows << group->takeRow(0);
        std::stable_sort(rows.begin(), rows.end(), [](const QList<QStandardItem *> &a, const QList<QStandardItem *> &b) {
            return CompareLessonIds(secondData(b.first()), secondData(a.first())) == 1;
        });
        for (const auto &row : rows)
            group->appendRow(row);
    }
}

void LessonCatalogue::ExpandChapterGroup(TTreeCombo &tree, const QString &groupId)
{
    for (QStandardItem *node : tree.nodesDepthFirst())
        tree.treeView()->setExpanded(node->index(), firstData(node) == groupId);
}

QString LessonCatalogue::nextLesson(const TTreeCombo &tree, const QString &chapterFileName)
{
    const QList<QStandardItem *> nodes = tree.nodesDepthFirst();
    qsizetype at = -1;
    for (qsizetype i = 0; i < nodes.size() && at < 0; ++i) {
        if (firstData(nodes[i]) == chapterFileName)
            at = i;
    }
    if (at < 0)
        return {};
    qsizetype next = at + 1 < nodes.size() ? at + 1 : 0;
    while (next < nodes.size() && secondData(nodes[next]).isEmpty())
        ++next;
    return next < nodes.size() ? firstData(nodes[next]) : QString();
}

} // namespace lirena
