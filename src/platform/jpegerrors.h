#pragma once

#include <csetjmp>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

namespace lirena {

// libjpeg's error handling for pictures that may be damaged or cut short.
// libjpeg reports an error by calling error_exit, which would end the
// process; this one jumps back to the setjmp(escape) of the decoding
// function with the message kept. Warnings that mean the picture is damaged
// (the decoder would fill the rest with grey and carry on) are errors too.
// Nothing with a destructor may live between the setjmp and the jump.
struct JpegErrors
{
    jpeg_error_mgr base; // first: libjpeg hands back a pointer to it
    std::jmp_buf escape;
    char message[JMSG_LENGTH_MAX] = {};

    // The error manager to put in a decompress struct's err.
    jpeg_error_mgr *install()
    {
        jpeg_std_error(&base);
        base.error_exit = &JpegErrors::onError;
        base.emit_message = &JpegErrors::onMessage;
        message[0] = '\0';
        return &base;
    }

    static void onError(j_common_ptr info)
    {
        auto *errors = reinterpret_cast<JpegErrors *>(info->err);
        (*info->err->format_message)(info, errors->message);
        std::longjmp(errors->escape, 1);
    }

    static void onMessage(j_common_ptr info, int level)
    {
        if (level != -1)
            return;
        const int code = info->err->msg_code;
        if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE ||
            code == JWRN_MUST_RESYNC)
            onError(info);
    }
};

} // namespace lirena
