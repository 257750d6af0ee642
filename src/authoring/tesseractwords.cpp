// The word finder module: Tesseract reads the page with its Turkish data.
// Loaded by PageWordReader at the first draft (see wordengine.h).

#include "authoring/graypicture.h"
#include "authoring/wordengine.h"

#include <QByteArray>
#include <QFileInfo>

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>
#include <tesseract/resultiterator.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>

#ifdef _OPENMP
#include <omp.h>
#endif

namespace lirena {

namespace {

struct PixDeleter
{
    void operator()(Pix *pix) const { pixDestroy(&pix); }
};
using PixPtr = std::unique_ptr<Pix, PixDeleter>;

struct BoxaDeleter
{
    void operator()(Boxa *boxa) const { boxaDestroy(&boxa); }
};

// Where Debian's tesseract-ocr-tur puts the data, newest first; the engine's
// own default is the first place looked.
const char *const kSystemTessdata[] = {
    "/usr/share/tesseract-ocr/5/tessdata",
    "/usr/share/tesseract-ocr/4.00/tessdata",
    "/usr/share/tessdata",
};

PixPtr toPix(const GrayPicture &picture)
{
    PixPtr pix(pixCreate(picture.width(), picture.height(), 8));
    if (!pix)
        return pix;
    l_uint32 *data = pixGetData(pix.get());
    const int wpl = pixGetWpl(pix.get());
    for (int y = 0; y < picture.height(); ++y) {
        l_uint32 *line = data + std::ptrdiff_t(y) * wpl;
        const std::uint8_t *row = picture.pixels() + std::size_t(y) * std::size_t(picture.width());
        for (int x = 0; x < picture.width(); ++x)
            SET_DATA_BYTE(line, x, row[x]);
    }
    return pix;
}

// The scale at which the picture's letters come out about
// kReadingLetterHeight pixels tall: the engine reads text lines at a height
// of its own and finds lines of very large letters badly. Letters are the
// dark connected shapes of a size a letter can have; the typical one decides.
double readingScale(Pix *gray)
{
    Pix *threshold = nullptr;
    Pix *binary = nullptr;
    const int w = pixGetWidth(gray), h = pixGetHeight(gray);
    if (pixOtsuAdaptiveThreshold(gray, w, h, 0, 0, 0.1f, &threshold, &binary) != 0 || !binary)
        return 1.0;
    PixPtr thresholdOwner(threshold), binaryOwner(binary);
    std::unique_ptr<Boxa, BoxaDeleter> boxes(pixConnCompBB(binary, 8));
    if (!boxes)
        return 1.0;
    std::vector<double> heights;
    const int n = boxaGetCount(boxes.get());
    for (int i = 0; i < n; ++i) {
        l_int32 bx, by, bw, bh;
        if (boxaGetBoxGeometry(boxes.get(), i, &bx, &by, &bw, &bh) != 0)
            continue;
        // Dots and specks below, frames, rules and pictures above.
        if (bh < 8 || bh > h / 4 || bw > w / 4 || bw > 4 * bh)
            continue;
        heights.push_back(bh);
    }
    const double typical = medianOf(std::move(heights));
    if (typical <= PageWordReader::kReadingLetterHeight)
        return 1.0;
    return PageWordReader::kReadingLetterHeight / typical;
}

// How tall a letter stands against the x-height, for the letters whose
// height says something: x-height letters 1, capitals, digits and letters
// with an ascender about 1.4; 0 for the rest (descenders, accents, dots).
double heightClass(const QString &symbol)
{
    if (symbol.size() != 1)
        return 0;
    static const QString xHeight = QStringLiteral("acemnorsuvwxzı");
    static const QString tall = QStringLiteral("bdhklABCDEFGHIKLMNOPRSTUVWXYZ0123456789");
    if (xHeight.contains(symbol[0]))
        return 1.0;
    if (tall.contains(symbol[0]))
        return 1.4;
    return 0;
}

bool hasLetterOrDigit(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

PixelRect unscaled(int l, int t, int r, int b, double scale)
{
    if (scale == 1.0)
        return {l, t, r, b};
    return {int(std::floor(l / scale)), int(std::floor(t / scale)), int(std::ceil(r / scale)),
            int(std::ceil(b / scale))};
}

// Joins the cancel check of the engine to the caller's progress.
struct Monitor
{
    tesseract::ETEXT_DESC desc;
    const PageWordReader::Progress *progress = nullptr;
    int lastPercent = -1;
    bool cancelled = false;

    static bool cancel(void *self, int /*words*/)
    {
        auto *m = static_cast<Monitor *>(self);
        const int percent = std::clamp<int>(m->desc.progress, 0, 100);
        if (percent != m->lastPercent && m->progress && *m->progress) {
            m->lastPercent = percent;
            if (!(*m->progress)(percent))
                m->cancelled = true;
        }
        return m->cancelled;
    }
};

class TesseractEngine final : public WordEngine
{
public:
    explicit TesseractEngine(std::unique_ptr<tesseract::TessBaseAPI> api) : mApi(std::move(api)) {}
    ~TesseractEngine() override { mApi->End(); }

    std::vector<RecognisedLine> readLines(const GrayPicture &picture, const PageWordReader::Progress &progress,
                                          bool *cancelled, double *scaleRead) override;

private:
    std::unique_ptr<tesseract::TessBaseAPI> mApi;
};

std::unique_ptr<tesseract::TessBaseAPI> startEngine(QString *error)
{
    // The engine's settings of where its messages go are shared by every
    // engine in the process: readers on other threads start one at a time.
    static std::mutex starting;
    const std::lock_guard lock(starting);
    auto api = std::make_unique<tesseract::TessBaseAPI>();
    std::vector<QByteArray> tried;
    const QByteArray prefix = qgetenv("TESSDATA_PREFIX");
    tried.push_back(prefix);
    if (prefix.isEmpty()) {
        for (const char *folder : kSystemTessdata) {
            if (QFileInfo::exists(QString::fromLatin1(folder) + QStringLiteral("/tur.traineddata")))
                tried.push_back(folder);
        }
    }
    for (const QByteArray &folder : tried) {
        // The engine's chatter (resolution guesses, empty pages) is not the author's business.
        api->SetVariable("debug_file", "/dev/null");
        if (api->Init(folder.isEmpty() ? nullptr : folder.constData(), "tur", tesseract::OEM_LSTM_ONLY) ==
            0) {
            // Pages of a reading course are sparse: words in a grid, short
            // lines far apart, which the engine's column finding misses.
            // Reading order is ours to make anyway.
            api->SetPageSegMode(tesseract::PSM_SPARSE_TEXT);
            return api;
        }
    }
    if (error) {
        *error = prefix.isEmpty()
                     ? QStringLiteral("Tesseract's Turkish data (tur.traineddata) was not found; install the "
                                      "Debian package tesseract-ocr-tur")
                     : QStringLiteral("Tesseract's Turkish data (tur.traineddata) was not found in "
                                      "TESSDATA_PREFIX (%1)")
                           .arg(QString::fromLocal8Bit(prefix));
    }
    return nullptr;
}

std::vector<RecognisedLine> TesseractEngine::readLines(const GrayPicture &picture,
                                                       const PageWordReader::Progress &progress,
                                                       bool *cancelled, double *scaleRead)
{
    PixPtr gray = toPix(picture);
    if (!gray)
        return {};
    const double readAt = readingScale(gray.get());
    *scaleRead = readAt;
    const float scale = float(readAt);
    PixPtr read(scale >= 1.0f  ? pixClone(gray.get())
                : scale < 0.7f ? pixScaleAreaMap(gray.get(), scale, scale)
                               : pixScaleGrayLI(gray.get(), scale, scale));
    if (!read)
        return {};
#ifdef _OPENMP
    // The engine asks OpenMP for a fixed number of threads, which wait for
    // work by spinning: on two cores, or on a desktop busy with anything
    // else, they cost several times what they give (a page of 86 words took
    // 3.6 s instead of 1 s). Dynamic adjustment lets the runtime give fewer
    // threads while the machine is loaded; the setting is this thread's, the
    // one the engine's work here starts from.
    omp_set_dynamic(1);
#endif
    mApi->SetImage(read.get());
    const int dpi = picture.dotsPerInch() > 0 ? picture.dotsPerInch() : 96;
    mApi->SetSourceResolution(std::max(70, int(dpi * readAt)));

    Monitor monitor;
    monitor.progress = &progress;
    monitor.desc.cancel = &Monitor::cancel;
    monitor.desc.cancel_this = &monitor;
    const int failed = mApi->Recognize(&monitor.desc);
    if (monitor.cancelled || failed != 0) {
        *cancelled = monitor.cancelled;
        mApi->Clear();
        return {};
    }

    std::vector<RecognisedLine> lines;
    std::vector<std::vector<double>> lineSizes;
    std::unique_ptr<tesseract::ResultIterator> it(mApi->GetIterator());
    const auto level = tesseract::RIL_SYMBOL;
    if (it) {
        do {
            if (it->IsAtBeginningOf(tesseract::RIL_TEXTLINE) || lines.empty()) {
                int l, t, r, b;
                it->BoundingBox(tesseract::RIL_TEXTLINE, &l, &t, &r, &b);
                lines.push_back({unscaled(l, t, r, b, readAt), 0, {}});
                lineSizes.emplace_back();
            }
            if (it->IsAtBeginningOf(tesseract::RIL_WORD) || lines.back().words.empty()) {
                PageWord word;
                std::unique_ptr<char[]> text(it->GetUTF8Text(tesseract::RIL_WORD));
                word.text = QString::fromUtf8(text.get()).trimmed();
                word.confidence = int(std::lround(it->Confidence(tesseract::RIL_WORD)));
                int l, t, r, b;
                if (it->BoundingBox(tesseract::RIL_WORD, &l, &t, &r, &b))
                    word.ink = unscaled(l, t, r, b, readAt);
                lines.back().words.push_back(word);
            }
            if (it->Empty(level))
                continue;
            std::unique_ptr<char[]> symbol(it->GetUTF8Text(level));
            const double kind = heightClass(QString::fromUtf8(symbol.get()));
            int l, t, r, b;
            if (kind > 0 && it->BoundingBox(level, &l, &t, &r, &b) && b > t)
                lineSizes.back().push_back((b - t) / readAt / kind);
        } while (it->Next(level));
    }
    mApi->Clear();

    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::erase_if(lines[i].words,
                      [](const PageWord &w) { return !hasLetterOrDigit(w.text) || w.ink.isEmpty(); });
        lines[i].letterSize = medianOf(std::move(lineSizes[i]));
    }
    std::erase_if(lines, [](const RecognisedLine &line) { return line.words.empty(); });
    return lines;
}

} // namespace

} // namespace lirena

extern "C" {

__attribute__((visibility("default"))) int lirena_word_engine_version()
{
    return LIRENA_WORD_ENGINE_VERSION;
}

__attribute__((visibility("default"))) lirena::WordEngine *lirena_word_engine_new(QString *error)
{
    auto api = lirena::startEngine(error);
    return api ? new lirena::TesseractEngine(std::move(api)) : nullptr;
}

} // extern "C"
