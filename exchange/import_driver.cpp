#include "exchange/import_driver.h"

#include "exchange/adif_reader.h"
#include "exchange/fixed_reader.h"
#include "exchange/import_common.h"
#include "exchange/translation_table.h"
#include "logbook/call_lookup.h"
#include "logbook/country_db.h"
#include "logbook/base/day_number.h"
#include "logbook/log_file.h"
#include "logbook/log_hooks.h"
#include "logbook/paths.h"
#include "logbook/progress.h"
#include "logbook/qso_data.h"
#include "logbook/base/record_bytes.h"
#include "logbook/base/string_utils.h"
#include "platform/korval_home.h"
#include "platform/message_dlg.h"
#include "platform/run_program.h"
#include "logbook/configured_formats.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace korval {

namespace {

class TNoWindowQuestions : public TImportQuestions {
public:
    bool AskDupesImportPolicy(int& policy) override
    {
        policy = ipIgnore;
        return true;
    }
    int ConfirmPrefixZoneChange(const TQsoRecord&, std::uint16_t, std::uint8_t) override { return 1; }
};

TImportQuestions* installedQuestions = nullptr;

std::string baseName(const std::string& path)
{
    std::size_t p = path.find_last_of('/');
    return p == std::string::npos ? path : path.substr(p + 1);
}

bool readWholeFile(const std::string& path, std::string& bytes)
{
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    return true;
}

std::string stateAbbrev(std::uint8_t state)
{
    TUsStateRecord s;
    return GetState(state, s) ? s.Abbrev : std::string();
}

// Callsign notes changed by the import, written to the log once at the end: adding notes one
// by one to the sorted note list would cost a move of the whole list per new callsign. The
// entries lie in one list, found through an open hash table of their positions: a large import
// changes the notes of hundreds of thousands of calls.
class TCallNoteCache {
public:
    explicit TCallNoteCache(TQsoData& log) : log_(log) {}
    std::string Get(std::string_view call) const
    {
        const std::uint32_t* slot = Find(call);
        return *slot ? entries_[*slot - 1].text : log_.GetCallNote(call);
    }
    void Set(std::string_view call, std::string text)
    {
        if ((entries_.size() + 1) * 2 > slots_.size())
            Grow();
        std::uint32_t* slot = Find(call);
        if (*slot) {
            entries_[*slot - 1].text = std::move(text);
            return;
        }
        entries_.push_back({std::string(call), std::move(text)});
        *slot = static_cast<std::uint32_t>(entries_.size());
    }
    void Flush()
    {
        if (entries_.empty())
            return;
        std::vector<const TEntry*> fresh;
        fresh.reserve(entries_.size());
        for (const TEntry& e : entries_) {
            if (log_.Notes.IndexOf(e.call) >= 0 || e.text.empty())
                log_.Notes.Set(e.call, e.text);
            else
                fresh.push_back(&e);
        }
        // In the order of the note list, which then needs no sort when it was empty.
        std::sort(fresh.begin(), fresh.end(), [](const TEntry* a, const TEntry* b) { return a->call < b->call; });
        log_.Notes.Reserve(static_cast<std::size_t>(log_.Notes.Count()) + fresh.size());
        for (const TEntry* e : fresh)
            log_.Notes.Append(e->call, e->text);
        log_.Notes.EndBulk();
        entries_.clear();
        slots_.clear();
        log_.SetModified();
    }

private:
    struct TEntry {
        std::string call, text;
    };
    static std::size_t Hash(std::string_view call)
    {
        std::uint64_t h = 0xCBF29CE484222325ull;
        for (char c : call)
            h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
    // The slot of the call: its entry's position + 1, or the empty slot where it goes.
    std::uint32_t* Find(std::string_view call) const
    {
        static std::uint32_t none = 0;
        if (slots_.empty())
            return &(none = 0);
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = Hash(call) & mask;; i = (i + 1) & mask) {
            std::uint32_t& slot = slots_[i];
            if (!slot || entries_[slot - 1].call == call)
                return &slot;
        }
    }
    void Grow()
    {
        std::size_t size = slots_.empty() ? 1024 : slots_.size() * 2;
        slots_.assign(size, 0);
        for (std::size_t k = 0; k < entries_.size(); ++k)
            for (std::size_t i = Hash(entries_[k].call) & (size - 1);; i = (i + 1) & (size - 1))
                if (!slots_[i]) {
                    slots_[i] = static_cast<std::uint32_t>(k + 1);
                    break;
                }
    }

