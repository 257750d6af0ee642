// The least a Qt program does to show a page picture full screen, as the
// reference for the player's start: Qt's own JPEG reader decodes the picture
// at the size the player shows it (fitted to the screen above a 40-pixel
// bar), and one full-screen label shows it where the player does, on the same
// background. Nothing else: no settings, no sound, no other control.
// Usage: minimalpage PICTURE

#include <QApplication>
#include <QImageReader>
#include <QLabel>
#include <QScreen>

#include <cmath>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    const QSize full = reader.size();
    const QSize screen = QApplication::primaryScreen()->geometry().size();
    const int usable = screen.height() - 40;
    double scale =
        full.height() < full.width() ? screen.width() * 0.96 / full.width() : usable * 0.96 / full.height();
    while (full.width() * scale > screen.width() || full.height() * scale > usable)
        scale *= 0.9;
    reader.setScaledSize(
        QSize(int(std::trunc(full.width() * scale)), int(std::trunc(full.height() * scale))));
    const QImage picture = reader.read();
    if (picture.isNull())
        return 1;

    QLabel label;
    label.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    label.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label.setContentsMargins(0, std::max(0, (usable - picture.height()) / 2), 0, 0);
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, QColor(169, 39, 1));
    label.setPalette(palette);
    label.setAutoFillBackground(true);
    label.setPixmap(QPixmap::fromImage(picture));
    label.setGeometry(QApplication::primaryScreen()->geometry());
    label.showFullScreen();
    return app.exec();
}
