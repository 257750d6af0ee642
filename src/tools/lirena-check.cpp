// lirena-check: looks at course files the way the player reads them.
//
//   lirena-check dump CHAPTER.ini [--scale S] [--data DIR]
//   lirena-check resave CHAPTER.ini

#include "lesson/chapterfile.h"
#include "platform/soundmediadevice.h"
#include "tools/chapterdump.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

using namespace lirena;

namespace {

const int kExitUsage = 1;
const int kExitNoFile = 2;

int usage()
{
    std::fputs("usage: lirena-check dump CHAPTER.ini [--scale S] [--data DIR]\n"
               "       lirena-check resave CHAPTER.ini\n",
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

int dump(const QStringList &args)
{
    QString chapterPath, dataFolder;
    double scale = 1.0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--scale" && i + 1 < args.size()) {
            bool ok = false;
            scale = args[++i].toDouble(&ok);
            if (!ok || scale <= 0)
                return usage();
        } else if (args[i] == u"--data" && i + 1 < args.size()) {
            dataFolder = args[++i];
        } else if (chapterPath.isEmpty() && !args[i].startsWith(u"--")) {
            chapterPath = args[i];
        } else {
            return usage();
        }
    }
    if (chapterPath.isEmpty())
        return usage();
    if (!QFileInfo(chapterPath).isFile()) {
        std::fprintf(stderr, "lirena-check: %s: no such file\n", qPrintable(chapterPath));
        return kExitNoFile;
    }

    Chapter chapter;
    ChapterFile file(chapter);
    file.setDataFolder(dataFolder.isEmpty() ? QFileInfo(chapterPath).absolutePath() : dataFolder);
    DumpView view;
    view.scale = scale;
    file.LoadChapter(chapterPath, view);

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
    return usage();
}