    TQsoData& log_;
    std::vector<TEntry> entries_;
    mutable std::vector<std::uint32_t> slots_;  // a power of two, at most half full
};

class TImportRun {
public:
    TImportRun(TQsoData& log, TImportContext& ctx) : log_(log), ctx_(ctx), notes_(log), noteBlocks_(ctx.Data.size() / 16) {}

    bool CheckImportedQSO()
    {
        TQsoRecord& q = ctx_.Qso;
        q.State = ctx_.ImpState;
        LookupCall(q);
        if (ctx_.ImpCountry == 0)
            ctx_.ImpCountry = q.Country;
        if (ctx_.ImpZone == 0)
            ctx_.ImpZone = q.Zone;
        bool countryDiffers = ctx_.ImpCountry != q.Country;
        bool zoneDiffers = ctx_.ImpZone != q.Zone;
        if (countryDiffers || zoneDiffers) {
            int answer = ctx_.Settings.ConflictAction;
            if (answer != 1 && answer != 2)
                answer = ImportQuestions().ConfirmPrefixZoneChange(q, static_cast<std::uint16_t>(ctx_.ImpCountry),
                                                                   ctx_.ImpZone);
            if (answer == 0)
                return false;
            if (answer == 1) {
                if (countryDiffers)
                    ctx_.CountCountryException(ctx_.ImpPrefix.empty()
                                                   ? CountryPrefix(static_cast<std::uint16_t>(ctx_.ImpCountry))
                                                   : ctx_.ImpPrefix);
                if (zoneDiffers)
                    ctx_.CountZoneException(ctx_.ImpZone);
            } else {
                if (countryDiffers)
                    ctx_.CountCountryException(CountryPrefix(q.Country));
                if (zoneDiffers)
                    ctx_.CountZoneException(q.Zone);
                q.Country = static_cast<std::uint16_t>(ctx_.ImpCountry);
                q.Zone = ctx_.ImpZone;
                if (CountryDb.ExceptionCalls && !q.Call.empty()) {
                    TExceptionCallRecord e{q.Call.str(), q.Country, q.Zone, q.Date};
                    CountryDb.ExceptionCalls->InsertRecord(e.ToBytes().data());
                    SetCountryDataModified();
                    ++ctx_.Count.ExceptionRecords;
                }
            }
        }
        if (q.Country == 0) {
            q.State = 0;
            q.County = 0;
        } else {
            const std::uint8_t* rec = CountryRecordPtr(q.Country);
            const std::uint8_t kind = rec ? rec[cty_off::StatesKind] : 0;
            if (!ctx_.ImpStateText.empty() && (kind == skUsStates || kind == skHawaii || kind == skAlaska))
                ctx_.ReportSimpleError(fiState, ctx_.ImpStateText);
            // The county was read for the file's state: under another state it is looked up again.
            if (q.County != 0 && ctx_.ImpState != 0 && q.State != ctx_.ImpState)
                q.County = q.State == 0 ? 0 : CountyNumber(stateAbbrev(q.State), CountyName(ctx_.ImpState, q.County));
            if (q.Iota.empty()) {
                if (const std::uint8_t* rec = CountryRecordPtr(q.Country))
                    q.Iota = GetShortStr(rec, cty_off::DefaultIota, 5);
            }
            if (ctx_.ImpState != 0 && ctx_.ImpState != q.State)
                ctx_.ReportImportError(fiState, stateAbbrev(ctx_.ImpState));
        }
        return true;
    }

