#include "app/lessoncatalogue.h"
#include "app/navigation.h"
#include "app/ttreecombo.h"

#include "../qtprinters.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTest>
#include <QStandardItem>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace lirena;

namespace {

void write(const QString &path, const QByteArray &text)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text);
}

// A data folder with two groups and chapters that do and do not belong in the tree.
struct Course
{
    QTemporaryDir dir;
    TTreeCombo tree;

    Course()
    {
        write(dir.filePath("Vedra.ini"), "[LessonGroups]\n01=Harfler\n02=Kelimeler\n03=Boş grup\n04=a|b\n");
        write(dir.filePath("a.jpg"), "x");
        write(dir.filePath("on.ini"), "[General]\nName=On\nImageFile=a.jpg\nGroupID=01\nID=10\n");
        write(dir.filePath("dokuz.ini"), "[General]\nName=Dokuz\nImageFile=A.JPG\nGroupID=01\nID=9\n");
        write(dir.filePath("kelime.ini"), "[General]\nName=Kelime\nImageFile=a.jpg\nGroupID=02\nID=01\n");
        write(dir.filePath("kimliksiz.ini"), "[General]\nName=Kimliksiz\nImageFile=a.jpg\nGroupID=02\n");
        write(dir.filePath("isimsiz.ini"), "[General]\nImageFile=a.jpg\nGroupID=01\nID=1\n");
        write(dir.filePath("resimsiz.ini"), "[General]\nName=Resimsiz\nImageFile=yok.jpg\nGroupID=01\nID=2\n");
        write(dir.filePath("grupsuz.ini"), "[General]\nName=Grupsuz\nImageFile=a.jpg\nGroupID=07\nID=3\n");
        write(dir.filePath("kucuk.ini"), "[General]\nName=Küçük\nImageFile=a.jpg\nGroupID=1\nID=4\n");
        write(dir.filePath("bos.ini"), "[General]\nName=Boş resim\nImageFile=\nGroupID=01\nID=5\n");
        QDir(dir.path()).mkdir("klasor");
        write(dir.filePath("klasor.ini"), "[General]\nName=Klasör\nImageFile=klasor\nGroupID=01\nID=6\n");
        LessonCatalogue::ScanLessonGroups(tree, Profile(dir.filePath("Vedra.ini")), dir.path());
    }

    QStringList layout() const
    {
        QStringList out;
        for (QStandardItem *node : tree.nodesDepthFirst())
            out << QString(node->parent() ? "  " : "") + node->text();
        return out;
    }
};

} // namespace

TEST(LessonCatalogue, IdsCompareCharacterByCharacter)
{
    EXPECT_EQ(LessonCatalogue::CompareLessonIds("9", "10"), 1);
    EXPECT_EQ(LessonCatalogue::CompareLessonIds("10", "9"), 0);
    EXPECT_EQ(LessonCatalogue::CompareLessonIds("02", "02"), 0);
    EXPECT_EQ(LessonCatalogue::CompareLessonIds("", "1"), 0);
}

TEST(LessonCatalogue, TreeHoldsOnlyChaptersWithNamePictureAndKnownGroup)
{
    Course c;
    EXPECT_EQ(c.layout(), (QStringList{"Harfler", "  On", "  Dokuz", "Kelimeler", "  Kimliksiz", "  Kelime",
                                       "Boş grup"}));
    QStandardItem *on = c.tree.tree().item(0)->child(0);
    EXPECT_EQ(on->data(TTreeCombo::FirstDataRole).toString(), "on.ini");
    EXPECT_EQ(on->data(TTreeCombo::SecondDataRole).toString(), "10");
    EXPECT_EQ(c.tree.tree().item(0)->data(TTreeCombo::FirstDataRole).toString(), "01");
}

