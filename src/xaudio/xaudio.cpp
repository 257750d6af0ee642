// libxaudio: decodes an MP3 to a raw file of 16-bit stereo 22,050 Hz PCM on
// a thread of its own, driven by commands and answering with notifications.
// Plain C entry points over libmpg123; no Qt here.

#include "xaudio/xaudio.h"

#include <mpg123.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <cstring>
#include <deque>
#include <exception>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

static_assert(offsetof(XA_Message, data) == 4);
static_assert(offsetof(XA_Message, data.nack.code) == 6);
static_assert(offsetof(XA_Message, data.position.range) == 8);

namespace xaudio {

constexpr long kRate = 22050;
constexpr int kFrameBytes = 4; // two 16-bit channels
constexpr size_t kChunkBytes = 64 * 1024;
// Nice values of the decoding thread for priorities 0 to 6.
constexpr int kNice[] = {19, 10, 5, 0, -5, -10, -15};

// The MP3 being decoded, at 22,050 Hz stereo whatever the file's own rate
// and channels. The timeline is the media player's: the same gapless rule
// (encoder delay and padding left out), the same full scan before the first
// frame, so a sound lies at the same millisecond in both.
class Input
{
public:
    ~Input() { close(); }

    int open(const std::string &name)
    {
        close();
        // Not blocking: a FIFO without a writer must not hold the thread.
        mFd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (mFd < 0)
            return XA_ERROR_INPUT_OPEN_FAILED;
        struct stat st = {};
        if (fstat(mFd, &st) != 0 || !S_ISREG(st.st_mode))
            return fail(XA_ERROR_INPUT_OPEN_FAILED);
        fcntl(mFd, F_SETFL, fcntl(mFd, F_GETFL) & ~O_NONBLOCK);
        mDevice = st.st_dev;
        mInode = st.st_ino;
        if (st.st_size == 0)
            return fail(XA_ERROR_INPUT_INVALID);

        int result = MPG123_OK;
        mHandle = mpg123_new(nullptr, &result);
        if (!mHandle)
            return fail(XA_ERROR_OUT_OF_MEMORY);
        // The media player's flags, plus libmpg123's own rate conversion
        // (2:1 from 44.1 kHz, its N-to-M decoder from the other rates).
        mpg123_param(mHandle, MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET | MPG123_AUTO_RESAMPLE, 0);
        mpg123_param(mHandle, MPG123_RESYNC_LIMIT, 2048, 0);
        mpg123_format_none(mHandle);
        if (mpg123_format(mHandle, kRate, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK)
            return fail(XA_ERROR_INPUT_INVALID);
        if (mpg123_open_fd(mHandle, mFd) != MPG123_OK || mpg123_scan(mHandle) != MPG123_OK)
            return fail(XA_ERROR_INPUT_INVALID);
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_getformat(mHandle, &rate, &channels, &encoding) != MPG123_OK || rate != kRate ||
            channels != 2 || encoding != MPG123_ENC_SIGNED_16)
            return fail(XA_ERROR_INPUT_INVALID);
        mFrames = mpg123_length(mHandle);
        if (mFrames <= 0 || !rewind())
            return fail(XA_ERROR_INPUT_INVALID);
        return XA_SUCCESS;
    }

    void close()
    {
        if (mHandle) {
            mpg123_close(mHandle);
            mpg123_delete(mHandle);
            mHandle = nullptr;
        }
        if (mFd >= 0)
            ::close(mFd);
        mFd = -1;
        mFrames = 0;
    }

    bool isOpen() const { return mHandle != nullptr; }
    // Whether name is this input's file.
    bool isFile(const std::string &name) const
    {
        struct stat st = {};
        return stat(name.c_str(), &st) == 0 && st.st_dev == mDevice && st.st_ino == mInode;
    }
    bool rewind() { return mpg123_seek(mHandle, 0, SEEK_SET) == 0; }
    // The stream's exact length in frames.
    off_t frames() const { return mFrames; }

    // Decodes up to size bytes; returns the bytes decoded and sets end at the
    // stream's end. A decoding error that yields nothing ends the stream, as
    // it ends the media player's.
    size_t read(unsigned char *out, size_t size, bool *end)
    {
        size_t got = 0;
        const int result = mpg123_read(mHandle, out, size, &got);
        *end = result == MPG123_DONE || (result != MPG123_OK && result != MPG123_NEW_FORMAT && got == 0);
        return got;
    }

private:
    int fail(int error)
    {
        close();
        return error;
    }

