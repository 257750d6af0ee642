#include "authoring/draftsource.h"

#include "lesson/chapterfile.h"

#include <algorithm>

namespace lirena {

DraftSource DraftSource::of(const ChapterFile &file, QString *why)
{
    const auto refuse = [why](const QString &reason) {
        if (why)
            *why = reason;
        return DraftSource{};
    };
    // The player shows a picture page only for a JPG; an HTML page has no picture to read.
    if (!file.ImageFile.endsWith(QStringLiteral(".JPG"), Qt::CaseInsensitive))
        return refuse(QStringLiteral("the page is no JPG picture (ImageFile=%1)").arg(file.ImageFile));
    if (file.MediaFile.isEmpty())
        return refuse(QStringLiteral("the page has no recording (MediaFile is empty)"));
    return {.picture = file.resolve(file.ImageFile), .recording = file.resolve(file.MediaFile)};
}

DraftResult draftPage(const DraftSource &source, const DraftProgress &progress)
{
    DraftResult result;
    if (source.isNull()) {
        result.error = QStringLiteral("the page has no picture or no recording");
        return result;
    }
    DraftInput input;
    input.picture = GrayPicture::readJpeg(source.picture, &result.error);
    if (input.picture.isNull()) {
        if (result.error.isEmpty())
            result.error = QStringLiteral("%1: the picture cannot be read").arg(source.picture);
        return result;
    }
    input.sound = SpeechSound::read(source.recording, &result.error);
    if (input.sound.samples.empty()) {
        if (result.error.isEmpty())
            result.error = QStringLiteral("%1: the recording cannot be read").arg(source.recording);
        return result;
    }
    result = draftPage(input, progress);
    // A page with nothing to draft is no draft: saved over a chapter it would
    // only take its objects away.
    const auto body = [](const PageWord &w) { return w.role == PageWord::Role::Body; };
    if (!result.cancelled && result.error.isEmpty() &&
        std::none_of(result.words.begin(), result.words.end(), body))
        result.error = QStringLiteral("%1: no words were found on the picture").arg(source.picture);
    return result;
}

} // namespace lirena