TEST(LessonCatalogue, NextLessonWalksTheTreeAndWrapsToTheFirst)
{
    Course c;
    EXPECT_EQ(LessonCatalogue::nextLesson(c.tree, "on.ini"), "dokuz.ini");
    // "kimliksiz" has no ID: it is passed over.
    EXPECT_EQ(LessonCatalogue::nextLesson(c.tree, "dokuz.ini"), "kelime.ini");
    // After "kelime" only an empty group follows: the end of the tree, nothing to go to.
    EXPECT_EQ(LessonCatalogue::nextLesson(c.tree, "kelime.ini"), "");
    EXPECT_EQ(LessonCatalogue::nextLesson(c.tree, "nowhere.ini"), "");

    // When the last lesson is the last node, the walk starts over at the first lesson with an ID.
    TTreeCombo tree;
    QStandardItem *first = tree.addNode(nullptr, "Harfler", 6, "01");
    tree.addNode(first, "Kimliksiz", 9, "k.ini");
    tree.addNode(first, "Bir", 9, "bir.ini", "01");
    QStandardItem *second = tree.addNode(nullptr, "Kelimeler", 6, "02");
    tree.addNode(second, "Son", 9, "son.ini", "09");
    EXPECT_EQ(LessonCatalogue::nextLesson(tree, "son.ini"), "bir.ini");
}

TEST(LessonCatalogue, ExpandingAGroupClosesTheOthers)
{
    Course c;
    QTreeView *view = c.tree.treeView();
    LessonCatalogue::ExpandChapterGroup(c.tree, "02");
    EXPECT_FALSE(view->isExpanded(c.tree.tree().item(0)->index()));
    EXPECT_TRUE(view->isExpanded(c.tree.tree().item(1)->index()));
    LessonCatalogue::ExpandChapterGroup(c.tree, "01");
    EXPECT_TRUE(view->isExpanded(c.tree.tree().item(0)->index()));
    EXPECT_FALSE(view->isExpanded(c.tree.tree().item(1)->index()));
}

TEST(LessonCatalogue, ATreeBuiltLaterIsTheSameAndOpensTheGroupAskedForBefore)
{
    Course c;
    TTreeCombo tree;
    LessonCatalogue later(tree);
    int built = 0;
    QObject::connect(&later, &LessonCatalogue::treeScanned, [&] { ++built; });
    later.scanLater(Profile(c.dir.filePath("Vedra.ini")).readSectionValues("LessonGroups"), c.dir.path());
    later.expandChapterGroup("02"); // the chapter shown, read before the tree
    EXPECT_FALSE(tree.hasNodes());
    EXPECT_EQ(later.lessonAfter("on.ini"), "dokuz.ini"); // asked for sooner: built now
    later.ensureScanned();
    EXPECT_EQ(built, 1);
    QStringList layout;
    for (QStandardItem *node : tree.nodesDepthFirst())
        layout << QString(node->parent() ? "  " : "") + node->text();
    EXPECT_EQ(layout, c.layout());
    EXPECT_FALSE(tree.treeView()->isExpanded(tree.tree().item(0)->index()));
    EXPECT_TRUE(tree.treeView()->isExpanded(tree.tree().item(1)->index()));
}

TEST(LessonCatalogue, ALessonNameWiderThanTheScreenIsCut)
{
    // The longest name a chapter may hold (1 MiB), which no list should have to lay out whole.
    QTemporaryDir dir;
    write(dir.filePath("Vedra.ini"), "[LessonGroups]\n01=Harfler\n");
    write(dir.filePath("a.jpg"), "x");
    write(dir.filePath("uzun.ini"),
          "[General]\nName=" + QByteArray(Profile::kMaxValueBytes, 'a') + "\nImageFile=a.jpg\nGroupID=01\nID=1\n");
    TTreeCombo tree;
    LessonCatalogue::ScanLessonGroups(tree, Profile(dir.filePath("Vedra.ini")), dir.path());
    ASSERT_EQ(tree.tree().item(0)->rowCount(), 1);
    const QString shown = tree.tree().item(0)->child(0)->text();
    ASSERT_LT(shown.size(), 10000);
    EXPECT_TRUE(shown.startsWith("aaaa"));
    EXPECT_TRUE(shown.endsWith(u'…'));
    EXPECT_LE(QFontMetrics(tree.font()).horizontalAdvance(shown), tree.screen()->availableGeometry().width());
    EXPECT_EQ(tree.tree().item(0)->text(), "Harfler"); // what fits stays as it is
}

