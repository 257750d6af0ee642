#pragma once

#include "lesson/chapter.h"

#include <vector>

namespace lirena {

// The segments a click on the page can play (the links of the click set that
// name both a rectangle and a segment), in the order of their start times,
// and the learner's steps through them from a playing position. A snapshot:
// made when a key asks and dropped after it.
class SegmentSteps
{
public:
    explicit SegmentSteps(const Chapter &chapter);

    // The segment heard last at position p (ms): the last one to have started
    // at or before p; none before the first.
    const TVoiceObj *heard(qint64 p) const;
    // The segment after, or before, the one heard at p; the first one when
    // none has been heard yet and the step is forward.
    const TVoiceObj *next(qint64 p) const;
    const TVoiceObj *previous(qint64 p) const;

    int count() const { return int(mOrdered.size()); }

private:
    // Index into mOrdered of the segment heard at p, -1 for none.
    int heardIndex(qint64 p) const;

    // One segment per start time: of segments starting together the first
    // link's, as a click takes the first rectangle in the click set's order.
    std::vector<const TVoiceObj *> mOrdered;
};

} // namespace lirena
