// lirena-check: looks at course files the way the player reads them.
//
//   lirena-check dump CHAPTER.ini [--scale S] [--data DIR]
//   lirena-check resave CHAPTER.ini
//   lirena-check sounds FILE.raw [--page-bytes N] [--width W]
//   lirena-check decode RECORDING.mp3 OUT.raw
//   lirena-check draft CHAPTER.ini [--scale S] [--data DIR] [--write [--replace]]

#include "authoring/draftsource.h"
#include "lesson/chapterfile.h"
#include "platform/soundmediadevice.h"
#include "soundeditor/txaudioplayer.h"
#include "soundeditor/wavpage.h"
#include "tools/chapterdump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <optional>

using namespace lirena;

namespace {

const int kExitUsage = 1;
const int kExitNoFile = 2;
const int kExitFailed = 3;
const int kExitRefused = 4;

int usage()
{
    std::fputs("usage: lirena-check dump CHAPTER.ini [--scale S] [--data DIR]\n"
               "       lirena-check resave CHAPTER.ini\n"
               "       lirena-check sounds FILE.raw [--page-bytes N] [--width W]\n"
               "           one line per stretch of sound the editor's search finds:\n"
               "           start and stop in ms, separated by a tab\n"
               "       lirena-check decode RECORDING.mp3 OUT.raw\n"
               "           decodes the recording as the sound editor does, to raw 16-bit\n"
               "           stereo 22,050 Hz PCM; exits 1 with the decoder's message\n"
               "       lirena-check draft CHAPTER.ini [--scale S] [--data DIR] [--write [--replace]]\n"
               "           drafts the page from its JPG picture and its recording: a graphic\n"
               "           object for every word of its body text, a voice object for the\n"
               "           stretch that reads it, their links, and the click and read\n"
               "           sequences in reading order. Prints the chapter as dump does, with\n"
               "           the objects it held replaced by the draft (view rectangles at\n"
               "           display scale S, as Auto Draft makes them); words left out and\n"
               "           sounds not placed are listed on stderr. --write saves the draft\n"
               "           into the chapter (the rest of the file stays, a .old copy is made);\n"
               "           a chapter that holds objects is saved over only with --replace\n"
               "           (exit 4 otherwise)\n",
               stderr);
    return kExitUsage;
}

// Collects what the reader shows, for the dump.
class DumpView : public ChapterView
{
public:
    double scale = 1.0;
    bool sectionPlay = false;
    std::vector<SubjectNode> subjects;
    QString error;

    void setSectionPlay(bool checked) override { sectionPlay = checked; }
    double imageScale() const override { return scale; }
    void setSubjects(const std::vector<SubjectNode> &s) override { subjects = s; }
    void showError(const QString &message) override { error = message; }
};

// What dump and draft are told: the chapter, and the options they share.
struct ChapterArgs
{
    QString chapterPath;
    QString dataFolder;
    double scale = 1.0;
    bool write = false;   // draft only
    bool replace = false; // draft only
};

// Reads CHAPTER.ini [--scale S] [--data DIR], and with drafting [--write
// [--replace]]; nothing when the words do not fit.
std::optional<ChapterArgs> chapterArgs(const QStringList &args, bool drafting)
{
    ChapterArgs out;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--scale" && i + 1 < args.size()) {
            bool ok = false;
            out.scale = args[++i].toDouble(&ok);
            if (!ok || out.scale <= 0)
                return std::nullopt;
        } else if (args[i] == u"--data" && i + 1 < args.size()) {
            out.dataFolder = args[++i];
        } else if (drafting && args[i] == u"--write") {
            out.write = true;
        } else if (drafting && args[i] == u"--replace") {
            out.replace = true;
        } else if (out.chapterPath.isEmpty() && !args[i].startsWith(u"--")) {
            out.chapterPath = args[i];
        } else {
            return std::nullopt;
        }
    }
    if (out.chapterPath.isEmpty() || (out.replace && !out.write))
        return std::nullopt;
    return out;
}

// Loads the chapter as the player does (its files resolved in the data
// folder, else the chapter's own), its view rectangles at the scale. False,
// with the message on stderr, when there is no such file.
bool loadChapter(const ChapterArgs &a, ChapterFile &file, DumpView &view)
{
    if (!QFileInfo(a.chapterPath).isFile()) {
        std::fprintf(stderr, "lirena-check: %s: no such file\n", qPrintable(a.chapterPath));
        return false;
    }
    file.setDataFolder(a.dataFolder.isEmpty() ? QFileInfo(a.chapterPath).absolutePath() : a.dataFolder);
    view.scale = a.scale;
    file.LoadChapter(a.chapterPath, view);
    return true;
}

