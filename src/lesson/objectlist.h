#pragma once

#include "lesson/lessonobjects.h"

#include <QAbstractListModel>
#include <QCollator>

#include <memory>
#include <vector>

namespace lirena {

// One of the chapter's five lists: entries of a text and an attached lesson
// object, shown by a list view. An owning list frees an object when its entry
// goes; a sorted list puts a new entry at its alphabetical place (letter case
// ignored) and keeps an entry's place when its text changes. The list also
// carries the selected entry, as the list box it stands for did.
class ObjectList : public QAbstractListModel
{
    Q_OBJECT

public:
    enum class Ownership { Owns, RefersOnly };
    enum class Order { Sorted, Insertion };

    ObjectList(Ownership ownership, Order order, QObject *parent = nullptr);
    ~ObjectList() override;

    int count() const { return int(mEntries.size()); }
    bool isEmpty() const { return mEntries.empty(); }
    TBaseObj *objectAt(int index) const;
    QString textAt(int index) const;
    template <class T> T *at(int index) const { return static_cast<T *>(objectAt(index)); }
    // Index of the first entry holding object, or -1.
    int indexOf(const TBaseObj *object) const;

    // Adds an entry for an object owned elsewhere; returns its index.
    int add(const QString &text, TBaseObj *object);
    // Adds an entry that takes the object over (owning lists only); returns its index.
    int add(const QString &text, std::unique_ptr<TBaseObj> object);
    // Changes an entry's text; the entry keeps its place until the list sorts again.
    void setTextAt(int index, const QString &text);
    // Removes an entry, freeing its object when the list owns it.
    void removeAt(int index);
    // Removes every entry holding object; returns how many went.
    int removeAll(const TBaseObj *object);
    // Swaps two entries (the read sequence's Up and Down).
    void swap(int a, int b);
    // Removes every entry, freeing owned objects.
    void clear();

    bool isSorted() const { return mOrder == Order::Sorted && !mSortingSuspended; }
    // While suspended a sorted list appends; resuming sorts it (equal texts keep their order).
    void setSortingSuspended(bool suspended);

    // The selected entry, -1 for none.
    int currentIndex() const { return mCurrent; }
    void setCurrentIndex(int index);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

signals:
    void currentIndexChanged(int index);

private:
    struct Entry
    {
        QString text;
        TBaseObj *object = nullptr;
        std::unique_ptr<TBaseObj> owned;
    };

    int insert(Entry entry);
    bool lessThan(const QString &a, const QString &b) const;

    std::vector<Entry> mEntries;
    Ownership mOwnership;
    Order mOrder;
    bool mSortingSuspended = false;
    int mCurrent = -1;
    QCollator mCollator;
};

} // namespace lirena
