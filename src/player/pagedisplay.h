#pragma once

#include <QObject>
#include <QSize>
#include <QString>

#include <functional>

class QScrollArea;

namespace lirena {

class PageView;
class RotatedLabel;

// The page picture: loading and scaling it for the screen and placing it in
// the page area. Owned by the main window, which gives it the controls it
// works on.
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
        std::function<QString(const QString &)> resolve; // a name inside the data folder
    };

    explicit PageDisplay(Controls controls, QObject *parent = nullptr);

    // Shows the picture file (relative to the data folder) at the current scale.
    // A missing file leaves the page as it was. Returns false with error set when
    // the file exists but cannot be decoded.
    bool LoadPageImage(const QString &name, QString *error = nullptr);
    // The display scale: FitScale in fit mode, else the chosen size.
    double ImageScale() const;
    // Places the picture and the chapter title in the page area.
    void CenterPage();

    double FitScale = 1.0;
    QString PageImageFile;

    // The scale at which a w x h picture fits a screen, leaving the button bar free.
    static double fitScaleFor(int w, int h, QSize screen);

signals:
    // The picture file name given to LoadPageImage, for the File page.
    void pageImageFileChanged(const QString &name);

private:
    Controls c;
};

} // namespace lirena
