#pragma once

#include "platform/waveout.h"

#include <QByteArray>
#include <QTimer>

#include <vector>

namespace lirena::testing {

// A wave output that remembers every block written and gives it back when the
// test says so (finish) or on reset, on the event loop as a real device does.
class FakeWaveOut : public WaveOut
{
public:
    struct Block
    {
        const char *data;
        qint64 length;
    };

    bool isAvailable = true;
    bool opens = true;
    bool resets = true;
    bool isOpen = false;
    std::vector<Block> written;
    int opened = 0;

    bool available() const override { return isAvailable; }
    bool open() override
    {
        if (!opens)
            return false;
        isOpen = true;
        ++opened;
        return true;
    }
    void write(const char *data, qint64 length) override { written.push_back({data, length}); }
    bool reset() override
    {
        if (!resets)
            return false;
        finish();
        return true;
    }
    void close() override { isOpen = false; }

    // The device gives the block back (its end reached), on the event loop.
    void finish()
    {
        QTimer::singleShot(0, [this] {
            if (done)
                done();
        });
    }
    QByteArray lastBlock() const
    {
        return written.empty() ? QByteArray() : QByteArray(written.back().data, written.back().length);
    }
};

} // namespace lirena::testing
