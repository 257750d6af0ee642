#include "rawsound.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using lirena::testing::rawSound;

namespace {

struct ToolRun
{
    int code = -1;
    QList<QByteArray> lines;
};

ToolRun sounds(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(LIRENA_BINARY_DIR "/lirena-check"), QStringList{"sounds"} + args);
    if (!p.waitForFinished(20000))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            p.readAllStandardOutput().trimmed().split('\n')};
}

} // namespace

TEST(LirenaCheckSounds, PrintsEveryStretchAndEndsAtTheEndOfTheFile)
{
    QTemporaryDir dir;
    const QString speech = dir.filePath("speech.raw");
    // The last stretch lasts to the end of the file.
    ASSERT_TRUE(
        lirena::testing::writeFile(speech, rawSound(17000, {{1000, 2000}, {3000, 3500}, {14000, 17000}})));
    const int expected[][2] = {{1000, 2000}, {3000, 3500}, {14000, 17000}};
    for (const QStringList &view : {QStringList{}, QStringList{"--page-bytes", "16384", "--width", "1920"}}) {
        const ToolRun r = sounds(QStringList{speech} + view);
        ASSERT_EQ(r.code, 0);
        ASSERT_EQ(r.lines.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QList<QByteArray> times = r.lines[i].split('\t');
            ASSERT_EQ(times.size(), 2);
            EXPECT_NEAR(times[0].toInt(), expected[i][0], 68);
            EXPECT_NEAR(times[1].toInt(), expected[i][1], 68);
        }
    }

    const QString silence = dir.filePath("silence.raw"), empty = dir.filePath("empty.raw");
    ASSERT_TRUE(lirena::testing::writeFile(silence, QByteArray(88200 * 3, '\0')));
    ASSERT_TRUE(lirena::testing::writeFile(empty, {}));
    const ToolRun quiet = sounds({silence});
    EXPECT_EQ(quiet.code, 0);
    EXPECT_EQ(quiet.lines, QList<QByteArray>{""});
    EXPECT_EQ(sounds({empty}).code, 3);
    EXPECT_EQ(sounds({dir.filePath("none.raw")}).code, 2);
    EXPECT_EQ(sounds({speech, "--page-bytes", "1001"}).code, 1);
}
