#pragma once

// Checks of what a user may not write prove nothing as root, who may write
// every file, and CI runs as root. There such a test runs itself again as the
// user "nobody": a copy of the test program in a folder every user may read
// (the build folder need not be), started through setpriv with only that test
// chosen, with a home and a temporary folder of nobody's own.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

// Call first in such a test. As root it runs the test as "nobody", makes the
// child's result this test's, and returns true: the caller then returns. As
// any other user it returns false and the caller runs its checks itself.
inline bool ranAsNobody()
{
    if (::geteuid() != 0)
        return false;
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString name = QString::fromUtf8(test->test_suite_name()) + u'.' + QString::fromUtf8(test->name());
    const passwd *nobody = ::getpwnam("nobody");
    if (!nobody) {
        ADD_FAILURE() << "no user \"nobody\" to run " << name.toStdString() << " as";
        return true;
    }

    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("test"));
    const QString home = dir.filePath(QStringLiteral("home"));
    const bool ready = dir.isValid() && ::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0 &&
                       QFile::copy(QCoreApplication::applicationFilePath(), program) &&
                       ::chmod(QFile::encodeName(program).constData(), 0755) == 0 && QDir().mkdir(home) &&
                       ::chown(QFile::encodeName(home).constData(), nobody->pw_uid, nobody->pw_gid) == 0;
    if (!ready) {
        ADD_FAILURE() << "cannot prepare a folder to run " << name.toStdString() << " as nobody";
        return true;
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("TMPDIR"), home);
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR")); // root's, closed to nobody
    environment.remove(QStringLiteral("GTEST_OUTPUT"));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setWorkingDirectory(dir.path());
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QStringLiteral("setpriv"), {QStringLiteral("--reuid=%1").arg(nobody->pw_uid),
                                            QStringLiteral("--regid=%1").arg(nobody->pw_gid),
                                            QStringLiteral("--clear-groups"), program,
                                            QStringLiteral("--gtest_filter=") + name});
    const bool finished = child.waitForFinished(60000);
    const QByteArray output = child.readAll();
    // Passed, and really run: a skip or a filter that chose nothing is no pass.
    EXPECT_TRUE(finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
                output.contains("[  PASSED  ] 1 test.") && !output.contains("[  SKIPPED ]"))
        << "as nobody: " << output.toStdString();
    return true;
}
