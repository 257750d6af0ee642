// How soon the learner sees a page, seen from outside the program: the real
// player on a generated course of A4 pages under the test X server, its page
// pixels read from the X server over and over.
//
// BM_PageTurn: a click (XTest) on "Bir Sonraki Ders", "Geri" or "İleri" to
// the moment the new page's paper colour shows at two points of the page
// area, the learner reading for a while between clicks. Every page has a
// paper colour of its own. The reference in the same run is a cold page: just
// before the click its picture file is written again (same bytes, a new
// time), so nothing made of it before may be shown and the page is decoded
// after the click, as every page was before pages were made ahead.
//
// BM_StartToFirstPage: from the spawn of the process to the first page's
// paper colour on screen, against minimalpage (a Qt program that only decodes
// the same picture with QImageReader and shows it full screen at the same
// size and place) started the same way, the two taking turns.
//
// The buttons are found by their accessible names (AT-SPI, through
// tests/e2e/atspi.py) in a first run of the player with the accessibility bus
// on; the runs measured go without it. The layout depends only on the screen
// and the panel state, which are the same.
//
// Needs the test environment (scripts/bench): an X display in
// LIRENA_TEST_DISPLAY with XTest, the sound server, dbus-launch,
// at-spi2-core and python3-pyatspi. The program measured is the lirena
// beside this one, or LIRENA_PROGRAM (an older build, for comparison).

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
#include <map>
#include <memory>
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

const QSize kPage(2480, 3508); // A4 at 300 dpi, as pages are scanned
const int kBand = 280;         // plain paper at the top and bottom of every page, page pixels
const int kColouredPages = 24; // pages with a paper colour of their own, walked by the clicks
const int kChapters = 60;      // the book: the other chapters show copies of those pages
const int kWords = 160;        // words on a page, each a graphic, a voice and a link
const int kTurnCycles = 8;     // next, back, forward, cold next
const int kStarts = 15;        // starts of each program
const int kReadingMs = 1500;   // the learner reads between clicks

QString chapterName(int k)
{
    return QString::asprintf("sayfa%.2d", k + 1);
}

QRgb paperColour(int k)
{
    return QColor::fromHsv((k * 97) % 360, 70 + (k % 3) * 40, 235 - (k % 4) * 20).rgb();
}

bool sameColour(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) <=
           24;
}

