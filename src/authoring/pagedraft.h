#pragma once

#include "authoring/graypicture.h"
#include "authoring/pagewordreader.h"
#include "authoring/speechstretches.h"
#include "authoring/wordalignment.h"

#include <QString>

#include <functional>
#include <vector>

namespace lirena {

class Chapter;

// What a page is drafted from: its picture and its recording, both decoded.
struct DraftInput
{
    GrayPicture picture;
    SpeechSound sound;
};

// One word of the page joined to the part of the recording that reads it.
struct DraftLink
{
    int word = 0;  // index into DraftResult::words
    int start = 0; // the voice segment, ms
    int stop = 0;
};

// A drafted page as plain data, made on any thread: every word found, the
// stretches of speech, and the links in reading order. Words whose role is
// not Body, and body words the recording does not read, get no link.
struct DraftResult
{
    std::vector<PageWord> words;
    std::vector<SpeechStretch> stretches;
    std::vector<DraftLink> links;
    std::vector<AlignmentStep> steps; // word indices here count body words only
    double msPerSyllable = 0;
    double readingScale = 1.0;
    double thresholdDb = 0;
    int minPauseMs = 0;
    bool cancelled = false;
    QString error; // empty when drafting went through

    // Body words with no link, and stretches no word took.
    std::vector<int> unreadWords() const;
    std::vector<int> unplacedStretches() const;
};

// Called with 0 to 100 as drafting goes on; returning false cancels it.
using DraftProgress = std::function<bool(int percent)>;

// Drafts a page: finds the words on the picture and the stretches of speech
// in the recording and aligns them (see WordAlignment). A stretch holding two
// or three words is parted at its quietest moments near the boundaries the
// words' reading weights predict; a word read over several stretches takes them
// all. Each voice segment reaches up to 100 ms into the quiet on either side
// (half the pause where the pause is shorter), so that a mark comes on just
// before the word is heard. Loads its own reader; the overload takes one that
// has been started, for drafting many pages.
DraftResult draftPage(const DraftInput &in, const DraftProgress &progress = {});
DraftResult draftPage(PageWordReader &reader, const DraftInput &in, const DraftProgress &progress = {});

// A word's text made fit to be an object's name: punctuation at either end
// goes (the mark still frames it), "=" and "|" (the chapter file's
// separators) become spaces, runs of spaces one space.
QString draftObjectName(const QString &word);

// What to do with the objects a chapter already holds.
enum class DraftApply {
    Add,     // keep them; the draft's objects come beside them
    Replace, // delete every graphic object, voice object and link first
};

// Puts a draft into a chapter through its ordinary operations, on the thread
// that owns the chapter: one graphic object per body word (ImageRect the
// word's mark, ViewRect that at the display scale), one voice object per link,
// each named after its word, and the links, named as links are, appended to
// the click and the read sequence in reading order. Ids are issued by the
// chapter's counters and the chapter is marked modified; nothing is written.
void applyDraft(Chapter &chapter, const DraftResult &draft, DraftApply mode = DraftApply::Add,
                double imageScale = 1.0);

} // namespace lirena
