// The window-wide keys on the real window with a scripted media device, and
// the names and descriptions a screen reader gives every control.

#include "app/lessonmenu.h"
#include "app/tmainform.h"
#include "app/ttreecombo.h"
#include "fakedialogs.h"
#include "windowcontrols.h"

#include "../player/scripteddevice.h"
#include "../qtprinters.h"
#include "player/player.h"
#include "player/tradiogroup.h"
#include "soundeditor/teditform.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTreeView>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>

using namespace lirena;

namespace {

const QString kCourse = QStringLiteral(LIRENA_SAMPLE_COURSE);

class KeysTest : public ::testing::Test
{
protected:
    QTemporaryDir programDir;
    QTemporaryDir courseCopy;
    FakeDialogs dialogs;
    ScriptedDevice device;
    QString course = kCourse;
    std::unique_ptr<TMainForm> form;

    TMainForm &show(const QByteArray &settings)
    {
        QFile file(programDir.filePath("Vedra.ini"));
        file.open(QIODevice::WriteOnly);
        file.write("[Settings]\nDataFolder=" + course.toUtf8() + "\n" + settings +
                   "\n[LessonGroups]\n01=Harfler\n02=Heceler ve Kelimeler\n09=Yardım\n");
        file.close();
        device.fileLength = 20000;
        TMainForm::Environment env;
        env.programFolder = programDir.path();
        env.registryFile = programDir.filePath("registry.ini");
        env.dialogs = &dialogs;
        env.media = &device;
        env.openUrl = [](const QUrl &) { return true; };
        form = std::make_unique<TMainForm>(env);
        form->show();
        QApplication::processEvents();
        QApplication::processEvents();
        QApplication::setActiveWindow(form.get());
        return *form;
    }

    // A key as the learner presses it: to the control with the focus, if any.
    void key(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : form.get(), Qt::Key(k), modifiers);
    }

    // The start times of the segments a click can play, earliest first.
    QList<int> clickableStarts() const
    {
        QList<int> starts;
        for (const TVGObj *link : form->chapter().ClickSet)
            starts << form->chapter().voiceOf(link)->StartTime;
        std::sort(starts.begin(), starts.end());
        return starts;
    }

    // The section watch runs as its timer would, the recording moved on to at.
    void playOnTo(qint64 at)
    {
        device.advance(at - device.pos);
        form->player().exercises().Timer3Timer();
    }

    void showPage(const char *name)
    {
        form->SetControlPanelState(2);
        control<QTabWidget>(*form, "PageControl")->setCurrentWidget(control<QWidget>(*form, name));
        QApplication::processEvents();
    }
};

} // namespace

TEST_F(KeysTest, SpacePlaysAndPausesAndHomePlaysFromTheStartWhereverTheFocusIs)
{
    TMainForm &f = show("LastChapter=sayfa01.ini\n");
    key(Qt::Key_Space);
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Playing);
    device.advance(3000);
    control<TTreeCombo>(f, "TComboLessons")->setFocus(); // as after choosing a lesson
    ASSERT_EQ(QApplication::focusWidget(), control<QWidget>(f, "TComboLessons"));
    key(Qt::Key_Space);
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Paused);
    EXPECT_FALSE(control<TTreeCombo>(f, "TComboLessons")->view()->isVisible()); // the list stays closed
    key(Qt::Key_Space);
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Playing);
    EXPECT_EQ(device.pos, 3000);
    key(Qt::Key_Home);
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Playing);
    EXPECT_EQ(device.pos, 0);
}

TEST_F(KeysTest, ArrowsAndRPlayTheSegmentsByStartTimeAsAClickWould)
{
    // The click sequence listed backwards: the keys still go by time.
    for (const QString &name : QDir(kCourse).entryList(QDir::Files))
        QFile::copy(kCourse + "/" + name, courseCopy.filePath(name));
    QFile chapter(courseCopy.filePath("sayfa01.ini"));
    ASSERT_TRUE(chapter.open(QIODevice::ReadOnly));
    QByteArray text = chapter.readAll();
    chapter.close();
    text.replace("ClickObjects=1|2|3|4|5|6|7|8|9|10|11|12", "ClickObjects=12|11|10|9|8|7|6|5|4|3|2|1");
    ASSERT_TRUE(chapter.open(QIODevice::WriteOnly | QIODevice::Truncate));
    chapter.write(text);
    chapter.close();
    course = courseCopy.path();
    TMainForm &f = show("LastChapter=sayfa01.ini\n");
    ASSERT_EQ(f.chapter().ClickSet.front()->Id, 12);
    const QList<int> s = clickableStarts();

    key(Qt::Key_Right); // from the start: the first word
    EXPECT_EQ(device.pos, s[0]);
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Playing);
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    EXPECT_EQ(device.pos, s[2]);
    device.advance(s[3] - s[2] + 200); // playing on into the fourth word
    key(Qt::Key_R);
    EXPECT_EQ(device.pos, s[3]);
    key(Qt::Key_Left);
    EXPECT_EQ(device.pos, s[2]);
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Playing);

    // With "Section Play" a word plays alone and pauses just past its stop,
    // where the next word starts: it is still the word heard.
    f.player().interaction().setSectionPlay(true);
    key(Qt::Key_Right);
    EXPECT_EQ(device.pos, s[3]);
    playOnTo(s[4] + 30);
    ASSERT_EQ(device.mode(), MediaDevice::Mode::Paused);
    key(Qt::Key_R);
    EXPECT_EQ(device.pos, s[3]);
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Playing);
    playOnTo(s[4] + 30);
    key(Qt::Key_Right);
    EXPECT_EQ(device.pos, s[4]);
    playOnTo(s[5] + 30);
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Paused); // the section ended: it played alone
}

