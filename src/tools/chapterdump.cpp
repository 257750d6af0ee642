#include "tools/chapterdump.h"

#include <QStringList>

namespace lirena {

namespace {

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"': out += QStringLiteral("\\\""); break;
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + u'"';
}

QString rect(const PixelRect &r)
{
    return QStringLiteral("[%1, %2, %3, %4]").arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom);
}

QString subjectsJson(const std::vector<SubjectNode> &nodes, int indent)
{
    if (nodes.empty())
        return QStringLiteral("[]");
    const QString pad(indent + 2, u' ');
    QStringList items;
    for (const SubjectNode &node : nodes) {
        items.append(pad + QStringLiteral("{\"title\": %1, \"action\": %2, \"parameter\": %3, \"children\": %4}")
                               .arg(quoted(node.Title), quoted(node.Action), quoted(node.Parameter),
                                    subjectsJson(node.children, indent + 2)));
    }
    return QStringLiteral("[\n") + items.join(QStringLiteral(",\n")) + u'\n' + QString(indent, u' ') + u']';
}

QString idList(const ObjectList &list)
{
    QStringList ids;
    for (int i = 0; i < list.count(); ++i)
        ids.append(QString::number(list.objectAt(i)->Id));
    return u'[' + ids.join(QStringLiteral(", ")) + u']';
}

QString array(const QStringList &items)
{
    if (items.isEmpty())
        return QStringLiteral("[]");
    return QStringLiteral("[\n") + items.join(QStringLiteral(",\n")) + QStringLiteral("\n  ]");
}

} // namespace

QString chapterDumpJson(const ChapterDumpInput &in)
{
    const Chapter &c = *in.chapter;
    const ChapterFile &f = *in.file;
    QStringList graphics, voices, links;
    for (int i = 0; i < c.LstGObj.count(); ++i) {
        const auto *g = c.LstGObj.at<TGraphicObj>(i);
        graphics.append(QStringLiteral("    {\"id\": %1, \"name\": %2, \"imageRect\": %3, \"viewRect\": %4}")
                            .arg(QString::number(g->Id), quoted(g->Name), rect(g->ImageRect), rect(g->ViewRect)));
    }
    for (int i = 0; i < c.LstVObj.count(); ++i) {
        const auto *v = c.LstVObj.at<TVoiceObj>(i);
        voices.append(QStringLiteral("    {\"id\": %1, \"name\": %2, \"start\": %3, \"stop\": %4}")
                          .arg(QString::number(v->Id), quoted(v->Name), QString::number(v->StartTime),
                               QString::number(v->StopTime)));
    }
    for (int i = 0; i < c.LstVGObj.count(); ++i) {
        const auto *l = c.LstVGObj.at<TVGObj>(i);
        links.append(QStringLiteral("    {\"id\": %1, \"name\": %2, \"graphicId\": %3, \"voiceId\": %4}")
                         .arg(QString::number(l->Id), quoted(l->Name), QString::number(l->GraphicId),
                              QString::number(l->VoiceId)));
    }

    QStringList fields;
    fields << QStringLiteral("  \"name\": ") + quoted(f.ChapterName)
           << QStringLiteral("  \"imageFile\": ") + quoted(f.ImageFile)
           << QStringLiteral("  \"mediaFile\": ") + quoted(f.MediaFile)
           << QStringLiteral("  \"groupId\": ") + quoted(f.GroupId)
           << QStringLiteral("  \"sectionPlay\": ") + (in.sectionPlay ? QStringLiteral("true") : QStringLiteral("false"))
           << QStringLiteral("  \"lastIds\": {\"graphic\": %1, \"voice\": %2, \"link\": %3}")
                  .arg(c.LastGraphicId)
                  .arg(c.LastVoiceId)
                  .arg(c.LastLinkId)
           << QStringLiteral("  \"graphics\": ") + array(graphics) << QStringLiteral("  \"voices\": ") + array(voices)
           << QStringLiteral("  \"links\": ") + array(links) << QStringLiteral("  \"click\": ") + idList(c.LstCObj)
           << QStringLiteral("  \"read\": ") + idList(c.LstRObj)
           << QStringLiteral("  \"subjects\": ") + subjectsJson(in.subjects, 2)
           << QStringLiteral("  \"mediaLength\": ") +
                  (in.mediaLength ? QString::number(*in.mediaLength) : QStringLiteral("null"));
    if (!in.error.isEmpty())
        fields << QStringLiteral("  \"error\": ") + quoted(in.error);
    if (!f.Warnings.isEmpty()) {
        QStringList warnings;
        for (const QString &warning : f.Warnings)
            warnings.append(QStringLiteral("    ") + quoted(warning));
        fields << QStringLiteral("  \"warnings\": ") + array(warnings);
    }
    return QStringLiteral("{\n") + fields.join(QStringLiteral(",\n")) + QStringLiteral("\n}\n");
}

} // namespace lirena
