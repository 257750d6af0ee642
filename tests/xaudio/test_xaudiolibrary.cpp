// The library through its C entry points, where the component cannot see:
// its thread's end and the notifications around it.
#include "xaudio/xaudio.h"

#include "recordings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>

namespace {

struct Counter
{
    std::atomic<int> notifications = 0;
    std::atomic<int> positions = 0;
};

void count(void *context, unsigned int message, uintptr_t, intptr_t)
{
    auto *counter = static_cast<Counter *>(context);
    ++counter->notifications;
    if (message == XA_NOTIFY_BASE + XA_MSG_NOTIFY_INPUT_POSITION)
        ++counter->positions;
}

} // namespace

TEST(XaudioLibrary, DeletingThePlayerMidDecodeEndsItPromptlyWithNothingAfter)
{
    QTemporaryDir dir;
    const QByteArray mp3 = QFile::encodeName(dir.filePath("long.mp3"));
    const QByteArray raw = QFile::encodeName(dir.filePath("x.raw"));
    ASSERT_TRUE(lirena::testing::writeLongRecording(dir.filePath("long.mp3"), 150)); // 10 minutes

    Counter counter;
    const XA_NotificationTarget target = {&count, &counter};
    XA_Player *player = nullptr;
    ASSERT_EQ(player_new(&player, &target), XA_SUCCESS);
    EXPECT_EQ(control_message_send_S(player, XA_MSG_COMMAND_SET_OUTPUT_NAME, raw.constData()), XA_SUCCESS);
    EXPECT_EQ(control_message_send_S(player, XA_MSG_COMMAND_INPUT_OPEN, mp3.constData()), XA_SUCCESS);
    EXPECT_EQ(control_message_send_N(player, XA_MSG_COMMAND_PLAY), XA_SUCCESS);
    QElapsedTimer waited;
    waited.start();
    while (counter.positions < 3 && waited.elapsed() < 20000)
        QThread::msleep(1);
    ASSERT_GE(counter.positions, 3);

    QElapsedTimer deleting;
    deleting.start();
    EXPECT_EQ(player_delete(player), XA_SUCCESS);
    EXPECT_LT(deleting.elapsed(), 1000);
    const int after = counter.notifications;
    QThread::msleep(100);
    EXPECT_EQ(counter.notifications, after);
    // The part written is gone; no file of the output's name appeared.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"long.mp3"});
}

TEST(XaudioLibrary, BadArgumentsAreRefusedNotFollowed)
{
    EXPECT_EQ(xaudio_get_version(XA_VERSION_ID_ASYNC_API), 0x030800ul);
    XA_Player *player = nullptr;
    const XA_NotificationTarget noPost = {nullptr, nullptr};
    EXPECT_EQ(player_new(&player, &noPost), XA_ERROR_INVALID_PARAMETERS);
    ASSERT_EQ(player_new(&player, nullptr), XA_SUCCESS);
    EXPECT_EQ(control_message_send_S(player, XA_MSG_COMMAND_INPUT_OPEN, nullptr),
              XA_ERROR_INVALID_PARAMETERS);
    EXPECT_EQ(control_message_send_N(player, XA_MSG_COMMAND_INPUT_OPEN), XA_ERROR_INVALID_PARAMETERS);
    EXPECT_EQ(control_message_send_N(player, 1), XA_ERROR_INVALID_PARAMETERS);
    EXPECT_EQ(control_message_send_N(player, 73), XA_ERROR_INVALID_PARAMETERS);
    EXPECT_EQ(player_set_priority(player, 7), XA_ERROR_INVALID_PARAMETERS);
    XA_Message message;
    EXPECT_NE(control_win32_params_to_message(player, &message, 0x0100, 0, 0), XA_SUCCESS);
    ASSERT_EQ(control_win32_params_to_message(player, &message, XA_NOTIFY_BASE + XA_MSG_NOTIFY_NACK, 8, -6),
              XA_SUCCESS);
    const auto *bytes = reinterpret_cast<const unsigned char *>(&message);
    EXPECT_EQ(message.code, XA_MSG_NOTIFY_NACK);
    EXPECT_EQ(bytes[4], 8);                          // command at data offset 0
    EXPECT_EQ(qint16(bytes[6] | bytes[7] << 8), -6); // code at data offset 2
    EXPECT_EQ(player_delete(player), XA_SUCCESS);
}
