#pragma once

// Waiting as the program runs: in a real event loop. QTest's waits sleep between event batches, which starves
// the browser engine (a login took five times as long with them).
#include <QEventLoop>
#include <QTimer>

namespace veldor::test {

// Long enough for a page of the practice server on a busy machine.
constexpr int kWait = 20000;

template <class Pred>
bool waitUntil(Pred done, int ms = kWait)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    poll.start(20);
    loop.exec();
    return done();
}

} // namespace veldor::test
