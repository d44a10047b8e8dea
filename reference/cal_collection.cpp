#include "reference/cal_collection.h"

#include "logbook/paths.h"
#include "platform/atomic_file.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <tuple>

namespace korval {
namespace {

constexpr int DataFileCalendar = 6;

std::uint16_t Get16(std::string_view b, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      (static_cast<unsigned char>(b[at + 1]) << 8));
}

std::uint32_t Get32(std::string_view b, std::size_t at)
{
    return Get16(b, at) | (static_cast<std::uint32_t>(Get16(b, at + 2)) << 16);
}

void Put16(std::string& b, std::uint16_t v)
{
    b.push_back(static_cast<char>(v & 0xFF));
    b.push_back(static_cast<char>(v >> 8));
}

bool Before(const TCalEvent& a, const TCalEvent& b)
{
    return std::tie(a.Start, a.End, a.Note) < std::tie(b.Start, b.End, b.Note);
}

} // namespace

std::size_t TCalCollection::InsertRecord(TCalEvent event)
{
    if (event.Note.size() > CalNoteMax)
        event.Note.resize(CalNoteMax);
    const auto it = std::lower_bound(items_.begin(), items_.end(), event, Before);
    // The insert may move the items: the position is taken from its result only.
    const auto at = items_.insert(it, std::move(event));
    return static_cast<std::size_t>(at - items_.begin());
}

void TCalCollection::DeleteRecord(std::size_t i)
{
    if (i < items_.size())
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
}

std::size_t TCalCollection::Cleanup(TDayNumber today)
{
    const std::size_t before = items_.size();
    std::erase_if(items_, [today](const TCalEvent& e) { return e.End < today; });
    return before - items_.size();
}

bool TCalCollection::HasEventOn(TDayNumber day) const
{
    return std::any_of(items_.begin(), items_.end(), [day](const TCalEvent& e) { return e.Covers(day); });
}

TCalCollection TCalCollection::FromBytes(std::string_view bytes)
{
    std::size_t at = 0;
    std::size_t count = 0;
    const bool current = bytes.substr(0, 4) == std::string_view(CalFileMagic, 4);
    if (current)
        at = 4;
    const std::size_t header = current ? 6 : 4;
    if (bytes.size() < at + header)
        throw ECalendarFileError("Calendar file is too short");
    const std::uint16_t size = Get16(bytes, at);
    count = current ? Get32(bytes, at + 2) : Get16(bytes, at + 2);
    at += header;
    if (size != CalEventSize)
        throw ECalendarFileError("Calendar file has records of " + std::to_string(size) + " bytes");
    if (count > (bytes.size() - at) / CalEventSize)
        throw ECalendarFileError("Calendar file is truncated");
    TCalCollection c;
    c.items_.reserve(count);
    for (std::size_t i = 0; i < count; ++i, at += CalEventSize) {
        TCalEvent e;
        e.Start = Get16(bytes, at);
        e.End = Get16(bytes, at + 2);
        const std::size_t len = std::min<std::size_t>(static_cast<unsigned char>(bytes[at + 4]), CalNoteMax);
        e.Note.assign(bytes.substr(at + 5, len));
        c.InsertRecord(std::move(e));
    }
    return c;
}

std::string TCalCollection::ToBytes() const
{
    std::string b(CalFileMagic, 4);
    Put16(b, CalEventSize);
    const auto n = static_cast<std::uint32_t>(items_.size());
    Put16(b, static_cast<std::uint16_t>(n & 0xFFFF));
    Put16(b, static_cast<std::uint16_t>(n >> 16));
    for (const TCalEvent& e : items_) {
        Put16(b, e.Start);
        Put16(b, e.End);
        std::string note(CalNoteMax + 2, '\0'); // length byte, 40 characters, spare byte
        note[0] = static_cast<char>(e.Note.size());
        std::copy(e.Note.begin(), e.Note.end(), note.begin() + 1);
        b += note;
    }
    return b;
}

bool CalendarDatesValid(TDayNumber start, TDayNumber end)
{
    return start != NoDate && end != NoDate && start <= end;
}

TCalCollection LoadCalendar(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return {};
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw ECalendarFileError("Cannot read " + fileName);
    return TCalCollection::FromBytes(bytes);
}

void SaveCalendar(const std::string& fileName, const TCalCollection& events)
{
    if (events.Empty()) {
        std::remove(fileName.c_str());
        return;
    }
    RewriteDataFile(fileName, events.ToBytes());
}

bool CalendarHasEventToday(const std::string& fileName, TDayNumber today)
{
    try {
        return LoadCalendar(fileName).HasEventOn(today);
    } catch (const ECalendarFileError&) {
        return false;
    }
}

bool CalendarHasEventToday()
{
    return CalendarHasEventToday(GetDataFileName(DataFileCalendar), UtcToday());
}

} // namespace korval
