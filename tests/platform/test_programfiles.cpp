#include "platform/programfiles.h"

#include "../unprivileged.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace lirena;

namespace {

QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

// Where "Vedra.ini" lives, for an installed program (a folder the user may not
// write) and for one in a folder of the user's own.
TEST(ProgramFiles, TheFileStaysBesideTheProgramWhereItMayBeWrittenElseMovesToTheUsersFolder)
{
    if (ranAsNobody())
        return;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("config")));
    const QString own = dir.filePath("config/lirena/Vedra.ini");
    int fills = 0;
    const ProgramFiles::Fill fill = [&](const QString &path) {
        ++fills;
        write(path, "[Settings]\nDataFolder=example\n");
        return true;
    };

    // A folder of the user's own: the file beside the program, made by fill
    // once, and never filled again.
    const QString mine = dir.filePath("mine");
    QDir().mkpath(mine);
    EXPECT_EQ(ProgramFiles::place(mine, "Vedra.ini", fill), mine + "/Vedra.ini");
    write(mine + "/Vedra.ini", "[Settings]\nLastChapter=sayfa03.ini\n");
    EXPECT_EQ(ProgramFiles::place(mine, "Vedra.ini", fill), mine + "/Vedra.ini");
    EXPECT_EQ(fills, 1);
    EXPECT_EQ(read(mine + "/Vedra.ini"), "[Settings]\nLastChapter=sayfa03.ini\n");

    // Installed with a settings file nobody may write: the user's copy starts
    // as that file, and is kept from then on.
    const QString installed = dir.filePath("installed");
    QDir().mkpath(installed);
    write(installed + "/Vedra.ini", "[Settings]\nDataFolder=/media/cdrom/veri\n");
    ASSERT_EQ(::chmod(QFile::encodeName(installed + "/Vedra.ini").constData(), 0444), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(installed).constData(), 0555), 0);
    EXPECT_EQ(ProgramFiles::place(installed, "Vedra.ini", fill), own);
    EXPECT_EQ(read(own), "[Settings]\nDataFolder=/media/cdrom/veri\n");
    write(own, "[Settings]\nLastChapter=sayfa02.ini\n");
    EXPECT_EQ(ProgramFiles::place(installed, "Vedra.ini", fill), own);
    EXPECT_EQ(read(own), "[Settings]\nLastChapter=sayfa02.ini\n");
    EXPECT_EQ(fills, 1);

    // Installed without one: the user's copy is made by fill.
    QFile::remove(own);
    const QString bare = dir.filePath("bare");
    QDir().mkpath(bare);
    ASSERT_EQ(::chmod(QFile::encodeName(bare).constData(), 0555), 0);
    EXPECT_EQ(ProgramFiles::place(bare, "Vedra.ini", fill), own);
    EXPECT_EQ(read(own), "[Settings]\nDataFolder=example\n");
    EXPECT_EQ(fills, 2);
    ::chmod(QFile::encodeName(installed).constData(), 0755);
}