    void AddImportedQSO()
    {
        TQsoRecord& q = ctx_.Qso;
        std::string errors;
        if (!ctx_.Errors.empty()) {
            std::string_view list = ctx_.Errors;
            if (list.size() >= 2 && list.substr(list.size() - 2) == ", ")
                list.remove_suffix(2);
            errors = "Error:" + std::string(list);
        }
        std::string qsoNote;
        // The callsign note is read only when something may go into it.
        bool anyForCall = false;
        for (int n = 0; n < 3; ++n)
            anyForCall = anyForCall || (!ctx_.Note[n].empty() &&
                                        (ctx_.IsAdif ? n != 1 : ctx_.Filter.Field(fiNote1 + n).Fmt == nfWithCall));
        std::string callNote = q.Call.empty() || !anyForCall ? std::string() : notes_.Get(q.Call.view());
        const std::string remembered = callNote;
        std::vector<std::string> qsoPieces, callPieces;
        for (int n = 0; n < 3; ++n) {
            std::string s = ctx_.Note[n];
            if (s.empty())
                continue;
            if (s.back() == '|')
                s.pop_back();
            if (ctx_.Filter.FilterFreq)
                StripKHzFreq(s);
            if (ctx_.Filter.FilterImport)
                StripImportFrom(s);
            RemoveDoubleBlanks(s);
            if (s.empty())
                continue;
            bool toCall = ctx_.IsAdif ? n != 1 : ctx_.Filter.Field(fiNote1 + n).Fmt == nfWithCall;
            if (toCall)
                MergeNote(callNote, 255, s, true, &callPieces);
            else
                MergeNote(qsoNote, 255, s, true, &qsoPieces);
        }
        MergeNote(qsoNote, 255, errors, false);
        // The ADIF values the record cannot hold go first, where no cut of a long note reaches.
        if (!ctx_.KeptItem.empty()) {
            MergeNote(qsoNote, 255, ctx_.KeptItem, false);
            ++ctx_.Count.Kept;
        }
        q.Note = noteBlocks_.New(qsoNote);
        if (!q.Call.empty() && callNote != remembered)
            notes_.Set(q.Call.view(), callNote);
        CalcWPXPrefix(q.Call.view(), q.WpxPrefix);
        // From the log's record blocks: a heap block per QSO was a tenth of a large import.
        TQsoRecord* rec = log_.NewQsoRecord();
        *rec = q;
        q.Note = nullptr;
        if (ctx_.Policy == ipNoCheck)
            log_.BulkAdd(rec);
        else
            log_.InsertQso(rec);
        ++ctx_.Count.Added;
    }

    void Run()
    {
        const bool bulk = ctx_.Policy == ipNoCheck;
        if (bulk)
            log_.BeginBulk(false, ctx_.Data.size() / 120 + 16);
        log_.MarkAwardStatusNotBuilt();
        TProgressSink& progress = Progress();
        progress.Start("Reading " + baseName(ctx_.FileName), static_cast<int>(ctx_.Data.size() >> 10) + 1);
        std::size_t nextStep = 1024;

        bool header = true;
        if (ctx_.IsAdif) {
            std::size_t start = ctx_.Data.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
            ctx_.Pos = start;
            // A file that begins with a tag has no header: its records start at once.
            if (start >= ctx_.Data.size() || ctx_.Data[start] != '<')
                header = SkipADIFHeader(ctx_);
        }
        headerMissing_ = !header;
        while (header && !ctx_.AtEnd()) {
            ctx_.ResetRecord();
            ++ctx_.RecordNumber;
            long errorItemsBefore = ctx_.Count.ErrorItems;
            bool noRecord = false;
            bool cancel = false;
            try {
                noRecord = ctx_.IsAdif ? ImportADIFRecord(ctx_) : !ImportFixedRecord(ctx_);
            } catch (const std::exception& e) {
                cancel = MessageDlg("Error reading the import file: " + std::string(e.what()) + "\rCall=" +
                                        ctx_.Qso.Call.str() + " Date=" + FormatDayNumber(ctx_.Qso.Date),
                                    TMsgDlgType::mtError, mbOK | mbCancel) == mrCancel;
            }
            while (ctx_.Pos >= nextStep) {
                progress.Step();
                nextStep += 1024;
            }
            if (noRecord || cancel) {
                stopped_ = cancel;
                break;
            }
            ++ctx_.Count.Read;
            if (ctx_.Qso.Call.empty()) {
                // Nothing can find a QSO without a callsign: it is not added, but named.
                ctx_.Count.ErrorItems = errorItemsBefore;
                ++ctx_.Count.NoCall;
                if (ctx_.NoCallRecords.size() < 10)
                    ctx_.NoCallRecords.push_back("Record " + std::to_string(ctx_.RecordNumber) +
                                                 " Date=" + FormatDayNumber(ctx_.Qso.Date) +
                                                 " Time=" + SecondsToHHMM(ctx_.Qso.Time));
                continue;
            }
            if (ctx_.Policy == ipNoCheck) {
                if (!CheckImportedQSO()) {
                    stopped_ = true;
                    break;
                }
                AddImportedQSO();
                continue;
            }
            int index = 0;
            if (!log_.Find(ctx_.Qso, index)) {
                if (!CheckImportedQSO()) {
                    stopped_ = true;
                    break;
                }
                AddImportedQSO();
                continue;
            }
            ++ctx_.Count.Duplicates;
            if (ctx_.Policy == ipWarnStop) {
                ctx_.Policy = ipStopped;
                ctx_.StoppedAtDuplicate = true;
                ctx_.Existing = *log_.At(index);
                ctx_.Existing.Note = nullptr;
                stopped_ = true;
                break;
            }
            if (ctx_.Policy == ipReplace) {
                if (!CheckImportedQSO()) {
                    stopped_ = true;
                    break;
                }
                log_.DeleteQso(log_.At(index));
                AddImportedQSO();
            }
        }
        progress.Finish();
        notes_.Flush();
        if (bulk)
            log_.EndBulk(false);
        if (ctx_.Count.Added > 0) {
            log_.MarkAwardStatusNotBuilt();
            log_.SetModified();
        }
    }