int dump(const QStringList &args)
{
    const std::optional<ChapterArgs> a = chapterArgs(args, false);
    if (!a)
        return usage();
    Chapter chapter;
    ChapterFile file(chapter);
    DumpView view;
    if (!loadChapter(*a, file, view))
        return kExitNoFile;

    ChapterDumpInput input;
    input.chapter = &chapter;
    input.file = &file;
    input.sectionPlay = view.sectionPlay;
    input.subjects = view.subjects;
    input.error = view.error;
    if (!file.MediaFile.isEmpty()) {
        const qint64 length = SoundMediaDevice::probeLength(file.resolve(file.MediaFile));
        if (length >= 0)
            input.mediaLength = length;
    }
    QTextStream(stdout) << chapterDumpJson(input);
    return 0;
}

int resave(const QStringList &args)
{
    if (args.size() != 1)
        return usage();
    const QString chapterPath = args[0];
    if (!QFileInfo(chapterPath).isFile()) {
        std::fprintf(stderr, "lirena-check: %s: no such file\n", qPrintable(chapterPath));
        return kExitNoFile;
    }
    Chapter chapter;
    ChapterFile file(chapter);
    file.setDataFolder(QFileInfo(chapterPath).absolutePath());
    DumpView view;
    file.LoadChapter(chapterPath, view);
    if (!view.error.isEmpty()) {
        std::fprintf(stderr, "lirena-check: %s: %s\nlirena-check: not saved: the objects after the error would be lost\n",
                     qPrintable(chapterPath), qPrintable(view.error));
        return 3;
    }
    QString error;
    if (!file.SaveChapter(chapterPath, view.sectionPlay, &error)) {
        std::fprintf(stderr, "lirena-check: %s\n", qPrintable(error));
        return 3;
    }
    return 0;
}

// Runs the sound editor's search over a raw file the way its view does:
// Find First, then Find Next until no more sound is found.
int sounds(const QStringList &args)
{
    QString path;
    qint64 pageBytes = WavPage::kDefaultBufferSize;
    qint64 width = 700;
    for (qsizetype i = 0; i < args.size(); ++i) {
        bool ok = true;
        if (args[i] == u"--page-bytes" && i + 1 < args.size())
            pageBytes = args[++i].toLongLong(&ok);
        else if (args[i] == u"--width" && i + 1 < args.size())
            width = args[++i].toLongLong(&ok);
        else if (path.isEmpty() && !args[i].startsWith(u"--"))
            path = args[i];
        else
            return usage();
        if (!ok)
            return usage();
    }
    if (path.isEmpty() || pageBytes < 2 || pageBytes % 2 != 0 || pageBytes > (qint64(1) << 28) || width < 1 ||
        width > 100000) {
        std::fputs("lirena-check: sounds: the page is an even number of bytes up to 256 MiB, "
                   "the width 1 to 100000 pixels\n",
                   stderr);
        return usage();
    }
    const QFileInfo info(path);
    if (!info.isFile()) {
        std::fprintf(stderr, "lirena-check: %s: no such file\n", qPrintable(path));
        return kExitNoFile;
    }

    WavPage page;
    page.setBufferSize(pageBytes);
    QString error;
    if (!page.setWavFile(info.absoluteFilePath(), &error)) {
        std::fprintf(stderr, "lirena-check: %s\n", qPrintable(error));
        return 3;
    }
    if (page.FileSize() < 2) {
        std::fprintf(stderr, "lirena-check: %s: no sound data in the file\n", qPrintable(path));
        return 3;
    }
    page.setViewWidth(int(width));

    QTextStream out(stdout);
    qint64 lastStart = -1;
    WavPage::SearchResult found = page.FindFirst();
    while (found == WavPage::SearchResult::Found || found == WavPage::SearchResult::NoEnd) {
        const qint64 start = page.OffSet() + 2 * page.SelStart();
        if (start <= lastStart) {
            std::fprintf(stderr, "lirena-check: %s: the search did not move on from %d ms\n",
                         qPrintable(path), page.SelStartMs());
            return 3;
        }
        lastStart = start;
        // A stretch still sounding at the end of the file stops there.
        out << page.SelStartMs() << '\t' << page.SelStopMs() << '\n';
        if (found == WavPage::SearchResult::NoEnd)
            break;
        found = page.FindNext();
    }
    return 0;
}

