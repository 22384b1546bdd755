#pragma once
// ZoTimeUtl::SimpDuration: a signed span of time with microsecond resolution, the difference of two
// SimpDateTime values and the step added to one.
//
// A duration is valid when it is an ordinary length of time. Lengths that cannot be held (beyond
// about ±292,000 years, a NaN or an infinite number of seconds, an overflowing sum) become special
// values of boost::posix_time::time_duration and are not valid: a NaN or an overflowing sum gives
// not_a_date_time, an infinite or too large number of seconds gives pos_infin / neg_infin.
// Nothing in this class throws.

#include <cstdint>

#include <boost/date_time/posix_time/posix_time_types.hpp>

namespace ZoTimeUtl {

class SimpDuration {
public:
    // Zero length.
    SimpDuration();
    // `seconds` rounded to the nearest microsecond (halves away from zero).
    explicit SimpDuration(double seconds);
    explicit SimpDuration(boost::posix_time::time_duration duration);

    // Length in seconds, microseconds included. NaN for not_a_date_time, ±infinity for pos_infin /
    // neg_infin, so a caller that checks for finite numbers rejects invalid durations.
    double TotalSeconds() const;
    // Length in microseconds; only meaningful when IsValid().
    std::int64_t TotalMicroseconds() const;
    boost::posix_time::time_duration Get() const { return mDuration; }
    // True unless the duration is a special value.
    bool IsValid() const { return !mDuration.is_special(); }

    // Sums and differences that overflow give not_a_date_time; special operands follow Boost's rules.
    SimpDuration operator+(const SimpDuration& other) const;
    SimpDuration operator-(const SimpDuration& other) const;
    SimpDuration operator-() const;

    // A total order: not_a_date_time equals itself and comes first, then neg_infin, the ordinary
    // lengths, pos_infin.
    bool operator==(const SimpDuration& other) const { return Key() == other.Key(); }
    bool operator!=(const SimpDuration& other) const { return Key() != other.Key(); }
    bool operator<(const SimpDuration& other) const { return Key() < other.Key(); }
    bool operator<=(const SimpDuration& other) const { return Key() <= other.Key(); }
    bool operator>(const SimpDuration& other) const { return Key() > other.Key(); }
    bool operator>=(const SimpDuration& other) const { return Key() >= other.Key(); }

    // A valid duration of `microseconds`, or not_a_date_time when the count is out of Boost's range.
    static SimpDuration FromMicroseconds(std::int64_t microseconds);

private:
    std::int64_t Key() const;

    boost::posix_time::time_duration mDuration;
};

}  // namespace ZoTimeUtl