TEST_F(KeysTest, KeysRestWhileTypingAndInAnAuthorsDesignMode)
{
    TMainForm &f = show("LastChapter=sayfa01.ini\nAuthorMode=1\n");
    showPage("GObjPage");
    auto *name = control<QLineEdit>(f, "EdtGObjName");
    name->setFocus();
    name->clear();
    for (const int k : {Qt::Key_Space, Qt::Key_R, Qt::Key_Home, Qt::Key_Left, Qt::Key_Right})
        key(k);
    EXPECT_EQ(name->text(), " r");
    EXPECT_NE(device.mode(), MediaDevice::Mode::Playing);
    name->clearFocus();
    key(Qt::Key_Space); // out of the box the keys work again
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Playing);
    key(Qt::Key_Space);

    showPage("FilePage");
    control<TRadioGroup>(f, "RGrpMode")->setItemIndex(0); // Design
    PageDisplay &page = f.player().page();
    page.replaceEditRect({10, 10, 50, 40});
    const int size = control<QComboBox>(f, "cmbImageSize")->currentIndex();
    key(Qt::Key_Space);
    key(Qt::Key_Right);
    EXPECT_NE(device.mode(), MediaDevice::Mode::Playing);
    key(Qt::Key_Right, Qt::ControlModifier);
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(page.editRect(), (PixelRect{11, 10, 51, 41}));
    key(Qt::Key_Plus, Qt::ControlModifier); // Ctrl alone: the design keys take it
    EXPECT_EQ(control<QComboBox>(f, "cmbImageSize")->currentIndex(), size);
    key(Qt::Key_F1);
    EXPECT_EQ(f.chapterFile().ChapterFileName, "help00.ini");
}

