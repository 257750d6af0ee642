#include "lesson/chapterfile.h"

#include "lesson/splitfields.h"
#include "platform/integertext.h"
#include "platform/pathresolver.h"
#include "platform/profile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <new>

namespace lirena {

namespace {

const QString kGeneral = QStringLiteral("General");
const QString kGraphics = QStringLiteral("GraphicObjects");
const QString kVoices = QStringLiteral("VoiceObjects");
const QString kLinks = QStringLiteral("VGObjects");
const QString kSubjects = QStringLiteral("Subjects");

// A field that must be an integer; anything else stops the reading.
int integerField(const QString &field, const QString &section, const QString &line)
{
    if (auto value = parseInteger(field))
        return *value;
    throw EChapterFormat(QStringLiteral("'%1' is not a valid integer value.\n[%2] %3").arg(field, section, line));
}

// The file's bytes copied beside it, replacing an earlier copy; a failed copy is ignored.
void copyToOld(const QString &path)
{
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = source.readAll();
    QSaveFile copy(path + QStringLiteral(".old"));
    copy.setDirectWriteFallback(true);
    if (copy.open(QIODevice::WriteOnly) && copy.write(bytes) == bytes.size())
        copy.commit();
}

QString joinIds(const ObjectList &list)
{
    QStringList ids;
    for (int i = 0; i < list.count(); ++i) {
        if (const TBaseObj *object = list.objectAt(i))
            ids.append(QString::number(object->Id));
    }
    return ids.join(u'|');
}

QString n(int value)
{
    return QString::number(value);
}

QString fields(const QStringList &values)
{
    return values.join(u'|');
}

} // namespace

EChapterFormat::EChapterFormat(const QString &message) : std::runtime_error(message.toStdString()) {}

ChapterView::~ChapterView() = default;

std::vector<SubjectNode> parseSubjects(const QStringList &sectionLines)
{
    std::vector<SubjectNode> roots;
    SubjectNode *heading = nullptr;
    for (const QString &line : sectionLines) {
        const QStringList fields = SplitFields(line);
        if (fields.size() == 2) {
            roots.push_back(SubjectNode{fields[1], {}, {}, {}});
            heading = &roots.back();
        } else if (fields.size() == 4) {
            SubjectNode entry{fields[1], fields[2], fields[3], {}};
            if (heading)
                heading->children.push_back(std::move(entry));
            else
                roots.push_back(std::move(entry));
        }
    }
    return roots;
}

Profile readChapterGeneral(const QString &path)
{
    return Profile(path, kGeneral);
}

ChapterFile::ChapterFile(Chapter &chapter) : mChapter(chapter) {}

void ChapterFile::setDataFolder(const QString &folder)
{
    mDataFolder = withTrailingSlash(folder);
}

QString ChapterFile::resolve(const QString &name) const
{
    return resolveCoursePath(mDataFolder, name);
}

bool ChapterFile::LoadChapter(const QString &path, ChapterView &view)
{
    if (!QFileInfo(path).isFile())
        return false;
    const QString fileName = fileNamePart(path);
    if (fileName == ChapterFileName)
        return false;

    ChapterFileName = fileName;
    ImageFile.clear();
    MediaFile.clear();
    GroupId.clear();
    Warnings.clear();
    mChapter.ClearChapter();
    mChapter.LstGObj.setSortingSuspended(true);
    mChapter.LstVObj.setSortingSuspended(true);
    mChapter.LstVGObj.setSortingSuspended(true);
    view.stopMedia();
    view.showWaitPicture(true);

    try {
        const Profile profile(path);
        Warnings = profile.warnings();
        view.setSectionPlay(profile.readInteger(kGeneral, QStringLiteral("SectionPlay"), 0) != 0);

        ChapterName = profile.readString(kGeneral, QStringLiteral("Name"));
        view.setChapterName(ChapterName);

        ImageFile = profile.readString(kGeneral, QStringLiteral("ImageFile"));
        const QString extension = QFileInfo(fileNamePart(ImageFile)).suffix().toUpper();
        if (extension == u"JPG")
            view.showPicturePage(ImageFile);
        else if (extension == u"HTM")
            view.showHtmlPage(resolve(ImageFile));

        MediaFile = profile.readString(kGeneral, QStringLiteral("MediaFile"));
        view.openMedia(MediaFile, resolve(MediaFile));

        readObjects(profile, view.imageScale());
        readSequence(profile, QStringLiteral("ClickObjects"), mChapter.LstCObj);
        readSequence(profile, QStringLiteral("ReadObjects"), mChapter.LstRObj);

        view.setSubjects(parseSubjects(profile.readSectionValues(kSubjects)));

        GroupId = profile.readString(kGeneral, QStringLiteral("GroupID"), QStringLiteral("01"));
        view.expandChapterGroup(GroupId);
    } catch (const EChapterFormat &error) {
        view.showError(error.message());
    } catch (const std::bad_alloc &) {
        // A picture, a recording or the file itself too large for the memory left.
        view.showError(QStringLiteral("Bu ders sayfasını açmaya bellek yetmiyor !\n%1").arg(path));
    }

    view.showWaitPicture(false);
    mChapter.LstGObj.setSortingSuspended(false);
    mChapter.LstVObj.setSortingSuspended(false);
    mChapter.LstVGObj.setSortingSuspended(false);
    view.chapterLoaded(path);
    mChapter.setModified(false);
    return true;
}

void ChapterFile::readObjects(const Profile &profile, double scale)
{
    for (const QString &line : profile.readSectionValues(kGraphics)) {
        const QStringList f = SplitFields(line);
        if (f.size() != 6)
            continue;
        auto object = std::make_unique<TGraphicObj>();
        object->Id = integerField(f[0], kGraphics, line);
        object->Name = f[1];
        object->ImageRect = {integerField(f[2], kGraphics, line), integerField(f[3], kGraphics, line),
                             integerField(f[4], kGraphics, line), integerField(f[5], kGraphics, line)};
        object->ViewRect = viewRectOnRead(object->ImageRect, scale);
        mChapter.addReadGraphic(std::move(object));
    }
    if (!mChapter.LstGObj.isEmpty())
        mChapter.LstGObj.setCurrentIndex(0);

    for (const QString &line : profile.readSectionValues(kVoices)) {
        const QStringList f = SplitFields(line);
        if (f.size() != 4)
            continue;
        auto object = std::make_unique<TVoiceObj>();
        object->Id = integerField(f[0], kVoices, line);
        object->Name = f[1];
        object->StartTime = integerField(f[2], kVoices, line);
        object->StopTime = integerField(f[3], kVoices, line);
        mChapter.addReadVoice(std::move(object));
    }
    if (!mChapter.LstVObj.isEmpty())
        mChapter.LstVObj.setCurrentIndex(0);

    for (const QString &line : profile.readSectionValues(kLinks)) {
        const QStringList f = SplitFields(line);
        if (f.size() != 4)
            continue;
        auto object = std::make_unique<TVGObj>();
        object->Id = integerField(f[0], kLinks, line);
        object->Name = f[1];
        object->GraphicId = integerField(f[2], kLinks, line);
        object->VoiceId = integerField(f[3], kLinks, line);
        mChapter.addReadLink(std::move(object));
    }
    if (!mChapter.LstVGObj.isEmpty())
        mChapter.LstVGObj.setCurrentIndex(0);
}

void ChapterFile::readSequence(const Profile &profile, const QString &key, ObjectList &target)
{
    // The first link of each id, as a search through the list in its order finds it.
    QHash<int, TVGObj *> links;
    for (int i = mChapter.LstVGObj.count() - 1; i >= 0; --i) {
        auto *link = mChapter.LstVGObj.at<TVGObj>(i);
        links.insert(link->Id, link);
    }
    const QString value = profile.readString(kGeneral, key);
    // The line is put together for an error message only: a sequence of
    // thousands of ids is long.
    for (const QString &field : SplitFields(value)) {
        const auto number = parseInteger(field);
        const int id = number ? *number : integerField(field, kGeneral, key + u'=' + value);
        if (TVGObj *link = links.value(id))
            target.add(link->Name, link);
    }
}

bool ChapterFile::SaveChapter(const QString &path, bool sectionPlay, QString *error)
{
    return save(path, sectionPlay, nullptr, error);
}

bool ChapterFile::SaveChapter(const QString &path, bool sectionPlay, const PageFiles &page, QString *error)
{
    return save(path, sectionPlay, &page, error);
}

bool ChapterFile::save(const QString &path, bool sectionPlay, const PageFiles *page, QString *error)
{
    if (QFileInfo::exists(path))
        copyToOld(path);

    Profile profile(path);
    if (page) {
        profile.writeString(kGeneral, QStringLiteral("ImageFile"), page->ImageFile);
        profile.writeString(kGeneral, QStringLiteral("MediaFile"), page->MediaFile);
    }
    // Each object section is written whole: a book of thousands of objects saves in one pass.
    std::vector<std::pair<QString, QString>> lines;
    lines.reserve(size_t(mChapter.LstGObj.count()));
    for (int i = 0; i < mChapter.LstGObj.count(); ++i) {
        const auto *g = mChapter.LstGObj.at<TGraphicObj>(i);
        const PixelRect &r = g->ImageRect;
        lines.emplace_back(QString::number(g->Id), fields({g->Name, n(r.Left), n(r.Top), n(r.Right), n(r.Bottom)}));
    }
    profile.replaceSection(kGraphics, lines);
    lines.clear();
    for (int i = 0; i < mChapter.LstVObj.count(); ++i) {
        const auto *v = mChapter.LstVObj.at<TVoiceObj>(i);
        lines.emplace_back(QString::number(v->Id), fields({v->Name, n(v->StartTime), n(v->StopTime)}));
    }
    profile.replaceSection(kVoices, lines);
    lines.clear();
    for (int i = 0; i < mChapter.LstVGObj.count(); ++i) {
        const auto *l = mChapter.LstVGObj.at<TVGObj>(i);
        lines.emplace_back(QString::number(l->Id), fields({l->Name, n(l->GraphicId), n(l->VoiceId)}));
    }
    profile.replaceSection(kLinks, lines);
    profile.writeString(kGeneral, QStringLiteral("ClickObjects"), joinIds(mChapter.LstCObj));
    profile.writeString(kGeneral, QStringLiteral("ReadObjects"), joinIds(mChapter.LstRObj));
    profile.writeString(kGeneral, QStringLiteral("Version"), QStringLiteral("1.0"));
    profile.writeString(kGeneral, QStringLiteral("SectionPlay"), sectionPlay ? QStringLiteral("1") : QStringLiteral("0"));

    if (!profile.save(error))
        return false;
    mChapter.setModified(false);
    return true;
}

} // namespace lirena