// A printed page: paper of its own colour, lines of words as dark boxes
// between two plain bands.
QImage pagePicture(int k)
{
    QImage page(kPage, QImage::Format_RGB32);
    page.fill(paperColour(k));
    QPainter painter(&page);
    for (int w = 0; w < kWords; ++w) {
        const int row = w / 8, column = w % 8;
        const QRect r(160 + column * 270, kBand + 80 + row * 140, 180 + (w * 37) % 60, 80);
        painter.fillRect(r, QColor(40 + (w * 13) % 50, 40, 60));
    }
    return page;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray chapterText(int k)
{
    QStringList graphics, voices, links, ids;
    for (int w = 0; w < kWords; ++w) {
        const int row = w / 8, column = w % 8;
        const QRect r(160 + column * 270, kBand + 80 + row * 140, 180, 80);
        const QString name = QString::asprintf("w%.3d", w + 1);
        graphics << QStringLiteral("%1=%2|%3|%4|%5|%6")
                        .arg(w + 1)
                        .arg(name)
                        .arg(r.left())
                        .arg(r.top())
                        .arg(r.right() + 1)
                        .arg(r.bottom() + 1);
        voices << QStringLiteral("%1=%2|%3|%4").arg(w + 1).arg(name).arg(w * 400).arg(w * 400 + 380);
        links << QStringLiteral("%1=%2,%2|%1|%1").arg(w + 1).arg(name);
        ids << QString::number(w + 1);
    }
    const QString picture = chapterName(k % kColouredPages);
    const QString text =
        QStringLiteral(
            "[General]\r\nName=Sayfa %1\r\nImageFile=%2.jpg\r\nMediaFile=%3.mp3\r\nGroupID=%4\r\n"
            "ID=%5\r\nSectionPlay=0\r\nClickObjects=%6\r\nReadObjects=%6\r\nVersion=1.0\r\n\r\n"
            "[Subjects]\r\n1=Dinle\r\n2=Baştan|PLAY|0\r\n3=Alıştırmalar\r\n4=Sor ve bul|TEST3|1\r\n\r\n"
            "[GraphicObjects]\r\n")
            .arg(k + 1)
            .arg(picture)
            .arg(chapterName(k))
            .arg(k < kColouredPages ? QStringLiteral("01") : QStringLiteral("02"))
            .arg(k + 1, 2, 10, QLatin1Char('0'))
            .arg(ids.join(u'|')) +
        graphics.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n[VoiceObjects]\r\n") +
        voices.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n[VGObjects]\r\n") +
        links.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    return text.toUtf8();
}

bool writeCourse(const QString &folder)
{
    for (int k = 0; k < kColouredPages; ++k) {
        if (!pagePicture(k).save(QStringLiteral("%1/%2.jpg").arg(folder, chapterName(k)), "JPG", 85))
            return false;
    }
    QFile recording(QStringLiteral(LIRENA_SAMPLE_COURSE "/sayfa01.mp3"));
    if (!recording.open(QIODevice::ReadOnly))
        return false;
    const QByteArray sound = recording.readAll();
    for (int k = 0; k < kChapters; ++k) {
        if (!writeFile(QStringLiteral("%1/%2.ini").arg(folder, chapterName(k)), chapterText(k)) ||
            !writeFile(QStringLiteral("%1/%2.mp3").arg(folder, chapterName(k)), sound))
            return false;
    }
    return true;
}

// A program started with posix_spawn, ended with SIGKILL.
class Child
{
public:
    ~Child() { stop(); }
    bool start(const QString &program, const QStringList &arguments, const QProcessEnvironment &env)
    {
        std::vector<QByteArray> args{program.toLocal8Bit()}, vars;
        for (const QString &a : arguments)
            args.push_back(a.toLocal8Bit());
        for (const QString &v : env.toStringList())
            vars.push_back(v.toLocal8Bit());
        std::vector<char *> argv, envp;
        for (QByteArray &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        for (QByteArray &v : vars)
            envp.push_back(v.data());
        envp.push_back(nullptr);
        return posix_spawn(&mPid, argv[0], nullptr, nullptr, argv.data(), envp.data()) == 0;
    }
    void stop()
    {
        if (mPid <= 0)
            return;
        kill(mPid, SIGKILL);
        waitpid(mPid, nullptr, 0);
        mPid = -1;
    }

private:
    pid_t mPid = -1;
};

struct Buttons
{
    QPoint next, back, forward;
};

// The program on the generated course, and the screen, for the whole run.
struct Session
{
    QString error;
    QTemporaryDir work;
    QString course, program, minimal;
    QByteArray display;
    std::unique_ptr<XScreen> screen;
    QPoint probeTop, probeBottom; // plain paper at the top and the bottom of the page
    std::optional<Buttons> buttons;

    Session()
    {
        display = qgetenv("LIRENA_TEST_DISPLAY");
        if (display.isEmpty() || qEnvironmentVariableIsEmpty("LIRENA_TEST_PULSE")) {
            error = "no test display or sound server (run through scripts/bench)";
            return;
        }
        const QString binary = qEnvironmentVariableIsEmpty("LIRENA_PROGRAM")
                                   ? QCoreApplication::applicationDirPath() + "/lirena"
                                   : qEnvironmentVariable("LIRENA_PROGRAM");
        minimal = QCoreApplication::applicationDirPath() + "/minimalpage";
        course = work.filePath("course");
        QDir().mkpath(course);
        if (!writeCourse(course)) {
            error = "cannot write the course";
            return;
        }
        program = work.filePath("lirena");
        if (!QFile::copy(binary, program)) {
            error = "no program at " + binary;
            return;
        }
        screen = std::make_unique<XScreen>(display);
        if (!screen->ok()) {
            error = "no X display with XTest at " + QString::fromUtf8(display);
            return;
        }
        // Where the player and minimalpage show the first page: fitted above the 40-pixel bar.
        const QSize s = screen->size();
        const int usable = s.height() - 40;
        double scale = usable * 0.96 / kPage.height();
        while (kPage.width() * scale > s.width() || kPage.height() * scale > usable)
            scale *= 0.9;
        const int top = std::max(0, (usable - int(kPage.height() * scale)) / 2);
        probeTop = QPoint(s.width() / 2, top + int(kBand * scale / 2));
        probeBottom = QPoint(s.width() / 2, top + int((kPage.height() - kBand / 2) * scale));
    }

    QProcessEnvironment environment(const QString &runtime) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", QString::fromUtf8(display));
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("PULSE_SERVER", "unix:" + qEnvironmentVariable("XDG_RUNTIME_DIR") + "/pulse/native");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", runtime);
        return env;
    }

    // The player's settings: the first page fitted to the screen, the button bar shown.
    void writeSettings() const
    {
        writeFile(
            work.filePath("Vedra.ini"),
            QStringLiteral("[Settings]\r\nDataFolder=%1\r\nLastChapter=sayfa01.ini\r\nLastScreenSize=1\r\n"
                           "ImageSizeType=0\r\n\r\n[LessonGroups]\r\n01=Birinci Kitap\r\n02=İkinci Kitap\r\n")
                .arg(course)
                .toUtf8());
    }

    bool shows(int k) const
    {
        return sameColour(screen->pixel(probeTop), paperColour(k)) &&
               sameColour(screen->pixel(probeBottom), paperColour(k));
    }

    // Reads the page's pixels until they show page k; the moment they do (the
    // middle of the reads that saw it), or nothing after timeoutMs.
    std::optional<double> waitForPage(int k, double timeoutMs) const
    {
        const double until = nowMs() + timeoutMs;
        for (;;) {
            const double before = nowMs();
            const bool shown = shows(k);
            const double after = nowMs();
            if (shown)
                return (before + after) / 2;
            if (after > until)
                return std::nullopt;
            sleepMs(1);
        }
    }

    bool waitUntilGone(int k) const
    {
        const double until = nowMs() + 5000;
        while (shows(k)) {
            if (nowMs() > until)
                return false;
            sleepMs(5);
        }
        return true;
    }

    // The three buttons, by their accessible names, from a run with the accessibility bus.
    void findButtons()
    {
        QProcess launch;
        launch.start("dbus-launch", {"--sh-syntax"});
        if (!launch.waitForFinished(5000)) {
            error = "dbus-launch does not start";
            return;
        }
        const QString out = QString::fromUtf8(launch.readAllStandardOutput());
        const QString address =
            QRegularExpression("DBUS_SESSION_BUS_ADDRESS='([^']*)'").match(out).captured(1);
        const int busPid = QRegularExpression("DBUS_SESSION_BUS_PID=(\\d+)").match(out).captured(1).toInt();
        QProcessEnvironment env = environment(work.filePath("runtime-atspi"));
        env.insert("DBUS_SESSION_BUS_ADDRESS", address);
        env.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        // The launcher, the accessibility bus it starts and the registry that bus starts
        // form a process group of their own, ended together.
        QProcess registry;
        registry.setProcessEnvironment(env);
        registry.setChildProcessModifier([] { setsid(); });
        registry.start("/usr/libexec/at-spi-bus-launcher", {"--launch-immediately"});
        sleepMs(500);
        writeSettings();
        Child player;
        auto point = [&](const QString &name) -> std::optional<QPoint> {
            QProcess atspi;
            atspi.setProcessEnvironment(env);
            atspi.start("/usr/bin/python3", {LIRENA_ATSPI_SCRIPT, "extents", "push button", name});
            if (!atspi.waitForFinished(10000) || atspi.exitCode() != 0)
                return std::nullopt;
            const QStringList e = QString::fromUtf8(atspi.readAllStandardOutput()).split(u' ');
            if (e.size() < 4)
                return std::nullopt;
            return QPoint(e[0].toInt() + e[2].toInt() / 2, e[1].toInt() + e[3].toInt() / 2);
        };
        if (player.start(program, {}, env) && waitForPage(0, 20000)) {
            const auto next = point(QStringLiteral("Bir Sonraki Ders"));
            const auto back = point(QStringLiteral("Geri"));
            const auto forward = point(QStringLiteral("İleri"));
            if (next && back && forward)
                buttons = Buttons{*next, *back, *forward};
        }
        player.stop();
        waitUntilGone(0);
        if (registry.processId() > 0)
            kill(-pid_t(registry.processId()), SIGTERM);
        registry.waitForFinished(2000);
        if (busPid > 0)
            kill(busPid, SIGTERM);
        if (!buttons)
            error = "the buttons were not found by their names (dbus-launch, at-spi2-core, python3-pyatspi?)";
    }
};

std::unique_ptr<Session> gSession;

Session &session()
{
    if (!gSession)
        gSession = std::make_unique<Session>();
    return *gSession;
}

void range(benchmark::State &state, const std::string &name, const std::vector<double> &v)
{
    state.counters[name + "_median_ms"] = percentile(v, 0.5);
    state.counters[name + "_min_ms"] = percentile(v, 0);
    state.counters[name + "_max_ms"] = percentile(v, 1);
}

void BM_PageTurn(benchmark::State &state)
{
    Session &s = session();
    if (s.error.isEmpty() && !s.buttons)
        s.findButtons();
    if (!s.error.isEmpty()) {
        state.SkipWithError(s.error.toUtf8().constData());
        return;
    }
    s.writeSettings();
    Child player;
    if (!player.start(s.program, {}, s.environment(s.work.filePath("runtime"))) || !s.waitForPage(0, 20000)) {
        state.SkipWithError("the first page does not show");
        return;
    }
    const QPoint away(s.screen->size().width() - 5, 5);
    s.screen->move(away);
    sleepMs(kReadingMs);
    std::map<std::string, std::vector<double>> delays;
    int missed = 0;
    int page = 0;
    // One click; the time to the page shown, which becomes the page shown.
    auto turn = [&](const std::string &kind, QPoint button, int to) {
        const double clicked = nowMs();
        s.screen->click(button);
        const std::optional<double> shown = s.waitForPage(to, 5000);
        s.screen->move(away);
        if (shown) {
            delays[kind].push_back(*shown - clicked);
            page = to;
        } else {
            ++missed;
        }
        sleepMs(kReadingMs);
        return shown.has_value();
    };
    for (auto _ : state) {
        const int start = page;
        if (!turn("next", s.buttons->next, start + 1) || !turn("back", s.buttons->back, start) ||
            !turn("forward", s.buttons->forward, start + 1))
            break;
        // The same bytes written again: the file is newer than any picture made of it.
        const QString picture = QStringLiteral("%1/%2.jpg").arg(s.course, chapterName(start + 2));
        QFile file(picture);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        file.close();
        writeFile(picture, bytes);
        if (!turn("cold_next", s.buttons->next, start + 2))
            break;
        state.SetIterationTime(delays["next"].back() / 1000);
    }
    for (const auto &[kind, v] : delays)
        range(state, kind, v);
    state.counters["next_per_cold"] = percentile(delays["next"], 0.5) / percentile(delays["cold_next"], 0.5);
    state.counters["missed"] = missed;
}
BENCHMARK(BM_PageTurn)->Iterations(kTurnCycles)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_StartToFirstPage(benchmark::State &state)
{
    Session &s = session();
    if (!s.error.isEmpty()) {
        state.SkipWithError(s.error.toUtf8().constData());
        return;
    }
    s.writeSettings();
    const QProcessEnvironment env = s.environment(s.work.filePath("runtime"));
    const QString picture = s.course + "/sayfa01.jpg";
    // From the spawn to the first page on screen, in ms; nothing when it does not show.
    auto startOnce = [&](const QString &program, const QStringList &arguments) -> std::optional<double> {
        Child child;
        const double spawned = nowMs();
        if (!child.start(program, arguments, env))
            return std::nullopt;
        const std::optional<double> shown = s.waitForPage(0, 20000);
        child.stop();
        s.waitUntilGone(0);
        sleepMs(300);
        return shown ? std::optional<double>(*shown - spawned) : std::nullopt;
    };
    // Once each before measuring: the session bus Qt starts for the display, the files in memory.
    startOnce(s.minimal, {picture});
    startOnce(s.program, {});
    std::vector<double> player, minimal;
    for (auto _ : state) {
        const auto m = startOnce(s.minimal, {picture});
        const auto p = startOnce(s.program, {});
        if (!m || !p) {
            state.SkipWithError("a page did not show");
            return;
        }
        minimal.push_back(*m);
        player.push_back(*p);
        state.SetIterationTime(*p / 1000);
    }
    range(state, "player", player);
    range(state, "minimal", minimal);
    state.counters["player_per_minimal"] = percentile(player, 0.5) / percentile(minimal, 0.5);
}
BENCHMARK(BM_StartToFirstPage)->Iterations(kStarts)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // Pages are drawn here without a screen; the programs measured have the display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    gSession.reset();
}
