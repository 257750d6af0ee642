// Chapters the size of a whole book: reading and writing a chapter of 2000
// and 20000 rectangles, segments and links (each in both sequences), and one
// edit of the model at that size. Reference in the same run: reading and
// writing the file's bytes alone.

#include "lesson/chapter.h"
#include "lesson/chapterfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace lirena;

namespace {

QString bookChapter(QTemporaryDir &dir, int n)
{
    QByteArray text = "[General]\r\nName=Kitap\r\nImageFile=kitap.jpg\r\nMediaFile=kitap.mp3\r\n";
    QByteArray sequence;
    for (int i = 1; i <= n; ++i)
        sequence += (i > 1 ? "|" : "") + QByteArray::number(i);
    text += "ClickObjects=" + sequence + "\r\nReadObjects=" + sequence + "\r\n\r\n[GraphicObjects]\r\n";
    for (int i = 1; i <= n; ++i)
        text += QByteArray::number(i) + "=g" + QByteArray::number(i) + "|10|20|110|90\r\n";
    text += "\r\n[VoiceObjects]\r\n";
    for (int i = 1; i <= n; ++i)
        text += QByteArray::number(i) + "=" + QByteArray::number(i) + "|" + QByteArray::number(i * 1000) + "|" +
                QByteArray::number(i * 1000 + 900) + "\r\n";
    text += "\r\n[VGObjects]\r\n";
    for (int i = 1; i <= n; ++i)
        text += QByteArray::number(i) + "=l" + QByteArray::number(i) + "|" + QByteArray::number(i) + "|" +
                QByteArray::number(i) + "\r\n";
    const QString path = dir.filePath(QStringLiteral("book%1.ini").arg(n));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text);
    return path;
}

// A book chapter read into a model, for the benchmarks that start from one.
struct Book
{
    QTemporaryDir dir;
    QString path;
    Chapter chapter;
    ChapterFile file{chapter};

    explicit Book(int n) : path(bookChapter(dir, n))
    {
        file.setDataFolder(dir.path());
        ChapterView view;
        file.LoadChapter(path, view);
    }
};

void BM_LoadChapter(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = bookChapter(dir, int(state.range(0)));
    for (auto _ : state) {
        Chapter chapter;
        ChapterFile file(chapter);
        file.setDataFolder(dir.path());
        ChapterView view;
        file.LoadChapter(path, view);
        benchmark::DoNotOptimize(chapter.LstRObj.count());
    }
}
BENCHMARK(BM_LoadChapter)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_SaveChapter(benchmark::State &state)
{
    Book book(int(state.range(0)));
    for (auto _ : state)
        book.file.SaveChapter(book.path, false);
}
BENCHMARK(BM_SaveChapter)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// Reference: the file's bytes read and written back whole, the floor of any load and save.
void BM_FileBytesReadAndWritten(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = bookChapter(dir, int(state.range(0)));
    for (auto _ : state) {
        QFile in(path);
        in.open(QIODevice::ReadOnly);
        const QByteArray bytes = in.readAll();
        QSaveFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        out.commit();
    }
}
BENCHMARK(BM_FileBytesReadAndWritten)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// One edit at book size: a rectangle added to its sorted place, then deleted
// with every reference to it.
void BM_AddAndDeleteGraphic(benchmark::State &state)
{
    Book book(int(state.range(0)));
    Chapter &chapter = book.chapter;
    for (auto _ : state) {
        auto g = std::make_unique<TGraphicObj>();
        g->Id = chapter.issueGraphicId();
        g->Name = QStringLiteral("g%1").arg(g->Id);
        auto *added = g.get();
        chapter.LstGObj.add(added->Name, std::unique_ptr<TBaseObj>(std::move(g)));
        chapter.deleteGraphic(added);
    }
}
BENCHMARK(BM_AddAndDeleteGraphic)->Arg(20000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
}
