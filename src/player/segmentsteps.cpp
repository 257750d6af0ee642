#include "player/segmentsteps.h"

#include <algorithm>

namespace lirena {

SegmentSteps::SegmentSteps(const Chapter &chapter)
{
    for (const TVGObj *link : chapter.ClickSet) {
        const TVoiceObj *voice = chapter.voiceOf(link);
        if (voice && chapter.graphicOf(link))
            mOrdered.push_back(voice);
    }
    // Stable: of equal start times the first in the click set's order comes first, and stays.
    std::stable_sort(mOrdered.begin(), mOrdered.end(),
                     [](const TVoiceObj *a, const TVoiceObj *b) { return a->StartTime < b->StartTime; });
    mOrdered.erase(
        std::unique(mOrdered.begin(), mOrdered.end(),
                    [](const TVoiceObj *a, const TVoiceObj *b) { return a->StartTime == b->StartTime; }),
        mOrdered.end());
}

int SegmentSteps::heardIndex(qint64 p) const
{
    const auto after = std::upper_bound(mOrdered.begin(), mOrdered.end(), p,
                                        [](qint64 at, const TVoiceObj *v) { return at < v->StartTime; });
    return int(after - mOrdered.begin()) - 1;
}

const TVoiceObj *SegmentSteps::heard(qint64 p) const
{
    const int i = heardIndex(p);
    return i >= 0 ? mOrdered[i] : nullptr;
}

const TVoiceObj *SegmentSteps::next(qint64 p) const
{
    const int i = heardIndex(p) + 1;
    return i < count() ? mOrdered[i] : nullptr;
}

const TVoiceObj *SegmentSteps::previous(qint64 p) const
{
    const int i = heardIndex(p) - 1;
    return i >= 0 ? mOrdered[i] : nullptr;
}

} // namespace lirena
