#include "interfaces/utility/SimpDuration.h"

#include <cmath>
#include <limits>

namespace ZoTimeUtl {

namespace pt = boost::posix_time;

namespace {

// Boost keeps the extreme tick counts for its special values; ordinary lengths stay inside this
// symmetric bound, so negation never produces one of them.
constexpr std::int64_t kMaxTicks = std::numeric_limits<std::int64_t>::max() - 2;

}  // namespace

SimpDuration::SimpDuration() : mDuration(0, 0, 0, 0) {}

SimpDuration::SimpDuration(double seconds) : mDuration(pt::not_a_date_time) {
    if (std::isnan(seconds)) return;
    const double microseconds = std::round(seconds * 1e6);
    // 9.2e18 is not exactly representable; stay below the first double past kMaxTicks.
    if (microseconds >= 9.2e18 || microseconds <= -9.2e18) {
        mDuration = seconds > 0 ? pt::time_duration(pt::pos_infin) : pt::time_duration(pt::neg_infin);
        return;
    }
    *this = FromMicroseconds(static_cast<std::int64_t>(microseconds));
}

SimpDuration::SimpDuration(pt::time_duration duration) : mDuration(duration) {}

SimpDuration SimpDuration::FromMicroseconds(std::int64_t microseconds) {
    SimpDuration result;
    if (microseconds > kMaxTicks || microseconds < -kMaxTicks) {
        result.mDuration = pt::time_duration(pt::not_a_date_time);
        return result;
    }
    result.mDuration = pt::microseconds(microseconds);
    return result;
}

double SimpDuration::TotalSeconds() const {
    if (mDuration.is_not_a_date_time()) return std::numeric_limits<double>::quiet_NaN();
    if (mDuration.is_pos_infinity()) return std::numeric_limits<double>::infinity();
    if (mDuration.is_neg_infinity()) return -std::numeric_limits<double>::infinity();
    const std::int64_t ticks = mDuration.total_microseconds();
    // Whole seconds and the remainder separately, so that values near the limit keep their microseconds.
    return static_cast<double>(ticks / 1000000) + static_cast<double>(ticks % 1000000) / 1e6;
}

std::int64_t SimpDuration::TotalMicroseconds() const { return IsValid() ? mDuration.total_microseconds() : 0; }

std::int64_t SimpDuration::Key() const {
    if (mDuration.is_not_a_date_time()) return std::numeric_limits<std::int64_t>::min();
    if (mDuration.is_neg_infinity()) return std::numeric_limits<std::int64_t>::min() + 1;
    if (mDuration.is_pos_infinity()) return std::numeric_limits<std::int64_t>::max();
    return mDuration.total_microseconds();
}

SimpDuration SimpDuration::operator+(const SimpDuration& other) const {
    if (!IsValid() || !other.IsValid()) return SimpDuration(mDuration + other.mDuration);
    std::int64_t sum = 0;
    if (__builtin_add_overflow(mDuration.total_microseconds(), other.mDuration.total_microseconds(), &sum))
        return SimpDuration(pt::time_duration(pt::not_a_date_time));
    return FromMicroseconds(sum);
}

SimpDuration SimpDuration::operator-(const SimpDuration& other) const { return *this + (-other); }

SimpDuration SimpDuration::operator-() const {
    if (!IsValid()) return SimpDuration(mDuration.invert_sign());
    return FromMicroseconds(-mDuration.total_microseconds());
}

}  // namespace ZoTimeUtl
