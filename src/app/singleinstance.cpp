#include "app/singleinstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

namespace lirena {

namespace {

const QByteArray kRestore = "restore\n";

} // namespace

QString SingleInstance::defaultFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}

QString SingleInstance::socketPath(const QString &folder, const QString &title)
{
    return QDir(folder).filePath(title + QStringLiteral(".instance"));
}

SingleInstance::SingleInstance(const QString &title, const QString &folder, QObject *parent)
    : QObject(parent), mTitle(title), mFolder(folder)
{
    connect(&mServer, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
}

SingleInstance::~SingleInstance()
{
    mServer.close();
}

bool SingleInstance::tryBecomeFirst()
{
    QDir().mkpath(mFolder);
    mLock = std::make_unique<QLockFile>(QDir(mFolder).filePath(mTitle + QStringLiteral(".lock")));
    // A lock left by a crashed instance is stale at once: its process is gone.
    mLock->setStaleLockTime(0);
    if (!mLock->tryLock(0)) {
        mLock.reset();
        return false;
    }
    const QString path = socketPath(mFolder, mTitle);
    QLocalServer::removeServer(path);
    mServer.setSocketOptions(QLocalServer::UserAccessOption);
    mServer.listen(path);
    return true;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = mServer.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine() == kRestore)
                    emit activationRequested();
            }
        });
    }
}

} // namespace lirena
