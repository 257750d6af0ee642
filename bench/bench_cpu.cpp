// The processor time playing costs, measured from outside: this program runs
// itself again as a child that plays the sample course's speech through the
// media device (its window thread reading the position every 100 ms, as the
// playback tick does), and beside it, at the same time, `mpg123 -o pulse`
// plays the same file. Both are watched through /proc over the same 10 s of
// steady play, after a second of start-up; the figure is the player's time
// over mpg123's. Needs the
// test environment's sound server (scripts/bench starts it) and mpg123.

#include "platform/soundmediadevice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace lirena;

namespace {

const QString kSpeech = QStringLiteral(LIRENA_SAMPLE_COURSE "/help00.mp3");
const char *const kPlayArgument = "--play";
const int kSettleMs = 1000;
const int kWatchMs = 10000;

// What a process has used so far: user + system time from /proc/PID/stat (in
// clock ticks, 10 ms), and the sum over its threads of /proc/PID/task/*/schedstat
// (ns, precise).
struct CpuUse
{
    double statSeconds = 0;
    double schedSeconds = 0;
};

CpuUse cpuOf(qint64 pid)
{
    CpuUse use;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray line = stat.readAll();
        // The fields after the command name, which is in parentheses and may hold spaces.
        const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (f.size() > 12)
            use.statSeconds = double(f[11].toLongLong() + f[12].toLongLong()) / double(sysconf(_SC_CLK_TCK));
    }
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile sched(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (sched.open(QIODevice::ReadOnly))
            use.schedSeconds += double(sched.readAll().split(' ').value(0).toLongLong()) / 1e9;
    }
    return use;
}

struct Watched
{
    CpuUse player;
    CpuUse reference;
    bool ran = false;
};

// Starts the player and the reference side by side, lets them settle, and
// measures both over the same watch time.
Watched watch(const QString &mpg123)
{
    QProcess player, reference;
    for (QProcess *p : {&player, &reference})
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    player.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kPlayArgument), kSpeech});
    reference.start(mpg123, {QStringLiteral("-q"), QStringLiteral("-o"), QStringLiteral("pulse"), kSpeech});
    Watched w;
    if (player.waitForStarted() && reference.waitForStarted()) {
        QThread::msleep(kSettleMs);
        const CpuUse playerBefore = cpuOf(player.processId()), referenceBefore = cpuOf(reference.processId());
        QThread::msleep(kWatchMs);
        const CpuUse playerAfter = cpuOf(player.processId()), referenceAfter = cpuOf(reference.processId());
        w.ran = player.state() == QProcess::Running && reference.state() == QProcess::Running;
        w.player = {playerAfter.statSeconds - playerBefore.statSeconds,
                    playerAfter.schedSeconds - playerBefore.schedSeconds};
        w.reference = {referenceAfter.statSeconds - referenceBefore.statSeconds,
                       referenceAfter.schedSeconds - referenceBefore.schedSeconds};
    }
    for (QProcess *p : {&player, &reference}) {
        p->terminate();
        if (!p->waitForFinished(3000))
            p->kill();
        p->waitForFinished();
    }
    return w;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Each iteration: the player and mpg123 side by side for 11 s; the ratio per pair.
void BM_PlayingCpuAgainstMpg123(benchmark::State &state)
{
    const QString mpg123 = QStandardPaths::findExecutable(QStringLiteral("mpg123"));
    if (mpg123.isEmpty()) {
        state.SkipWithError("mpg123 is not installed");
        return;
    }
    std::vector<double> ours, theirs, ratios, oursStat, theirsStat;
    for (auto _ : state) {
        const Watched w = watch(mpg123);
        if (!w.ran) {
            state.SkipWithError("a player did not keep playing");
            return;
        }
        const double seconds = double(kWatchMs) / 1000;
        ours.push_back(w.player.schedSeconds / seconds * 100);
        theirs.push_back(w.reference.schedSeconds / seconds * 100);
        oursStat.push_back(w.player.statSeconds / seconds * 100);
        theirsStat.push_back(w.reference.statSeconds / seconds * 100);
        ratios.push_back(ours.back() / std::max(theirs.back(), 1e-9));
        state.SetIterationTime((kSettleMs + kWatchMs) / 1000.0);
    }
    state.counters["player_cpu_percent"] = median(ours);
    state.counters["mpg123_cpu_percent"] = median(theirs);
    state.counters["player_stat_percent"] = median(oursStat);
    state.counters["mpg123_stat_percent"] = median(theirsStat);
    state.counters["ratio"] = median(ratios);
    state.counters["ratio_min"] = *std::min_element(ratios.begin(), ratios.end());
    state.counters["ratio_max"] = *std::max_element(ratios.begin(), ratios.end());
}
BENCHMARK(BM_PlayingCpuAgainstMpg123)->Iterations(5)->UseManualTime()->Unit(benchmark::kSecond);

// The child: plays a recording from the start, over again at its end, until
// it is ended, with the window thread's 100 ms tick reading the position.
int play(const QString &path)
{
    SoundMediaDevice device;
    if (!device.open(path)) {
        std::fprintf(stderr, "bench_cpu: %s does not open\n", qPrintable(path));
        return 1;
    }
    device.play();
    QTimer tick;
    qint64 shown = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        shown = device.position();
        if (device.mode() != MediaDevice::Mode::Playing)
            device.play();
    });
    tick.start(100);
    return QCoreApplication::exec() + int(shown < 0);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], kPlayArgument) == 0)
        return play(QString::fromLocal8Bit(argv[2]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
