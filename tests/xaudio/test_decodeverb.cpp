#include "recordings.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using lirena::testing::kXaudioData;

namespace {

struct ToolRun
{
    int code = -1;
    QByteArray err;
};

ToolRun decode(const QString &mp3, const QString &raw)
{
    QProcess p;
    p.start(QStringLiteral(LIRENA_BINARY_DIR "/lirena-check"), {"decode", mp3, raw});
    if (!p.waitForFinished(20000))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardError()};
}

} // namespace

TEST(LirenaCheckDecode, ExitsZeroWithTheWholeFileOrOneWithTheMessage)
{
    QTemporaryDir dir;
    const QString raw = dir.filePath("x.raw");
    const ToolRun done = decode(kXaudioData + "cbr-44k-stereo.mp3", raw);
    EXPECT_EQ(done.code, 0) << done.err.toStdString();
    EXPECT_EQ(QFileInfo(raw).size(), 176400 / 2 * 4);

    const ToolRun missing = decode(kXaudioData + "none.mp3", dir.filePath("y.raw"));
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.startsWith("lirena-check: Cannot Open Input: ")) << missing.err.toStdString();
    const ToolRun unwritable = decode(kXaudioData + "cbr-44k-stereo.mp3", dir.filePath("no/such/x.raw"));
    EXPECT_EQ(unwritable.code, 1);
    EXPECT_TRUE(unwritable.err.startsWith("lirena-check: Cannot Play Stream: "))
        << unwritable.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("y.raw")));
    // A slip of the keyboard does not turn the recording into its waveform.
    QFile::copy(kXaudioData + "cbr-44k-stereo.mp3", dir.filePath("same.mp3"));
    const ToolRun same = decode(dir.filePath("same.mp3"), dir.filePath("./same.mp3"));
    EXPECT_EQ(same.code, 1);
    EXPECT_EQ(QFileInfo(dir.filePath("same.mp3")).size(),
              QFileInfo(kXaudioData + "cbr-44k-stereo.mp3").size());
}
