// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the two start-up programs share: showing a window, letting the event loop settle
// and reporting the figures the start-up script reads.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <sys/resource.h>

#include <cstdio>

// Quits the event loop one turn after the first paint of any widget of the window, so
// the whole first frame has been drawn and every event it posted handled.
class FirstFrame : public QObject {
public:
    explicit FirstFrame(QWidget& window) : window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!painted_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == &window_) {
            painted_ = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }
    bool painted() const { return painted_; }

private:
    QWidget& window_;
    bool painted_ = false;
};

// Shows the window and runs the event loop until it has settled. Returns false when no
// frame was drawn within ten seconds.
inline bool ShowAndSettle(QWidget& window)
{
    FirstFrame frame(window);
    qApp->installEventFilter(&frame);
    QTimer::singleShot(10000, qApp, &QCoreApplication::quit);
    window.show();
    QApplication::exec();
    qApp->removeEventFilter(&frame);
    return frame.painted();
}

// Peak resident memory of this process so far, in KiB.
inline long PeakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Processor time (user and system, all threads) of this process so far, in microseconds.
inline long long ProcessorMicroseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto micro = [](const timeval& t) { return t.tv_sec * 1000000LL + t.tv_usec; };
    return micro(usage.ru_utime) + micro(usage.ru_stime);
}

inline void ReportFigures(const QWidget& window)
{
    std::printf("window %dx%d\npeak_rss_kib %ld\ncpu_us %lld\n", window.width(), window.height(),
                PeakResidentKiB(), ProcessorMicroseconds());
}
