#include "soundeditor/txaudioplayer.h"

#include "platform/programfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include <dlfcn.h>

namespace lirena {

namespace {

const int kExpectedMajor = 3;
const int kExpectedMinor = 8;
const int kNormalPriority = 3;

} // namespace

// The loaded library and its entry points, named as the library names them.
struct TXaudioPlayer::Library
{
    void *handle = nullptr;
    QString path;
    XA_NotificationTarget target = {nullptr, nullptr};

    decltype(&::player_new) player_new = nullptr;
    decltype(&::player_delete) player_delete = nullptr;
    decltype(&::player_set_priority) player_set_priority = nullptr;
    decltype(&::player_get_priority) player_get_priority = nullptr;
    decltype(&::xaudio_error_string) xaudio_error_string = nullptr;
    decltype(&::xaudio_get_version) xaudio_get_version = nullptr;
    decltype(&::control_message_send_N) control_message_send_N = nullptr;
    decltype(&::control_message_send_P) control_message_send_P = nullptr;
    decltype(&::control_message_send_S) control_message_send_S = nullptr;
    decltype(&::control_message_send_SS) control_message_send_SS = nullptr;
    decltype(&::control_message_send_SI) control_message_send_SI = nullptr;
    decltype(&::control_message_send_IPI) control_message_send_IPI = nullptr;
    decltype(&::control_message_send_I) control_message_send_I = nullptr;
    decltype(&::control_message_send_II) control_message_send_II = nullptr;
    decltype(&::control_message_send_III) control_message_send_III = nullptr;
    decltype(&::control_message_send_IIII) control_message_send_IIII = nullptr;
    decltype(&::control_win32_params_to_message) control_win32_params_to_message = nullptr;

