#include "authoring/pagewordreader.h"

#include "authoring/graypicture.h"
#include "authoring/wordengine.h"
#include "platform/programfiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace lirena {

namespace {

int verticalOverlap(const PixelRect &a, const PixelRect &b)
{
    return std::min(a.Bottom, b.Bottom) - std::max(a.Top, b.Top);
}

QString programFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

// The module's entry point, opened once for the process and kept: the
// engine's libraries start threads and keep state that outlive any one reader.
LirenaWordEngineNew openModule(const QString &path, QString *error)
{
    static std::mutex opening;
    static QHash<QString, LirenaWordEngineNew> opened;
    const std::lock_guard lock(opening);
    if (const auto it = opened.constFind(path); it != opened.cend())
        return it.value();
    const auto fail = [&](const QString &why) -> LirenaWordEngineNew {
        if (error)
            *error = QStringLiteral("the word finder (%1) cannot be used: %2").arg(path, why);
        return nullptr;
    };
    void *module = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return fail(QString::fromLocal8Bit(dlerror()));
    const auto version = reinterpret_cast<LirenaWordEngineVersion>(dlsym(module, "lirena_word_engine_version"));
    const auto make = reinterpret_cast<LirenaWordEngineNew>(dlsym(module, "lirena_word_engine_new"));
    if (!version || !make) {
        dlclose(module);
        return fail(QStringLiteral("it is no word finder module"));
    }
    if (version() != LIRENA_WORD_ENGINE_VERSION) {
        dlclose(module);
        return fail(QStringLiteral("it comes from another version of the program"));
    }
    opened.insert(path, make);
    return make;
}

} // namespace

PageWordReader::PageWordReader(QString modulePath) : mModulePath(std::move(modulePath))
{
    if (mModulePath.isEmpty())
        mModulePath = ProgramFiles::library(programFolder(), QStringLiteral("liblirena-words.so"));
}

PageWordReader::~PageWordReader() = default;

bool PageWordReader::start(QString *error)
{
    if (mEngine)
        return true;
    const LirenaWordEngineNew make = openModule(mModulePath, error);
    if (!make)
        return false;
    mEngine.reset(make(error));
    return mEngine != nullptr;
}

std::vector<PageWord> PageWordReader::read(const GrayPicture &picture, const Progress &progress,
                                           bool *cancelled)
{
    if (cancelled)
        *cancelled = false;
    if (!mEngine || picture.isNull())
        return {};
    bool stopped = false;
    std::vector<RecognisedLine> lines = mEngine->readLines(picture, progress, &stopped, &mLastScale);
    if (stopped) {
        if (cancelled)
            *cancelled = true;
        return {};
    }
    std::vector<PageWord> words = arrangeWords(std::move(lines));
    for (PageWord &word : words) {
        const int margin = word.letterSize > 0 ? int(std::lround(word.letterSize / 3.0))
                                               : int(std::lround((word.ink.Bottom - word.ink.Top) / 4.0));
        word.rect = {std::max(0, word.ink.Left - margin), std::max(0, word.ink.Top - margin),
                     std::min(picture.width(), word.ink.Right + margin),
                     std::min(picture.height(), word.ink.Bottom + margin)};
    }
    if (progress)
        progress(100);
    return words;
}

std::vector<PageWord> arrangeWords(std::vector<RecognisedLine> lines)
{
    // The body text is the size most words have.
    std::vector<double> sizes;
    for (const RecognisedLine &line : lines) {
        if (line.letterSize > 0)
            sizes.insert(sizes.end(), line.words.size(), line.letterSize);
    }
    const double bodyLetterSize = medianOf(std::move(sizes));

    // Lines that lie side by side are one line of the page.
    std::stable_sort(lines.begin(), lines.end(),
                     [](const RecognisedLine &a, const RecognisedLine &b) { return a.box.Top < b.box.Top; });
    std::vector<std::vector<const RecognisedLine *>> rows;
    for (const RecognisedLine &line : lines) {
        const int height = line.box.Bottom - line.box.Top;
        auto sideBySide = [&](const std::vector<const RecognisedLine *> &row) {
            return std::any_of(row.begin(), row.end(), [&](const RecognisedLine *other) {
                const int shorter = std::min(height, other->box.Bottom - other->box.Top);
                return 2 * verticalOverlap(line.box, other->box) >= shorter;
            });
        };
        auto row = std::find_if(rows.begin(), rows.end(), sideBySide);
        if (row == rows.end())
            rows.push_back({&line});
        else
            row->push_back(&line);
    }

    std::vector<PageWord> words;
    int lineIndex = 0;
    for (const auto &row : rows) {
        std::vector<PageWord> rowWords;
        for (const RecognisedLine *line : row) {
            for (PageWord word : line->words) {
                word.letterSize = int(std::lround(line->letterSize));
                word.sizeRatio =
                    bodyLetterSize > 0 && line->letterSize > 0 ? line->letterSize / bodyLetterSize : 1.0;
                if (word.sizeRatio < kSmallerThanBody)
                    word.role = PageWord::Role::SmallerThanBody;
                else if (word.sizeRatio > kLargerThanBody)
                    word.role = PageWord::Role::LargerThanBody;
                rowWords.push_back(word);
            }
        }
        std::stable_sort(rowWords.begin(), rowWords.end(),
                         [](const PageWord &a, const PageWord &b) { return a.ink.Left < b.ink.Left; });
        for (PageWord &word : rowWords) {
            word.line = lineIndex;
            words.push_back(word);
        }
        ++lineIndex;
    }
    return words;
}

} // namespace lirena