    bool stopped_ = false;
    bool headerMissing_ = false;

private:
    TQsoData& log_;
    TImportContext& ctx_;
    TCallNoteCache notes_;
    TNoteBlocks noteBlocks_;
};

} // namespace

TImportQuestions& ImportQuestions()
{
    static TNoWindowQuestions none;
    return installedQuestions ? *installedQuestions : none;
}

TImportQuestions* SetImportQuestions(TImportQuestions* questions)
{
    TImportQuestions* old = installedQuestions;
    installedQuestions = questions;
    return old;
}

std::string ImportSummaryText(const TImportContext& ctx)
{
    std::string s;
    if (ctx.StoppedAtDuplicate)
        s = "Import aborted because of duplicate QSO\rCall = " + ctx.Existing.Call.str() + " Date = " +
            FormatDayNumber(ctx.Existing.Date) + "\r" + "\r";
    else
        s = "Import Finished\r\r";
    const TImportCounters& c = ctx.Count;
    s += CountText(c.Read, "QSO") + " read" + "\r";
    s += CountText(c.SimpleErrors, "Simple error") + " processed" + "\r";
    s += CountText(c.ZoneExceptions, "Zone exception") + " processed" + "\r";
    s += CountText(c.CountryExceptions, "Country exception") + "processed" + "\r";
    s += CountText(c.Duplicates, "Duplicate QSO") + " processed" + "\r";
    s += CountText(c.ExceptionRecords, "Exception record") + " added" + "\r";
    if (c.Kept > 0)
        s += CountText(c.Kept, "QSO") + "with ADIF mode, report or band kept in the note" + "\r";
    s += "\r";
    if (c.ErrorItems == 0)
        s += "No errors found";
    else
        s += CountText(c.ErrorItems, "error") + "found" + "\r" + "Look for " + "Error" + " in Notefield";
    if (c.NoCall > 0) {
        s += "\r\r" + CountText(c.NoCall, "record") + "without callsign not imported:";
        for (const auto& r : ctx.NoCallRecords)
            s += "\r" + r;
        if (c.NoCall > static_cast<long>(ctx.NoCallRecords.size()))
            s += "\r...";
    }
    return s;
}

TImportResult ImportData(TQsoData& log, std::string_view data, const std::string& fileName,
                         const TFilterRecord& filter, bool isAdif, const TImportSettings& settings)
{
    TImportResult result;
    TImportContext ctx;
    ctx.FileName = fileName;
    ctx.Filter = filter;
    ctx.IsAdif = isAdif;
    ctx.Settings = settings;
    if (log.Count() == 0) {
        ctx.Policy = ipNoCheck;
    } else {
        int policy = ipWarnStop;
        if (!ImportQuestions().AskDupesImportPolicy(policy)) {
            result.Cancelled = true;
            return result;
        }
        ctx.Policy = policy;
    }
    std::size_t eof = data.find('\x1a');
    ctx.Data = eof == std::string_view::npos ? data : data.substr(0, eof);
    ctx.Table = LoadTwoColumnFile(filter.Id);
    TImportRun run(log, ctx);
    run.Run();
    result.HeaderMissing = run.headerMissing_;
    result.Stopped = run.stopped_;
    result.Count = ctx.Count;
    result.Summary = ImportSummaryText(ctx);
    return result;
}

