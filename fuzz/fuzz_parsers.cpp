// The small parsers: reports, day numbers and dates, times, grid locators, coordinates and
// digits, each on the input text and on numbers taken from it.
#include "fuzz/fuzz_support.h"

#include "entry/ovc_date.h"
#include "entry/ovc_intl.h"
#include "logbook/bands_modes.h"
#include "logbook/base/day_number.h"
#include "logbook/position.h"
#include "logbook/base/string_utils.h"
#include "logbook/configured_formats.h"

#include <cstdlib>
#include <stdexcept>

using namespace korval;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Prepare(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::TInputTaker in(data, size);
    const int a = in.Byte() | in.Byte() << 8, b = in.Byte(), c = in.Byte();
    const std::string text(in.Rest().substr(0, 64));

    int report = 0;
    if (StrToRst(text, report)) {
        for (int mode = 0; mode <= 16; ++mode)
            IsValidRst(mode, report);
        // What a report is written as reads back as that report.
        int again = -1;
        if (!StrToRst(RstToStr(report), again) || again != report)
            std::abort();
    }
    DigitsValue(text);
    FieldTextToInt(text);
    double coord = 0;
    StrToCoord(text, coord);
    double lon = 0, lat = 0;
    if (IsValidGrid(text) && GridToPosition(text, lon, lat))
        PositionToGrid(lon, lat);
    FormatGridLocator(text);
    BandFromKey(text);
    ModeFromName(text);
    BandFromFrequency(a * 100.0 + b);

    TDayNumber day = 0;
    if (TryEncodeDayNumber(1900 + a % 300, b % 14, c % 33, day)) {
        int y, m, d;
        DecodeDayNumber(day, y, m, d);
        FormatDayNumber(day);
        FormatDayNumberAs(day, b % 5);
        FormatDateDMY(day);
        StDateToDayNumber(DayNumberToStDate(day));
    }
    {
        int y, m, dd;
        DecodeDayNumber(static_cast<TDayNumber>(a), y, m, dd);
    }
    try {
        StDateToDayNumber(a * 1000 + b);
    } catch (const std::exception&) {  // a date outside the day numbers
    }
    ExpandYear(a % 200);
    SecondsToHHMM(a * 256 + b);

    int d = 0, m = 0, y = 0, h = 0, n = 0, s = 0;
    const TOvcIntlSup& intl = OvcIntlSup();
    for (const char* mask : {"MM/DD/yyyy", "DD.MM.yy", "yyyy-MM-DD", "nnn DD, yyyy"})
        if (intl.ParseDateString(mask, text, d, m, y, 1930))
            intl.ParseDate(mask, text, 1930);
    for (const char* mask : {"hh:mm:ss", "hh:mm te", "hhmm"})
        intl.ParseTimeString(mask, text, h, n, s);
    if (ValidDate(b % 32, c % 13, a, 1930))
        DateToDMY(DMYToDate(b % 32, c % 13, a, 1930), d, m, y);
    TimeToHMS(HMSToTime(b % 24, c % 60, a % 60), h, n, s);
    return 0;
}
