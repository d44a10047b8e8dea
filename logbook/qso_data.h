#pragma once
// The logbook: the QSOs of the open log in date-and-time order with a by-call index and any
// further view indexes, the callsign notes, group names, saved selections, SWL reports, the
// award status of zones and states (countries and WPX prefixes keep theirs in the country
// database), and the flags that drive saving and the crash backup.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "logbook/award_status.h"
#include "logbook/base/large_alloc.h"
#include "logbook/log_settings.h"
#include "logbook/qso_observer.h"
#include "logbook/qso_record.h"
#include "logbook/sort_orders.h"
#include "logbook/swl_record.h"

namespace korval {

// A list of QSO pointers (the logbook's orders).
using TQsoPtrList = std::vector<TQsoRecord*, TLargeAllocator<TQsoRecord*>>;

// A secondary order over the log's records; owns nothing. Kept in step by the logbook.
class TQsoIndex {
public:
    explicit TQsoIndex(TCompareFunc compare) : compare_(compare) {}
    int Count() const { return static_cast<int>(items_.size()); }
    TQsoRecord* At(int i) const { return items_[static_cast<std::size_t>(i)]; }
    TCompareFunc Compare() const { return compare_; }
    // First position whose record does not sort before key; found when it compares equal.
    bool Find(const TQsoRecord& key, int& index) const;
    const TQsoPtrList& Items() const { return items_; }

private:
    friend class TQsoData;
    void Insert(TQsoRecord* rec);
    void Remove(TQsoRecord* rec);
    void Sort();
    TCompareFunc compare_;
    TQsoPtrList items_;
};

// Callsign notes ordered by call. Each note is one heap block of its text length + 15 bytes:
// the call as a short string of 12, a mark byte, then the text as a short string.
class TNotes {
public:
    TNotes() = default;
    ~TNotes();
    TNotes(const TNotes&) = delete;
    TNotes& operator=(const TNotes&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    std::string_view CallAt(int i) const;
    std::string_view TextAt(int i) const;
    bool MarkedAt(int i) const { return items_[static_cast<std::size_t>(i)][13] != 0; }
    int IndexOf(std::string_view call) const;  // exact call; -1 when absent
    std::string Get(std::string_view call) const;
    // Replaces or adds the note; an empty text deletes it.
    void Set(std::string_view call, std::string_view text);
    void Delete(int index);
    void Mark(std::string_view call);
    void ClearMarks();
    void Clear();
    // Bulk loading: appends without searching; EndBulk restores the order.
    void Reserve(std::size_t n) { items_.reserve(n); }
    void Append(std::string_view call, std::string_view text);
    void EndBulk();

private:
    static std::uint8_t* NewItem(std::string_view call, std::string_view text);
    bool Find(std::string_view call, int& index) const;
    std::vector<std::uint8_t*> items_;
};

class TQsoData {
public:
    explicit TQsoData(std::string fileName = {});
    ~TQsoData();
    TQsoData(const TQsoData&) = delete;
    TQsoData& operator=(const TQsoData&) = delete;

    // QSOs in primary order (date, time, call, band, mode).
    int Count() const { return static_cast<int>(qsos_.size()); }
    TQsoRecord* At(int i) const { return qsos_[static_cast<std::size_t>(i)]; }
    const TQsoPtrList& Qsos() const { return qsos_; }
    // Primary-order search: first position not before key; found on an equal record.
    bool Find(const TQsoRecord& key, int& index) const;
    const TQsoIndex& ByCall() const { return *byCall_; }

    // A cleared record from the log's own record blocks (a million QSOs are not a million heap
    // blocks). Give it to InsertQso or BulkAdd, or back with DisposeQsoRecord.
    TQsoRecord* NewQsoRecord();
    // Frees a record that was never inserted (with its note).
    void DisposeQsoRecord(TQsoRecord* rec);