TEST(TTreeCombo, OnlyEndNodesCanBeChosen)
{
    Course c;
    QStringList chosen;
    QObject::connect(&c.tree, &TTreeCombo::selectionChange,
                     [&](QStandardItem *node) { chosen << node->text(); });
    c.tree.choose(c.tree.tree().item(0));
    c.tree.choose(c.tree.tree().item(0)->child(1));
    EXPECT_EQ(chosen, QStringList{"Dokuz"});
}

TEST(TTreeCombo, ReturnOpensAGroupAndChoosesALesson)
{
    QWidget window;
    window.resize(400, 300);
    TTreeCombo tree(&window);
    tree.setGeometry(10, 250, 75, 25);
    QStandardItem *first = tree.addNode(nullptr, "Harfler", 6, "01");
    tree.addNode(first, "Bir", 9, "bir.ini", "1");
    QStandardItem *second = tree.addNode(nullptr, "Kelimeler", 6, "02");
    tree.addNode(second, "İki", 9, "iki.ini", "2");
    QStringList chosen;
    QObject::connect(&tree, &TTreeCombo::selectionChange, [&](QStandardItem *node) { chosen << node->text(); });
    window.show();
    tree.showPopup();
    QApplication::processEvents();
    ASSERT_TRUE(tree.view()->isVisible());
    EXPECT_EQ(tree.view()->currentIndex(), first->index()); // the keys start at the first node

    QTest::keyClick(tree.view(), Qt::Key_Down);
    QTest::keyClick(tree.view(), Qt::Key_Return); // a group opens; the list stays
    EXPECT_TRUE(tree.treeView()->isExpanded(second->index()));
    EXPECT_TRUE(tree.view()->isVisible());
    EXPECT_TRUE(chosen.isEmpty());

    QTest::keyClick(tree.view(), Qt::Key_Down);
    QTest::keyClick(tree.view(), Qt::Key_Return);
    EXPECT_EQ(chosen, QStringList{"İki"});
    EXPECT_FALSE(tree.view()->isVisible());
    EXPECT_EQ(tree.currentText(), ""); // nothing chosen stays written on it
}

TEST(TTreeCombo, ClosesAtOnceAfterAGroupWasOpenedByClicking)
{
    QWidget window;
    TTreeCombo tree(&window);
    QStandardItem *group = tree.addNode(nullptr, "Harfler", 6, "01");
    tree.addNode(group, "Bir", 9, "bir.ini", "1");
    window.show();
    tree.showPopup();
    QApplication::processEvents();
    const QPoint onGroup = tree.treeView()->visualRect(group->index()).center();
    QTest::mouseClick(tree.treeView()->viewport(), Qt::LeftButton, {}, onGroup);
    EXPECT_TRUE(tree.treeView()->isExpanded(group->index()));
    EXPECT_TRUE(tree.view()->isVisible());
    tree.hidePopup();
    EXPECT_FALSE(tree.view()->isVisible());
}

namespace {

// The history against a pretend chapter: names and positions the test sets.
struct History
{
    QToolButton back, forward;
    QString name, file;
    qint64 position = 0;
    QStringList loads;
    QList<qint64> seeks;
    Navigation nav{{[this] { return name; }, [this] { return file; }, [this] { return position; },
                    [this](const QString &path) {
                        loads << path;
                        const QString f = path.section('/', -1);
                        if (f == file || !chapters.contains(f))
                            return; // the same file, or one that is gone: nothing loads
                        file = f;
                        name = chapters[f];
                        position = 0;
                    },
                    [this](qint64 p) {
                        seeks << p;
                        position = p;
                    }},
                   &back, &forward};
    QMap<QString, QString> chapters{{"sayfa01.ini", "Elif"}, {"sayfa02.ini", "Be"}, {"sayfa03.ini", "A|B"}};

    History()
    {
        file = "sayfa01.ini";
        name = "Elif";
        position = 1500;
        nav.start();
    }
};

} // namespace

