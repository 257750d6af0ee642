#include "app/singleinstance.h"
#include "app/tsendkeys.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QThread>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lirena;

TEST(SingleInstance, SecondInstanceFindsTheLockTakenAndWakesTheFirst)
{
    QTemporaryDir dir;
    SingleInstance first("Lirena", dir.path());
    ASSERT_TRUE(first.tryBecomeFirst());
    SingleInstance second("Lirena", dir.path());
    EXPECT_FALSE(second.tryBecomeFirst());

    QSignalSpy activated(&first, &SingleInstance::activationRequested);
    TSendKeys sendKeys;
    sendKeys.WindowText = "Lirena";
    sendKeys.InstanceFolder = dir.path();
    sendKeys.SendKeys();
    EXPECT_TRUE(activated.wait(2000));
    EXPECT_EQ(sendKeys.WindowHandle, SingleInstance::socketPath(dir.path(), "Lirena"));
}

TEST(SingleInstance, LockIsFreeAgainWhenTheFirstEnds)
{
    QTemporaryDir dir;
    {
        SingleInstance first("Lirena", dir.path());
        ASSERT_TRUE(first.tryBecomeFirst());
    }
    SingleInstance next("Lirena", dir.path());
    EXPECT_TRUE(next.tryBecomeFirst());
}

TEST(TSendKeys, FindsNothingWithoutAMatchingTitle)
{
    QTemporaryDir dir;
    SingleInstance first("Lirena", dir.path());
    ASSERT_TRUE(first.tryBecomeFirst());
    QSignalSpy activated(&first, &SingleInstance::activationRequested);

    TSendKeys empty;
    empty.WindowText = "";
    empty.InstanceFolder = dir.path();
    empty.SendKeys(100);
    TSendKeys other;
    other.WindowText = "Vedra";
    other.InstanceFolder = dir.path();
    other.SendKeys(100);
    EXPECT_FALSE(activated.wait(300));
    EXPECT_TRUE(other.WindowHandle.isEmpty());
}

// The real program, started twice in a folder of its own.
TEST(SingleInstanceProcess, SecondStartExitsAtOnceWithCodeZero)
{
    QTemporaryDir dir;
    const QString program = dir.filePath("lirena");
    ASSERT_TRUE(QFile::copy(LIRENA_BINARY_DIR "/lirena", program));
    QFile settings(dir.filePath("Vedra.ini"));
    settings.open(QIODevice::WriteOnly);
    settings.write("[Settings]\nDataFolder=" LIRENA_SAMPLE_COURSE "\nLastChapter=sayfa01.ini\n");
    settings.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", dir.filePath("runtime"));
    QDir().mkpath(dir.filePath("runtime"));
    QFile::setPermissions(dir.filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                       QFileDevice::ExeOwner);

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program, {});
    ASSERT_TRUE(first.waitForStarted());
    // The first instance announces itself once it listens.
    const QString socket = SingleInstance::socketPath(dir.filePath("runtime"), "Lirena");
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(socket) && waited.elapsed() < 10000)
        QThread::msleep(20);
    ASSERT_TRUE(QFile::exists(socket));

    QProcess second;
    second.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    second.start(program, {});
    ASSERT_TRUE(second.waitForFinished(5000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_EQ(first.state(), QProcess::Running);

    first.terminate();
    first.waitForFinished(5000);
}
