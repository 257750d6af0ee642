// The player's entry: one instance per user, a splash while the window is
// built, then the message loop.

#include "app/qtuserdialogs.h"
#include "app/singleinstance.h"
#include "app/tfrmsplash.h"
#include "app/tmainform.h"
#include "app/tsendkeys.h"
#include "platform/registry.h"
#include "platform/terminationsignal.h"
#include "player/pagepicturecache.h"

#include <QApplication>
#include <QLabel>
#include <QSessionManager>

#include <fontconfig/fontconfig.h>

#include <thread>

using namespace lirena;

int main(int argc, char **argv)
{
    // The font configuration is read on a thread of its own while the
    // application connects to the display: the splash and the window write
    // text at once and would otherwise wait for it. Fontconfig keeps it for
    // the whole process; a start that needs it sooner reads it itself.
    std::jthread fontConfiguration([] { FcInit(); });
    QApplication app(argc, argv);
    // From here on, an end asked by the system closes the window the normal way.
    TerminationSignal termination;
    const QString title = QStringLiteral("Lirena");

    SingleInstance instance(title);
    if (!instance.tryBecomeFirst()) {
        TSendKeys sendKeys;
        sendKeys.WindowText = title;
        sendKeys.UseWindowText = true;
        sendKeys.SendKeys();
        return 0;
    }

    // The page the last run ended on is decoded while the splash shows and the window is built.
    PagePictureCache pages;
    TMainForm::makeFirstPageAhead(pages, QCoreApplication::applicationDirPath());

    auto splash = std::make_unique<TfrmSplash>();
    splash->showCentred();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::setApplicationName(title);
    QApplication::setApplicationDisplayName(title);

    QtUserDialogs dialogs;
    TMainForm::Environment environment;
    environment.programFolder = QCoreApplication::applicationDirPath();
    environment.registryFile = Registry::defaultPath();
    environment.dialogs = &dialogs;
    environment.pages = &pages;
    TMainForm form(environment);
    dialogs.setParentWindow(&form);
    form.setLogo(splash->SplashImage());
    splash.reset();
    QApplication::restoreOverrideCursor();

    if (form.terminationRequested())
        return 0;
    QObject::connect(&termination, &TerminationSignal::requested, &form, &TMainForm::closeUnattended);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, [&form](QSessionManager &) {
        form.closeUnattended();
    });

    QObject::connect(&instance, &SingleInstance::activationRequested, &form, &TMainForm::bringToFront);
    form.showFullScreen();
    form.activateWindow();
    return app.exec();
}
