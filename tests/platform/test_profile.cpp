#include "platform/profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "../qtprinters.h"
#include "../unprivileged.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace lirena;

namespace {

class ProfileTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;

    QString write(const QByteArray &bytes, const QString &name = QStringLiteral("a.ini"))
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }

    static QByteArray read(const QString &path)
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }
};

} // namespace

TEST_F(ProfileTest, NamesMatchIgnoringCaseAndValuesAreTrimmed)
{
    Profile p(write("[General]\r\n  Name  =  Elif kitabı  \r\nID=07\r\n"));
    EXPECT_EQ(p.readString("general", "NAME"), "Elif kitabı");
    EXPECT_EQ(p.readString("GENERAL", "id"), "07");
    EXPECT_EQ(p.readString("General", "Missing", "def"), "def");
    EXPECT_EQ(p.readString("Other", "Name", "def"), "def");
}

TEST_F(ProfileTest, FirstOfDuplicateKeysWinsAndEmptyValuesGiveNoLine)
{
    Profile p(write("[S]\nb=1\nB=2\nempty=\nnoequals\n;c=comment\na=3\n"));
    EXPECT_EQ(p.readString("S", "b"), "1");
    EXPECT_EQ(p.readSectionValues("S"), (QStringList{"b=1", "a=3"}));
}

TEST_F(ProfileTest, IntegersAcceptHexAndFallBackOnJunk)
{
    Profile p(write("[S]\na=42\nb=0x1F\nc=abc\nd=1.5\n"));
    EXPECT_EQ(p.readInteger("S", "a", 0), 42);
    EXPECT_EQ(p.readInteger("S", "b", 0), 31);
    EXPECT_EQ(p.readInteger("S", "c", 7), 7);
    EXPECT_EQ(p.readInteger("S", "d", 7), 7);
    EXPECT_EQ(p.readInteger("S", "none", 9), 9);
}

TEST_F(ProfileTest, WritingKeepsEveryOtherLine)
{
    const QString path = write("; course file\r\n[General]\r\nName=Elif\r\nx=1\r\nX=2\r\n\r\n[Subjects]\r\n1=Dinle\r\n");
    Profile p(path);
    p.writeString("general", "X", "9");
    p.writeString("General", "New", "n");
    p.writeString("Added", "k", "v");
    ASSERT_TRUE(p.save());
    EXPECT_EQ(read(path), "; course file\r\n[General]\r\nName=Elif\r\nX=9\r\nX=2\r\nNew=n\r\n\r\n"
                          "[Subjects]\r\n1=Dinle\r\n\r\n[Added]\r\nk=v\r\n");
}

TEST_F(ProfileTest, ErasedSectionGoesWholeAndComesBackAtTheEnd)
{
    // A second copy of the section would come forward once the first is gone: both go.
    const QString path = write("[General]\nName=a\n\n[GraphicObjects]\n1=x|1|2|3|4\n\n[Subjects]\n1=s\n"
                               "[GRAPHICOBJECTS]\n3=z|1|2|3|4\n");
    Profile p(path);
    p.eraseSection("graphicobjects");
    EXPECT_FALSE(p.sectionExists("GraphicObjects"));
    p.writeString("GraphicObjects", "2", "y|1|2|3|4");
    ASSERT_TRUE(p.save());
    EXPECT_EQ(read(path), "[General]\nName=a\n\n[Subjects]\n1=s\n\n[GraphicObjects]\n2=y|1|2|3|4\n");
}

TEST_F(ProfileTest, TurkishCodePageIsReadAndWrittenBackAsItWas)
{
    // "Ağaç ışık" in Windows-1254: ğ = F0, ç = E7, ı = FD, ş = FE.
    const QByteArray bytes = "[General]\r\nName=A\xF0\x61\xE7 \xFD\xFE\xFDk\r\nID=1\r\n";
    const QString path = write(bytes);
    Profile p(path);
    EXPECT_EQ(p.encoding(), Profile::Encoding::Windows1254);
    EXPECT_EQ(p.readString("General", "Name"), QStringLiteral("Ağaç ışık"));
    p.writeString("General", "ID", "2");
    p.writeString("General", "ID", "1");
    ASSERT_TRUE(p.save());
    EXPECT_EQ(read(path), bytes);
}

