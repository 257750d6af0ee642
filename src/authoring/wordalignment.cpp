#include "authoring/wordalignment.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lirena {

namespace {

constexpr double kUnreached = std::numeric_limits<double>::infinity();
// The most words one stretch holds, and the most stretches one word spans.
constexpr int kMostWordsInStretch = 3;
constexpr int kMostStretchesInWord = 3;
// A dip this deep (dB) is an ordinary pause-less word boundary.
constexpr double kOrdinaryDipDb = 12.0;

double median(std::vector<double> values, double fallback)
{
    if (values.empty())
        return fallback;
    const auto mid = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), mid, values.end());
    return *mid;
}

} // namespace

int turkishSyllables(const QString &word)
{
    static const QString vowels = QStringLiteral("aeıioöuüâîûAEIİOÖUÜÂÎÛ");
    int count = 0, characters = 0;
    for (const QChar c : word) {
        if (vowels.contains(c))
            ++count;
        if (c.isLetterOrNumber())
            ++characters;
    }
    if (count > 0)
        return count;
    return std::max(1, (characters + 1) / 2);
}

double readingWeight(const QString &word)
{
    static const QString vowels = QStringLiteral("aeıioöuüâîûAEIİOÖUÜÂÎÛ");
    int consonants = 0;
    for (const QChar c : word) {
        if (c.isLetter() && !vowels.contains(c))
            ++consonants;
    }
    return turkishSyllables(word) + consonants / 3.0;
}

WordAlignment::WordAlignment(std::vector<double> weights, std::vector<SpeechStretch> stretches,
                             DipDepth dipDepth)
    : mWeights(std::move(weights)), mStretches(std::move(stretches)), mDipDepth(std::move(dipDepth))
{
    std::vector<double> gaps;
    for (std::size_t j = 1; j < mStretches.size(); ++j)
        gaps.push_back(mStretches[j].start - mStretches[j - 1].stop);
    mTypicalPauseMs = std::max(50.0, median(gaps, 500));

    double speech = 0, weightRead = 0;
    for (const SpeechStretch &s : mStretches)
        speech += s.length();
    for (double w : mWeights)
        weightRead += w;
    if (speech > 0 && weightRead > 0)
        mMsPerSyllable = speech / weightRead;

    align();
    // The first pace counts every stretch and every word; the words read one
    // to a stretch tell it better (their middle pace, which a word taken for
    // the wrong stretch hardly moves), and how far they stray from it tells
    // how much a length that does not fit should count.
    for (int round = 0; round < 3; ++round) {
        std::vector<double> paces;
        for (const AlignmentStep &step : mSteps) {
            if (step.words == 1 && step.stretches == 1) {
                paces.push_back(mStretches[std::size_t(step.firstStretch)].length() /
                                std::max(0.1, mWeights[std::size_t(step.firstWord)]));
            }
        }
        if (paces.size() < 2)
            break;
        const double pace = median(paces, mMsPerSyllable);
        double spread = mSpread;
        if (paces.size() >= kFewestForSpread) {
            std::vector<double> apart;
            for (double p : paces)
                apart.push_back(std::abs(std::log(p / pace)));
            // 1.4826 turns the median distance into a standard deviation.
            spread =
                std::clamp(1.5 * 1.4826 * median(apart, kDurationSpread), kNarrowestSpread, kDurationSpread);
        }
        if (std::abs(pace - mMsPerSyllable) < 0.01 * mMsPerSyllable && std::abs(spread - mSpread) < 0.01)
            break;
        mMsPerSyllable = pace;
        mSpread = spread;
        align();
    }
}

double WordAlignment::durationCost(double weight, double measuredMs) const
{
    const double expected = std::max(1.0, mMsPerSyllable * weight);
    const double apart = std::log(std::max(1.0, measuredMs) / expected) / mSpread;
    return apart * apart / 2;
}

double WordAlignment::splitCost(int firstWord, int words, int stretch) const
{
    double cost = kSplitCost * (words - 1);
    if (!mDipDepth)
        return cost;
    const SpeechStretch &s = mStretches[std::size_t(stretch)];
    double total = 0;
    for (int w = 0; w < words; ++w)
        total += mWeights[std::size_t(firstWord + w)];
    double before = 0;
    for (int w = 0; w + 1 < words; ++w) {
        before += mWeights[std::size_t(firstWord + w)];
        const int at = s.start + int(s.length() * before / total);
        // A shallow dip makes a boundary without a pause a little less
        // likely; only a little, as stop consonants dip as deep.
        cost += std::max(0.0, kOrdinaryDipDb - mDipDepth(stretch, at)) / kOrdinaryDipDb;
    }
    return cost;
}

double WordAlignment::mergeCost(int firstStretch, int stretches) const
{
    double cost = kMergeCost * (stretches - 1);
    for (int j = firstStretch + 1; j < firstStretch + stretches; ++j) {
        const double gap = mStretches[std::size_t(j)].start - mStretches[std::size_t(j - 1)].stop;
        cost += 2.0 * gap / mTypicalPauseMs;
    }
    return cost;
}

void WordAlignment::align()
{
    const int n = int(mWeights.size()), m = int(mStretches.size());
    const auto at = [m](int i, int j) { return std::size_t(i) * std::size_t(m + 1) + std::size_t(j); };
    std::vector<double> cost(std::size_t(n + 1) * std::size_t(m + 1), kUnreached);
    std::vector<AlignmentStep> came(cost.size());
    cost[at(0, 0)] = 0;
    const auto relax = [&](int i, int j, int words, int stretches, double stepCost) {
        const std::size_t to = at(i + words, j + stretches);
        const double total = cost[at(i, j)] + stepCost;
        if (total < cost[to]) {
            cost[to] = total;
            came[to] = {i, words, j, stretches};
        }
    };
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= m; ++j) {
            if (cost[at(i, j)] == kUnreached)
                continue;
            if (i < n && j < m) {
                const double length = mStretches[std::size_t(j)].length();
                double weight = 0;
                for (int k = 1; k <= kMostWordsInStretch && i + k <= n; ++k) {
                    weight += mWeights[std::size_t(i + k - 1)];
                    relax(i, j, k, 1, durationCost(weight, length) + (k > 1 ? splitCost(i, k, j) : 0.0));
                }
                double spoken = length;
                for (int s = 2; s <= kMostStretchesInWord && j + s <= m; ++s) {
                    spoken += mStretches[std::size_t(j + s - 1)].length();
                    relax(i, j, 1, s, durationCost(mWeights[std::size_t(i)], spoken) + mergeCost(j, s));
                }
            }
            if (i < n)
                relax(i, j, 1, 0, kSkipWordCost);
            if (j < m) {
                // A click or a breath costs less to pass over than a word.
                const double length = mStretches[std::size_t(j)].length();
                relax(i, j, 0, 1, kSkipStretchCost * std::min(1.0, length / 200.0));
            }
        }
    }

    mSteps.clear();
    int i = n, j = m;
    while (i > 0 || j > 0) {
        const AlignmentStep step = came[at(i, j)];
        mSteps.push_back(step);
        i = step.firstWord;
        j = step.firstStretch;
    }
    std::reverse(mSteps.begin(), mSteps.end());
}

} // namespace lirena
