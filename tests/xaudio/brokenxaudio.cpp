// Decoder libraries that cannot serve, for the component's failure messages.
// Built three times: without two entry points (BROKEN_MISSING_SYMBOLS), with
// another version (BROKEN_VERSION), with a player that does not start
// (BROKEN_PLAYER_NEW).
#include "xaudio/xaudio.h"

extern "C" {

int player_new(XA_Player **player, const XA_NotificationTarget *)
{
#ifdef BROKEN_PLAYER_NEW
    *player = nullptr;
    return XA_ERROR_THREAD;
#else
    static int dummy;
    *player = reinterpret_cast<XA_Player *>(&dummy);
    return XA_SUCCESS;
#endif
}

unsigned long xaudio_get_version(int)
{
#ifdef BROKEN_VERSION
    return 3ul << 16 | 7ul << 8 | 0x12; // 3.7, revision 18
#else
    return 3ul << 16 | 8ul << 8;
#endif
}

int player_delete(XA_Player *)
{
    return XA_SUCCESS;
}
int player_set_priority(XA_Player *, int)
{
    return XA_SUCCESS;
}
int player_get_priority(XA_Player *)
{
    return XA_PRIORITY_NORMAL;
}
const char *xaudio_error_string(int)
{
    return "broken";
}
int control_message_send_N(XA_Player *, int)
{
    return XA_SUCCESS;
}
int control_message_send_P(XA_Player *, int, const void *)
{
    return XA_SUCCESS;
}
int control_message_send_S(XA_Player *, int, const char *)
{
    return XA_SUCCESS;
}
int control_message_send_SS(XA_Player *, int, const char *, const char *)
{
    return XA_SUCCESS;
}
int control_message_send_IPI(XA_Player *, int, int, const void *, int)
{
    return XA_SUCCESS;
}
int control_message_send_I(XA_Player *, int, int)
{
    return XA_SUCCESS;
}
int control_message_send_II(XA_Player *, int, int, int)
{
    return XA_SUCCESS;
}
int control_message_send_III(XA_Player *, int, int, int, int)
{
    return XA_SUCCESS;
}
int control_message_send_IIII(XA_Player *, int, int, int, int, int)
{
    return XA_SUCCESS;
}
#ifndef BROKEN_MISSING_SYMBOLS
int control_message_send_SI(XA_Player *, int, const char *, int)
{
    return XA_SUCCESS;
}
int control_win32_params_to_message(XA_Player *, XA_Message *, unsigned int, uintptr_t, intptr_t)
{
    return XA_FAILURE;
}
#endif
}
