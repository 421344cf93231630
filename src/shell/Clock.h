#pragma once

#include <QtGlobal>

#include <functional>

namespace qern {

// Millisecond tick counter. It wraps at 2^32 like the platform counter the
// waiting loops were designed around, so elapsed time is always taken as an
// unsigned difference (see elapsed).
class Clock {
public:
    virtual ~Clock() = default;
    virtual quint32 ticks() const = 0;
};

// Milliseconds from `start` to `now`, correct across one wrap of the counter.
constexpr quint32 elapsed(quint32 start, quint32 now) { return now - start; }

class SystemClock final : public Clock {
public:
    SystemClock();
    quint32 ticks() const override;

private:
    qint64 origin_;
};

// Time that moves only when told to; tests drive every waiting loop with it.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(quint32 start = 0) : now_(start) {}
    quint32 ticks() const override { return now_; }
    void advance(quint32 ms) { now_ += ms; }

private:
    quint32 now_;
};

// The process-wide clock and event pump used by every waiting loop. Both can be
// replaced (tests install a virtual clock and a pump that advances it);
// passing nullptr / an empty function restores the real ones.
Clock& clock();
void setClock(Clock* clock);
void pumpEvents();
void setEventPump(std::function<void()> pump);

// Pumps events until `done` returns true or `ms` milliseconds have passed on
// clock(). Returns whether `done` was satisfied.
bool waitUntil(quint32 ms, const std::function<bool()>& done);
inline void waitMs(quint32 ms) { waitUntil(ms, [] { return false; }); }

} // namespace qern
