#include "engine/platform/locale.h"

#include <gtest/gtest.h>

#include <stdlib.h>

namespace {
std::string localeFrom(const char* all, const char* messages, const char* lang) {
    auto set = [](const char* name, const char* value) {
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    };
    set("LC_ALL", all);
    set("LC_MESSAGES", messages);
    set("LANG", lang);
    uint16_t name[16];
    userLocaleName(name);
    std::string out;
    for (int i = 0; name[i]; ++i) out += static_cast<char>(name[i]);
    return out;
}
} // namespace

TEST(Locale, PosixVariablesInPriorityOrder) {
    EXPECT_EQ(localeFrom(nullptr, nullptr, "fr_CA.UTF-8"), "fr-CA");
    EXPECT_EQ(localeFrom(nullptr, "de_DE@euro", "fr_CA.UTF-8"), "de-DE");
    EXPECT_EQ(localeFrom("en_GB", "de_DE", "fr_FR"), "en-GB");
    EXPECT_EQ(localeFrom("", "", ""), "");
    EXPECT_EQ(localeFrom(nullptr, nullptr, "a_very_long_locale_name_indeed"), "a-very-long-loc");
}
