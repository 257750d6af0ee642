#pragma once

#include "authoring/pagewordreader.h"

#include <QString>

#include <algorithm>
#include <cstddef>
#include <vector>

// The word finder proper lives in a module of its own, "liblirena-words.so",
// which links Tesseract and Leptonica. The player opens it only when a page is
// first drafted: its thirty-odd libraries would otherwise be loaded and
// relocated at every start, before the first page is on screen. The module and
// the program are built together from one tree, so the interface between them
// is a C++ class; the version below stops a module from another build.

namespace lirena {

class GrayPicture;

// One engine serves one thread at a time, as PageWordReader does.
class WordEngine
{
public:
    virtual ~WordEngine() = default;

    // The recognised lines of the picture, with their words (text, ink box in
    // the picture's pixels, confidence) and their letter size; words without a
    // letter or digit, and lines left without words, are dropped. Order and
    // roles are the caller's to make (arrangeWords). *scale is the scale the
    // picture was read at. Empty, with *cancelled set, when progress asked to stop.
    virtual std::vector<RecognisedLine> readLines(const GrayPicture &picture,
                                                  const PageWordReader::Progress &progress,
                                                  bool *cancelled, double *scale) = 0;
};

// The median of values, 0 for none.
inline double medianOf(std::vector<double> values)
{
    if (values.empty())
        return 0;
    const auto mid = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), mid, values.end());
    return *mid;
}

} // namespace lirena

// What the module exports, by these names.
#define LIRENA_WORD_ENGINE_VERSION 1
extern "C" {
// The interface version the module was built with.
using LirenaWordEngineVersion = int (*)();
// A started engine (its Turkish data loaded), or null with the reason in *error.
using LirenaWordEngineNew = lirena::WordEngine *(*)(QString *error);
}
