#pragma once

#include "player/player.h"

#include <QWidget>

class QPushButton;
class QLabel;
class QToolButton;

namespace lirena {

class TSlider;
class TTreeCombo;

// The control panel's 40-pixel bar: play, pause and stop, the lessons and
// subjects lists, back, forward and next lesson, the position slider and the
// time labels, and at the right end the manual, panel, minimise and close
// buttons. It lays itself out; what its buttons do is wired by the window.
class ButtonBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kHeight = 40;

    explicit ButtonBar(QWidget *parent = nullptr);

    // The playback controls, for the player to work with.
    void fillPlayerWidgets(Player::Widgets &widgets) const;
    TTreeCombo &lessonsTree() const { return *TComboLessons; }
    TTreeCombo &subjectsTree() const { return *TComboSubjects; }
    QToolButton *playButton() const { return btnPlay; }
    QToolButton *pauseButton() const { return btnPause; }
    QToolButton *stopButton() const { return btnStop; }
    QToolButton *backButton() const { return btnBack; }
    QToolButton *forwardButton() const { return btnForward; }
    // Drops a list down with the keyboard in it, as its button does ("Konular"
    // only while it is offered).
    void openLessons();
    void openSubjects();
    // Closes a list that is down.
    void closeLists();
    // Enables "Konular" and its list exactly when the list has something to offer.
    void setSubjectsOffered(bool offered);
    // The panel buttons as a panel state allows them: up below the settings, down in it.
    void showPanelState(int state, bool settingsShown);

signals:
    // The lessons list is about to drop down: what it lists must be there.
    void lessonsOpening();
    void nextLessonClicked();
    void manualClicked();
    void panelUpClicked();
    void panelDownClicked();
    void minimiseClicked();
    void closeClicked();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layOut();

    QToolButton *btnPlay;
    QToolButton *btnPause;
    QToolButton *btnStop;
    QPushButton *btnLessons;
    QPushButton *btnSubjects;
    TTreeCombo *TComboLessons;
    TTreeCombo *TComboSubjects;
    QToolButton *btnBack;
    QToolButton *btnForward;
    QToolButton *btnNext;
    TSlider *Slider;
    QLabel *LblTime;
    QLabel *LblTotTime;
    QToolButton *SpeedButton1;
    QToolButton *BtnDown;
    QToolButton *BtnUp;
    QToolButton *btnMin;
    QToolButton *BtnClose;
};

} // namespace lirena
