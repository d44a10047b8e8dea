#pragma once
// International settings of the entry fields (separators, currency, date and time pictures,
// morning and evening texts) and the date and time pictures built from them.
//
// Picture characters of dates: m/M month, d/D day, y year, n/N month name, w/W weekday name,
// "/" the date separator. Of times: h/H hour, m/M minute, s/S second, t the morning or evening
// text, ":" the time separator. A lower-case number run is padded with "0", an upper-case one
// with blanks; an upper-case name run is shown in capitals.
#include "entry/ovc_date.h"

#include <array>
#include <string>

namespace korval {

// The [intl] values, with the defaults used when a value is absent. Texts are Windows-1252.
struct TOvcIntlSettings {
    std::string sDecimal = ".";
    std::string sThousand = ",";
    int iCurrDigits = 2;
    int iNegCurr = 0;
    std::string sList = ",";
    std::string sCountry;
    std::string sCurrency = "$";
    int iCurrency = 0;  // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    int iTLZero = 0;    // hours with a leading zero
    std::string sTime = ":";
    std::string sDate = "/";
    std::string s1159 = "AM";
    std::string s2359 = "PM";
    std::string sShortDate = "MM/dd/yy";
    std::string sLongDate = "dddd, MMMM dd, yyyy";
    bool twelveHourClock = false;  // the long time format ends with "M"
    std::array<std::string, 12> monthNames = {"January", "February", "March", "April", "May",
                                              "June", "July", "August", "September",
                                              "October", "November", "December"};
    std::array<std::string, 7> dayNames = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                           "Thursday", "Friday", "Saturday"};
};

class TOvcIntlSup {
public:
    explicit TOvcIntlSup(const TOvcIntlSettings& settings = {});
    void Apply(const TOvcIntlSettings& settings);
    const TOvcIntlSettings& Settings() const { return settings_; }

    char DecimalChar() const { return decimalChar_; }
    char CommaChar() const { return commaChar_; }
    char ListChar() const { return listChar_; }
    char DateSlashChar() const { return slashChar_; }
    char TimeColonChar() const { return colonChar_; }
    int CurrencyDigits() const { return settings_.iCurrDigits; }
    int NegCurrencyFormat() const { return settings_.iNegCurr; }
    std::string CurrencyLeftString() const { return currencyLeft_; }
    std::string CurrencyRightString() const { return currencyRight_; }
    std::string AMString() const { return settings_.s1159; }
    std::string PMString() const { return settings_.s2359; }
    bool TwelveHourClock() const { return settings_.twelveHourClock; }
    char TrueChar() const { return trueChar_; }
    char FalseChar() const { return falseChar_; }
    char YesChar() const { return yesChar_; }
    char NoChar() const { return noChar_; }
    std::string MonthName(int month) const;  // 1..12
    std::string DayName(int dow) const;      // 0 = Sunday

    // The short date picture with two-wide day and month, and a two- or four-wide year.
    std::string DateMask(bool forceCentury) const;
    // "hh:mm:ss" (blank-padded hour when hours have no leading zero), seconds cut when not
    // wanted, plus " t.." when the 12-hour clock is in use.
    std::string TimeMask(bool showSeconds) const;
    // The long date picture with its literal texts moved to the slots "f", "g", "h".
    std::string LongDateMask() const { return longMask_; }
    std::string LongDateSlot(int i) const { return i >= 0 && i < 3 ? slots_[size_t(i)] : std::string(); }

    bool ParseDateString(const std::string& mask, const std::string& s, int& day, int& month,
                         int& year, int epoch) const;
    TStDate ParseDate(const std::string& mask, const std::string& s, int epoch) const;
    std::string FormatDate(const std::string& mask, TStDate julian, bool pack) const;

    bool ParseTimeString(const std::string& mask, const std::string& s, int& h, int& m, int& sec) const;
    TStTime ParseTime(const std::string& mask, const std::string& s) const;
    std::string FormatTime(const std::string& mask, TStTime t, bool pack) const;

private:
    TOvcIntlSettings settings_;
    char decimalChar_ = '.', commaChar_ = ',', listChar_ = ',', slashChar_ = '/', colonChar_ = ':';
    char trueChar_ = 'T', falseChar_ = 'F', yesChar_ = 'Y', noChar_ = 'N';
    std::string currencyLeft_, currencyRight_;
    std::string shortMask_;  // date separator characters stored as "/"
    std::string longMask_;
    std::array<std::string, 3> slots_;
};

// The shared settings object of the controls.
TOvcIntlSup& OvcIntlSup();

} // namespace korval
