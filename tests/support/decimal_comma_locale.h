#pragma once
// Puts the process, C and C++ alike, into a locale that writes a decimal comma and
// groups digits, as a German desktop does, and restores the previous locales at the
// end of the scope. A missing locale fails the test that needs it: it is generated
// for the suite by `scripts/dev.sh locale-test` (or `locale-gen de_DE.UTF-8`).

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <stdexcept>
#include <string>

namespace trelvan::testing {

class DecimalCommaLocale {
public:
    static constexpr const char* name = "de_DE.UTF-8";

    DecimalCommaLocale() : previousC_(std::setlocale(LC_ALL, nullptr)), previousCpp_(std::locale()) {
        if (std::setlocale(LC_ALL, name) == nullptr) return;
        try {
            std::locale::global(std::locale(name));
        } catch (const std::runtime_error&) {
            return;
        }
        active_ = std::string(std::localeconv()->decimal_point) == ",";
    }
    ~DecimalCommaLocale() {
        std::locale::global(previousCpp_);
        std::setlocale(LC_ALL, previousC_.c_str());
    }
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    // Use as ASSERT_TRUE(locale.active()) << DecimalCommaLocale::missing;
    bool active() const { return active_; }
    static constexpr const char* missing =
        "the de_DE.UTF-8 locale is not installed: run scripts/dev.sh locale-test, or "
        "locale-gen de_DE.UTF-8 as root";

private:
    std::string previousC_;
    std::locale previousCpp_;
    bool active_ = false;
};

}  // namespace trelvan::testing
