#include "app/tfrmsplash.h"

#include "app/glyphs.h"

#include <QApplication>
#include <QScreen>

namespace lirena {

TfrmSplash::TfrmSplash(QWidget *parent)
    : QLabel(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), mPicture(logoPicture())
{
    setPixmap(mPicture);
    resize(mPicture.deviceIndependentSize().toSize());
}

void TfrmSplash::showCentred()
{
    const QRect screen = QApplication::primaryScreen()->geometry();
    move(screen.center() - rect().center());
    show();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace lirena
