#pragma once

#include "xaudio/xaudio.h"

#include <QObject>
#include <QString>

#include <memory>
#include <stdexcept>

namespace lirena {

// Every failure of the decoder component: a library that cannot be loaded,
// lacks an entry point, has another version, or a player that cannot start.
class EXaudioException : public std::runtime_error
{
public:
    explicit EXaudioException(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// Drives the streaming decoder library, loaded at run time by name: sends it
// commands and turns the notifications it posts into signals on the window
// thread. The sound editor uses it to decode a recording into a raw file.
class TXaudioPlayer : public QObject
{
    Q_OBJECT
public:
    explicit TXaudioPlayer(QObject *owner = nullptr);
    ~TXaudioPlayer() override;

    // The library's file; by default "libxaudio.so" beside the program, or
    // in lib/lirena/ beside the program's bin/ folder when installed.
    QString XaudioPath() const { return mXaudioPath; }
    void setXaudioPath(const QString &path) { mXaudioPath = path; }
    static QString defaultXaudioPath();

    // The decoder thread's priority (3 = normal); passed on at once while running.
    int Priority() const;
    void setPriority(int priority);

    // Loads the library when needed and starts the player; true when it runs.
    // Throws EXaudioException with the reason otherwise.
    bool Init();
    bool running() const { return mPlayer != nullptr; }

    // The library's text for an error code (empty when it cannot start).
    QString ErrorString(int code);
    // The library's version word while running, else 0.
    int GetVersion();

    // Commands: each starts the player (Init) and returns the library's result.
    int Play();
    int InputOpen(const QString &name);
    int InputClose();
    int OutputClose();
    int OutputReset();
    int SetOutputName(const QString &name);
    // Any other of the library's commands (codes 2 to 72), without an
    // argument, with an integer or with a string.
    int sendCommand(int code);
    int sendCommand(int code, int argument);
    int sendCommand(int code, const QString &argument);

signals:
    // The notifications, on the window thread: every one as the library's
    // record first, then the five the sound editor handles by their own.
    void OnNotifyMessage(const XA_Message &message);
    void OnNotifyNack(int command, int code);
    void OnNotifyPlayerState(int state);
    void OnNotifyInputState(int state);
    void OnNotifyInputPosition(quint32 offset, quint32 range);
    void OnNotifyOutputState(int state);

private:
    struct Library;
    void loadLibrary();
    void releaseLibrary();
    // The library's notification target; called on the library's thread.
    static void post(void *context, unsigned int number, uintptr_t wparam, intptr_t lparam);
    void dispatch(unsigned int number, uintptr_t wparam, intptr_t lparam);

    std::unique_ptr<Library> mLibrary;
    void *mPlayer = nullptr;
    QString mXaudioPath;
    int mPriority = 3;
};

} // namespace lirena