TEST_F(ProfileTest, Utf8FileStaysUtf8WithItsLineEndings)
{
    const QString path = write("[General]\nName=Ağaç\n");
    Profile p(path);
    EXPECT_EQ(p.encoding(), Profile::Encoding::Utf8);
    p.writeString("General", "Title", "Şeker");
    ASSERT_TRUE(p.save());
    EXPECT_EQ(read(path), "[General]\nName=A\xC4\x9F\x61\xC3\xA7\nTitle=\xC5\x9E\x65ker\n");
}

TEST_F(ProfileTest, NewFileIsWrittenInTheTurkishCodePageUnlessACharacterIsMissingThere)
{
    const QString path = dir.filePath("new.ini");
    Profile p(path);
    EXPECT_FALSE(p.existed());
    p.writeString("S", "k", "ç");
    ASSERT_TRUE(p.save());
    EXPECT_EQ(read(path), "[S]\r\nk=\xE7\r\n");

    Profile q(path);
    q.writeString("S", "k2", QStringLiteral("ç ж"));
    ASSERT_TRUE(q.save());
    EXPECT_EQ(q.encoding(), Profile::Encoding::Utf8);
    EXPECT_EQ(Profile(path).readString("S", "k"), QStringLiteral("ç"));
    EXPECT_EQ(Profile(path).readString("S", "k2"), QStringLiteral("ç ж"));
}

TEST_F(ProfileTest, LongValuesAreReadWhole)
{
    QStringList ids;
    for (int i = 1; i <= 900; ++i)
        ids << QString::number(i);
    const QString value = ids.join('|');
    ASSERT_GT(value.size(), 2047);
    Profile p(write("[General]\nClickObjects=" + value.toUtf8() + "\n"));
    EXPECT_EQ(p.readString("General", "ClickObjects"), value);
}

TEST_F(ProfileTest, ValuesLongerThanAMebibyteReadAsEmptyAndAreReported)
{
    const QByteArray longest(Profile::kMaxValueBytes, 'a');
    Profile p(write("[General]\nName=" + longest + "b\nID=7\nImageFile= " + longest + " \n\n[Subjects]\n1=" +
                    longest + "|x\n2=Harfler\n"));
    EXPECT_EQ(p.readString("General", "Name", "def"), "");
    EXPECT_EQ(p.readString("General", "ID"), "7");
    EXPECT_EQ(p.readString("General", "ImageFile").size(), Profile::kMaxValueBytes); // the longest that is read
    EXPECT_EQ(p.readSectionValues("Subjects"), QStringList{"2=Harfler"});
    EXPECT_EQ(p.warnings(), (QStringList{"line 2: [General] Name: a value longer than 1 MiB reads as empty",
                                         "line 7: [Subjects] 1: a value longer than 1 MiB reads as empty"}));

    // The bound counts bytes as stored: "ç" takes two in UTF-8.
    QByteArray turkish;
    for (int i = 0; i < Profile::kMaxValueBytes / 2 + 1; ++i)
        turkish += "\xC3\xA7";
    Profile q(write("[General]\nName=" + turkish + "\n", "utf8.ini"));
    EXPECT_EQ(q.encoding(), Profile::Encoding::Utf8);
    EXPECT_EQ(q.readString("General", "Name", "def"), "");
    EXPECT_EQ(q.warnings().size(), 1);
}

TEST_F(ProfileTest, LineBreaksInsideAValueCannotStartNewKeys)
{
    const QString path = dir.filePath("b.ini");
    Profile p(path);
    p.writeString("S", "name", "a\n[Evil]\r\nx=1");
    ASSERT_TRUE(p.save());
    Profile q(path);
    EXPECT_FALSE(q.sectionExists("Evil"));
    EXPECT_EQ(q.readString("S", "name"), "a [Evil]  x=1");
}

