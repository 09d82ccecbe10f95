#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace memro {

using Date = std::chrono::year_month_day;

// Whole days since 1970-01-01; differences of these are day counts.
std::int64_t DayNumber(const Date& date);
Date FromDayNumber(std::int64_t days);

// Sunday = 1 ... Saturday = 7.
int WeekdayNumber(const Date& date);

// Fixed English names, whatever the system's language.
std::string_view MonthAbbreviation(unsigned month);  // 1..12 -> "Jan".."Dec"
std::string_view MonthName(unsigned month);          // 1..12 -> "January".."December"
std::string_view WeekdayName(int weekday);           // 1..7 -> "Sunday".."Saturday"
std::string_view WeekdayAbbreviation(int weekday);   // 1..7 -> "Sun".."Sat"
// 1..12 for an English month abbreviation or full name in any letter case, else 0.
unsigned MonthFromName(std::string_view name);

std::string FormatStored(const Date& date);       // "Dec082026"
std::string FormatLong(const Date& date);         // "Dec 08, 2026"
std::string FormatWithWeekday(const Date& date);  // "Tue, Dec 08, 2026"
std::string FormatShort(const Date& date);        // "12/8/2026"
// The same texts added to the end of out: a report of thousands of entries builds
// them without a string of their own each.
void AppendLong(std::string& out, const Date& date);
void AppendWithWeekday(std::string& out, const Date& date);
void AppendShort(std::string& out, const Date& date);
// A number in decimal, as std::to_string writes it.
void AppendNumber(std::string& out, std::int64_t n);

// Days in the month of `date` as the reminder rules count them: February has 29
// days in every year divisible by 4, with no century rule.
int RuleMonthLength(const Date& date);
bool RuleLeapYear(int year);

}  // namespace memro
