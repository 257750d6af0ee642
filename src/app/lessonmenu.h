#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace lirena {

class ButtonBar;
class ChapterFile;
class ChapterView;
class LessonCatalogue;
class Navigation;
class Player;
class UserDialogs;

// The learner's ways to another page or activity: the lessons tree, the
// page's subjects menu, back, forward and next lesson, and the user manual.
// It keeps the history of the pages seen.
class LessonMenu : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        ChapterFile *chapterFile = nullptr;
        ChapterView *view = nullptr; // shows the chapters read
        Player *player = nullptr;
        ButtonBar *bar = nullptr;
        LessonCatalogue *catalogue = nullptr; // the lessons tree
        UserDialogs *dialogs = nullptr;
    };

    explicit LessonMenu(Parts parts, QObject *parent = nullptr);
    ~LessonMenu() override;

    Navigation &navigation() { return *mNavigation; }

    // Goes to a chapter (a full path), recording the history.
    void GoToChapter(const QString &path);
    // Runs an entry of the subjects menu: PLAY, LOADCHAPTER, TEST1 to TEST3.
    void TComboSubjectsSelectionChange(const QString &action, const QString &parameter);
    // Goes to the lesson after the one shown in the lessons tree ("Bir Sonraki Ders").
    void btnNextClick();
    // Shows the user manual, "help00.ini" of the data folder.
    void SpeedButton1Click();

private:
    QString dataFolder() const;

    Parts p;
    std::unique_ptr<Navigation> mNavigation;
};

} // namespace lirena
