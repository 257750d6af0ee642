#pragma once

#include "authoring/speechstretches.h"

#include <QString>

#include <functional>
#include <vector>

namespace lirena {

// Syllables of a Turkish word: its vowels (a e ı i o ö u ü, either case, and
// â î û). A word without vowels (a number, an abbreviation) counts one
// syllable for every two characters, at least one.
int turkishSyllables(const QString &word);

// How long a word takes to read, in syllables: its syllables, each consonant
// adding a third, as a syllable closed by consonants lasts longer than an
// open one.
double readingWeight(const QString &word);

// One move of an alignment of the page's words to the recording's stretches:
// some words in reading order joined to some stretches in time order.
struct AlignmentStep
{
    int firstWord = 0;
    int words = 0; // 0: the stretches say nothing that is on the page
    int firstStretch = 0;
    int stretches = 0; // 0: the words are not read
    bool operator==(const AlignmentStep &) const = default;
};

// Aligns words to stretches by their lengths, never crossing the order of
// either: a word is expected to last its reading weight times the pace,
// and the alignment of least cost is taken, where a step costs by how far
// measured and expected lengths part (on a log scale) and by what kind of
// step it is: one word to one stretch; two or three words read without a
// pause in one stretch (cheaper where the stretch has a deep dip); one word
// parted by pauses over two or three stretches (dearer the longer the pause
// against the recording's typical pause); a word not read; a stretch not on
// the page. The pace is measured from the recording and sharpened on the
// one-to-one steps of a first alignment; so is the spread of lengths around
// it, between kNarrowestSpread and kDurationSpread on the log scale: a
// steady reader's lengths count for more.
class WordAlignment
{
public:
    // How deep (dB) the quietest moment near `at` (ms) lies in a stretch,
    // when the stretch is parted there; none: every stretch counts as having
    // an ordinary dip.
    using DipDepth = std::function<double(int stretch, int at)>;

    // weights: each word's readingWeight, in reading order.
    WordAlignment(std::vector<double> weights, std::vector<SpeechStretch> stretches, DipDepth dipDepth = {});

    // The steps, covering every word and every stretch once, in order.
    const std::vector<AlignmentStep> &steps() const { return mSteps; }
    // The reading pace the alignment settled on, in ms per syllable of weight.
    double msPerSyllable() const { return mMsPerSyllable; }
    // The spread of word lengths around the pace it settled on (log scale).
    double spread() const { return mSpread; }

    // Costs, on the scale where a one-to-one step whose lengths part by a
    // factor of e^spread costs 0.5; the spread is measured once
    // kFewestForSpread words were read one to a stretch.
    static constexpr double kDurationSpread = 0.35;
    static constexpr double kNarrowestSpread = 0.2;
    static constexpr std::size_t kFewestForSpread = 5;
    static constexpr double kSplitCost = 1.5;
    static constexpr double kMergeCost = 1.5;
    static constexpr double kSkipWordCost = 4.0;
    static constexpr double kSkipStretchCost = 4.0;

private:
    void align();
    double durationCost(double weight, double measuredMs) const;
    double splitCost(int firstWord, int words, int stretch) const;
    double mergeCost(int firstStretch, int stretches) const;

    std::vector<double> mWeights;
    std::vector<SpeechStretch> mStretches;
    DipDepth mDipDepth;
    double mMsPerSyllable = 250;
    double mSpread = kDurationSpread;
    double mTypicalPauseMs = 500;
    std::vector<AlignmentStep> mSteps;
};

} // namespace lirena
