#include "Clock.h"

#include <QCoreApplication>
#include <QDateTime>

namespace qern {

SystemClock::SystemClock() : origin_(QDateTime::currentMSecsSinceEpoch()) {}

quint32 SystemClock::ticks() const
{
    // Wrapping to 32 bits is intended: callers only ever take differences.
    return static_cast<quint32>(QDateTime::currentMSecsSinceEpoch() - origin_);
}

namespace {

SystemClock& systemClock()
{
    static SystemClock instance;
    return instance;
}

Clock* g_clock = nullptr;
std::function<void()> g_pump;

} // namespace

Clock& clock() { return g_clock ? *g_clock : systemClock(); }

void setClock(Clock* clock) { g_clock = clock; }

void pumpEvents()
{
    if (g_pump)
        g_pump();
    else
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void setEventPump(std::function<void()> pump) { g_pump = std::move(pump); }

bool waitUntil(quint32 ms, const std::function<bool()>& done)
{
    const quint32 start = clock().ticks();
    while (!done()) {
        if (elapsed(start, clock().ticks()) >= ms)
            return false;
        pumpEvents();
    }
    return true;
}

} // namespace qern
