#pragma once

#include "lesson/chapter.h"
#include "player/pagepicture.h"

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
// tints), with the marking step of the playback tick. It keeps the mark state
// and the design rectangle; others change them through its operations.
class PageDisplay : public QObject
{
    Q_OBJECT

public:
    enum SizeType { FitScreen = 0, ChosenSize = 1 };
    enum MarkStyle { NoMark = -1, Frame = 0, Pointer = 1, Recolour = 2 };

    struct Controls
    {
        QScrollArea *SBox = nullptr;
        PageView *img = nullptr;
        RotatedLabel *LblChapterName = nullptr;
        std::function<QSize()> screenSize;               // logical pixels of the window's screen
        std::function<int()> controlPanelHeight;         // height of the control panel now
        std::function<QString(const QString &)> resolve; // a name inside the data folder
        // Makes the picture of a file for a sizing (pages made ahead); makePagePicture when none.
        std::function<PagePicture(const QString &path, const PageSizing &sizing)> picture;
        // Device pixels per view pixel where the page is shown; the page widget's when none.
        std::function<qreal()> devicePixelRatio;
    };

    // How the learner wants the page shown.
    struct Options
    {
        SizeType sizeType = ChosenSize;
        int sizeIndex = 0; // "%100", "%75", "%50", "%120", "%150"; -1 none
        MarkStyle markStyle = Frame;
        QColor markColor{247, 199, 137};
    };

    PageDisplay(Chapter &chapter, Controls controls, QObject *parent = nullptr);

    // Takes the options; the picture is shown anew only by ApplyImageSize.
    void setOptions(const Options &options) { mOptions = options; }
    const Options &options() const { return mOptions; }

    // Shows the picture file (relative to the data folder) at the current scale.
    // A missing file leaves the page as it was. Returns false with error set when
    // the file exists but cannot be decoded; the page then stays as it was.
    bool LoadPageImage(const QString &name, QString *error = nullptr);
    // The page shows no picture of its own (an HTML page, or no JPG): a reload
    // brings nothing back.
    void forgetPicture() { mPageImageFile.clear(); }
    // The display scale: FitScale in fit mode, else the chosen size.
    double ImageScale() const;
    // What the shown picture depends on now: the screen, its pixel density and the size options.
    PageSizing sizing() const;
    // Places the picture and the chapter title in the page area.
    void CenterPage();
    // Reloads the picture at the scale now chosen and rescales the rectangles.
    void ApplyImageSize();
    // Every graphic object's ViewRect from its ImageRect at the current scale.
    void RescaleViewRects();
    // Reloads a picture that carries exercise tints, and ends the exercise.
    void RestorePage();
    // The picture is about to carry tints that only a reload takes off.
    void markDirty() { mPageDirty = true; }

    // Marks a rectangle in a style.
    void MarkRect(MarkStyle style, const PixelRect &r);
    // Takes the current mark off the picture.
    void UnmarkRect();
    // Tints a rectangle green (correct) or red, without keeping what it covers.
    void TintExerciseRect(bool correct, const PixelRect &r);
    // Scrolls the page so the graphic object's rectangle is in view.
    void ScrollRectIntoView(const TGraphicObj *g);
    // Marks a segment's rectangle in the chosen style and scrolls it into view;
    // the marking step then keeps the mark while the segment is heard.
    void markSegment(const TGraphicObj *g, const TVoiceObj *v);
    // Marks the rectangle of the segment heard at position p, or unmarks.
    void MarkingStep(qint64 p);
    // The first position after p at which MarkingStep may mark otherwise, or -1.
    qint64 nextMarkChange(qint64 p) const;

    // The design rectangle, in view pixels; drawn with the page pen.
    const PixelRect &editRect() const { return mEditRect; }
    // Moves the design rectangle: the old outline goes, the new one is drawn.
    void replaceEditRect(const PixelRect &r);
    // Draws the outline of the design rectangle (drawing it again removes it).
    void DrawEditRect();

    double fitScale() const { return mFitScale; }
    // The picture file name last given to LoadPageImage.
    const QString &pageImageFile() const { return mPageImageFile; }
    MarkStyle markKind() const { return mMarkKind; }
    const TVoiceObj *markedVoice() const { return mMarkedVoice; }
    bool pageDirty() const { return mPageDirty; }

    // The scale at which a w x h picture fits a screen, leaving the button bar free.
    static double fitScaleFor(int w, int h, QSize screen) { return lirena::fitScaleFor(w, h, screen); }

signals:
    // The picture file name given to LoadPageImage, for the File page.
    void pageImageFileChanged(const QString &name);
    // The size is about to change: playback pauses, the exercise holds.
    void rescaling();
    // A tinted picture was reloaded: the exercise that tinted it is over.
    void restored();

private:
    void forgetMarks();
    void forget(const TBaseObj *object);

    Chapter &mChapter;
    Controls c;
    Options mOptions;
    double mFitScale = 1.0;
    QString mPageImageFile;
    QImage mPointerBitmap;
    QImage mSavedPatch; // null when it holds nothing
    QPoint mMarkOrigin;
    MarkStyle mMarkKind = Frame;
    PixelRect mEditRect;
    const TVoiceObj *mMarkedVoice = nullptr;
    bool mPageDirty = false;
};

} // namespace lirena
