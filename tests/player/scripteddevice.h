#pragma once

#include "platform/mediadevice.h"

#include <QStringList>

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
        return true;
    }
    void close() override { state = Mode::NotReady; }
    void rewind() override { pos = 0; }
    qint64 length() const override { return state == Mode::NotReady ? 0 : fileLength; }
    qint64 position() const override { return pos; }
    void setPosition(qint64 ms) override
    {
        calls << QStringLiteral("seek %1").arg(ms);
        pos = std::clamp<qint64>(ms, 0, fileLength);
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

    // The recording plays on by ms, stopping at its end as a real device does.
    void advance(qint64 ms)
    {
        if (state != Mode::Playing)
            return;
        pos = std::min(pos + ms, fileLength);
        if (pos == fileLength)
            state = Mode::Stopped;
    }
};