// Decodes a recording through the sound editor's decoder component and
// library, driven by the notifications the way the editor drives them. The
// output file appears only once it is complete.
int decode(const QStringList &args)
{
    if (args.size() != 2)
        return usage();
    const QString input = QFileInfo(args[0]).absoluteFilePath();
    const QString output = QFileInfo(args[1]).absoluteFilePath();

    TXaudioPlayer player;
    QEventLoop loop;
    QString failure;
    const auto fail = [&](const QString &message) {
        failure = message;
        loop.quit();
    };
    QObject::connect(&player, &TXaudioPlayer::OnNotifyInputState, [&](int state) {
        if (state == XA_INPUT_STATE_OPEN)
            player.Play();
    });
    QObject::connect(&player, &TXaudioPlayer::OnNotifyPlayerState, [&](int state) {
        if (state == XA_PLAYER_STATE_EOS) {
            player.InputClose();
            player.OutputClose();
        }
    });
    QObject::connect(&player, &TXaudioPlayer::OnNotifyOutputState, [&](int state) {
        if (state == XA_OUTPUT_STATE_CLOSED)
            loop.quit();
    });
    QObject::connect(&player, &TXaudioPlayer::OnNotifyNack, [&](int command, int code) {
        const QString reason = player.ErrorString(code);
        if (command == XA_MSG_COMMAND_INPUT_OPEN)
            fail(QStringLiteral("Cannot Open Input: %1: %2").arg(input, reason));
        else if (command == XA_MSG_COMMAND_PLAY)
            fail(QStringLiteral("Cannot Play Stream: %1: %2").arg(output, reason));
        else
            fail(QStringLiteral("the decoder refused command %1: %2").arg(command).arg(reason));
    });
    try {
        player.SetOutputName(output);
        player.InputOpen(input);
    } catch (const EXaudioException &e) {
        // The message's line breaks are a carriage return, for a message box.
        const QString message = e.message().replace(QLatin1Char('\r'), QLatin1Char('\n'));
        std::fprintf(stderr, "lirena-check: %s\n", qPrintable(message));
        return 1;
    }
    loop.exec();
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "lirena-check: %s\n", qPrintable(failure));
        return 1;
    }
    return 0;
}

QString roleText(const PageWord &word)
{
    switch (word.role) {
    case PageWord::Role::SmallerThanBody:
        return QStringLiteral("smaller than the body text");
    case PageWord::Role::LargerThanBody:
        return QStringLiteral("larger than the body text");
    case PageWord::Role::Body:
        break;
    }
    return QStringLiteral("body text");
}

// What the draft could not place, for the author to look at.
void reportDraft(const DraftResult &draft)
{
    QTextStream err(stderr);
    err << "draft: " << draft.words.size() << " words on the picture (read at scale "
        << QString::number(draft.readingScale, 'f', 2) << "), " << draft.stretches.size()
        << " stretches of speech (loud above " << QString::number(draft.thresholdDb, 'f', 1)
        << " dB, pauses from " << draft.minPauseMs << " ms), " << draft.links.size() << " links, "
        << QString::number(draft.msPerSyllable, 'f', 0) << " ms a syllable\n";
    for (const PageWord &word : draft.words) {
        if (word.role != PageWord::Role::Body) {
            err << "draft: left out \"" << word.text << "\": its letters are "
                << QString::number(word.sizeRatio, 'f', 2) << " times the body text's (" << roleText(word)
                << ")\n";
        }
    }
    for (int i : draft.unreadWords())
        err << "draft: not heard in the recording: \"" << draft.words[std::size_t(i)].text << "\"\n";
    for (int j : draft.unplacedStretches()) {
        const SpeechStretch &s = draft.stretches[std::size_t(j)];
        err << "draft: sound at " << s.start << ".." << s.stop << " ms is no word of the page\n";
    }
}

int draft(const QStringList &args)
{
    const std::optional<ChapterArgs> a = chapterArgs(args, true);
    if (!a)
        return usage();
    Chapter chapter;
    ChapterFile file(chapter);
    DumpView view;
    if (!loadChapter(*a, file, view))
        return kExitNoFile;
    const QString &chapterPath = a->chapterPath;
    const auto failed = [&](const QString &why) {
        std::fprintf(stderr, "lirena-check: %s: %s\n", qPrintable(chapterPath), qPrintable(why));
        return kExitFailed;
    };
    if (!view.error.isEmpty())
        return failed(view.error);
    QString error;
    // The same page, files and drafting as the "All Objects" page's Auto Draft.
    const DraftSource source = DraftSource::of(file, &error);
    if (source.isNull())
        return failed(error);
    const int held = chapter.LstGObj.count() + chapter.LstVObj.count() + chapter.LstVGObj.count();
    if (a->write && held > 0 && !a->replace) {
        std::fprintf(stderr,
                     "lirena-check: %s: the chapter holds %d objects; not saved: give --replace to save the "
                     "draft over them\n",
                     qPrintable(chapterPath), held);
        return kExitRefused;
    }

    const DraftResult result = draftPage(source);
    if (!result.error.isEmpty())
        return failed(result.error);
    reportDraft(result);
    applyDraft(chapter, result, DraftApply::Replace, a->scale);

    ChapterDumpInput dumpInput;
    dumpInput.chapter = &chapter;
    dumpInput.file = &file;
    dumpInput.sectionPlay = view.sectionPlay;
    dumpInput.subjects = view.subjects;
    const qint64 length = SoundMediaDevice::probeLength(source.recording);
    if (length >= 0)
        dumpInput.mediaLength = length;
    QTextStream(stdout) << chapterDumpJson(dumpInput);

    if (a->write && !file.SaveChapter(chapterPath, view.sectionPlay, &error))
        return failed(error);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString verb = args.takeFirst();
    if (verb == u"dump")
        return dump(args);
    if (verb == u"resave")
        return resave(args);
    if (verb == u"sounds")
        return sounds(args);
    if (verb == u"decode")
        return decode(args);
    if (verb == u"draft")
        return draft(args);
    return usage();
}
