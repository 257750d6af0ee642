#include "authoring/pagedraft.h"

#include "lesson/chapter.h"

#include <QRegularExpression>

#include <algorithm>

namespace lirena {

namespace {

// How far a voice segment reaches into the quiet before and after its word.
constexpr int kSegmentLeadMs = 100;
// Stages of a draft on the progress scale.
constexpr int kWordsDone = 80;
constexpr int kStretchesDone = 90;

bool report(const DraftProgress &progress, int percent)
{
    return !progress || progress(percent);
}

// The speech of each word of one step, parted where the step needs it.
std::vector<SpeechStretch> speechOfStep(const AlignmentStep &step, const std::vector<double> &weights,
                                        const SpeechStretches &speech)
{
    const std::vector<SpeechStretch> &stretches = speech.stretches();
    if (step.words == 0 || step.stretches == 0)
        return {};
    const SpeechStretch first = stretches[std::size_t(step.firstStretch)];
    if (step.words == 1) {
        const SpeechStretch &last = stretches[std::size_t(step.firstStretch + step.stretches - 1)];
        return {{first.start, last.stop}};
    }
    double total = 0;
    for (int w = 0; w < step.words; ++w)
        total += weights[std::size_t(step.firstWord + w)];
    std::vector<SpeechStretch> parts;
    int partStart = first.start;
    double before = 0;
    for (int w = 0; w + 1 < step.words; ++w) {
        const double weight = weights[std::size_t(step.firstWord + w)];
        before += weight;
        const int near = first.start + int(first.length() * before / total);
        // Look half a word either side of where the boundary should be, and
        // leave each word some sound of its own.
        const int reach = int(first.length() * weight / total / 2);
        const int from = std::max(partStart + SpeechStretches::kFrameMs * 3, near - reach);
        const int to = std::min(first.stop - SpeechStretches::kFrameMs * 3, near + reach);
        const SpeechStretches::Split split = speech.quietestSplit(first, from, std::max(from, to), near);
        parts.push_back({partStart, split.firstStop});
        partStart = split.secondStart;
    }
    parts.push_back({partStart, first.stop});
    return parts;
}

} // namespace

std::vector<int> DraftResult::unreadWords() const
{
    std::vector<bool> linked(words.size(), false);
    for (const DraftLink &link : links)
        linked[std::size_t(link.word)] = true;
    std::vector<int> unread;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i].role == PageWord::Role::Body && !linked[i])
            unread.push_back(int(i));
    }
    return unread;
}

std::vector<int> DraftResult::unplacedStretches() const
{
    std::vector<int> unplaced;
    for (const AlignmentStep &step : steps) {
        if (step.words == 0) {
            for (int j = step.firstStretch; j < step.firstStretch + step.stretches; ++j)
                unplaced.push_back(j);
        }
    }
    return unplaced;
}

DraftResult draftPage(const DraftInput &in, const DraftProgress &progress)
{
    PageWordReader reader;
    DraftResult result;
    if (!reader.start(&result.error))
        return result;
    return draftPage(reader, in, progress);
}

