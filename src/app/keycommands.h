#pragma once

#include <QObject>

#include <optional>

namespace lirena {

class ButtonBar;
class Chapter;
class LessonMenu;
class OptionsPage;
class Player;

// The player's window-wide keys: play and pause, the segments of the page,
// the history and the next lesson, the two lists, the picture size and the
// reading speed. The
// window shows it every key before the control with the focus (key preview);
// it rests while an edit box is typed in and while an author is in Design
// mode, where Shift and Ctrl with the arrows move the design rectangle.
class KeyCommands : public QObject
{
    Q_OBJECT

public:
    enum class Command {
        PlayPause,       // Space
        PlayFromStart,   // Home
        Escape,          // Esc: ends an exercise, closes a list
        PreviousSegment, // Left
        NextSegment,     // Right
        RepeatSegment,   // R
        Back,            // Alt+Left
        Forward,         // Alt+Right
        NextLesson,      // Page Down
        OpenLessons,     // Alt+D
        OpenSubjects,    // Alt+K
        Larger,          // Ctrl and "+" (or "=")
        Smaller,         // Ctrl and "-"
        NaturalSize,     // Ctrl+0
        Slower,          // [
        Faster,          // ]
    };

    struct Parts
    {
        Chapter *chapter = nullptr;
        Player *player = nullptr;
        LessonMenu *lessons = nullptr;
        ButtonBar *bar = nullptr;
        OptionsPage *options = nullptr;
        QWidget *objectsPage = nullptr; // "All Objects": while it is shown, Alt+D is its buttons'
    };

    explicit KeyCommands(Parts parts, QObject *parent = nullptr);

    // The command of a key with its modifiers, or none.
    static std::optional<Command> commandFor(int key, Qt::KeyboardModifiers modifiers);

    // The window was made for an author (AuthorMode=1).
    void setAuthorMode(bool on) { mAuthorMode = on; }
    // Whether the keys work now: not while the focus is in an edit box that
    // can be typed in, nor in Design mode for an author.
    bool active() const;
    // A key pressed in the window; true when it is taken. A held key repeats
    // only the steps (segments and sizes); its other repeats are taken and do nothing.
    bool keyPressed(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat = false);
    // The wheel turned over the page with Ctrl held, by angle (eighths of a
    // degree, as Qt gives it): a size step for each notch of 120.
    void wheelTurned(int angle);

signals:
    // A picture size was chosen on the options page by key or wheel, as the
    // learner would choose it there: the page is to be shown anew.
    void imageSizeChosen();

private:
    void run(Command command);
    void playPause();
    void playFromStart();
    void escape();
    void playSegment(int step);
    // Steps through the sizes in the order of their scale; a step past either end does nothing.
    void stepImageSize(int steps);
    void chooseImageSize(int index);

    Parts p;
    bool mAuthorMode = false;
    int mWheelRest = 0; // angle turned short of a notch
};

} // namespace lirena