    int mFd = -1;
    mpg123_handle *mHandle = nullptr;
    off_t mFrames = 0;
    dev_t mDevice = 0;
    ino_t mInode = 0;
};

// The output file. It is written under a temporary name beside its own and
// renamed over it only when closed complete, so a reader (the waveform view
// may hold the old file open) never takes a part of the sound for the whole.
class Output
{
public:
    ~Output() { discard(); }

    int create(const std::string &name)
    {
        discard();
        if (name.empty())
            return XA_ERROR_NO_OUTPUT_NAME;
        static std::atomic<unsigned> serial = 0;
        for (int attempt = 0; attempt < 100; ++attempt) {
            mTemporary = name + ".part-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
            mFd = ::open(mTemporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (mFd >= 0) {
                mName = name;
                mComplete = false;
                return XA_SUCCESS;
            }
            if (errno != EEXIST)
                break;
        }
        mTemporary.clear();
        return XA_ERROR_OUTPUT_OPEN_FAILED;
    }

    bool isOpen() const { return mFd >= 0; }
    bool complete() const { return mComplete; }
    void setComplete() { mComplete = true; }

    bool write(const unsigned char *data, size_t size)
    {
        while (size > 0) {
            const ssize_t written = ::write(mFd, data, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            data += written;
            size -= size_t(written);
        }
        return true;
    }

    // Closes the file and gives it its name.
    int commit()
    {
        const int closed = ::close(mFd);
        mFd = -1;
        if (closed != 0 || ::rename(mTemporary.c_str(), mName.c_str()) != 0) {
            ::unlink(mTemporary.c_str());
            mTemporary.clear();
            return XA_ERROR_OUTPUT_CLOSE_FAILED;
        }
        mTemporary.clear();
        return XA_SUCCESS;
    }

    // Drops what was written; the file of that name stays as it was.
    void discard()
    {
        if (mFd < 0)
            return;
        ::close(mFd);
        ::unlink(mTemporary.c_str());
        mFd = -1;
        mTemporary.clear();
    }

private:
    int mFd = -1;
    std::string mName;
    std::string mTemporary;
    bool mComplete = false;
};

// The result code for an exception caught at the library's edge.
int failureOf(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc &) {
        return XA_ERROR_OUT_OF_MEMORY;
    } catch (const std::system_error &) {
        return XA_ERROR_THREAD;
    } catch (...) {
        return XA_FAILURE;
    }
}

struct Command
{
    int code = 0;
    std::string text;
};

} // namespace xaudio

using namespace xaudio;

struct XA_Player
{
    XA_NotificationTarget target = {nullptr, nullptr};
    std::thread thread;
    pid_t threadId = 0;
    int priority = XA_PRIORITY_NORMAL;

    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Command> queue; // under mutex
    bool quit = false;         // under mutex
    bool started = false;      // under mutex

    // The decoding thread's own.
    Input input;
    Output output;
    std::string outputName;
    bool playing = false;
    off_t decodedBytes = 0;
    uint32_t position = 0;
    std::vector<unsigned char> buffer;

