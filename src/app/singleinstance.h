#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

namespace lirena {

// Keeps the program to one running instance per user. The first instance holds
// a lock file and listens on a local socket named after the application title;
// a later one finds the lock taken and asks the first, through TSendKeys, to
// come forward.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // The folder for the lock and the socket: the user's runtime folder.
    static QString defaultFolder();

    explicit SingleInstance(const QString &title, const QString &folder = defaultFolder(),
                            QObject *parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock and starts listening. False when another instance holds it.
    bool tryBecomeFirst();

    // The socket path an instance with this title listens on.
    static QString socketPath(const QString &folder, const QString &title);

signals:
    // Another start asked this instance to bring its window forward.
    void activationRequested();

private:
    void acceptConnections();

    QString mTitle;
    QString mFolder;
    std::unique_ptr<QLockFile> mLock;
    QLocalServer mServer;
};

} // namespace lirena
