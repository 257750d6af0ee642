// How late the mark follows the teacher's voice, seen from outside the
// program: the real program plays a page of 80 words with a beep at the start
// of each; the sound server's null sink is recorded from its monitor, and the
// pixel in each word's rectangle is read from the X server over and over. The
// delay of a word is the moment its rectangle turns to the mark colour less
// the moment its beep is heard, both on this process's monotonic clock.
// Measured while the page plays through, and for words clicked while it plays.
//
// When a sample is heard: the recorder hands over what the monitor gives as
// it comes; each read is stamped on arrival. A sample came no later than any
// read of the half second after it, less the sound between them; the earliest
// of these (the lower envelope, as one read at least comes with next to no
// wait) places it on the clock. Taken near each beep, not once for the run:
// the sink's sample clock drifts from the monotonic one (0.4 ms a second was
// seen). That is when the null sink rendered the sample; it renders one block
// of its configured latency ahead of what it counts as played (2 ms at the
// monitor's short latency), so half a block is added. decoded_offset_ms says
// where the first beep lies in the decoded recording against its word's
// start (about 0: the encoder's delay is left out).
//
// Needs the test environment (scripts/bench): the null sink, parec and pactl,
// an X display in LIRENA_TEST_DISPLAY with the XTest extension, lame. The
// program measured is the lirena beside this one, or LIRENA_PROGRAM; it reads
// at LIRENA_READING_SPEED ("0,5" to "1,5") when that is given.
// LIRENA_BENCH_TRACE prints each click's mark and beep (a click not measured
// is always printed).

#include "platform/audiodecoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "xscreen.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <memory>
#include <mutex>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using benchx::nowMs;
using benchx::percentile;
using benchx::sleepMs;
using benchx::XScreen;

const int kWords = 80;
const int kColumns = 10;
const int kRate = 44100;   // of the recording and of the monitor's capture
const int kBeepMs = 30;    // 1 kHz at the start of every word
const int kLeadInMs = 800; // silence before the first word
const int kClicks = 30;
// A red square with a blue one inside at the page's top left finds it on screen.
const QRgb kMarker = qRgb(230, 0, 0);
const QRgb kMarkerInside = qRgb(0, 0, 230);

// The generated page: words on a grid, each with a segment of its own length
// (not a multiple of anything the program ticks at).
struct Word
{
    QRect rect; // page pixels
    int start = 0, stop = 0;
};

std::vector<Word> makeWords()
{
    std::vector<Word> words;
    int t = kLeadInMs;
    for (int k = 0; k < kWords; ++k) {
        const int column = k % kColumns, row = k / kColumns;
        const int length = 260 + (k * 73) % 190;
        words.push_back({QRect(40 + column * 95, 40 + row * 80, 80, 50), t, t + length});
        t += length;
    }
    return words;
}