    void run();
    void handle(const Command &command);
    void play();
    void decodeChunk();
    void stop();
    void notify(int code, uintptr_t wparam, intptr_t lparam = 0) const;
    void nack(int command, int error) const { notify(XA_MSG_NOTIFY_NACK, uintptr_t(command), error); }
};

void XA_Player::notify(int code, uintptr_t wparam, intptr_t lparam) const
{
    if (target.post)
        target.post(target.context, XA_NOTIFY_BASE + unsigned(code), wparam, lparam);
}

void XA_Player::run()
{
    {
        std::lock_guard lock(mutex);
        threadId = pid_t(syscall(SYS_gettid));
        started = true;
    }
    wake.notify_all();
    while (true) {
        Command command;
        bool haveCommand = false;
        {
            std::unique_lock lock(mutex);
            if (!playing)
                wake.wait(lock, [this] { return quit || !queue.empty(); });
            if (quit)
                break;
            if (!queue.empty()) {
                command = std::move(queue.front());
                queue.pop_front();
                haveCommand = true;
            }
        }
        // Commands come between chunks, so a close or a reset is prompt.
        try {
            if (haveCommand)
                handle(command);
            else
                decodeChunk();
        } catch (...) {
            // An exception must not end the program that loaded us.
            stop();
            output.discard();
            nack(haveCommand ? command.code : XA_MSG_COMMAND_PLAY, failureOf(std::current_exception()));
        }
    }
    input.close();
    output.discard();
}

void XA_Player::handle(const Command &command)
{
    switch (command.code) {
    case XA_MSG_COMMAND_INPUT_OPEN: {
        if (input.isOpen()) {
            stop();
            input.close();
            notify(XA_MSG_NOTIFY_INPUT_STATE, XA_INPUT_STATE_CLOSED);
        }
        const int result = input.open(command.text);
        if (result != XA_SUCCESS)
            nack(command.code, result);
        else
            notify(XA_MSG_NOTIFY_INPUT_STATE, XA_INPUT_STATE_OPEN);
        break;
    }
    case XA_MSG_COMMAND_INPUT_CLOSE:
        if (!input.isOpen()) {
            nack(command.code, XA_ERROR_NO_INPUT);
            break;
        }
        stop();
        input.close();
        notify(XA_MSG_NOTIFY_INPUT_STATE, XA_INPUT_STATE_CLOSED);
        break;
    case XA_MSG_COMMAND_PLAY:
        play();
        break;
    case XA_MSG_COMMAND_SET_OUTPUT_NAME:
        outputName = command.text;
        break;
    case XA_MSG_COMMAND_OUTPUT_CLOSE: {
        if (!output.isOpen()) {
            nack(command.code, XA_ERROR_NO_OUTPUT);
            break;
        }
        stop();
        // Only the whole of a stream gets the name: a reader would take a
        // part for a recording that ends early.
        if (!output.complete()) {
            output.discard();
            nack(command.code, XA_ERROR_OUTPUT_INCOMPLETE);
            break;
        }
        const int result = output.commit();
        if (result != XA_SUCCESS)
            nack(command.code, result);
        else
            notify(XA_MSG_NOTIFY_OUTPUT_STATE, XA_OUTPUT_STATE_CLOSED);
        break;
    }
    case XA_MSG_COMMAND_OUTPUT_RESET:
        stop();
        output.discard();
        break;
    default:
        nack(command.code, XA_ERROR_NOT_SUPPORTED);
        break;
    }
}

// Decodes the input from its start into a new output file; a stream played
// to its end (or stopped) starts again from the beginning.
void XA_Player::play()
{
    if (playing)
        return;
    if (!input.isOpen()) {
        nack(XA_MSG_COMMAND_PLAY, XA_ERROR_NO_INPUT);
        return;
    }
    if (!input.rewind()) {
        nack(XA_MSG_COMMAND_PLAY, XA_ERROR_INPUT_INVALID);
        return;
    }
    // The finished output would take the recording's place.
    if (input.isFile(outputName)) {
        nack(XA_MSG_COMMAND_PLAY, XA_ERROR_OUTPUT_IS_INPUT);
        return;
    }
    const int result = output.create(outputName);
    if (result != XA_SUCCESS) {
        nack(XA_MSG_COMMAND_PLAY, result);
        return;
    }
    buffer.resize(kChunkBytes);
    decodedBytes = 0;
    position = 0;
    playing = true;
    notify(XA_MSG_NOTIFY_OUTPUT_STATE, XA_OUTPUT_STATE_OPEN);
    notify(XA_MSG_NOTIFY_PLAYER_STATE, XA_PLAYER_STATE_PLAYING);
    notify(XA_MSG_NOTIFY_INPUT_POSITION, 0, XA_INPUT_POSITION_RANGE);
}

void XA_Player::decodeChunk()
{
    bool end = false;
    const size_t got = input.read(buffer.data(), buffer.size(), &end);
    if (got > 0 && !output.write(buffer.data(), got)) {
        stop();
        output.discard();
        nack(XA_MSG_COMMAND_PLAY, XA_ERROR_OUTPUT_WRITE_FAILED);
        return;
    }
    decodedBytes += off_t(got);
    const off_t total = input.frames();
    const off_t decoded = std::min<off_t>(decodedBytes / kFrameBytes, total);
    const auto now =
        end ? uint32_t(XA_INPUT_POSITION_RANGE) : uint32_t(decoded * XA_INPUT_POSITION_RANGE / total);
    if (now != position) {
        position = now;
        notify(XA_MSG_NOTIFY_INPUT_POSITION, position, XA_INPUT_POSITION_RANGE);
    }
    if (end) {
        playing = false;
        output.setComplete();
        notify(XA_MSG_NOTIFY_PLAYER_STATE, XA_PLAYER_STATE_EOS);
    }
}

void XA_Player::stop()
{
    if (!playing)
        return;
    playing = false;
    notify(XA_MSG_NOTIFY_PLAYER_STATE, XA_PLAYER_STATE_STOPPED);
}

namespace {

// Queues a command for the decoding thread. Opening an input and naming the
// output need their string.
int send(XA_Player *player, int code, const char *text = nullptr)
{
    if (!player || code < XA_MSG_COMMAND_FIRST || code > XA_MSG_COMMAND_LAST)
        return XA_ERROR_INVALID_PARAMETERS;
    if ((code == XA_MSG_COMMAND_INPUT_OPEN || code == XA_MSG_COMMAND_SET_OUTPUT_NAME) && !text)
        return XA_ERROR_INVALID_PARAMETERS;
    try {
        Command command{code, text ? std::string(text) : std::string()};
        {
            std::lock_guard lock(player->mutex);
            player->queue.push_back(std::move(command));
        }
        player->wake.notify_all();
        return XA_SUCCESS;
    } catch (...) {
        return failureOf(std::current_exception());
    }
}

} // namespace

extern "C" {

XA_EXPORT int player_new(XA_Player **player, const XA_NotificationTarget *target)
{
    if (!player)
        return XA_ERROR_INVALID_PARAMETERS;
    *player = nullptr;
    if (target && !target->post)
        return XA_ERROR_INVALID_PARAMETERS;
    try {
        static std::once_flag initialised;
        std::call_once(initialised, [] { mpg123_init(); });
        auto made = std::make_unique<XA_Player>();
        if (target)
            made->target = *target;
        made->thread = std::thread([p = made.get()] { p->run(); });
        std::unique_lock lock(made->mutex);
        made->wake.wait(lock, [&made] { return made->started; });
        lock.unlock();
        *player = made.release();
        return XA_SUCCESS;
    } catch (...) {
        return failureOf(std::current_exception());
    }
}

XA_EXPORT int player_delete(XA_Player *player)
{
    if (!player)
        return XA_ERROR_INVALID_PARAMETERS;
    // From a notification it would wait for itself.
    if (std::this_thread::get_id() == player->thread.get_id())
        return XA_FAILURE;
    {
        std::lock_guard lock(player->mutex);
        player->quit = true;
    }
    player->wake.notify_all();
    player->thread.join();
    delete player;
    return XA_SUCCESS;
}

XA_EXPORT int player_set_priority(XA_Player *player, int priority)
{
    if (!player || priority < XA_PRIORITY_LOWEST || priority > XA_PRIORITY_HIGHEST)
        return XA_ERROR_INVALID_PARAMETERS;
    std::lock_guard lock(player->mutex);
    if (setpriority(PRIO_PROCESS, id_t(player->threadId), kNice[priority]) != 0)
        return errno == EACCES || errno == EPERM ? XA_ERROR_PERMISSION : XA_FAILURE;
    player->priority = priority;
    return XA_SUCCESS;
}

XA_EXPORT int player_get_priority(XA_Player *player)
{
    if (!player)
        return XA_ERROR_INVALID_PARAMETERS;
    std::lock_guard lock(player->mutex);
    return player->priority;
}

XA_EXPORT const char *xaudio_error_string(int code)
{
    switch (code) {
    case XA_SUCCESS:
        return "success";
    case XA_FAILURE:
        return "failure";
    case XA_ERROR_OUT_OF_MEMORY:
        return "out of memory";
    case XA_ERROR_INVALID_PARAMETERS:
        return "invalid parameters";
    case XA_ERROR_NOT_SUPPORTED:
        return "not supported";
    case XA_ERROR_NO_INPUT:
        return "no input open";
    case XA_ERROR_INPUT_OPEN_FAILED:
        return "the input file cannot be opened";
    case XA_ERROR_INPUT_INVALID:
        return "the input holds no decodable MPEG audio";
    case XA_ERROR_NO_OUTPUT_NAME:
        return "no output name set";
    case XA_ERROR_OUTPUT_OPEN_FAILED:
        return "the output file cannot be created";
    case XA_ERROR_OUTPUT_WRITE_FAILED:
        return "the output file cannot be written";
    case XA_ERROR_OUTPUT_INCOMPLETE:
        return "the stream was not decoded to its end; the output is discarded";
    case XA_ERROR_OUTPUT_CLOSE_FAILED:
        return "the output file cannot be completed";
    case XA_ERROR_NO_OUTPUT:
        return "no output open";
    case XA_ERROR_THREAD:
        return "the decoding thread cannot start";
    case XA_ERROR_PERMISSION:
        return "not permitted";
    case XA_ERROR_OUTPUT_IS_INPUT:
        return "the output would replace the input";
    default:
        return "unknown error";
    }
}

XA_EXPORT unsigned long xaudio_get_version(int which)
{
    if (which < XA_VERSION_ID_IMPLEMENTATION || which > XA_VERSION_ID_ASYNC_API)
        return 0;
    return (unsigned long)(XA_API_MAJOR_VERSION << 16 | XA_API_MINOR_VERSION << 8 | XA_API_REVISION);
}

XA_EXPORT int control_message_send_N(XA_Player *player, int code)
{
    return send(player, code);
}

XA_EXPORT int control_message_send_P(XA_Player *player, int code, const void *)
{
    return send(player, code);
}

XA_EXPORT int control_message_send_S(XA_Player *player, int code, const char *s)
{
    return s ? send(player, code, s) : XA_ERROR_INVALID_PARAMETERS;
}

XA_EXPORT int control_message_send_SS(XA_Player *player, int code, const char *s1, const char *s2)
{
    return s1 && s2 ? send(player, code, s1) : XA_ERROR_INVALID_PARAMETERS;
}

XA_EXPORT int control_message_send_SI(XA_Player *player, int code, const char *s, int)
{
    return s ? send(player, code, s) : XA_ERROR_INVALID_PARAMETERS;
}

XA_EXPORT int control_message_send_IPI(XA_Player *player, int code, int, const void *, int)
{
    return send(player, code);
}

XA_EXPORT int control_message_send_I(XA_Player *player, int code, int)
{
    return send(player, code);
}

XA_EXPORT int control_message_send_II(XA_Player *player, int code, int, int)
{
    return send(player, code);
}

XA_EXPORT int control_message_send_III(XA_Player *player, int code, int, int, int)
{
    return send(player, code);
}

XA_EXPORT int control_message_send_IIII(XA_Player *player, int code, int, int, int, int)
{
    return send(player, code);
}

XA_EXPORT int control_win32_params_to_message(XA_Player *player, XA_Message *message, unsigned int number,
                                              uintptr_t wparam, intptr_t lparam)
{
    if (!player || !message || number < XA_NOTIFY_BASE + XA_MSG_NOTIFY_FIRST ||
        number > XA_NOTIFY_BASE + XA_MSG_NOTIFY_LAST)
        return XA_ERROR_INVALID_PARAMETERS;
    std::memset(message, 0, sizeof *message);
    message->code = int32_t(number - XA_NOTIFY_BASE);
    switch (message->code) {
    case XA_MSG_NOTIFY_NACK:
        message->data.nack.command = uint8_t(wparam);
        message->data.nack.code = int16_t(lparam);
        break;
    case XA_MSG_NOTIFY_PLAYER_STATE:
    case XA_MSG_NOTIFY_INPUT_STATE:
    case XA_MSG_NOTIFY_OUTPUT_STATE:
        message->data.state = uint8_t(wparam);
        break;
    case XA_MSG_NOTIFY_INPUT_POSITION:
        message->data.position.offset = uint32_t(wparam);
        message->data.position.range = uint32_t(lparam);
        break;
    default:
        break;
    }
    return XA_SUCCESS;
}

} // extern "C"
