#pragma once

// What the test environment's null sink plays, recorded from its monitor:
// 16-bit stereo at 44,100 frames a second, as it arrives.

#include <QElapsedTimer>
#include <QProcess>

// Starts recording the sink's monitor; false when the recorder does not start.
inline bool startSinkMonitor(QProcess &recorder)
{
    recorder.start("parec", {"-d", "null.monitor", "--raw", "--format=s16le", "--rate=44100", "--channels=2",
                             "--latency-msec=2"});
    return recorder.waitForStarted();
}

// What the recorder delivers for ms milliseconds (earlier sound is let run dry this way).
inline QByteArray recordFor(QProcess &recorder, int ms)
{
    QByteArray sound;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        recorder.waitForReadyRead(5);
        sound += recorder.readAllStandardOutput();
    }
    return sound;
}
