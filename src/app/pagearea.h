#pragma once

#include "player/player.h"

#include <QWidget>

class QFrame;
class QLabel;
class QScrollArea;
class QTextBrowser;

namespace lirena {

class PageView;
class RotatedLabel;

// The window's page area above the control panel: the scroll box with the
// page picture, the wait picture, the vertical chapter title and the HTML
// view, and the exercise display at its top left corner.
class PageArea : public QWidget
{
    Q_OBJECT

public:
    explicit PageArea(QWidget *parent = nullptr);

    // The page controls, for the player to work with.
    void fillPlayerWidgets(Player::Widgets &widgets) const;
    QScrollArea *scrollBox() const { return SBox; }
    QLabel *waitPicture() const { return ImgWait; }
    RotatedLabel *chapterTitle() const { return LblChapterName; }
    QTextBrowser *htmlView() const { return WB; }
    void setBackground(const QColor &color);

signals:
    // The pointer moved over the page area beside the picture; y in page-area pixels.
    void pointerMoved(int y);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QScrollArea *SBox;
    PageView *img;
    QLabel *ImgWait;
    RotatedLabel *LblChapterName;
    QTextBrowser *WB;
    QFrame *PaExerciseInfo;
    QLabel *LblExerciseInfo;
    QLabel *LblCounter;
};

} // namespace lirena
