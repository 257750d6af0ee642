// The player's entry: one instance per user, a splash while the window is
// built, then the message loop.

#include "app/qtuserdialogs.h"
#include "app/singleinstance.h"
#include "app/tfrmsplash.h"
#include "app/tmainform.h"
#include "app/tsendkeys.h"
#include "platform/registry.h"
#include "platform/terminationsignal.h"

#include <QApplication>
#include <QLabel>
#include <QSessionManager>

using namespace lirena;

int main(int argc, char **argv)
{
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