TImportResult ImportFileInto(TQsoData& log, const std::string& fileName, const TFilterRecord& filter, bool isAdif,
                             const TImportSettings& settings)
{
    TImportResult result;
    std::string bytes;
    if (!readWholeFile(fileName, bytes)) {
        MessageDlg("Cannot open " + fileName, TMsgDlgType::mtError, mbOK);
        result.Cancelled = true;
        return result;
    }
    {
        // The questions of a running import let idle work run: a crash backup then would hold
        // only part of the file.
        TBulkChangeScope bulk;
        result = ImportData(log, bytes, fileName, filter, isAdif, settings);
        if (result.Cancelled)
            return result;
        if (result.HeaderMissing)
            MessageDlg("No ADIF header found in " + baseName(fileName) + ": the file has no <EOH> tag",
                       TMsgDlgType::mtError, mbOK);
        if (!isAdif && !result.Stopped && !filter.NoteExt.empty())
            ReadImportNoteFile(log, fileName, filter.NoteExt);
    }
    MessageDlg(result.Summary, TMsgDlgType::mtInformation, mbOK);
    if (result.Count.Added > 0)
        LogHooks().RefreshQsoWindow();
    return result;
}

bool ImportFile(const std::string& fileName, const TFilterRecord& filter, bool isAdif)
{
    TQsoData* log = CurrentLog();
    if (!log)
        return false;
    TImportResult r = ImportFileInto(*log, fileName, filter, isAdif, TImportSettings::FromConfig());
    return !r.Cancelled;
}

bool ReadImportNoteFile(TQsoData& log, const std::string& importFile, const std::string& noteExt)
{
    std::filesystem::path p(importFile);
    p.replace_extension("." + noteExt);
    std::string folder = p.parent_path().string();
    std::string found = FindFileNoCase(folder.empty() ? "." : folder, p.filename().string());
    std::string bytes;
    if (found.empty() || !readWholeFile(found, bytes)) {
        ShowMessage("The note file " + p.filename().string() + " was not found; the QSOs are imported without it");
        return false;
    }
    TProgressSink& progress = Progress();
    progress.Start("Reading " + p.filename().string(), static_cast<int>(bytes.size() >> 10) + 1);
    std::size_t start = 0, nextStep = 1024;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string_view line(bytes.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::size_t comma = line.find(',');
        if (comma != std::string_view::npos && comma > 0)
            log.AppendCallNote(line.substr(0, std::min<std::size_t>(comma, 12)), line.substr(comma + 1).substr(0, 255));
        while (start >= nextStep) {
            progress.Step();
            nextStep += 1024;
        }
    }
    progress.Finish();
    return true;
}

long MergeKorvalLog(const std::string& fileName)
{
    TQsoData* log = CurrentLog();
    if (!log || fileName.empty())
        return -1;
    int policy = dpAbort;
    if (log->Count() > 0 && !ImportQuestions().AskDupesImportPolicy(policy))
        return -1;
    int before = log->Count();
    {
        TBulkChangeScope bulk;
        LoadLogFileInto(*log, fileName, false, policy);
    }
    long added = log->Count() - before;
    MessageDlg(CountText(added, "QSO") + " added", TMsgDlgType::mtInformation, mbOK);
    LogHooks().RefreshQsoWindow();
    return added;
}

bool ImportThroughScript(const TFilterRecord& filter, const std::string& chosenFile, int timeoutMs)
{
    std::string output = GetImportFileName("export.txt");
    std::error_code ec;
    std::filesystem::remove(output, ec);
    std::string script = FindFileNoCase(GetImportDir(), filter.Id);
    if (filter.Id.empty() || !IsValidFilterId(filter.Id) || !std::filesystem::is_regular_file(script)) {
        MessageDlg("Error executing " + filter.Id, TMsgDlgType::mtError, mbOK);
        return false;
    }
    TExecuteResult r = ExecuteAndWait("/bin/sh", {script, ShortPathName(chosenFile), ShortPathName(GetImportDir())}, timeoutMs, {},
                                      GetImportDir());
    if (!r.Started) {
        MessageDlg("Error executing " + filter.Id + (r.Error.empty() ? "" : "\r" + r.Error), TMsgDlgType::mtError, mbOK);
        return false;
    }
    if (r.TimedOut || !std::filesystem::exists(output)) {
        MessageDlg("Conversion failed", TMsgDlgType::mtError, mbOK);
        return false;
    }
    return ImportFile(output, filter, false);
}

} // namespace korval