DraftResult draftPage(PageWordReader &reader, const DraftInput &in, const DraftProgress &progress)
{
    DraftResult result;
    if (in.picture.isNull()) {
        result.error = QStringLiteral("the page has no picture");
        return result;
    }
    if (in.sound.samples.empty()) {
        result.error = QStringLiteral("the page has no recording");
        return result;
    }
    if (!reader.started() && !reader.start(&result.error))
        return result;
    if (!report(progress, 0)) {
        result.cancelled = true;
        return result;
    }

    bool cancelled = false;
    result.words = reader.read(
        in.picture, [&](int percent) { return report(progress, percent * kWordsDone / 100); }, &cancelled);
    result.readingScale = reader.lastScale();
    if (cancelled || !report(progress, kWordsDone)) {
        result = DraftResult{};
        result.cancelled = true;
        return result;
    }

    const SpeechStretches speech(in.sound);
    result.stretches = speech.stretches();
    result.thresholdDb = speech.thresholdDb();
    result.minPauseMs = speech.minPauseMs();
    if (!report(progress, kStretchesDone)) {
        result = DraftResult{};
        result.cancelled = true;
        return result;
    }

    std::vector<int> body;
    std::vector<double> weights;
    for (std::size_t i = 0; i < result.words.size(); ++i) {
        if (result.words[i].role != PageWord::Role::Body)
            continue;
        body.push_back(int(i));
        weights.push_back(readingWeight(result.words[i].text));
    }
    const auto dipDepth = [&speech](int stretch, int at) {
        const SpeechStretch &s = speech.stretches()[std::size_t(stretch)];
        const int reach = std::max(SpeechStretches::kFrameMs, s.length() / 6);
        return speech.quietestSplit(s, at - reach, at + reach, at).depthDb;
    };
    const WordAlignment alignment(weights, result.stretches, dipDepth);
    result.steps = alignment.steps();
    result.msPerSyllable = alignment.msPerSyllable();

    // Each word's own speech, then every sound of the recording, to see how
    // much quiet lies around each word.
    std::vector<std::pair<int, SpeechStretch>> spoken;
    for (const AlignmentStep &step : result.steps) {
        const std::vector<SpeechStretch> parts = speechOfStep(step, weights, speech);
        for (std::size_t k = 0; k < parts.size(); ++k)
            spoken.emplace_back(body[std::size_t(step.firstWord) + k], parts[k]);
    }
    std::vector<SpeechStretch> sounds;
    for (const auto &[word, part] : spoken)
        sounds.push_back(part);
    for (int j : result.unplacedStretches())
        sounds.push_back(result.stretches[std::size_t(j)]);
    for (const auto &[word, part] : spoken) {
        int quietBefore = part.start, quietAfter = speech.lengthMs() - part.stop;
        for (const SpeechStretch &other : sounds) {
            if (other.stop <= part.start)
                quietBefore = std::min(quietBefore, part.start - other.stop);
            if (other.start >= part.stop)
                quietAfter = std::min(quietAfter, other.start - part.stop);
        }
        const int lead = std::min(kSegmentLeadMs, quietBefore / 2);
        const int tail = std::min(kSegmentLeadMs, quietAfter / 2);
        result.links.push_back({word, part.start - lead, part.stop + tail});
    }
    report(progress, 100);
    return result;
}

QString draftObjectName(const QString &word)
{
    static const QRegularExpression separators(QStringLiteral("[=|\\s]+"));
    QString name = word;
    name.replace(separators, QStringLiteral(" "));
    qsizetype from = 0, to = name.size();
    const auto edge = [](QChar c) { return c.isPunct() || c.isSymbol() || c.isSpace(); };
    while (from < to && edge(name[from]))
        ++from;
    while (to > from && edge(name[to - 1]))
        --to;
    return name.mid(from, to - from);
}

void applyDraft(Chapter &chapter, const DraftResult &draft, DraftApply mode, double imageScale)
{
    if (mode == DraftApply::Replace) {
        while (!chapter.LstVGObj.isEmpty())
            chapter.deleteLink(chapter.LstVGObj.at<TVGObj>(0));
        while (!chapter.LstVObj.isEmpty())
            chapter.deleteVoice(chapter.LstVObj.at<TVoiceObj>(0));
        while (!chapter.LstGObj.isEmpty())
            chapter.deleteGraphic(chapter.LstGObj.at<TGraphicObj>(0));
    }

    std::vector<TGraphicObj *> graphicOf(draft.words.size(), nullptr);
    for (std::size_t i = 0; i < draft.words.size(); ++i) {
        const PageWord &word = draft.words[i];
        if (word.role != PageWord::Role::Body)
            continue;
        auto g = std::make_unique<TGraphicObj>();
        g->Id = chapter.issueGraphicId();
        g->Name = draftObjectName(word.text);
        if (g->Name.isEmpty())
            g->Name = defaultObjectName(g->Id);
        g->ImageRect = word.rect;
        g->ViewRect = viewRectOnRescale(word.rect, imageScale);
        graphicOf[i] = g.get();
        const QString name = g->Name;
        chapter.LstGObj.add(name, std::unique_ptr<TBaseObj>(std::move(g)));
    }

    for (const DraftLink &draftLink : draft.links) {
        const TGraphicObj *g = graphicOf[std::size_t(draftLink.word)];
        if (!g)
            continue;
        auto v = std::make_unique<TVoiceObj>();
        v->Id = chapter.issueVoiceId();
        v->Name = g->Name;
        v->StartTime = draftLink.start;
        v->StopTime = draftLink.stop;
        auto link = std::make_unique<TVGObj>();
        link->Id = chapter.issueLinkId();
        link->GraphicId = g->Id;
        link->VoiceId = v->Id;
        link->Name = g->Name + u',' + v->Name;
        TVGObj *raw = link.get();
        const QString voiceName = v->Name, linkName = link->Name;
        chapter.LstVObj.add(voiceName, std::unique_ptr<TBaseObj>(std::move(v)));
        chapter.LstVGObj.add(linkName, std::unique_ptr<TBaseObj>(std::move(link)));
        chapter.LstCObj.add(linkName, raw);
        chapter.LstRObj.add(linkName, raw);
    }
    chapter.setModified(true);
}

} // namespace lirena
