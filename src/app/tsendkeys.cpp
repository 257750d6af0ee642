#include "app/tsendkeys.h"

#include "app/singleinstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QThread>

namespace lirena {

namespace {

// The class every instance window of this program has.
const QString kWindowClass = QStringLiteral("TApplication");

} // namespace

bool TSendKeys::findWindow()
{
    if (WindowText.isEmpty() && UseWindowText)
        return false;
    const QDir folder(InstanceFolder.isEmpty() ? SingleInstance::defaultFolder() : InstanceFolder);
    const QStringList entries = folder.entryList({QStringLiteral("*.instance")}, QDir::System | QDir::Files,
                                                 QDir::Name);
    for (const QString &entry : entries) {
        const QString title = entry.chopped(int(QStringLiteral(".instance").size()));
        // Like the title read back from a window: at most one character more than the text sought.
        if (UseWindowText && !title.left(WindowText.size() + 1).contains(WindowText))
            continue;
        if (UseClassName && !kWindowClass.contains(WindowClassName))
            continue;
        WindowHandle = folder.filePath(entry);
        return true;
    }
    return false;
}

void TSendKeys::SendKeys(int waitMs)
{
    const QDeadlineTimer deadline(waitMs);
    while (true) {
        if (!WindowHandle.isEmpty() || findWindow()) {
            QLocalSocket socket;
            socket.connectToServer(WindowHandle);
            if (socket.waitForConnected(500)) {
                socket.write("restore\n");
                socket.waitForBytesWritten(500);
                socket.disconnectFromServer();
                return;
            }
            WindowHandle.clear();
        }
        if (deadline.hasExpired())
            return;
        QThread::msleep(50);
    }
}

} // namespace lirena
