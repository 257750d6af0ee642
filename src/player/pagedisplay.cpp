#include "player/pagedisplay.h"

#include "player/pageview.h"
#include "player/rotatedlabel.h"

#include <QApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QScrollArea>

#include <cmath>

namespace lirena {

PageDisplay::PageDisplay(Controls controls, QObject *parent) : QObject(parent), c(std::move(controls)) {}

double PageDisplay::fitScaleFor(int w, int h, QSize screen)
{
    const int usableHeight = screen.height() - 40;
    double scale = h < w ? screen.width() * 0.96 / w : usableHeight * 0.96 / h;
    while (w * scale > screen.width() || h * scale > usableHeight)
        scale *= 0.9;
    return scale;
}

double PageDisplay::ImageScale() const
{
    if (c.sizeType() == 0)
        return FitScale;
    switch (c.sizeIndex()) {
    case 1: return 0.75;
    case 2: return 0.5;
    case 3: return 1.2;
    case 4: return 1.5;
    default: return 1.0;
    }
}

bool PageDisplay::LoadPageImage(const QString &name, QString *error)
{
    PageImageFile = name;
    emit pageImageFileChanged(name);
    const QString path = c.resolve(name);
    if (QFileInfo(path).isFile()) {
        QImageReader reader(path);
        reader.setAutoTransform(false);
        QImage decoded = reader.read();
        if (decoded.isNull()) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(name, reader.errorString());
            return false;
        }
        const int w = decoded.width();
        const int h = decoded.height();
        FitScale = fitScaleFor(w, h, c.screenSize());
        decoded = decoded.convertToFormat(QImage::Format_RGB32);
        if (c.sizeType() == 1 && c.sizeIndex() == 0) {
            c.img->setImage(std::move(decoded));
        } else {
            const double scale = ImageScale();
            const QSize size(int(std::trunc(scale * w)), int(std::trunc(scale * h)));
            c.img->setImage(decoded.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        }
    }
    CenterPage();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return true;
}

void PageDisplay::CenterPage()
{
    const QSize screen = c.screenSize();
    const int panel = c.controlPanelHeight();
    const QSize picture = c.img->image().size();
    const int left = (screen.width() - picture.width()) / 2;
    const int top = std::max(0, (screen.height() - picture.height() - panel) / 2);
    c.img->move(left, top);
    c.LblChapterName->move(3, (screen.height() - c.LblChapterName->height() - panel) / 2);
    if (QWidget *surface = c.SBox->widget()) {
        // The scrollable area reaches to the picture's right and bottom edges.
        surface->setMinimumSize(std::max(0, left + picture.width()), top + picture.height());
    }
}

} // namespace lirena
