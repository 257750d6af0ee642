#pragma once

#include "lesson/chapter.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>

#include <functional>

class QScrollArea;

namespace lirena {

class PageView;
class RotatedLabel;

// The page picture: loading and scaling it for the screen, placing it in the
// page area, and the marks drawn into it (frame, pointer, recolour, exercise
// tints), with the marking step of the playback tick. Owned by the main window,
// which gives it the controls and settings it works with.
class PageDisplay : public QObject
{
    Q_OBJECT

public:
    struct Controls
    {
        QScrollArea *SBox = nullptr;
        PageView *img = nullptr;
        RotatedLabel *LblChapterName = nullptr;
        std::function<QSize()> screenSize;       // logical pixels of the window's screen
        std::function<int()> controlPanelHeight; // height of the control panel now
        std::function<int()> sizeType;           // RGrpImageSize index: 0 fit, 1 chosen size
        std::function<int()> sizeIndex;          // cmbImageSize index, -1 none
        std::function<QColor()> markColor;       // selection of MarkColorCombo
        std::function<QString(const QString &)> resolve; // a name inside the data folder
        std::function<void()> pauseMedia;        // pauses a playing recording
        std::function<void()> endExercise;       // ExerciseKind none, StopExercise
    };

    PageDisplay(Chapter &chapter, Controls controls, QObject *parent = nullptr);

    // Shows the picture file (relative to the data folder) at the current scale.
    // A missing file leaves the page as it was. Returns false with error set when
    // the file exists but cannot be decoded; the page then stays as it was.
    bool LoadPageImage(const QString &name, QString *error = nullptr);
    // The display scale: FitScale in fit mode, else the chosen size.
    double ImageScale() const;
    // Places the picture and the chapter title in the page area.
    void CenterPage();
    // Reloads the picture at the scale now chosen and rescales the rectangles.
    void ApplyImageSize();
    // Every graphic object's ViewRect from its ImageRect at the current scale.
    void RescaleViewRects();
    // Reloads a picture that carries exercise tints, and ends the exercise.
    void RestorePage();

    // Marks a rectangle in a style: 0 frame, 1 pointer under it, 2 recolour.
    void MarkRect(int style, const PixelRect &r);
    // Takes the current mark off the picture.
    void UnmarkRect();
    // Tints a rectangle green (correct) or red, without keeping what it covers.
    void TintExerciseRect(bool correct, const PixelRect &r);
    // Scrolls the page so the graphic object's rectangle is in view.
    void ScrollRectIntoView(const TGraphicObj *g);
    // Marks a segment's rectangle and scrolls it into view; the marking step
    // then keeps the mark while the segment is heard.
    void markSegment(int style, const TGraphicObj *g, const TVoiceObj *v);
    // Marks the rectangle of the segment heard at position p, or unmarks.
    void MarkingStep(qint64 p, int markType);
    // Draws the outline of EditRect with the page pen (drawing it again removes it).
    void DrawEditRect();

    // Forgets an object that is about to be freed.
    void forget(const TBaseObj *object);

    double FitScale = 1.0;
    QString PageImageFile;
    QImage PointerBitmap;
    QImage SavedPatch; // null when it holds nothing
    QPoint MarkOrigin;
    int MarkKind = 0;
    PixelRect EditRect;
    const TVoiceObj *MarkedVoice = nullptr;
    bool PageDirty = false;

    // The scale at which a w x h picture fits a screen, leaving the button bar free.
    static double fitScaleFor(int w, int h, QSize screen);

signals:
    // The picture file name given to LoadPageImage, for the File page.
    void pageImageFileChanged(const QString &name);

private:
    void forgetMarks();

    Chapter &mChapter;
    Controls c;
};

} // namespace lirena
