#include "platform/soundmediadevice.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kTool = QStringLiteral(LIRENA_BINARY_DIR "/lirena-check");
const QString kData = QStringLiteral(LIRENA_TEST_DATA "/lesson/data/");

struct ToolRun
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

ToolRun run(const QStringList &args)
{
    QProcess p;
    p.start(kTool, args);
    p.waitForFinished(10000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

} // namespace

TEST(LirenaCheck, DumpPrintsTheChapterAsTheReaderSeesIt)
{
    const ToolRun r = run({"dump", kData + "full.ini", "--scale", "0.75"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QFile expectedFile(kData + "full.dump.json");
    expectedFile.open(QIODevice::ReadOnly);
    EXPECT_EQ(QJsonDocument::fromJson(r.out).object(), QJsonDocument::fromJson(expectedFile.readAll()).object());
}

TEST(LirenaCheck, DumpReportsAMalformedNumber)
{
    const ToolRun r = run({"dump", kData + "malformed.ini"});
    ASSERT_EQ(r.code, 0);
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    EXPECT_TRUE(o.value("error").toString().startsWith("'1O' is not a valid integer value."));
    EXPECT_EQ(o.value("graphics").toArray().size(), 1);
    EXPECT_TRUE(o.value("mediaLength").isNull());
}

TEST(LirenaCheck, MissingFileExitsWithTwo)
{
    EXPECT_EQ(run({"dump", "/no/such/chapter.ini"}).code, 2);
    EXPECT_EQ(run({"resave", "/no/such/chapter.ini"}).code, 2);
    EXPECT_NE(run({"frobnicate"}).code, 0);
}

TEST(LirenaCheck, ResaveWritesTheChapterBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("full.ini");
    QFile::copy(kData + "full.ini", path);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_EQ(run({"resave", path}).code, 0);
    QFile saved(path), expected(kData + "full.saved.ini");
    saved.open(QIODevice::ReadOnly);
    expected.open(QIODevice::ReadOnly);
    // The section play flag 0x10 is written back as 1.
    EXPECT_EQ(saved.readAll(), expected.readAll());
    EXPECT_TRUE(QFile::exists(path + ".old"));
}

TEST(LirenaCheck, ResaveRefusesAChapterItCouldNotReadWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("malformed.ini");
    QFile::copy(kData + "malformed.ini", path);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const ToolRun r = run({"resave", path});
    EXPECT_NE(r.code, 0);
    EXPECT_FALSE(QFile::exists(path + ".old"));
}

TEST(LirenaCheck, DumpWarnsOfAValueTooLongToRead)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("uzun.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\r\nName=" + QByteArray(2 << 20, 'a') + "\r\nGroupID=02\r\n");
    file.close();
    const ToolRun r = run({"dump", path});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(o.value("name").toString("<none>"), "");
    EXPECT_EQ(o.value("groupId").toString(), "02");
    EXPECT_EQ(o.value("warnings").toArray(),
              QJsonArray{"line 2: [General] Name: a value longer than 1 MiB reads as empty"});
    EXPECT_FALSE(run({"dump", kData + "full.ini"}).out.contains("\"warnings\""));
}

TEST(LirenaCheck, ARecordingThatClaimsGigabytesIsNoCrashUnderAMemoryLimit)
{
    // 44 bytes of RIFF/WAVE named like a recording, whose format chunk claims 0xFFFFFFF0 bytes.
    QByteArray wave = "RIFF";
    const auto le32 = [&wave](quint32 v) {
        for (int i = 0; i < 4; ++i)
            wave += char((v >> (8 * i)) & 0xFF);
    };
    le32(36);
    wave += "WAVEfmt ";
    le32(0xFFFFFFF0);
    wave += QByteArray("\x01\x00\x01\x00", 4);
    le32(22050);
    le32(44100);
    wave += QByteArray("\x02\x00\x10\x00", 4) + "data";
    le32(0);
    ASSERT_EQ(wave.size(), 44);
    QTemporaryDir dir;
    QFile media(dir.filePath("sayfa.mp3")), chapter(dir.filePath("sayfa.ini"));
    ASSERT_TRUE(media.open(QIODevice::WriteOnly) && chapter.open(QIODevice::WriteOnly));
    media.write(wave);
    chapter.write("[General]\r\nName=Bozuk\r\nMediaFile=sayfa.mp3\r\n");
    media.close();
    chapter.close();

    QProcess p;
    p.start("prlimit", {"--as=3000000000", kTool, "dump", chapter.fileName()});
    ASSERT_TRUE(p.waitForFinished(10000));
    ASSERT_EQ(p.exitStatus(), QProcess::NormalExit) << p.readAllStandardError().toStdString();
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    EXPECT_EQ(o.value("name").toString(), "Bozuk");
    EXPECT_TRUE(o.value("mediaLength").isNull());
}

TEST(LirenaCheck, DumpGivesTheLengthTheMediaDeviceReports)
{
    // sayfa03 names its recording Windows-style: SESLER\Sayfa03.mp3.
    const ToolRun r = run({"dump", LIRENA_SAMPLE_COURSE "/sayfa03.ini"});
    ASSERT_EQ(r.code, 0);
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(o.value("mediaLength").toInteger(),
              lirena::SoundMediaDevice::probeLength(LIRENA_SAMPLE_COURSE "/Sesler/sayfa03.mp3"));
    EXPECT_GT(o.value("mediaLength").toInteger(), 8000);
}
