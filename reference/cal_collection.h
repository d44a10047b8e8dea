#pragma once
// The events calendar: dated notes kept in SAVE/KORVAL.CAL.
//
//   0  4  "CALB" (no length byte)          older files start directly with the record size
//   4  2  record size (46)                 and have a 2-byte count
//   6  4  number of records
//  10  46 each: start day (2), end day (2), note string[40] (41), one spare byte
#include "logbook/base/day_number.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korval {

inline constexpr std::size_t CalEventSize = 46;
inline constexpr std::size_t CalNoteMax = 40;
inline constexpr char CalFileMagic[] = "CALB";

struct TCalEvent {
    TDayNumber Start = NoDate;
    TDayNumber End = NoDate;
    std::string Note;   // 40 characters at most
    bool Covers(TDayNumber day) const { return Start <= day && day <= End; }
};

// Raised for a calendar file that cannot be read; the message says why.
class ECalendarFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Events ordered by start day, then end day, then note (byte-wise).
class TCalCollection {
public:
    std::size_t Count() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    const TCalEvent& At(std::size_t i) const { return items_.at(i); }
    const std::vector<TCalEvent>& Items() const { return items_; }

    // Inserts in key order before equal keys; the note is cut to 40 characters. Returns the index.
    std::size_t InsertRecord(TCalEvent event);
    void DeleteRecord(std::size_t i);
    void FreeAll() { items_.clear(); }
    // Removes every event that ended before today, wherever it sorts.
    std::size_t Cleanup(TDayNumber today);
    bool HasEventOn(TDayNumber day) const;

    // Throws ECalendarFileError for a damaged file (wrong record size, short data).
    static TCalCollection FromBytes(std::string_view bytes);
    // Always the current form, with "CALB".
    std::string ToBytes() const;

private:
    std::vector<TCalEvent> items_;
};

// "Add new": both dates must be given and the start must not be after the end.
bool CalendarDatesValid(TDayNumber start, TDayNumber end);

// The file, or an empty collection when it does not exist. Throws ECalendarFileError.
TCalCollection LoadCalendar(const std::string& fileName);
// Writes the collection safely (the old file kept as "~" copy with the backup setting); an empty
// collection deletes the file. Throws EFileWriteError when the file cannot be written.
void SaveCalendar(const std::string& fileName, const TCalCollection& events);
// The start-up check: false when the file is missing or cannot be read.
bool CalendarHasEventToday(const std::string& fileName, TDayNumber today);
bool CalendarHasEventToday(); // SAVE/KORVAL.CAL and today's UTC day

} // namespace korval