    // Adds an owned record (from NewQsoRecord or allocated with new) in order, before equal
    // records; returns its primary position. The record's WPX prefix is taken as it is.
    int InsertQso(TQsoRecord* rec);
    // Removes the record from the award status and every index and frees it with its note.
    void DeleteQso(TQsoRecord* rec);
    // A new record from source's fields (taking over source's note pointer) with its WPX prefix
    // derived, inserted; then old is deleted. Returns the new record.
    TQsoRecord* ReplaceQso(const TQsoRecord& source, TQsoRecord* old);

    // Removes every QSO for which drop is true (with its note) in one pass over each order;
    // returns how many went.
    int DeleteQsosIf(const std::function<bool(const TQsoRecord&)>& drop);
    // Sorts again every order that changes made to QSOs in place put out of step; the primary
    // order stays stable, so equal QSOs keep their places. Orders still in step are left alone.
    void ReorderAfterEdits();

    // Further view orders, kept in step until removed.
    TQsoIndex* AddIndex(TCompareFunc compare);
    void RemoveIndex(TQsoIndex* index);

    // Views told of every insertion and deletion until removed (the logbook owns none of them).
    void AddObserver(TQsoObserver* observer);
    void RemoveObserver(TQsoObserver* observer);

    // Bulk insertion: with keepSorted false the records are appended as given and
    // EndBulk(alreadySorted) trusts or restores the order; the secondary indexes sort once.
    void BeginBulk(bool keepSorted, std::size_t capacity);
    void BulkAdd(TQsoRecord* rec);
    void EndBulk(bool alreadySorted);

    // Flags.
    void SetModified();
    bool Modified() const { return modified_; }
    bool NeedsSaving() const { return needsSaving_; }
    void SetFlags(bool modified, bool needsSaving)
    {
        modified_ = modified;
        needsSaving_ = needsSaving;
    }

    std::string FileName;
    std::int32_t Header = 0;
    std::uint16_t MaxSeqPrtNr = 0;
    // MaxSeqPrtNr becomes the highest print sequence number of the QSOs.
    void RecountMaxSeqPrtNr();
    TQsoSelection Selection = TQsoSelection::AllQsos();
    // The position in Selections that Selection was taken from (0: "All QSOs").
    int SelectionIndex = 0;
    std::vector<std::string> GroupNames;           // group n is entry n - 1
    std::vector<TQsoSelection> Selections{TQsoSelection::AllQsos()};
    TNotes Notes;

    // SWL reports in order of call, date, time, band, mode.
    const std::vector<TSwlRecord>& Swl() const { return swl_; }
    int InsertSwl(const TSwlRecord& r);
    bool FindSwl(const TSwlRecord& key, int& index) const;
    void DeleteSwl(int index);
    // The record itself, for its Group and Printed bytes (its order fields must stay as they are).
    TSwlRecord& SwlAt(int index) { return swl_[static_cast<std::size_t>(index)]; }
    // Deletes the SWL records for which drop is true; returns how many went.
    int DeleteSwlIf(const std::function<bool(const TSwlRecord&)>& drop);
    void ReserveSwl(std::size_t n) { swl_.reserve(n); }
    void AppendSwl(const TSwlRecord& r) { swl_.push_back(r); }
    void EndSwlBulk();

    // Callsign notes (each change marks the log modified).
    std::string GetCallNote(std::string_view call) const { return Notes.Get(call); }
    void AppendCallNote(std::string_view call, std::string_view text);
    void SetCallNote(std::string_view call, std::string_view text);
    void DeleteUnworkedNote(std::string_view call);

    bool InSelection(const TQsoRecord& r) const;
    std::string GroupName(const TQsoRecord& r) const;
    std::string GroupNameOf(std::uint8_t group) const;  // "" for 0 or an unnamed group

