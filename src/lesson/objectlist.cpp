#include "lesson/objectlist.h"

#include <numeric>

#include <algorithm>
#include <cassert>

namespace lirena {

ObjectList::ObjectList(Ownership ownership, Order order, QObject *parent)
    : QAbstractListModel(parent), mOwnership(ownership), mOrder(order),
      mCollator(QLocale(QLocale::Turkish, QLocale::Turkey))
{
    mCollator.setCaseSensitivity(Qt::CaseInsensitive);
}

ObjectList::~ObjectList() = default;

TBaseObj *ObjectList::objectAt(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return mEntries[size_t(index)].object;
}

QString ObjectList::textAt(int index) const
{
    if (index < 0 || index >= count())
        return {};
    return mEntries[size_t(index)].text;
}

int ObjectList::indexOf(const TBaseObj *object) const
{
    for (int i = 0; i < count(); ++i) {
        if (mEntries[size_t(i)].object == object)
            return i;
    }
    return -1;
}

bool ObjectList::lessThan(const QString &a, const QString &b) const
{
    return mCollator.compare(a, b) < 0;
}

int ObjectList::insert(Entry entry)
{
    int index = count();
    if (isSorted()) {
        // After every entry that does not sort after it: equal texts keep their arrival order.
        const auto place = std::upper_bound(mEntries.begin(), mEntries.end(), entry.text,
                                            [this](const QString &text, const Entry &e) {
                                                return lessThan(text, e.text);
                                            });
        index = int(place - mEntries.begin());
    }
    beginInsertRows(QModelIndex(), index, index);
    mEntries.insert(mEntries.begin() + index, std::move(entry));
    endInsertRows();
    if (mCurrent >= index) {
        ++mCurrent;
        emit currentIndexChanged(mCurrent);
    }
    return index;
}

int ObjectList::add(const QString &text, TBaseObj *object)
{
    assert(mOwnership == Ownership::RefersOnly);
    return insert(Entry{text, object, nullptr});
}

int ObjectList::add(const QString &text, std::unique_ptr<TBaseObj> object)
{
    assert(mOwnership == Ownership::Owns);
    TBaseObj *raw = object.get();
    return insert(Entry{text, raw, std::move(object)});
}

void ObjectList::setTextAt(int index, const QString &text)
{
    if (index < 0 || index >= count())
        return;
    mEntries[size_t(index)].text = text;
    const QModelIndex changed = this->index(index);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void ObjectList::removeAt(int index)
{
    if (index < 0 || index >= count())
        return;
    beginRemoveRows(QModelIndex(), index, index);
    // The entry goes first, then its object: nothing can reach a freed object through the list.
    Entry entry = std::move(mEntries[size_t(index)]);
    mEntries.erase(mEntries.begin() + index);
    endRemoveRows();
    if (mCurrent == index) {
        mCurrent = -1;
        emit currentIndexChanged(mCurrent);
    } else if (mCurrent > index) {
        --mCurrent;
        emit currentIndexChanged(mCurrent);
    }
}

int ObjectList::removeAll(const TBaseObj *object)
{
    int removed = 0;
    for (int i = count() - 1; i >= 0; --i) {
        if (mEntries[size_t(i)].object == object) {
            removeAt(i);
            ++removed;
        }
    }
    return removed;
}

void ObjectList::swap(int a, int b)
{
    if (a < 0 || b < 0 || a >= count() || b >= count() || a == b)
        return;
    std::swap(mEntries[size_t(a)], mEntries[size_t(b)]);
    emit dataChanged(index(std::min(a, b)), index(std::max(a, b)), {Qt::DisplayRole});
}

void ObjectList::clear()
{
    if (mEntries.empty() && mCurrent == -1)
        return;
    beginResetModel();
    std::vector<Entry> gone;
    gone.swap(mEntries);
    endResetModel();
    if (mCurrent != -1) {
        mCurrent = -1;
        emit currentIndexChanged(mCurrent);
    }
}

void ObjectList::setSortingSuspended(bool suspended)
{
    if (mSortingSuspended == suspended)
        return;
    mSortingSuspended = suspended;
    if (suspended || mOrder != Order::Sorted)
        return;
    // The selection keeps its index, not its entry, as the list box did when it sorted.
    beginResetModel();
    // A chapter may list thousands of objects: each text's sort key is made once.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(mEntries.size());
    for (const Entry &e : mEntries)
        keys.push_back(mCollator.sortKey(e.text));
    std::vector<size_t> order(mEntries.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&keys](size_t a, size_t b) { return keys[a].compare(keys[b]) < 0; });
    std::vector<Entry> sorted;
    sorted.reserve(mEntries.size());
    for (const size_t i : order)
        sorted.push_back(std::move(mEntries[i]));
    mEntries = std::move(sorted);
    endResetModel();
    if (mCurrent >= 0)
        emit currentIndexChanged(mCurrent);
}

void ObjectList::setCurrentIndex(int index)
{
    if (index < -1 || index >= count())
        index = -1;
    if (index == mCurrent)
        return;
    mCurrent = index;
    emit currentIndexChanged(mCurrent);
}

int ObjectList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant ObjectList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return mEntries[size_t(index.row())].text;
    return {};
}

} // namespace lirena
