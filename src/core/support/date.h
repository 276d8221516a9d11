#pragma once

#include <compare>
#include <memory>

namespace kovi {

// A point in time as seconds since 2001-01-01T00:00:00Z, the form every stored file uses.
class Date {
public:
    static constexpr double unixOffset = 978307200.0;

    constexpr Date() = default;
    constexpr explicit Date(double secondsSince2001) : m_seconds(secondsSince2001) {}

    static constexpr Date fromUnix(double unixSeconds) { return Date(unixSeconds - unixOffset); }
    static constexpr Date distantPast() { return Date(-63113904000.0); }
    static Date now(); // from the process clock (see Clock)

    constexpr double secondsSince2001() const { return m_seconds; }
    constexpr double unixSeconds() const { return m_seconds + unixOffset; }
    constexpr double secondsSince(Date other) const { return m_seconds - other.m_seconds; }
    constexpr Date adding(double seconds) const { return Date(m_seconds + seconds); }

    constexpr auto operator<=>(const Date&) const = default;
    constexpr bool operator==(const Date&) const = default;

private:
    double m_seconds = 0;
};

// Where "now" comes from. Production reads the system clock; tests install a ManualClock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual Date now() const = 0;

    static const Clock& current();
    // Installs `clock` as the process clock until the returned guard is destroyed.
    class Override;
};

class SystemClock final : public Clock {
public:
    Date now() const override;
};

class ManualClock final : public Clock {
public:
    explicit ManualClock(Date start = Date(725760000.0)) : m_now(start) {}
    Date now() const override { return m_now; }
    void set(Date date) { m_now = date; }
    void advance(double seconds) { m_now = m_now.adding(seconds); }

private:
    Date m_now;
};

class Clock::Override {
public:
    explicit Override(const Clock& clock);
    ~Override();
    Override(const Override&) = delete;
    Override& operator=(const Override&) = delete;

private:
    const Clock* m_previous;
};

} // namespace kovi