TEST_F(ProfileTest, SaveReplacesTheFileInsteadOfWritingIntoIt)
{
    if (ranAsNobody())
        return;
    const QString path = write("[S]\nk=old\n");
    const QString witness = dir.filePath("witness.ini");
    // A second name for the old file: writing into the file would change it too.
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(witness).constData()), 0);
    Profile p(path);
    p.writeString("S", "k", "new");
    ASSERT_TRUE(p.save());
    EXPECT_EQ(read(path), "[S]\nk=new\n");
    EXPECT_EQ(read(witness), "[S]\nk=old\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary left behind
}

TEST_F(ProfileTest, AFolderThatTakesNoNewFileGetsTheFileWrittenInPlace)
{
    if (ranAsNobody())
        return;
    // A program folder of root's with a settings file anyone may write.
    const QString folder = dir.filePath("program");
    ASSERT_TRUE(QDir(dir.path()).mkdir("program"));
    const QString path = write("[Settings]\nLastChapter=sayfa12.ini\n", "program/Vedra.ini");
    const QString witness = folder + "/witness.ini";
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(witness).constData()), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);

    Profile p(path);
    p.writeString("Settings", "LastChapter", "s1.ini"); // shorter: nothing of the old end may stay
    QString error;
    EXPECT_TRUE(p.save(&error)) << error.toStdString();
    EXPECT_EQ(read(path), "[Settings]\nLastChapter=s1.ini\n");
    EXPECT_EQ(read(witness), "[Settings]\nLastChapter=s1.ini\n"); // the same file, written into
    EXPECT_FALSE(p.isDirty());

    // Not even the file may be written: nothing changes and the message names it.
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    Profile q(path);
    q.writeString("Settings", "LastChapter", "s2.ini");
    EXPECT_FALSE(q.save(&error));
    EXPECT_EQ(error, "Unable to write to " + path);
    EXPECT_EQ(read(path), "[Settings]\nLastChapter=s1.ini\n");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2);
    ::chmod(QFile::encodeName(folder).constData(), 0755);
}

TEST_F(ProfileTest, FailedSaveNamesTheFileAndKeepsTheChanges)
{
    const QString path = dir.filePath("missing-folder/a.ini");
    Profile p(path);
    p.writeString("S", "k", "v");
    QString error;
    EXPECT_FALSE(p.save(&error));
    EXPECT_EQ(error, "Unable to write to " + path);
    EXPECT_TRUE(p.isDirty());
    EXPECT_EQ(p.readString("S", "k"), "v");
}

TEST_F(ProfileTest, OneSectionReadsAsInTheWholeFileAndIsNeverSaved)
{
    // "Çiçek" in UTF-8 bytes, but the file is no UTF-8 as a whole (a lone 0xE7
    // further on): both read it in the Turkish code page.
    const QString path =
        write("Top=1\r\n[Other]\r\nName=x\r\n[ general ]\r\nName = \xC3\x87i\xC3\xA7"
              "ek\r\nname=2\r\n"
              ";Name=3\r\nID=07\r\n\r\n[GraphicObjects]\r\n1=\xE7|1|2|3|4\r\n[General]\r\nGroupID=09\r\n");
    const QByteArray bytes = read(path);
    const Profile whole(path);
    Profile general(path, QStringLiteral("General"));
    for (const char *key : {"Name", "ID", "GroupID", "Top"})
        EXPECT_EQ(general.readString("General", key, "-"), whole.readString("General", key, "-")) << key;
    EXPECT_EQ(general.readString("General", "Name"), QStringLiteral("Ã‡iÃ§ek"));
    EXPECT_EQ(general.readSectionValues("General"), whole.readSectionValues("General"));
    EXPECT_FALSE(general.sectionExists("GraphicObjects"));

    general.writeString("General", "Name", "y");
    QString error;
    EXPECT_FALSE(general.save(&error));
    EXPECT_TRUE(error.contains(path));
    EXPECT_EQ(read(path), bytes);
}
