#pragma once

#include "platform/mediadevice.h"

#include <QStringList>

#include <functional>

// A media device whose position the test sets: it drives the timing logic
// deterministically, without sound and without sleeping.
class ScriptedDevice : public lirena::MediaDevice
{
public:
    bool opens = true;         // whether open() succeeds
    qint64 fileLength = 4000;  // length of every file opened
    qint64 pos = 0;
    Mode state = Mode::NotReady;
    bool sound = true;         // whether an audio output is there
    bool measures = false;     // whether a file's length is measured after open() returns
    bool measuring = false;    // the length is not known yet
    std::function<void()> onLength;
    QStringList calls;

    bool open(const QString &path, QString *error = nullptr) override
    {
        calls << "open " + path;
        if (!opens) {
            state = Mode::NotReady;
            if (error)
                *error = "cannot open";
            return false;
        }
        pos = 0;
        state = Mode::Stopped;
        measuring = measures;
        return true;
    }
    void close() override { state = Mode::NotReady; }
    void rewind() override { pos = 0; }
    qint64 length() const override { return state == Mode::NotReady || measuring ? 0 : fileLength; }
    bool lengthKnown() const override { return !measuring; }
    void setLengthKnownHandler(std::function<void()> handler) override { onLength = std::move(handler); }
    qint64 position() const override { return pos; }
    void setPosition(qint64 ms) override
    {
        calls << QStringLiteral("seek %1").arg(ms);
        pos = measuring ? std::max<qint64>(ms, 0) : std::clamp<qint64>(ms, 0, fileLength);
        state = Mode::Stopped;
    }
    Mode mode() const override { return state; }
    void play() override
    {
        calls << "play";
        if (pos >= fileLength)
            pos = 0;
        state = Mode::Playing;
    }
    void pause() override
    {
        calls << "pause";
        if (state == Mode::Playing)
            state = Mode::Paused;
        else if (state == Mode::Paused)
            state = Mode::Playing;
    }
    void stop() override
    {
        calls << "stop";
        state = Mode::Stopped;
    }

    bool hasSoundOutput() const override { return sound; }

    // The length measured: a seek asked meanwhile is clamped to it, and the owner told.
    void measured()
    {
        measuring = false;
        pos = std::min(pos, fileLength);
        if (onLength)
            onLength();
    }

    // The recording plays on by ms, stopping at its end as a real device does.
    // (A play asked before the length is known waits for it.)
    void advance(qint64 ms)
    {
        if (state != Mode::Playing || measuring)
            return;
        pos = std::min(pos + ms, fileLength);
        if (pos == fileLength)
            state = Mode::Stopped;
    }
};

// A scripted device that keeps the reading speed it is given.
class RateDevice : public ScriptedDevice
{
public:
    double speed = 1.0;
    void setRate(double rate) override { speed = rate; }
    double rate() const override { return speed; }
};