    ~Library()
    {
        if (handle)
            dlclose(handle);
    }
};

TXaudioPlayer::TXaudioPlayer(QObject *owner) : QObject(owner), mXaudioPath(defaultXaudioPath())
{
}

TXaudioPlayer::~TXaudioPlayer()
{
    // The library's thread has ended when player_delete returns; messages it
    // posted before are dropped with this object.
    if (mPlayer) {
        auto *player = static_cast<XA_Player *>(mPlayer);
        mPlayer = nullptr;
        mLibrary->player_delete(player);
    }
    releaseLibrary();
}

QString TXaudioPlayer::defaultXaudioPath()
{
    return ProgramFiles::library(QCoreApplication::applicationDirPath(), QStringLiteral("libxaudio.so"));
}

int TXaudioPlayer::Priority() const
{
    if (mPlayer)
        return mLibrary->player_get_priority(static_cast<XA_Player *>(mPlayer));
    return mPriority;
}

void TXaudioPlayer::setPriority(int priority)
{
    mPriority = priority;
    if (mPlayer)
        mLibrary->player_set_priority(static_cast<XA_Player *>(mPlayer), priority);
}

void TXaudioPlayer::loadLibrary()
{
    auto library = std::make_unique<Library>();
    library->path = mXaudioPath;
    library->handle = dlopen(QFile::encodeName(mXaudioPath).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library->handle)
        throw EXaudioException(QStringLiteral("Cannot Load Xaudio DLL (") + mXaudioPath + QLatin1Char(')'));
    // Looked up in this order; the library is released (with library) at the first one missing.
    const auto resolve = [&library](const char *name, auto &entry) {
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(dlsym(library->handle, name));
        if (!entry)
            throw EXaudioException(QStringLiteral("Cannot Find Symbol ") + QLatin1String(name) +
                                   QStringLiteral(" in Xaudio DLL"));
    };
    resolve("player_new", library->player_new);
    resolve("player_delete", library->player_delete);
    resolve("player_set_priority", library->player_set_priority);
    resolve("player_get_priority", library->player_get_priority);
    resolve("xaudio_error_string", library->xaudio_error_string);
    resolve("xaudio_get_version", library->xaudio_get_version);
    resolve("control_message_send_N", library->control_message_send_N);
    resolve("control_message_send_P", library->control_message_send_P);
    resolve("control_message_send_S", library->control_message_send_S);
    resolve("control_message_send_SS", library->control_message_send_SS);
    resolve("control_message_send_SI", library->control_message_send_SI);
    resolve("control_message_send_IPI", library->control_message_send_IPI);
    resolve("control_message_send_I", library->control_message_send_I);
    resolve("control_message_send_II", library->control_message_send_II);
    resolve("control_message_send_III", library->control_message_send_III);
    resolve("control_message_send_IIII", library->control_message_send_IIII);
    resolve("control_win32_params_to_message", library->control_win32_params_to_message);
    mLibrary = std::move(library);
}

void TXaudioPlayer::releaseLibrary()
{
    mLibrary.reset();
}

bool TXaudioPlayer::Init()
{
    if (mPlayer)
        return true;
    // A library of another path (the path changed after a failure) is loaded anew.
    if (mLibrary && mLibrary->path != mXaudioPath)
        releaseLibrary();
    if (!mLibrary)
        loadLibrary();

    // A library that cannot serve is released, so the next command starts from the beginning.
    const unsigned long version = mLibrary->xaudio_get_version(XA_VERSION_ID_ASYNC_API);
    const int major = int((version >> 16) & 0xFF);
    const int minor = int((version >> 8) & 0xFF);
    if (major != kExpectedMajor || minor != kExpectedMinor) {
        releaseLibrary();
        throw EXaudioException(QStringLiteral("Xaudio DLL API Mismatch\rExpected %1.%2, Got %3.%4")
                                   .arg(kExpectedMajor)
                                   .arg(kExpectedMinor)
                                   .arg(major)
                                   .arg(minor));
    }

    mLibrary->target = {&TXaudioPlayer::post, this};
    XA_Player *player = nullptr;
    if (mLibrary->player_new(&player, &mLibrary->target) != XA_SUCCESS || !player) {
        releaseLibrary();
        throw EXaudioException(QStringLiteral("Cannot Start Xaudio Player"));
    }
    mPlayer = player;
    if (mPriority != kNormalPriority)
        mLibrary->player_set_priority(player, mPriority);
    return true;
}

QString TXaudioPlayer::ErrorString(int code)
{
    try {
        Init();
    } catch (const EXaudioException &) {
        return QString();
    }
    return QString::fromUtf8(mLibrary->xaudio_error_string(code));
}

int TXaudioPlayer::GetVersion()
{
    if (!mPlayer)
        return 0;
    return int(mLibrary->xaudio_get_version(XA_VERSION_ID_IMPLEMENTATION));
}

int TXaudioPlayer::Play()
{
    return sendCommand(XA_MSG_COMMAND_PLAY);
}

int TXaudioPlayer::InputOpen(const QString &name)
{
    return sendCommand(XA_MSG_COMMAND_INPUT_OPEN, name);
}

int TXaudioPlayer::InputClose()
{
    return sendCommand(XA_MSG_COMMAND_INPUT_CLOSE);
}

int TXaudioPlayer::OutputClose()
{
    return sendCommand(XA_MSG_COMMAND_OUTPUT_CLOSE);
}

int TXaudioPlayer::OutputReset()
{
    return sendCommand(XA_MSG_COMMAND_OUTPUT_RESET);
}

int TXaudioPlayer::SetOutputName(const QString &name)
{
    return sendCommand(XA_MSG_COMMAND_SET_OUTPUT_NAME, name);
}

int TXaudioPlayer::sendCommand(int code)
{
    Init();
    return mLibrary->control_message_send_N(static_cast<XA_Player *>(mPlayer), code);
}

int TXaudioPlayer::sendCommand(int code, int argument)
{
    Init();
    return mLibrary->control_message_send_I(static_cast<XA_Player *>(mPlayer), code, argument);
}

int TXaudioPlayer::sendCommand(int code, const QString &argument)
{
    Init();
    return mLibrary->control_message_send_S(static_cast<XA_Player *>(mPlayer), code,
                                            QFile::encodeName(argument).constData());
}

void TXaudioPlayer::post(void *context, unsigned int number, uintptr_t wparam, intptr_t lparam)
{
    auto *self = static_cast<TXaudioPlayer *>(context);
    // Called on the library's thread, which must not see an exception.
    try {
        QMetaObject::invokeMethod(
            self, [self, number, wparam, lparam] { self->dispatch(number, wparam, lparam); },
            Qt::QueuedConnection);
    } catch (...) {
    }
}

void TXaudioPlayer::dispatch(unsigned int number, uintptr_t wparam, intptr_t lparam)
{
    if (!mPlayer)
        return;
    XA_Message message;
    if (mLibrary->control_win32_params_to_message(static_cast<XA_Player *>(mPlayer), &message, number, wparam,
                                                  lparam) != XA_SUCCESS)
        return;
    // A handler may delete the component.
    const QPointer<TXaudioPlayer> alive(this);
    emit OnNotifyMessage(message);
    if (!alive)
        return;
    switch (message.code) {
    case XA_MSG_NOTIFY_NACK:
        emit OnNotifyNack(message.data.nack.command, message.data.nack.code);
        break;
    case XA_MSG_NOTIFY_PLAYER_STATE:
        emit OnNotifyPlayerState(message.data.state);
        break;
    case XA_MSG_NOTIFY_INPUT_STATE:
        emit OnNotifyInputState(message.data.state);
        break;
    case XA_MSG_NOTIFY_INPUT_POSITION:
        emit OnNotifyInputPosition(message.data.position.offset, message.data.position.range);
        break;
    case XA_MSG_NOTIFY_OUTPUT_STATE:
        emit OnNotifyOutputState(message.data.state);
        break;
    default:
        break;
    }
}

} // namespace lirena
