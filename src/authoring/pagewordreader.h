#pragma once

#include "lesson/lessonobjects.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace lirena {

class GrayPicture;
class WordEngine;

// One word found on a page picture. Rectangles are in the picture's own
// pixels, right and bottom exclusive, as ImageRect is.
struct PageWord
{
    // Whether a word is part of the text the page is about (Body), or is left
    // out by the size rule below: a title, caption or page number
    // (SmallerThanBody) or a heading (LargerThanBody).
    enum class Role { Body, SmallerThanBody, LargerThanBody };

    QString text;           // as recognised
    PixelRect ink;          // the box around the word's ink
    PixelRect rect;         // the mark: ink grown by a margin of a third of the letter size
    int confidence = 0;     // 0 to 100
    int line = 0;           // the line in reading order, from 0
    int letterSize = 0;     // x-height of its line's letters, in pixels
    double sizeRatio = 1.0; // letterSize against the body text's
    Role role = Role::Body;
};

// The size rule: the words of a line whose letters are smaller than
// kSmallerThanBody or larger than kLargerThanBody times the body text's get
// no objects. A page's title, headings, captions and page number are rarely
// read aloud, and they are rarely of the body text's size.
constexpr double kSmallerThanBody = 0.7;
constexpr double kLargerThanBody = 1.4;

// Finds the words on a page picture with Tesseract's Turkish data. Owns the
// engine, which is loaded once and read with many times; one reader serves
// one thread at a time (a background worker makes its own). The engine is
// in the module "liblirena-words.so", opened at the first start(): beside
// the program, or in lib/lirena/ of an installed one.
class PageWordReader
{
public:
    // Called with 0 to 100; returning false cancels the reading.
    using Progress = std::function<bool(int percent)>;

    // modulePath: the word finder module; empty for the program's own.
    explicit PageWordReader(QString modulePath = {});
    ~PageWordReader();
    PageWordReader(const PageWordReader &) = delete;
    PageWordReader &operator=(const PageWordReader &) = delete;

    // Loads the engine and its Turkish data, from TESSDATA_PREFIX when that is
    // set, else from where the system's package puts it. False, with the
    // reason in *error, when the module or the data is not there.
    bool start(QString *error = nullptr);
    bool started() const { return mEngine != nullptr; }

    // The words of the picture: lines top to bottom, words left to right. A
    // word is a run of characters holding at least one letter or digit;
    // frames, rules and lone punctuation are not words. Returns nothing, with
    // *cancelled set, when progress asked to stop.
    std::vector<PageWord> read(const GrayPicture &picture, const Progress &progress = {},
                               bool *cancelled = nullptr);

    // The scale the last picture was read at: large letters are read from a
    // copy shrunk until they are about kReadingLetterHeight pixels tall.
    double lastScale() const { return mLastScale; }
    static constexpr int kReadingLetterHeight = 32;

private:
    QString mModulePath;
    std::unique_ptr<WordEngine> mEngine;
    double mLastScale = 1.0;
};

// Puts recognised lines in reading order and marks the words outside the
// body text: lines side by side (overlapping by half their height) form one
// line read left to right; lines are read top to bottom. The body text's
// letter size is the one most words have. Sets line, letterSize, sizeRatio
// and role; the words come out in reading order.
struct RecognisedLine
{
    PixelRect box;
    double letterSize = 0; // x-height, 0 when unknown
    std::vector<PageWord> words;
};
std::vector<PageWord> arrangeWords(std::vector<RecognisedLine> lines);

} // namespace lirena
