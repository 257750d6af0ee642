#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace lirena {

// What the size of a shown page picture depends on besides its file: the
// screen and the learner's size options.
struct PageSizing
{
    QSize screen;                  // logical pixels of the screen the page is shown on
    bool fitScreen = false;        // fit the screen; else the chosen size
    int sizeIndex = 0;             // "%100", "%75", "%50", "%120", "%150"; -1 none
    double devicePixelRatio = 1.0; // device pixels per logical pixel on that screen

    bool operator==(const PageSizing &) const = default;
};

// A page picture made ready to show, or why it could not be made.
struct PagePicture
{
    QImage image;          // null when it could not be made; its devicePixelRatio gives its view size
    double fitScale = 1.0; // the scale at which the picture fits the screen
    QString error;         // the decoder's or the file's words when image is null
};

// The scale at which a w x h picture fits a screen, leaving the button bar free.
double fitScaleFor(int w, int h, QSize screen);
// The scale of a chosen size: 1.0, 0.75, 0.5, 1.2, 1.5; 1.0 for none.
double chosenScale(int sizeIndex);

// The size a picture of full size is shown at for the sizing: at its fit
// scale or at the chosen size, truncated; at "%100" its own size.
QSize shownSize(QSize full, const PageSizing &sizing);

// How many pixels of the picture each view pixel of a picture shown at
// shown gets: the screen's device pixel ratio when the file has that many
// to give, else as many as it has, and never fewer than one (enlarging a
// picture beyond its file adds memory, not detail; the screen enlarges it).
double pictureRatio(QSize full, QSize shown, double devicePixelRatio);
// The size in pixels of the picture made for a file of size full: its
// shown size times pictureRatio, rounded. At ratio 1 the shown size itself.
QSize pictureSize(QSize full, const PageSizing &sizing);

// The width and height a JPEG file's header gives, without decoding it; an
// invalid size when the file is no JPEG or its header is cut short.
QSize jpegSize(const QString &path);

// Decodes the JPEG file at path and scales it as the page shows it: at its
// fit scale or at the chosen size, bilinear, sizes truncated; at "%100" the
// decoded picture as it is. On a screen with a device pixel ratio it is made
// at pictureSize and carries its pictureRatio, so that it still takes its
// shown size in view pixels. Pure and safe to call from any thread; the page
// display and the pages made ahead both come from here.
PagePicture makePagePicture(const QString &path, const PageSizing &sizing);

} // namespace lirena
