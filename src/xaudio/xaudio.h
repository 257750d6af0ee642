/* The decoder library's interface: a plain C ABI, shared by libxaudio.so and
 * the component that loads it by name (TXaudioPlayer). Commands go in through
 * control_message_send_*; the library answers asynchronously, from a thread
 * of its own, by posting notifications to the target given to player_new. */
#ifndef LIRENA_XAUDIO_H
#define LIRENA_XAUDIO_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(XA_BUILDING_LIBRARY)
#define XA_EXPORT __attribute__((visibility("default")))
#else
#define XA_EXPORT
#endif

/* The interface version this header describes; xaudio_get_version gives it as
 * (major << 16) | (minor << 8) | revision. */
#define XA_API_MAJOR_VERSION 3
#define XA_API_MINOR_VERSION 8
#define XA_API_REVISION 0
/* What xaudio_get_version is asked for. */
#define XA_VERSION_ID_IMPLEMENTATION 0
#define XA_VERSION_ID_SYNC_API 1
#define XA_VERSION_ID_ASYNC_API 2

/* Results: 0 is success, failures are negative. */
#define XA_SUCCESS 0
#define XA_FAILURE (-1)
#define XA_ERROR_OUT_OF_MEMORY (-2)
#define XA_ERROR_INVALID_PARAMETERS (-3)
#define XA_ERROR_NOT_SUPPORTED (-4)
#define XA_ERROR_NO_INPUT (-5)
#define XA_ERROR_INPUT_OPEN_FAILED (-6)
#define XA_ERROR_INPUT_INVALID (-7)
#define XA_ERROR_NO_OUTPUT_NAME (-8)
#define XA_ERROR_OUTPUT_OPEN_FAILED (-9)
#define XA_ERROR_OUTPUT_WRITE_FAILED (-10)
#define XA_ERROR_OUTPUT_INCOMPLETE (-11)
#define XA_ERROR_OUTPUT_CLOSE_FAILED (-12)
#define XA_ERROR_NO_OUTPUT (-13)
#define XA_ERROR_THREAD (-14)
#define XA_ERROR_PERMISSION (-15)
#define XA_ERROR_OUTPUT_IS_INPUT (-16)

/* Commands (the code given to control_message_send_*). Every code from
 * XA_MSG_COMMAND_FIRST to XA_MSG_COMMAND_LAST is accepted; those this library
 * does not carry out are answered with a Nack (XA_ERROR_NOT_SUPPORTED). */
#define XA_MSG_COMMAND_FIRST 2
#define XA_MSG_COMMAND_PLAY 4
#define XA_MSG_COMMAND_INPUT_OPEN 8
#define XA_MSG_COMMAND_INPUT_CLOSE 9
#define XA_MSG_COMMAND_OUTPUT_CLOSE 18
#define XA_MSG_COMMAND_OUTPUT_RESET 22
#define XA_MSG_COMMAND_SET_OUTPUT_NAME 49
#define XA_MSG_COMMAND_LAST 72

/* Notifications (XA_Message.code). */
#define XA_MSG_NOTIFY_FIRST 73
#define XA_MSG_NOTIFY_NACK 75
#define XA_MSG_NOTIFY_PLAYER_STATE 78
#define XA_MSG_NOTIFY_INPUT_STATE 82
#define XA_MSG_NOTIFY_INPUT_POSITION 85
#define XA_MSG_NOTIFY_OUTPUT_STATE 93
#define XA_MSG_NOTIFY_LAST 123

/* Player states: the stream is stopped, playing, or has been played to its end. */
#define XA_PLAYER_STATE_STOPPED 0
#define XA_PLAYER_STATE_PLAYING 1
#define XA_PLAYER_STATE_EOS 3
/* Input and output states. The output is closed once its file is complete
 * under its name. */