TEST_F(KeysTest, KeysWorkForALearnerInTheDesignModeTheWindowStartsIn)
{
    TMainForm &f = show("ImageSizeType=1\nImageSize=0\n");
    ASSERT_EQ(f.player().interaction().mode(), PageInteraction::Design);
    key(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(control<QComboBox>(f, "cmbImageSize")->currentText(), "%120");
}

TEST_F(KeysTest, CtrlPlusMinusAndZeroStepTheSizeAsTheOptionsPageWithoutResumingARecording)
{
    TMainForm &f = show("LastChapter=sayfa04.ini\nImageSizeType=0\n");
    auto *sizes = control<QComboBox>(f, "cmbImageSize");
    auto *kind = control<TRadioGroup>(f, "RGrpImageSize");
    key(Qt::Key_Space);
    device.advance(2500);
    key(Qt::Key_Space);
    ASSERT_EQ(device.mode(), MediaDevice::Mode::Paused);

    const double fit = f.player().page().ImageScale();
    key(Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier); // "+" is a shifted key on many layouts
    EXPECT_EQ(kind->itemIndex(), 1);
    EXPECT_GT(f.player().page().ImageScale(), fit);
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Paused);

    key(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(sizes->currentText(), "%100");
    QStringList seen;
    for (int i = 0; i < 3; ++i) {
        key(Qt::Key_Plus, Qt::ControlModifier);
        seen << sizes->currentText();
    }
    for (int i = 0; i < 5; ++i) {
        key(Qt::Key_Minus, Qt::ControlModifier);
        seen << sizes->currentText();
    }
    EXPECT_EQ(seen, QStringList({"%120", "%150", "%150", "%120", "%100", "%75", "%50", "%50"}));
    EXPECT_DOUBLE_EQ(f.player().page().ImageScale(), 0.5);

    QWidget *picture = control<QWidget>(f, "img");
    QWheelEvent up(QPointF(5, 5), picture->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(picture, &up);
    EXPECT_EQ(sizes->currentText(), "%75");
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Paused);
    EXPECT_EQ(device.pos, 2500);

    form->close();
    QFile file(programDir.filePath("Vedra.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_TRUE(written.contains("ImageSize=1\r\n") || written.contains("ImageSize=1\n"))
        << written.toStdString();
    EXPECT_TRUE(written.contains("ImageSizeType=1")) << written.toStdString();
}

TEST_F(KeysTest, AltDOpensTheLessonsWithTheKeyboardInsideExceptOnAllObjects)
{
    TMainForm &f = show("LastChapter=sayfa04.ini\nAuthorMode=1\n");
    auto *lessons = control<TTreeCombo>(f, "TComboLessons");
    key(Qt::Key_D, Qt::AltModifier);
    ASSERT_TRUE(lessons->view()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), lessons->view());
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    EXPECT_FALSE(lessons->view()->isVisible());
    EXPECT_EQ(f.chapterFile().ChapterFileName, "sayfa03.ini");

    key(Qt::Key_K, Qt::AltModifier);
    auto *subjects = control<TTreeCombo>(f, "TComboSubjects");
    ASSERT_TRUE(subjects->view()->isVisible());
    key(Qt::Key_Escape);
    EXPECT_FALSE(subjects->view()->isVisible());

    showPage("GObjPage"); // there Alt+D is "A&dd"
    EXPECT_FALSE(f.FormKeyDown(Qt::Key_D, Qt::AltModifier));
    EXPECT_FALSE(lessons->view()->isVisible());
    showPage("OptionsPage");
    EXPECT_TRUE(f.FormKeyDown(Qt::Key_D, Qt::AltModifier));
    EXPECT_TRUE(lessons->view()->isVisible());
    lessons->hidePopup();
}

TEST_F(KeysTest, HistoryNextLessonAndEscapeEndingAnExercise)
{
    TMainForm &f = show("LastChapter=sayfa01.ini\n");
    key(Qt::Key_PageDown);
    EXPECT_EQ(f.chapterFile().ChapterFileName, "sayfa02.ini");
    key(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(f.chapterFile().ChapterFileName, "sayfa01.ini");
    key(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(f.chapterFile().ChapterFileName, "sayfa02.ini");

    f.lessons().TComboSubjectsSelectionChange("TEST1", "0");
    ASSERT_TRUE(f.player().exercises().ticking());
    key(Qt::Key_Escape);
    EXPECT_EQ(f.player().exercises().kind(), Exercises::None);
    EXPECT_FALSE(f.player().exercises().ticking());
    EXPECT_NE(device.mode(), MediaDevice::Mode::Playing);
}

namespace {

// What a learner or an author can click or put the focus on; the parts a
// control is made of (a list's scroll bars, a tab bar's scroll arrows) count
// as the control.
bool isControl(const QWidget *w)
{
    if (qobject_cast<const QScrollBar *>(w))
        return false;
    for (const QWidget *up = w->parentWidget(); up; up = up->parentWidget()) {
        if (qobject_cast<const QTabBar *>(up) || qobject_cast<const QComboBox *>(up) ||
            qobject_cast<const QAbstractSpinBox *>(up))
            return false;
    }
    if (qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QAbstractSlider *>(w) ||
        qobject_cast<const QComboBox *>(w) || qobject_cast<const QLineEdit *>(w) ||
        qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QTextEdit *>(w) ||
        qobject_cast<const QPlainTextEdit *>(w))
        return true;
    return w->focusPolicy() != Qt::NoFocus || w->cursor().shape() == Qt::PointingHandCursor;
}

// The controls of a window a screen reader would find without a name or a description.
QStringList unspoken(QWidget &window)
{
    QStringList missing;
    for (QWidget *w : window.findChildren<QWidget *>()) {
        if (w->window() != &window || !isControl(w))
            continue;
        const QString label =
            w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
        QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(w);
        // A tab bar is spoken tab by tab.
        QList<QAccessibleInterface *> parts{spoken};
        if (spoken && qobject_cast<QTabBar *>(w)) {
            parts.clear();
            for (int i = 0; i < spoken->childCount(); ++i) {
                if (spoken->child(i)->role() == QAccessible::PageTab)
                    parts << spoken->child(i);
            }
        }
        for (int i = 0; i < parts.size(); ++i) {
            const QString part = parts.size() > 1 ? label + QStringLiteral(" #%1").arg(i) : label;
            if (!parts[i] || parts[i]->text(QAccessible::Name).trimmed().isEmpty())
                missing << part + " (name)";
            else if (parts[i]->text(QAccessible::Description).trimmed().isEmpty())
                missing << part + " (description)";
        }
    }
    return missing;
}

} // namespace

TEST_F(KeysTest, EveryControlHasANameAndADescriptionForScreenReaders)
{
    TMainForm &f = show("LastChapter=sayfa01.ini\nAuthorMode=1\n");
    EXPECT_EQ(unspoken(f), QStringList());
    EXPECT_EQ(control<QWidget>(f, "btnPlay")->accessibleName(), "Oynat");
    EXPECT_EQ(control<QWidget>(f, "btnNext")->accessibleDescription(), "Bir Sonraki Ders");

    TEditForm editor(
        {.programFolder = programDir.path(), .dialogs = &dialogs, .xaudioPath = {}, .output = nullptr});
    EXPECT_EQ(unspoken(editor), QStringList());
}