TEST(History, GoingBackAndForwardRestoresChapterAndPosition)
{
    History h;
    EXPECT_EQ(h.nav.history(), QStringList{"sayfa01.ini|1500"});
    h.position = 2000;
    h.nav.GoToChapter("/data/sayfa02.ini");
    EXPECT_EQ(h.nav.history(), (QStringList{"Elif|2000|sayfa01.ini", "Be|0|sayfa02.ini"}));
    EXPECT_EQ(h.nav.historyIndex(), 1);
    EXPECT_TRUE(h.back.isEnabled());
    EXPECT_EQ(h.back.toolTip(), "Elif|2000|sayfa01.ini");
    EXPECT_FALSE(h.forward.isEnabled());
    EXPECT_EQ(h.forward.toolTip(), "");

    h.position = 700;
    h.nav.btnBackClick();
    EXPECT_EQ(h.file, "sayfa01.ini");
    EXPECT_EQ(h.position, 2000);
    EXPECT_EQ(h.nav.history()[1], "Be|700|sayfa02.ini"); // the page left keeps its position
    EXPECT_FALSE(h.back.isEnabled());
    EXPECT_TRUE(h.forward.isEnabled());
    EXPECT_EQ(h.forward.toolTip(), "Be|700|sayfa02.ini");

    h.nav.btnForwardClick();
    EXPECT_EQ(h.file, "sayfa02.ini");
    EXPECT_EQ(h.position, 700);
}

TEST(History, ChoosingTheChapterShownAddsAnEntryAndBackSeeksWithinIt)
{
    History h;
    h.position = 3000;
    h.nav.GoToChapter("/data/sayfa01.ini");
    EXPECT_EQ(h.nav.history(), (QStringList{"Elif|3000|sayfa01.ini", "Elif|3000|sayfa01.ini"}));
    h.position = 9000;
    h.nav.btnBackClick();
    EXPECT_EQ(h.file, "sayfa01.ini");
    EXPECT_EQ(h.position, 3000);
}

TEST(History, ANewChapterAfterGoingBackDropsTheForwardEntries)
{
    History h;
    h.nav.GoToChapter("/data/sayfa02.ini");
    h.nav.GoToChapter("/data/sayfa01.ini");
    h.nav.btnBackClick();
    h.nav.btnBackClick();
    EXPECT_EQ(h.nav.historyIndex(), 0);
    h.nav.GoToChapter("/data/sayfa02.ini");
    EXPECT_EQ(h.nav.history().size(), 2);
    EXPECT_FALSE(h.forward.isEnabled());
}

TEST(History, ANameWithSeparatorsCanBeReturnedTo)
{
    History h;
    h.nav.GoToChapter("/data/sayfa03.ini"); // named "A|B"
    h.position = 4200;
    h.nav.GoToChapter("/data/sayfa02.ini");
    EXPECT_EQ(h.nav.history()[1], "A|B|4200|sayfa03.ini");
    h.nav.btnBackClick();
    EXPECT_EQ(h.file, "sayfa03.ini");
    EXPECT_EQ(h.position, 4200);
}

TEST(History, EntriesAreSplitFromTheEnd)
{
    qint64 position = -1;
    QString file;
    Navigation::splitEntry("Elif|15230|sayfa01.ini", &position, &file);
    EXPECT_EQ(position, 15230);
    EXPECT_EQ(file, "sayfa01.ini");
    Navigation::splitEntry("a=b|c|77|x.ini", &position, &file);
    EXPECT_EQ(position, 77);
    EXPECT_EQ(file, "x.ini");
    Navigation::splitEntry("|0|", &position, &file); // nothing loaded
    EXPECT_EQ(position, 0);
    EXPECT_EQ(file, "");
}

TEST(History, AChapterThatVanishedStillGetsAnEntry)
{
    History h;
    h.nav.GoToChapter("/data/gone.ini");
    EXPECT_EQ(h.nav.history().last(), "Elif|1500|sayfa01.ini");
    EXPECT_EQ(h.nav.history().size(), 2);
}
