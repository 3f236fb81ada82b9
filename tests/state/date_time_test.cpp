// The date a result is printed with: local time in the zone the machine is set
// to, year first, in digits with leading zeros.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>

#include "state/number_format.h"

namespace trelvan {
namespace {

// Sets TZ for one test and puts the old value back.
class TimeZone {
public:
    explicit TimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) old_ = old, had_ = true;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone() {
        if (had_) setenv("TZ", old_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }

private:
    std::string old_;
    bool had_ = false;
};

std::chrono::system_clock::time_point at(long long unixSeconds) {
    return std::chrono::system_clock::time_point(std::chrono::seconds(unixSeconds));
}

TEST(DateTimeText, LocalTimeInDigitsWithLeadingZeros) {
    // Seconds since 1970 in UTC, worked out independently of the program.
    struct Case {
        const char* zone;
        long long seconds;
        const char* shown;
    } cases[] = {
        {"UTC0", 0, "1970-01-01 00:00:00"},
        {"UTC0", 1796738607, "2026-12-08 14:03:27"},
        {"UTC0", 1709251199, "2024-02-29 23:59:59"},          // a leap day
        {"CST-8", 946684799, "2000-01-01 07:59:59"},          // eight hours east: the next day
        {"EST5", 946684799, "1999-12-31 18:59:59"},           // five hours west
        {"CST-8", 1796738607 + 10 * 3600, "2026-12-09 08:03:27"},
    };
    for (const Case& c : cases) {
        TimeZone zone(c.zone);
        EXPECT_EQ(dateTimeText(at(c.seconds)), c.shown) << c.zone << " " << c.seconds;
    }
    // Fractions of a second are dropped, not rounded up.
    TimeZone utc("UTC0");
    EXPECT_EQ(dateTimeText(at(59) + std::chrono::milliseconds(999)), "1970-01-01 00:00:59");
}

}  // namespace
}  // namespace trelvan
