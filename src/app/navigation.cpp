#include "app/navigation.h"

#include "platform/integertext.h"

#include <QToolButton>

namespace lirena {

Navigation::Navigation(Hooks hooks, QToolButton *back, QToolButton *forward, QObject *parent)
    : QObject(parent), h(std::move(hooks)), mBack(back), mForward(forward)
{
}

QString Navigation::HistoryEntry() const
{
    return h.chapterName() + u'|' + QString::number(h.position()) + u'|' + h.chapterFileName();
}

void Navigation::start()
{
    HistoryIndex = 0;
    History.append(h.chapterFileName() + u'|' + QString::number(h.position()));
    emit moved();
}

void Navigation::GoToChapter(const QString &path)
{
    while (HistoryIndex < History.size() - 1)
        History.removeLast();
    if (HistoryIndex >= 0 && HistoryIndex < History.size())
        History[HistoryIndex] = HistoryEntry();
    h.loadChapter(path);
    History.append(HistoryEntry());
    HistoryIndex = int(History.size()) - 1;
    UpdateHistoryButtons();
    emit moved();
}

void Navigation::moveBy(int step)
{
    const int target = HistoryIndex + step;
    if (target < 0 || target >= History.size())
        return;
    History[HistoryIndex] = HistoryEntry();
    HistoryIndex = target;
    UpdateHistoryButtons();
    qint64 position = 0;
    QString fileName;
    splitEntry(History[HistoryIndex], &position, &fileName);
    h.loadChapter(fileName);
    h.seek(position);
    emit moved();
}

void Navigation::btnBackClick()
{
    moveBy(-1);
}

void Navigation::btnForwardClick()
{
    moveBy(+1);
}

void Navigation::UpdateHistoryButtons()
{
    const bool back = HistoryIndex > 0;
    const bool forward = HistoryIndex < History.size() - 1;
    mBack->setEnabled(back);
    mBack->setToolTip(back ? History[HistoryIndex - 1] : QString());
    mForward->setEnabled(forward);
    mForward->setToolTip(forward ? History[HistoryIndex + 1] : QString());
}

void Navigation::splitEntry(const QString &entry, qint64 *position, QString *fileName)
{
    auto isSeparator = [](QChar c) { return c == u'|' || c == u'='; };
    qsizetype last = entry.size() - 1;
    while (last >= 0 && !isSeparator(entry[last]))
        --last;
    *fileName = entry.mid(last + 1);
    qsizetype before = last - 1;
    while (before >= 0 && !isSeparator(entry[before]))
        --before;
    *position = last < 0 ? 0 : parseInteger(entry.mid(before + 1, last - before - 1)).value_or(0);
}

} // namespace lirena