bool writeRecording(const std::vector<Word> &words, const QString &wav, const QString &mp3)
{
    const qint64 frames = qint64(words.back().stop + 600) * kRate / 1000;
    std::vector<qint16> pcm(size_t(frames), 0);
    for (const Word &w : words) {
        const qint64 first = qint64(w.start) * kRate / 1000;
        for (qint64 i = 0; i < kBeepMs * kRate / 1000; ++i)
            pcm[size_t(first + i)] = qint16(16000 * std::sin(2 * M_PI * 1000 * double(i) / kRate));
    }
    QFile file(wav);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    auto u32 = [&](quint32 v) { file.write(reinterpret_cast<const char *>(&v), 4); };
    auto u16 = [&](quint16 v) { file.write(reinterpret_cast<const char *>(&v), 2); };
    const quint32 bytes = quint32(pcm.size() * 2);
    file.write("RIFF");
    u32(36 + bytes);
    file.write("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    file.write("data");
    u32(bytes);
    file.write(reinterpret_cast<const char *>(pcm.data()), bytes);
    file.close();
    return QProcess::execute("lame", {"--quiet", "-b", "128", wav, mp3}) == 0;
}

// Where the first beep is in the decoded recording, in ms: the recording's
// own offset from the segment times, if the encoder left any.
double decodedFirstBeepMs(const QString &mp3)
{
    auto decoder = lirena::AudioDecoder::open(mp3);
    if (!decoder)
        return NAN;
    std::vector<qint16> buffer(4096 * size_t(decoder->channels()));
    qint64 frame = 0;
    while (qint64 n = decoder->read(buffer.data(), 4096)) {
        for (qint64 i = 0; i < n; ++i) {
            if (std::abs(buffer[size_t(i * decoder->channels())]) > 4000)
                return double(frame + i) * 1000.0 / decoder->sampleRate();
        }
        frame += n;
    }
    return NAN;
}

bool writeCourse(const QString &folder, const std::vector<Word> &words)
{
    QImage page(kColumns * 95 + 80, (kWords / kColumns) * 80 + 80, QImage::Format_RGB32);
    page.fill(qRgb(250, 246, 232));
    QPainter painter(&page);
    painter.fillRect(QRect(0, 0, 24, 24), kMarker);
    painter.fillRect(QRect(8, 8, 8, 8), kMarkerInside);
    painter.setPen(QColor(120, 110, 90));
    for (const Word &w : words)
        painter.drawRect(w.rect.adjusted(0, 0, -1, -1));
    painter.end();
    if (!page.save(folder + "/page.jpg", "JPG", 95))
        return false;
    if (!writeRecording(words, folder + "/page.wav", folder + "/page.mp3"))
        return false;

    QStringList graphics, voices, links, ids;
    for (int k = 0; k < kWords; ++k) {
        const QRect &r = words[size_t(k)].rect;
        const QString name = QString::asprintf("%.3d", k + 1);
        graphics << QStringLiteral("%1=%2|%3|%4|%5|%6")
                        .arg(k + 1)
                        .arg(name)
                        .arg(r.left())
                        .arg(r.top())
                        .arg(r.right() + 1)
                        .arg(r.bottom() + 1);
        voices << QStringLiteral("%1=%2|%3|%4")
                      .arg(k + 1)
                      .arg(name)
                      .arg(words[size_t(k)].start)
                      .arg(words[size_t(k)].stop);
        links << QStringLiteral("%1=%2,%2|%1|%1").arg(k + 1).arg(name);
        ids << QString::number(k + 1);
    }
    QFile chapter(folder + "/sayfa01.ini");
    if (!chapter.open(QIODevice::WriteOnly))
        return false;
    const QString text = "[General]\r\nName=Zil\r\nImageFile=page.jpg\r\nMediaFile=page.mp3\r\nGroupID=01\r\n"
                         "ID=01\r\nSectionPlay=0\r\nClickObjects=" +
                         ids.join('|') + "\r\nReadObjects=" + ids.join('|') +
                         "\r\nVersion=1.0\r\n\r\n[GraphicObjects]\r\n" + graphics.join("\r\n") +
                         "\r\n\r\n[VoiceObjects]\r\n" + voices.join("\r\n") + "\r\n\r\n[VGObjects]\r\n" +
                         links.join("\r\n") + "\r\n";
    chapter.write(text.toUtf8());
    QFile groups(folder + "/lesson-groups.txt");
    return groups.open(QIODevice::WriteOnly) && groups.write("01=Zil\r\n") > 0;
}

// The null sink's monitor as it arrives, with the beeps found in it.
class Monitor
{
public:
    bool start()
    {
        int pipeFds[2];
        if (pipe(pipeFds) != 0)
            return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        const char *argv[] = {"parec",        "-d",           "null.monitor",     "--raw", "--format=s16le",
                              "--rate=44100", "--channels=1", "--latency-msec=2", nullptr};
        const int failed =
            posix_spawnp(&mPid, "parec", &actions, nullptr, const_cast<char **>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeFds[1]);
        if (failed) {
            close(pipeFds[0]);
            return false;
        }
        mFd = pipeFds[0];
        mThread = std::thread([this] { run(); });
        return true;
    }

    ~Monitor()
    {
        if (mPid > 0) {
            kill(mPid, SIGTERM);
            waitpid(mPid, nullptr, 0);
        }
        if (mThread.joinable())
            mThread.join();
        if (mFd >= 0)
            close(mFd);
    }

    // The monotonic time (ms) at which the beeps found so far were heard;
    // a beep whose next half second has not come yet is left for later.
    std::vector<double> beeps(double sinkLatencyMs)
    {
        const std::lock_guard lock(mMutex);
        std::vector<double> out;
        for (const qint64 frame : mOnsets) {
            const qint64 window = frame + kRate / 2;
            if (mReads.empty() || mReads.back().frames < window)
                break;
            auto read = std::lower_bound(mReads.begin(), mReads.end(), frame,
                                         [](const Read &r, qint64 f) { return r.frames < f; });
            double at = 1e300;
            for (; read != mReads.end() && read->frames <= window; ++read)
                at = std::min(at, read->arrived - double(read->frames - frame) * 1000.0 / kRate);
            out.push_back(at + sinkLatencyMs);
        }
        return out;
    }
    // How many beeps were found, heard or not yet placed.
    size_t beepCount()
    {
        const std::lock_guard lock(mMutex);
        return mOnsets.size();
    }
    // How long the monitor has been quiet up to the last sound that came, in ms.
    double quietMs()
    {
        const std::lock_guard lock(mMutex);
        return double(mQuiet) * 1000.0 / kRate;
    }
    qint64 framesSeen()
    {
        const std::lock_guard lock(mMutex);
        return mFrames;
    }

private:
    void run()
    {
        char buffer[4096];
        size_t carry = 0; // a byte of a sample split between reads
        for (;;) {
            const ssize_t n = read(mFd, buffer + carry, sizeof buffer - carry);
            const double arrived = nowMs();
            if (n <= 0)
                return;
            const size_t bytes = carry + size_t(n);
            const size_t samples = bytes / 2;
            const std::lock_guard lock(mMutex);
            for (size_t i = 0; i < samples; ++i) {
                qint16 s;
                memcpy(&s, buffer + 2 * i, 2);
                // A beep begins where a loud sample follows 50 ms of quiet.
                if (std::abs(s) > 3000) {
                    if (mQuiet >= kRate / 20)
                        mOnsets.push_back(mFrames + qint64(i));
                    mQuiet = 0;
                } else {
                    ++mQuiet;
                }
            }
            mFrames += qint64(samples);
            mReads.push_back({arrived, mFrames});
            carry = bytes % 2;
            if (carry)
                buffer[0] = buffer[bytes - 1];
        }
    }

    pid_t mPid = -1;
    int mFd = -1;
    std::thread mThread;
    std::mutex mMutex;
    qint64 mFrames = 0;
    qint64 mQuiet = 0;
    struct Read
    {
        double arrived; // ms, monotonic
        qint64 frames;  // frames received up to and with this read
    };
    std::vector<Read> mReads;
    std::vector<qint64> mOnsets;
};

// How far ahead of its playing the null sink renders, on average, in ms:
// half the block of its configured latency.
double sinkLatencyMs()
{
    QProcess pactl;
    pactl.start("pactl", {"list", "sinks"});
    pactl.waitForFinished(5000);
    const QString out = QString::fromUtf8(pactl.readAllStandardOutput());
    const auto match =
        QRegularExpression("Name: null\\b[\\s\\S]*?Latency: \\d+ usec, configured (\\d+) usec").match(out);
    return match.hasMatch() ? match.captured(1).toDouble() / 2000.0 : 0.0;
}

// The screen, and where the marker square is on it.
class Screen : public XScreen
{
public:
    using XScreen::XScreen;
    // The top left of the marker square, or nothing when it is not shown.
    std::optional<QPoint> findMarker() const
    {
        const QSize s = size();
        XImage *image = XGetImage(display(), DefaultRootWindow(display()), 0, 0, unsigned(s.width()),
                                  unsigned(s.height()), AllPlanes, ZPixmap);
        if (!image)
            return std::nullopt;
        auto at = [&](int x, int y) {
            return x < s.width() && y < s.height() ? QRgb(XGetPixel(image, x, y)) : QRgb(0);
        };
        auto red = [](QRgb c) { return qRed(c) > 180 && qGreen(c) < 70 && qBlue(c) < 70; };
        auto blue = [](QRgb c) { return qBlue(c) > 180 && qGreen(c) < 70 && qRed(c) < 70; };
        std::optional<QPoint> found;
        for (int y = 0; y < s.height() && !found; ++y) {
            for (int x = 0; x < s.width(); ++x) {
                if (red(at(x, y)) && red(at(x + 4, y + 4)) && blue(at(x + 12, y + 12)) &&
                    red(at(x + 20, y + 20))) {
                    found = QPoint(x, y);
                    break;
                }
            }
        }
        XDestroyImage(image);
        return found;
    }
};

bool differs(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) > 30;
}