#define XA_INPUT_STATE_OPEN 0
#define XA_INPUT_STATE_CLOSED 1
#define XA_OUTPUT_STATE_OPEN 0
#define XA_OUTPUT_STATE_CLOSED 1
/* Input positions run from 0 to this range over the stream. */
#define XA_INPUT_POSITION_RANGE 400

/* Priorities of the decoding thread: 3 is the system's normal. */
#define XA_PRIORITY_LOWEST 0
#define XA_PRIORITY_NORMAL 3
#define XA_PRIORITY_HIGHEST 6

/* Notification numbers as posted: XA_NOTIFY_BASE + the notification code.
 * What the two parameters carry depends on the code (see
 * control_win32_params_to_message). */
#define XA_NOTIFY_BASE 0x9000u

typedef struct XA_Player XA_Player;

/* Where the library posts its notifications: post is called from the
 * library's own thread, must not block, and must not call back into the
 * library; it is never called once player_delete has returned. */
typedef struct XA_NotificationTarget
{
    void (*post)(void *context, unsigned int message, uintptr_t wparam, intptr_t lparam);
    void *context;
} XA_NotificationTarget;

/* A notification: its code, then its data (offsets are fixed). */
typedef struct XA_NackInfo
{
    uint8_t command; /* offset 0: the refused command */
    uint8_t reserved;
    int16_t code; /* offset 2: why, an XA_ERROR_ value */
} XA_NackInfo;

typedef struct XA_PositionInfo
{
    uint32_t offset; /* offset 0 */
    uint32_t range;  /* offset 4 */
} XA_PositionInfo;

typedef struct XA_Message
{
    int32_t code;
    union {
        uint8_t state; /* player, input and output states */
        XA_NackInfo nack;
        XA_PositionInfo position;
        uint8_t bytes[16];
    } data;
} XA_Message;

/* Starts a player with a decoding thread of its own; *player is set on success. */
XA_EXPORT int player_new(XA_Player **player, const XA_NotificationTarget *target);
/* Stops the thread, closes input and output (an output not closed is
 * discarded) and frees the player; no notification follows its return. */
XA_EXPORT int player_delete(XA_Player *player);
XA_EXPORT int player_set_priority(XA_Player *player, int priority);
XA_EXPORT int player_get_priority(XA_Player *player);
/* A text for a result code; never null. */
XA_EXPORT const char *xaudio_error_string(int code);
/* A version word, (major << 16) | (minor << 8) | revision; 0 for an unknown id. */
XA_EXPORT unsigned long xaudio_get_version(int which);

/* Queue one command; the result says only whether it was queued. The suffix
 * names the arguments after the code: N none, I integer, S string, P pointer. */
XA_EXPORT int control_message_send_N(XA_Player *player, int code);
XA_EXPORT int control_message_send_P(XA_Player *player, int code, const void *p);
XA_EXPORT int control_message_send_S(XA_Player *player, int code, const char *s);
XA_EXPORT int control_message_send_SS(XA_Player *player, int code, const char *s1, const char *s2);
XA_EXPORT int control_message_send_SI(XA_Player *player, int code, const char *s, int i);
XA_EXPORT int control_message_send_IPI(XA_Player *player, int code, int i1, const void *p, int i2);
XA_EXPORT int control_message_send_I(XA_Player *player, int code, int i);
XA_EXPORT int control_message_send_II(XA_Player *player, int code, int i1, int i2);
XA_EXPORT int control_message_send_III(XA_Player *player, int code, int i1, int i2, int i3);
XA_EXPORT int control_message_send_IIII(XA_Player *player, int code, int i1, int i2, int i3, int i4);

/* Turns a posted notification back into a message; XA_SUCCESS when the
 * number is one of the library's. */
XA_EXPORT int control_win32_params_to_message(XA_Player *player, XA_Message *message, unsigned int number,
                                              uintptr_t wparam, intptr_t lparam);

#ifdef __cplusplus
}
#endif

#endif