    // Award status.
    bool AwardStatusBuilt() const { return statusBuilt_; }
    void MarkAwardStatusNotBuilt() { statusBuilt_ = false; }
    // cutoffs[modeGroup] for mode groups 0..3.
    void BuildAwardStatus(const std::uint16_t cutoffs[4]);
    void EnsureAwardStatus();
    const TAwardStatusBlock& ZoneStatus(int zone) const { return zones_[zone]; }    // 0..40
    const TAwardStatusBlock& StateStatus(int state) const { return states_[state]; }  // 0..50
    TAwardStatusBlock& ZoneStatus(int zone) { return zones_[zone]; }
    TAwardStatusBlock& StateStatus(int state) { return states_[state]; }
    std::unique_ptr<TAwardStatusBlock> IotaStatus(std::string_view reference) const;
    std::unique_ptr<TAwardStatusBlock> GridStatus(std::string_view gridPrefix) const;
    // The status of a QSO for an award mask (step 1 of the award rules), with the settings
    // of the last build.
    std::uint8_t QsoStatus(const TQsoRecord& r, std::uint32_t mask) const;
    // The block (country, zone, state or WPX prefix: award awDxcc .. awWpx) that the QSO's
    // status went into at the last build; null when it went into none or the status is not
    // built. Award submissions pick their QSOs by it, so they follow the build's rules exactly.
    TAwardStatusBlock* CountedBlock(const TQsoRecord& r, int award);

    static constexpr int kZoneBlocks = 41;
    static constexpr int kStateBlocks = 51;

private:
    void AddToStatus(const TQsoRecord& r);
    void RemoveFromStatus(const TQsoRecord& r);
    // Applies fn(block, masks, award) to each block the QSO counts in; stops when fn is false.
    // The award takes the QSO's band, mode and entity (without looking the entity's block up).
    bool AwardTakes(const TQsoRecord& r, int award) const;
    TAwardStatusBlock* EntityBlock(const TQsoRecord& r, int award, bool create);
    template <typename Fn>
    bool ForEachStatusBlock(const TQsoRecord& r, bool create, Fn fn);
    std::uint8_t BaseStatus(const TQsoRecord& r) const;
    void FreeRecord(TQsoRecord* r);
    bool FromPool(const TQsoRecord* r) const;

    // Record blocks of 2 MB, which the system can back with one large page: a big log is then
    // not a hundred thousand page faults.
    static constexpr std::size_t kPoolBytes = std::size_t(2) << 20;
    static constexpr std::size_t kPoolBlock = kPoolBytes / sizeof(TQsoRecord);
    struct TPoolFree {
        void operator()(TQsoRecord* p) const;
    };
    std::vector<std::unique_ptr<TQsoRecord, TPoolFree>> pool_;  // ordered by address
    std::size_t poolUsed_ = kPoolBlock;                  // records handed out of the newest block
    TQsoRecord* poolNewest_ = nullptr;
    std::vector<TQsoRecord*> poolFree_;

    TQsoPtrList qsos_;
    std::unique_ptr<TQsoIndex> byCall_;
    std::vector<std::unique_ptr<TQsoIndex>> indexes_;
    std::vector<TQsoObserver*> observers_;
    bool bulk_ = false;
    bool bulkKeepSorted_ = false;
    std::vector<TSwlRecord> swl_;
    bool modified_ = false;
    bool needsSaving_ = false;
    bool statusBuilt_ = false;
    std::uint16_t cutoffs_[4] = {};
    TLogSettings settings_ = TLogSettings::Defaults();
    TAwardStatusBlock zones_[kZoneBlocks];
    TAwardStatusBlock states_[kStateBlocks];
};

// The current logbook (null while no log is open).
TQsoData* CurrentLog();
void SetCurrentLog(std::unique_ptr<TQsoData> log);
// Closes nothing: frees the current logbook.
void FreeCurrentLog();

// Opens a new empty log under fileName as the current logbook: creates the file's folder when
// missing, marks the log as needing a save and shows the QSO window.
TQsoData* NewLog(const std::string& fileName);

// The day number of 15 November 1945, the cut-off of EnsureAwardStatus.
inline constexpr std::uint16_t kAwardEpoch = 16695;

} // namespace korval