// The program on the generated page, the recorder and the screen, for the whole run.
struct Session
{
    QString error;
    QTemporaryDir work;
    std::vector<Word> words = makeWords();
    std::unique_ptr<Screen> screen;
    Monitor monitor;
    QProcess program;
    QPoint pageAt;
    std::vector<QRgb> unmarked;
    double sinkLatency = 0;
    double decodedOffset = NAN;

    Session()
    {
        const QByteArray display = qgetenv("LIRENA_TEST_DISPLAY");
        if (display.isEmpty() || qEnvironmentVariableIsEmpty("LIRENA_TEST_PULSE")) {
            error = "no test display or sound server (run through scripts/bench)";
            return;
        }
        QString binary = qEnvironmentVariable("LIRENA_PROGRAM");
        if (binary.isEmpty())
            binary = QCoreApplication::applicationDirPath() + "/lirena";
        const QString course = work.filePath("course");
        QDir().mkpath(course);
        QDir().mkpath(work.filePath("runtime"));
        QFile::setPermissions(work.filePath("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!writeCourse(course, words)) {
            error = "cannot make the page (lame?)";
            return;
        }
        decodedOffset = decodedFirstBeepMs(course + "/page.mp3") - words.front().start;
        // The program beside its own settings: fit off, the page at its own size, the recolour mark.
        const QString copy = work.filePath("lirena");
        if (!QFile::copy(binary, copy)) {
            error = "no program at " + binary;
            return;
        }
        QFile settings(work.filePath("Vedra.ini"));
        settings.open(QIODevice::WriteOnly);
        settings.write(
            QStringLiteral("[Settings]\r\nDataFolder=%1\r\nLastChapter=sayfa01.ini\r\nLastScreenSize=1\r\n"
                           "ImageSizeType=1\r\nImageSize=0\r\nMarkType=2\r\n")
                .arg(course)
                .toUtf8());
        if (const QString speed = qEnvironmentVariable("LIRENA_READING_SPEED"); !speed.isEmpty())
            settings.write(QStringLiteral("ReadingSpeed=%1\r\n").arg(speed).toUtf8());
        settings.close();

        screen = std::make_unique<Screen>(display);
        if (!screen->ok()) {
            error = "no X display with XTest at " + QString::fromUtf8(display);
            return;
        }
        if (!monitor.start()) {
            error = "parec does not start";
            return;
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", QString::fromUtf8(display));
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("PULSE_SERVER", "unix:" + qEnvironmentVariable("XDG_RUNTIME_DIR") + "/pulse/native");
        env.insert("XDG_RUNTIME_DIR", work.filePath("runtime"));
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(copy, {});
        if (!program.waitForStarted()) {
            error = "the program does not start";
            return;
        }
        const double until = nowMs() + 20000;
        std::optional<QPoint> marker;
        while (!(marker = screen->findMarker()) && nowMs() < until)
            sleepMs(200);
        if (!marker) {
            error = "the page does not show";
            return;
        }
        sleepMs(1000); // settled
        pageAt = *screen->findMarker();
        screen->move(QPoint(screen->size().width() - 5, 5));
        sleepMs(200);
        for (int k = 0; k < kWords; ++k)
            unmarked.push_back(screen->pixel(probe(k)));
        if (monitor.framesSeen() == 0) {
            error = "nothing comes from the sink's monitor";
            return;
        }
    }

    ~Session()
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
    }

    // Where a word's mark is looked for, and where it is clicked: apart, so
    // the pointer never stands on the pixel read.
    QPoint probe(int k) const { return pageAt + words[size_t(k)].rect.bottomRight() - QPoint(12, 10); }
    QPoint clickPoint(int k) const { return pageAt + words[size_t(k)].rect.topLeft() + QPoint(6, 6); }

    // Reads the word's pixel until it shows the mark; the moment it does
    // (the middle of the read that saw it), or nothing after timeoutMs.
    std::optional<double> waitForMark(int k, double timeoutMs)
    {
        const double until = nowMs() + timeoutMs;
        for (;;) {
            const double before = nowMs();
            const QRgb c = screen->pixel(probe(k));
            const double after = nowMs();
            if (differs(c, unmarked[size_t(k)]))
                return (before + after) / 2;
            if (after > until)
                return std::nullopt;
        }
    }

    // The play button of the button bar, bottom left.
    QPoint playButton() const { return {18, screen->size().height() - 20}; }
};

std::unique_ptr<Session> gSession;

Session &session()
{
    if (!gSession)
        gSession = std::make_unique<Session>();
    return *gSession;
}

void report(benchmark::State &state, const std::vector<double> &delays, int missing)
{
    state.counters["median_ms"] = percentile(delays, 0.5);
    state.counters["p95_ms"] = percentile(delays, 0.95);
    state.counters["min_ms"] = percentile(delays, 0);
    state.counters["max_ms"] = percentile(delays, 1);
    state.counters["words"] = double(delays.size());
    state.counters["missed"] = missing;
}

void BM_MarkDelayPlayThrough(benchmark::State &state)
{
    Session &s = session();
    if (!s.error.isEmpty()) {
        state.SkipWithError(s.error.toUtf8().constData());
        return;
    }
    std::vector<double> delays;
    int missing = 0;
    for (auto _ : state) {
        s.sinkLatency = sinkLatencyMs();
        const size_t beepsBefore = s.monitor.beepCount();
        s.screen->click(s.playButton());
        s.screen->move(QPoint(s.screen->size().width() - 5, 5));
        std::vector<std::optional<double>> marks;
        for (int k = 0; k < kWords; ++k)
            marks.push_back(s.waitForMark(k, k == 0 ? 5000 : 2000));
        sleepMs(800); // the last beep's half second after
        const std::vector<double> beeps = s.monitor.beeps(s.sinkLatency);
        std::vector<double> heard(beeps.begin() + std::ptrdiff_t(std::min(beepsBefore, beeps.size())),
                                  beeps.end());
        if (heard.size() < size_t(kWords)) {
            state.SkipWithError("fewer beeps reached the sink's monitor than words were read");
            return;
        }
        std::vector<double> round;
        for (int k = 0; k < kWords; ++k) {
            if (marks[size_t(k)])
                round.push_back(*marks[size_t(k)] - heard[size_t(k)]);
            else
                ++missing;
        }
        state.SetIterationTime(percentile(round, 0.5) / 1000);
        delays.insert(delays.end(), round.begin(), round.end());
        // The recording plays to its end and pauses there.
        sleepMs(1500);
    }
    report(state, delays, missing);
    state.counters["sink_latency_ms"] = s.sinkLatency;
    state.counters["decoded_offset_ms"] = s.decodedOffset;
}
BENCHMARK(BM_MarkDelayPlayThrough)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_MarkDelayClicked(benchmark::State &state)
{
    Session &s = session();
    if (!s.error.isEmpty()) {
        state.SkipWithError(s.error.toUtf8().constData());
        return;
    }
    std::vector<double> delays;
    int missing = 0;
    int click = 0;
    for (auto _ : state) {
        const int k = (5 + click * 37) % kWords;
        ++click;
        // While the page plays, the click comes once a beep has ended 60 ms
        // ago: the next beep of the word playing is 80 ms away at least (at
        // 1.5x), later than the click cuts its sound off, so the first beep
        // after the click is the clicked word's (and it follows 50 ms of
        // quiet, so it is found).
        if (click > 1) {
            const size_t seen = s.monitor.beepCount();
            const double until = nowMs() + 3000;
            while ((s.monitor.beepCount() == seen || s.monitor.quietMs() < 60) && nowMs() < until)
                sleepMs(1);
        }
        s.sinkLatency = sinkLatencyMs();
        const double clicked = nowMs();
        s.screen->click(s.clickPoint(k));
        const std::optional<double> mark = s.waitForMark(k, 2000);
        sleepMs(600); // the beep's half second after
        const std::vector<double> beeps = s.monitor.beeps(s.sinkLatency);
        const auto beep = std::find_if(beeps.begin(), beeps.end(), [&](double t) { return t > clicked; });
        // A click not measured always says why.
        if (!mark || beep == beeps.end() || qEnvironmentVariableIsSet("LIRENA_BENCH_TRACE"))
            fprintf(stderr, "click %d word %d mark %.1f beep %.1f (%zu found)\n", click, k,
                    mark ? *mark - clicked : -1.0, beep == beeps.end() ? -1.0 : *beep - clicked,
                    beeps.size());
        if (!mark || beep == beeps.end()) {
            ++missing;
            continue;
        }
        delays.push_back(*mark - *beep);
        state.SetIterationTime(std::max(0.0, delays.back()) / 1000);
    }
    report(state, delays, missing);
}
BENCHMARK(BM_MarkDelayClicked)->Iterations(kClicks)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // Pictures are made here without a screen; the program measured has the display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    gSession.reset(); // the program ends while Qt is still there
}
