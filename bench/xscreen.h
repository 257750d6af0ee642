#pragma once

// What the benchmarks that watch the real player from outside share: a
// steady clock, percentiles, and the X server's screen and mouse (Xlib and
// XTest), so that a figure is what the learner sees, not what the program says.

#include <QPoint>
#include <QRgb>
#include <QSize>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace benchx {

inline double nowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

inline void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

inline double percentile(std::vector<double> v, double q)
{
    if (v.empty())
        return NAN;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(std::lround(q * double(v.size() - 1))))];
}

// The screen as the X server has it, and the mouse.
class XScreen
{
public:
    explicit XScreen(const QByteArray &name) : mDisplay(XOpenDisplay(name.constData()))
    {
        // A read that fails (the window going) gives nothing, not the end of the run.
        XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
    }
    ~XScreen()
    {
        if (mDisplay)
            XCloseDisplay(mDisplay);
    }
    bool ok() const
    {
        int event, error, major, minor;
        return mDisplay && XTestQueryExtension(mDisplay, &event, &error, &major, &minor);
    }
    QSize size() const
    {
        return {DisplayWidth(mDisplay, DefaultScreen(mDisplay)),
                DisplayHeight(mDisplay, DefaultScreen(mDisplay))};
    }
    QRgb pixel(QPoint at) const
    {
        XImage *image =
            XGetImage(mDisplay, DefaultRootWindow(mDisplay), at.x(), at.y(), 1, 1, AllPlanes, ZPixmap);
        if (!image)
            return 0;
        const unsigned long p = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return QRgb(p & 0xffffff);
    }
    void click(QPoint at)
    {
        XTestFakeMotionEvent(mDisplay, -1, at.x(), at.y(), CurrentTime);
        XTestFakeButtonEvent(mDisplay, 1, True, CurrentTime);
        XTestFakeButtonEvent(mDisplay, 1, False, CurrentTime);
        XFlush(mDisplay);
    }
    Display *display() const { return mDisplay; }
    void move(QPoint at)
    {
        XTestFakeMotionEvent(mDisplay, -1, at.x(), at.y(), CurrentTime);
        XFlush(mDisplay);
    }

private:
    Display *mDisplay;
};

} // namespace benchx
