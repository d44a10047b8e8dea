// Fills the international settings from a Qt locale.
#include "entry/windows/ovc_intl_locale.h"

#include "platform/windows/win1252.h"

#include <QLocale>

namespace korval {

TOvcIntlSettings IntlSettingsFromLocale(const std::string& localeName)
{
    QLocale loc(QString::fromStdString(localeName));
    TOvcIntlSettings s;
    auto first = [](const QString& text, const std::string& fallback) {
        std::string b = ToWin1252(text);
        return b.empty() || b == "?" ? fallback : b.substr(0, 1);
    };
    s.sDecimal = first(loc.decimalPoint(), s.sDecimal);
    s.sThousand = first(loc.groupSeparator(), s.sThousand);
    s.sCountry = ToWin1252(QLocale::territoryToString(loc.territory()));
    std::string cur = ToWin1252(loc.currencySymbol(QLocale::CurrencySymbol));
    if (!cur.empty() && cur.find('?') == std::string::npos)
        s.sCurrency = cur.substr(0, 5);
    QString shortDate = loc.dateFormat(QLocale::ShortFormat);
    for (QChar c : shortDate)
        if (!c.isLetter() && c != QLatin1Char('\'')) {
            s.sDate = first(QString(c), s.sDate);
            break;
        }
    s.sShortDate = ToWin1252(shortDate);
    s.sLongDate = ToWin1252(loc.dateFormat(QLocale::LongFormat));
    QString longTime = loc.timeFormat(QLocale::LongFormat);
    for (QChar c : longTime)
        if (!c.isLetter() && !c.isSpace()) {
            s.sTime = first(QString(c), s.sTime);
            break;
        }
    s.twelveHourClock = longTime.contains(QLatin1String("AP"), Qt::CaseInsensitive) ||
                        longTime.contains(QLatin1Char('a'));
    s.iTLZero = longTime.startsWith(QLatin1String("hh")) || longTime.startsWith(QLatin1String("HH")) ? 1 : 0;
    if (!loc.amText().isEmpty())
        s.s1159 = ToWin1252(loc.amText()).substr(0, 5);
    if (!loc.pmText().isEmpty())
        s.s2359 = ToWin1252(loc.pmText()).substr(0, 5);
    for (int m = 1; m <= 12; ++m)
        s.monthNames[size_t(m - 1)] = ToWin1252(loc.monthName(m, QLocale::LongFormat));
    for (int d = 0; d < 7; ++d)  // Qt counts Monday = 1 .. Sunday = 7
        s.dayNames[size_t(d)] = ToWin1252(loc.dayName(d == 0 ? 7 : d, QLocale::LongFormat));
    return s;
}

} // namespace korval
