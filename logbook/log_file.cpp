#include "logbook/log_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>
#include <memory>
#include <vector>

#include "logbook/bands_modes.h"
#include "logbook/base/buffered_file_stream.h"
#include "logbook/country_db.h"
#include "logbook/base/day_number.h"
#include "logbook/log_hooks.h"
#include "logbook/paths.h"
#include "logbook/progress.h"
#include "logbook/qso_lookup.h"
#include "logbook/base/record_bytes.h"
#include "platform/atomic_file.h"
#include "platform/message_dlg.h"

namespace korval {

namespace {

const char* const kFatalReadMessage = "A fatal error occured reading the logfile";

// ---- writing ----

class TLogWriter {
public:
    explicit TLogWriter(TBufferedFileStream& file) : file_(file) {}
    void Bytes(const void* p, std::size_t n) { file_.WriteBuffer(p, static_cast<std::int32_t>(n)); }
    void U16(std::uint16_t v)
    {
        std::uint8_t b[2];
        PutU16(b, 0, v);
        Bytes(b, 2);
    }
    void I32(std::int32_t v)
    {
        std::uint8_t b[4];
        PutI32(b, 0, v);
        Bytes(b, 4);
    }
    void ShortStr(std::string_view s, std::size_t capacity)
    {
        std::uint8_t b[256];
        PutShortStr(b, 0, capacity, s);
        Bytes(b, capacity + 1);
    }

private:
    TBufferedFileStream& file_;
};

// ---- reading ----

struct ELogFileRead {};

// Reads the log through the buffered stream; every request is checked against the bytes
// present, so a damaged count or length ends the load instead of reading garbage.
class TLogReader {
public:
    explicit TLogReader(TBufferedFileStream& in) : in_(in), remaining_(static_cast<std::uint64_t>(in.GetSize())) {}
    std::uint64_t Remaining() const { return remaining_; }
    // n bytes (at most 256) in the stream's buffer, valid until the next call.
    const std::uint8_t* Take(std::size_t n)
    {
        if (n > Remaining() || n > 256)
            throw ELogFileRead{};
        const std::uint8_t* p = in_.ReadView(static_cast<std::int32_t>(n));
        if (!p)
            throw ELogFileRead{};
        remaining_ -= n;
        return p;
    }
    std::uint8_t U8() { return *Take(1); }
    std::uint16_t U16() { return GetU16(Take(2), 0); }
    std::int32_t I32() { return GetI32(Take(4), 0); }
    // A count of items of at least minBytes each that must fit in the rest of the file.
    std::size_t Count(std::int64_t n, std::size_t minBytes)
    {
        if (n < 0 || static_cast<std::uint64_t>(n) * minBytes > Remaining())
            throw ELogFileRead{};
        return static_cast<std::size_t>(n);
    }

private:
    TBufferedFileStream& in_;
    std::uint64_t remaining_;
};

// The read buffer of a log load: a million-QSO log is read in some eighty reads.
constexpr std::int32_t kLogReadBuffer = std::int32_t(1) << 20;

// Tells the spot list that a log loads, for as long as the load runs.
class TLoadingScope {
public:
    TLoadingScope() { LogHooks().LogLoading(true); }
    ~TLoadingScope() { LogHooks().LogLoading(false); }
};

} // namespace

// ---- conversions ----

std::size_t QsoRecordBytes(char version)
{
    switch (version) {
    case 'B':
    case 'C':
        return 52;
    case 'D':
        return 57;
    case 'E':
        return 60;
    case 'F':
        return 61;
    case 'G':
    case 'H':
        return 75;
    default:
        return 0;
    }
}

bool VersionHasQsoNote(char version) { return version >= 'F' && version <= 'H'; }

std::uint8_t TranslateOldMode(std::uint8_t mode)
{
    // The old files numbered SSB 1, CW 2 and RTTY 3.
    switch (mode) {
    case 1:
        return mdSSB;
    case 2:
        return mdCW;
    case 3:
        return mdRTTY;
    default:
        return mode;
    }
}

void ConvertToVersionF(char version, std::uint8_t f[kVersionFRecordSize])
{
    if (version < 'B' || version > 'E')
        return;
    if (version <= 'B') {  // B -> C: bits 28 and 29 of the old award flags are dropped
        PutU32(f, 19, GetU32(f, 19) & ~0x30000000u);
    }
    if (version <= 'C')  // C -> D: no received exchange yet
        f[52] = 0;
    if (version <= 'D') {  // D -> E: country and zone are looked up again
        PutU16(f, 57, 0);
        f[59] = 0;
    }
    // E -> F: the satellite band moves from 12 to 15, and the QSO flags leave the award word.
    if (f[17] == 12)
        f[17] = 15;
    std::uint32_t aw = GetU32(f, 19);
    std::uint8_t flags = 0;
    if (aw & (1u << 0))
        flags |= qfQslReceived;
    if (aw & (1u << 1))
        flags |= qfLabelToPrint;
    if (aw & (1u << 30))
        flags |= qfYL;
    if (aw & (1u << 31))
        flags |= qfQRP;
    if (aw & (1u << 26))
        flags |= qfValidForAwards;
    aw &= ~((1u << 0) | (1u << 1) | (1u << 30) | (1u << 31) | (1u << 26) | (1u << 27));
    PutU32(f, 19, aw);
    f[60] = flags;
}

void ConvertVersionF(const std::uint8_t f[kVersionFRecordSize], TQsoRecord& r, TSecondsRule& rule)
{
    r = TQsoRecord();
    r.Call.assign(GetShortStr(f, 0, 12));
    std::uint16_t minutes = GetU16(f, 13);
    r.Date = GetU16(f, 15);
    // QSOs logged in the same minute of the same day get 1, 2, ... 59 seconds added, in the
    // order of the file, so that their times stay distinct.
    if (rule.any && rule.date == r.Date && rule.minutes == minutes)
        rule.run = std::min(rule.run + 1, 59);
    else
        rule.run = 0;
    rule.any = true;
    rule.date = r.Date;
    rule.minutes = minutes;
    r.Time = (minutes == 0 ? 0 : (static_cast<std::int32_t>(minutes) - 1) * 60) + rule.run;
    r.Band = f[17];
    r.Mode = f[18];
    std::uint32_t aw = GetU32(f, 19);
    r.RstRcvd = GetU16(f, 23);
    r.RstSent = GetU16(f, 25);
    r.State = f[27];
    r.Iota.assign(GetShortStr(f, 28, 5));
    std::int32_t tenTen = GetI32(f, 34);
    r.County = GetU16(f, 38);
    r.Grid.assign(GetShortStr(f, 40, 4));
    r.QslSentDate = GetU16(f, 45);
    r.QslRoute = f[47];
    r.SatMode = f[48] == 0 ? 1 : f[48];
    r.Group = f[49];
    r.SeqPrtNr = GetU16(f, 50);
    r.Exchange.assign(GetShortStr(f, 52, 4));
    r.Country = GetU16(f, 57);
    r.Zone = f[59];
    r.Flags = f[60];
    bool submitted = aw & (1u << 22);
    bool credited = aw & (1u << 23);
    aw &= 0x333FFFFFu;
    if (tenTen != 0 && r.Band == 9) {
        // The old 10-10 number becomes the custom award "1010".
        r.CustAwdId.assign("1010");
        r.CustAwdVal.assign(std::to_string(tenTen));
        if (submitted)
            aw |= afCustAwd;
        if (credited)
            aw |= afCustAwd << 1;
    }
    r.AwardFlags = aw;
    r.Mode = TranslateOldMode(r.Mode);
}

std::string FormatLogDate(std::uint16_t day, int dateFormat) { return FormatDayNumberAs(day, dateFormat); }

// ---- writing ----

std::string CrashBackupFileName() { return GetProgramDirFileName(0); }

bool WriteLogFile(TQsoData& log, bool showProgress)
{
    std::string target = showProgress ? log.FileName : CrashBackupFileName();
    if (target.empty()) {
        MessageDlg("The log has no file name to save it under", TMsgDlgType::mtError, mbOK);
        return false;
    }
    TProgressSink& progress = Progress();
    if (showProgress)
        LogHooks().SetDiskPanel("Saving");
    try {
        TBufferedFileStream file(PrepareFileRewrite(target));
        TLogWriter w(file);
        w.ShortStr("MERXLOGH", 8);
        w.I32(log.Header);
        w.U16(static_cast<std::uint16_t>(log.GroupNames.size()));
        for (const auto& g : log.GroupNames)
            w.ShortStr(g, 25);
        std::size_t saved = log.Selections.empty() ? 0 : log.Selections.size() - 1;
        w.U16(static_cast<std::uint16_t>(saved));
        std::uint8_t rec[kQsoStoredSize + 1 + 255];
        for (std::size_t i = 1; i < log.Selections.size(); ++i) {
            PutQsoSelection(rec, log.Selections[i]);
            w.Bytes(rec, kQsoSelectionSize);
        }
        w.I32(log.Count());
        if (showProgress)
            progress.Start("Writing QSOs", log.Count());
        for (const TQsoRecord* q : log.Qsos()) {
            PutQsoStored(rec, *q);
            std::string_view note = NoteText(q->Note);
            rec[kQsoStoredSize] = static_cast<std::uint8_t>(note.size());
            if (!note.empty())
                std::memcpy(rec + kQsoStoredSize + 1, note.data(), note.size());
            w.Bytes(rec, kQsoStoredSize + 1 + note.size());
            if (showProgress)
                progress.Step();
        }
        w.I32(log.Notes.Count());
        if (showProgress)
            progress.Start("Writing Notes", log.Notes.Count());
        for (int i = 0; i < log.Notes.Count(); ++i) {
            w.ShortStr(log.Notes.CallAt(i), 12);
            w.ShortStr(log.Notes.TextAt(i), 255 < log.Notes.TextAt(i).size() ? 255 : log.Notes.TextAt(i).size());
            if (showProgress)
                progress.Step();
        }
        w.I32(static_cast<std::int32_t>(log.Swl().size()));
        if (showProgress)
            progress.Start("Writing SWL records", static_cast<int>(log.Swl().size()));
        for (const TSwlRecord& s : log.Swl()) {
            PutSwlRecord(rec, s);
            w.Bytes(rec, kSwlRecordSize);
            if (showProgress)
                progress.Step();
        }
        file.Commit();
    } catch (const std::exception& e) {
        if (showProgress) {
            progress.Finish();
            LogHooks().SetDiskPanel("");
        }
        MessageDlg("The log could not be saved to " + target + "\r" + e.what(), TMsgDlgType::mtError, mbOK);
        return false;
    }
    if (showProgress) {
        progress.Finish();
        LogHooks().SetDiskPanel("");
        log.SetFlags(false, false);
    } else {
        log.SetFlags(false, log.NeedsSaving() || log.Modified());
    }
    return true;
}

// ---- reading ----

bool LoadLogFileInto(TQsoData& log, const std::string& fileName, bool intoNewLog, int policy)
{
    std::unique_ptr<TBufferedFileStream> stream;
    std::error_code ec;
    // Only a regular file has a size; a small log gets a buffer of its own size, so opening it
    // costs no megabyte.
    const std::uintmax_t size = std::filesystem::file_size(fileName, ec);
    if (!ec) {
        try {
            const auto buffer = static_cast<std::int32_t>(std::clamp<std::uintmax_t>(size, 4096, kLogReadBuffer));
            stream = std::make_unique<TBufferedFileStream>(fileName, fmOpenRead, false, buffer);
        } catch (const std::exception&) {
        }
    }
    if (!stream) {
        MessageDlg("Cannot open the log file " + fileName, TMsgDlgType::mtError, mbOK);
        return false;
    }
    TLogReader in(*stream);
    char version = 0;
    try {
        if (in.Remaining() < 9) {
            MessageDlg("The file " + fileName + " is too short to be a log file", TMsgDlgType::mtError, mbOK);
            return false;
        }
        const std::uint8_t* magic = in.Take(9);
        if (magic[0] != 8 || std::memcmp(magic + 1, "MERXLOG", 7) != 0) {
            MessageDlg("The file " + fileName + " is not a log file", TMsgDlgType::mtError, mbOK);
            return false;
        }
        version = static_cast<char>(magic[8]);
        if (version < 'B' || version > 'H') {
            MessageDlg("The log file " + fileName + " has the unknown format version " + std::string(1, version),
                       TMsgDlgType::mtError, mbOK);
            return false;
        }
    } catch (const ELogFileRead&) {
        MessageDlg(kFatalReadMessage, TMsgDlgType::mtError, mbOK);
        return false;
    }

    TLoadingScope loading;
    TLogSettings settings = CurrentLogSettings();
    TQsoLookup& lookup = QsoLookup();
    TProgressSink& progress = Progress();
    bool bulk = false;
    bool aborted = false;
    try {
        std::int32_t header = (version >= 'G') ? in.I32() : 0;
        if (intoNewLog) {
            log.Header = header;
            log.FileName = fileName;
        }
        std::size_t groups = in.Count(in.U16(), 26);
        for (std::size_t i = 0; i < groups; ++i) {
            std::string name = GetShortStr(in.Take(26), 0, 25);
            if (intoNewLog)
                log.GroupNames.push_back(std::move(name));
        }
        std::size_t sels = in.Count(in.U16(), kQsoSelectionSize);
        for (std::size_t i = 0; i < sels; ++i) {
            TQsoSelection s;
            GetQsoSelection(in.Take(kQsoSelectionSize), s);
            if (intoNewLog)
                log.Selections.push_back(s);
        }

        const std::size_t recBytes = QsoRecordBytes(version);
        const bool hasNote = VersionHasQsoNote(version);
        std::size_t count = in.Count(in.I32(), recBytes + (hasNote ? 1 : 0));
        std::string caption = "Reading QSOs";
        if (version != 'H')
            caption += std::string(" (converting ") + version + " format)";
        progress.Start(caption, static_cast<int>(count));
        if (intoNewLog) {
            log.BeginBulk(false, count);
            bulk = true;
        }
        TSecondsRule rule;
        TNoteBlocks notes(count * 8);
        for (std::size_t i = 0; i < count && !aborted; ++i) {
            // The record goes back to the log unless it is kept.
            struct TGuard {
                TQsoData& log;
                TQsoRecord* rec;
                ~TGuard()
                {
                    if (rec)
                        log.DisposeQsoRecord(rec);
                }
                TQsoRecord* release() { return std::exchange(rec, nullptr); }
                TQsoRecord& operator*() const { return *rec; }
            } owned{log, log.NewQsoRecord()};
            TQsoRecord* rec = owned.rec;
            // The record and the length byte of its note in one read.
            const std::uint8_t* p = in.Take(recBytes + (hasNote ? 1 : 0));
            const std::uint8_t noteLen = hasNote ? p[recBytes] : 0;
            if (version >= 'G') {
                GetQsoStored(p, *rec);
                if (version == 'G')
                    rec->Mode = TranslateOldMode(rec->Mode);
            } else {
                std::uint8_t f[kVersionFRecordSize] = {};
                std::memcpy(f, p, recBytes);
                ConvertToVersionF(version, f);
                ConvertVersionF(f, *rec, rule);
            }
            if (noteLen)
                rec->Note = notes.New(std::string_view(reinterpret_cast<const char*>(in.Take(noteLen)), noteLen));
            TQsoRecord& r = *owned;
            DeriveWpxPrefix(r);
            if (intoNewLog) {
                log.MaxSeqPrtNr = std::max(log.MaxSeqPrtNr, r.SeqPrtNr);
            } else {
                r.SeqPrtNr = 0;
                if (settings.mergeGroup != 0)
                    r.Group = settings.mergeGroup;
            }
            lookup.LookupCall(r);
            if (intoNewLog) {
                log.BulkAdd(owned.release());
            } else {
                int at = 0;
                if (!log.Find(r, at)) {
                    log.InsertQso(owned.release());
                } else if (policy == dpAbort) {
                    const TQsoRecord& dup = *log.At(at);
                    MessageDlg("Merge aborted because of duplicate QSO\rCall = " + dup.Call.str() + " Date = " +
                                   FormatLogDate(dup.Date, settings.dateFormat),
                               TMsgDlgType::mtError, mbOK);
                    aborted = true;
                } else if (policy == dpReplace) {
                    log.DeleteQso(log.At(at));
                    log.InsertQso(owned.release());
                }
            }
            progress.Step();
        }

        if (!aborted) {
            std::size_t notes = in.Count(in.I32(), 14);
            progress.Start("Reading Notes", static_cast<int>(notes));
            if (intoNewLog)
                log.Notes.Reserve(notes);
            for (std::size_t i = 0; i < notes; ++i) {
                std::string call = GetShortStr(in.Take(13), 0, 12);
                std::uint8_t n = in.U8();
                std::string_view text(reinterpret_cast<const char*>(in.Take(n)), n);
                if (intoNewLog) {
                    if (n)
                        log.Notes.Append(call, text);
                } else if (n && log.GetCallNote(call) != text) {
                    log.AppendCallNote(call, text);
                }
                progress.Step();
            }
        }

        if (!aborted && version >= 'G' && in.Remaining() > 0) {
            std::size_t swls = in.Count(in.I32(), kSwlRecordSize);
            progress.Start("Reading SWL records", static_cast<int>(swls));
            if (intoNewLog)
                log.ReserveSwl(swls);
            for (std::size_t i = 0; i < swls && !aborted; ++i) {
                TSwlRecord s;
                GetSwlRecord(in.Take(kSwlRecordSize), s);
                if (intoNewLog) {
                    log.AppendSwl(s);
                } else {
                    int at = 0;
                    if (!log.FindSwl(s, at)) {
                        log.InsertSwl(s);
                    } else if (policy == dpAbort) {
                        MessageDlg("Merge aborted because of duplicate SWL\rSWL = " + s.Call.str() + " Date = " +
                                       FormatLogDate(s.Date, settings.dateFormat),
                                   TMsgDlgType::mtError, mbOK);
                        aborted = true;
                    } else if (policy == dpReplace) {
                        log.DeleteSwl(at);
                        log.InsertSwl(s);
                    }
                }
                progress.Step();
            }
        }
    } catch (const ELogFileRead&) {
        progress.Finish();
        if (bulk)
            log.EndBulk(true);
        if (intoNewLog)
            log.Notes.EndBulk();
        log.EndSwlBulk();
        MessageDlg(kFatalReadMessage, TMsgDlgType::mtError, mbOK);
        if (!intoNewLog)
            LogHooks().RefreshQsoWindow();
        return false;
    } catch (const std::exception&) {  // out of memory, or the file failed underneath
        progress.Finish();
        if (bulk)
            log.EndBulk(true);
        MessageDlg(kFatalReadMessage, TMsgDlgType::mtError, mbOK);
        return false;
    }
    progress.Finish();
    if (intoNewLog) {
        log.EndBulk(true);
        log.Notes.EndBulk();
        log.EndSwlBulk();
        log.MarkAwardStatusNotBuilt();
        log.SetFlags(false, false);
        LogHooks().ShowQsoWindow();
    } else {
        LogHooks().RefreshQsoWindow();
    }
    return !aborted;
}

bool LoadLogFile(const std::string& fileName, bool intoNewLog, int duplicatePolicy)
{
    if (intoNewLog && !CurrentLog())
        SetCurrentLog(std::make_unique<TQsoData>());
    if (!CurrentLog())
        return false;
    bool ok = LoadLogFileInto(*CurrentLog(), fileName, intoNewLog, duplicatePolicy);
    if (!ok && intoNewLog)
        FreeCurrentLog();
    return ok;
}

bool CloseLog(TQsoData& log, bool save)
{
    LogHooks().StopAutoSave();
    if (!log.FileName.empty()) {
        if (save && !WriteLogFile(log, true))
            return false;
        CountryDataOnClose(save);  // a changed country database is written or reloaded
    }
    log.FileName.clear();
    log.SetFlags(false, false);
    return true;
}

} // namespace korval
