#include "lesson/chapterindex.h"

#include "lesson/objectlist.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <queue>

namespace lirena {

namespace {

// A rectangle over more cells than this is tried at every point instead.
const qint64 kMaxCellsPerRect = 64;

template <class T> void indexFirstById(const ObjectList &list, QHash<int, T *> &byId)
{
    byId.clear();
    byId.reserve(list.count());
    for (int i = 0; i < list.count(); ++i) {
        TBaseObj *object = list.objectAt(i);
        // The first object with an id wins, as a search from the top would find it.
        if (object && !byId.contains(object->Id))
            byId.insert(object->Id, static_cast<T *>(object));
    }
}

int median(std::vector<int> values)
{
    auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

} // namespace

void ChapterIndex::build(const ObjectList &graphics, const ObjectList &voices, const ObjectList &links,
                         const std::vector<TVGObj *> &clickSet)
{
    indexFirstById(graphics, mGraphics);
    indexFirstById(voices, mVoices);
    buildHeard(links);
    buildPlace(clickSet);
}

ChapterIndex::Resolved ChapterIndex::resolve(const TVGObj *link) const
{
    return {link, voice(link->VoiceId), graphic(link->GraphicId)};
}

void ChapterIndex::buildHeard(const ObjectList &links)
{
    mHeard.clear();
    mPieceStart.clear();
    mPieceWinner.clear();
    // Positions are whole ms: a segment holds p for StartTime + 1 <= p < StopTime.
    struct Edge
    {
        qint64 at;
        int link;
        bool begins;
    };
    std::vector<Edge> edges;
    for (int i = 0; i < links.count(); ++i) {
        const auto *link = links.at<TVGObj>(i);
        if (!link)
            continue;
        const Resolved r = resolve(link);
        if (!r.voice || !r.graphic)
            continue;
        const qint64 from = qint64(r.voice->StartTime) + 1;
        const qint64 to = r.voice->StopTime;
        if (from >= to)
            continue;
        const int index = int(mHeard.size());
        mHeard.push_back(r);
        edges.push_back({from, index, true});
        edges.push_back({to, index, false});
    }
    std::sort(edges.begin(), edges.end(), [](const Edge &a, const Edge &b) { return a.at < b.at; });

    // Swept from left to right; the link heard is the earliest in list order
    // among those whose segment holds the position.
    std::priority_queue<int, std::vector<int>, std::greater<int>> holding;
    std::vector<bool> ended(mHeard.size(), false);
    for (size_t e = 0; e < edges.size();) {
        const qint64 at = edges[e].at;
        for (; e < edges.size() && edges[e].at == at; ++e) {
            if (edges[e].begins)
                holding.push(edges[e].link);
            else
                ended[size_t(edges[e].link)] = true;
        }
        while (!holding.empty() && ended[size_t(holding.top())])
            holding.pop();
        const int winner = holding.empty() ? -1 : holding.top();
        if (mPieceWinner.empty() || mPieceWinner.back() != winner) {
            mPieceStart.push_back(at);
            mPieceWinner.push_back(winner);
        }
    }
}

ChapterIndex::Resolved ChapterIndex::heardAt(qint64 p) const
{
    const auto after = std::upper_bound(mPieceStart.begin(), mPieceStart.end(), p);
    if (after == mPieceStart.begin())
        return {};
    const int winner = mPieceWinner[size_t(after - mPieceStart.begin() - 1)];
    return winner < 0 ? Resolved{} : mHeard[size_t(winner)];
}

qint64 ChapterIndex::nextHeardChange(qint64 p) const
{
    const auto after = std::upper_bound(mPieceStart.begin(), mPieceStart.end(), p);
    return after == mPieceStart.end() ? -1 : *after;
}

void ChapterIndex::buildPlace(const std::vector<TVGObj *> &clickSet)
{
    mClickable.clear();
    mCellStart.clear();
    mCellEntries.clear();
    mLarge.clear();
    mColumns = mRows = 0;
    for (const TVGObj *link : clickSet) {
        if (!link)
            continue;
        const Resolved r = resolve(link);
        // A rectangle that covers no pixel is never pointed at.
        if (r.graphic && !r.graphic->ViewRect.isEmpty())
            mClickable.push_back({r.graphic->ViewRect, r});
    }
    if (mClickable.empty())
        return;

    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    std::vector<int> widths, heights;
    widths.reserve(mClickable.size());
    heights.reserve(mClickable.size());
    for (const Clickable &c : mClickable) {
        left = std::min(left, c.rect.Left);
        top = std::min(top, c.rect.Top);
        right = std::max(right, c.rect.Right);
        bottom = std::max(bottom, c.rect.Bottom);
        widths.push_back(int(std::min<qint64>(qint64(c.rect.Right) - c.rect.Left, INT_MAX / 2)));
        heights.push_back(int(std::min<qint64>(qint64(c.rect.Bottom) - c.rect.Top, INT_MAX / 2)));
    }
    // Cells the size of a typical rectangle: most lie in one to four of them.
    // The grid stays within a few cells per rectangle.
    qint64 cellWidth = std::max(4, median(widths));
    qint64 cellHeight = std::max(4, median(heights));
    const qint64 maxCells = 4 * qint64(mClickable.size()) + 4096;
    auto columnsFor = [&](qint64 cell) { return (qint64(right) - left + cell - 1) / cell; };
    auto rowsFor = [&](qint64 cell) { return (qint64(bottom) - top + cell - 1) / cell; };
    while (columnsFor(cellWidth) * rowsFor(cellHeight) > maxCells) {
        cellWidth *= 2;
        cellHeight *= 2;
    }
    mGridLeft = left;
    mGridTop = top;
    mCellWidth = int(std::min<qint64>(cellWidth, INT_MAX));
    mCellHeight = int(std::min<qint64>(cellHeight, INT_MAX));
    mColumns = int(columnsFor(cellWidth));
    mRows = int(rowsFor(cellHeight));

    struct Span
    {
        int column0, column1, row0, row1;
    };
    auto spanOf = [&](const PixelRect &r) {
        return Span{int((qint64(r.Left) - left) / cellWidth), int((qint64(r.Right) - 1 - left) / cellWidth),
                    int((qint64(r.Top) - top) / cellHeight), int((qint64(r.Bottom) - 1 - top) / cellHeight)};
    };
    auto isLarge = [](const Span &s) {
        return qint64(s.column1 - s.column0 + 1) * (s.row1 - s.row0 + 1) > kMaxCellsPerRect;
    };
    // Counted first, then filled in click-set order: each cell's list is in that order.
    mCellStart.assign(size_t(mColumns) * size_t(mRows) + 1, 0);
    for (const Clickable &c : mClickable) {
        const Span s = spanOf(c.rect);
        if (isLarge(s))
            continue;
        for (int row = s.row0; row <= s.row1; ++row)
            for (int column = s.column0; column <= s.column1; ++column)
                ++mCellStart[size_t(row) * size_t(mColumns) + size_t(column) + 1];
    }
    for (size_t i = 1; i < mCellStart.size(); ++i)
        mCellStart[i] += mCellStart[i - 1];
    mCellEntries.resize(size_t(mCellStart.back()));
    std::vector<int> filled(mCellStart.begin(), mCellStart.end() - 1);
    for (int k = 0; k < int(mClickable.size()); ++k) {
        const Span s = spanOf(mClickable[size_t(k)].rect);
        if (isLarge(s)) {
            mLarge.push_back(k);
            continue;
        }
        for (int row = s.row0; row <= s.row1; ++row)
            for (int column = s.column0; column <= s.column1; ++column)
                mCellEntries[size_t(filled[size_t(row) * size_t(mColumns) + size_t(column)]++)] = k;
    }
}

ChapterIndex::Resolved ChapterIndex::clickableAt(int x, int y) const
{
    int best = INT_MAX;
    if (mColumns > 0 && x >= mGridLeft && y >= mGridTop) {
        const qint64 column = (qint64(x) - mGridLeft) / mCellWidth;
        const qint64 row = (qint64(y) - mGridTop) / mCellHeight;
        if (column < mColumns && row < mRows) {
            const size_t cell = size_t(row) * size_t(mColumns) + size_t(column);
            for (int e = mCellStart[cell]; e < mCellStart[cell + 1]; ++e) {
                const int k = mCellEntries[size_t(e)];
                if (mClickable[size_t(k)].rect.contains(x, y)) {
                    best = k;
                    break;
                }
            }
        }
    }
    for (const int k : mLarge) {
        if (k >= best)
            break;
        if (mClickable[size_t(k)].rect.contains(x, y)) {
            best = k;
            break;
        }
    }
    return best == INT_MAX ? Resolved{} : mClickable[size_t(best)].target;
}

} // namespace lirena
