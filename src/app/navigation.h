#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QToolButton;

namespace lirena {

// The history of visited chapters and the moves through it: going to a
// chapter, back and forward. An entry is "name|position|file name".
class Navigation : public QObject
{
    Q_OBJECT

public:
    struct Hooks
    {
        std::function<QString()> chapterName;       // of the chapter shown
        std::function<QString()> chapterFileName;   // of the chapter shown
        std::function<qint64()> position;           // media position now, ms
        std::function<void(const QString &)> loadChapter; // a file name inside the data folder, or a full path
        std::function<void(qint64)> seek;
    };

    Navigation(Hooks hooks, QToolButton *back, QToolButton *forward, QObject *parent = nullptr);

    // The visited chapters' entries, oldest first, and the index of the one shown.
    const QStringList &history() const { return History; }
    int historyIndex() const { return HistoryIndex; }

    // The entry of the chapter shown: name, position now, file name.
    QString HistoryEntry() const;
    // The first entry, made when the last run has been restored.
    void start();
    // Leaves the chapter shown for another (a full path), recording both.
    void GoToChapter(const QString &path);
    void btnBackClick();
    void btnForwardClick();
    // Enables back and forward and sets their hints to the neighbouring entries.
    void UpdateHistoryButtons();

    // The position and the file name of an entry. They are taken from its end,
    // so a chapter whose name holds "|" or "=" can still be returned to.
    static void splitEntry(const QString &entry, qint64 *position, QString *fileName);

signals:
    // A chapter was gone to, back or forward, or the history started.
    void moved();

private:
    void moveBy(int step);

    Hooks h;
    QStringList History;
    int HistoryIndex = 0;
    QToolButton *mBack;
    QToolButton *mForward;
};

} // namespace lirena
