#pragma once
// Key-to-command tables and the processor that turns key presses into editing commands.
// Keys are Windows virtual-key codes with the shift flags of ovc_vkeys.h.
#include "entry/ovc_vkeys.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace korval {

// Command codes.
enum : uint16_t {
    ccNone = 0, ccBack, ccBotOfPage, ccBotRightCell, ccCompleteDate, ccCompleteTime, ccCopy,
    ccCtrlChar, ccCut, ccDec, ccDel, ccDelBol, ccDelEol, ccDelLine, ccDelWord, ccDown, ccEnd,
    ccExtendDown, ccExtendEnd, ccExtendHome, ccExtendLeft, ccExtendPgDn, ccExtendPgUp,
    ccExtendRight, ccExtendUp, ccExtBotOfPage, ccExtFirstPage, ccExtLastPage, ccExtTopOfPage,
    ccExtWordLeft, ccExtWordRight, ccFirstPage, ccGotoMarker0, ccGotoMarker1, ccGotoMarker2,
    ccGotoMarker3, ccGotoMarker4, ccGotoMarker5, ccGotoMarker6, ccGotoMarker7, ccGotoMarker8,
    ccGotoMarker9, ccHome, ccInc, ccIns, ccLastPage, ccLeft, ccNewLine, ccNextPage, ccPageLeft,
    ccPageRight, ccPaste, ccPrevPage, ccRedo, ccRestore, ccRight, ccScrollDown, ccScrollUp,
    ccSetMarker0, ccSetMarker1, ccSetMarker2, ccSetMarker3, ccSetMarker4, ccSetMarker5,
    ccSetMarker6, ccSetMarker7, ccSetMarker8, ccSetMarker9, ccTab, ccTableEdit, ccTopLeftCell,
    ccTopOfPage, ccUndo, ccUp, ccWordLeft, ccWordRight,
    ccLastCmd = ccWordRight,
    // Internal codes the entry fields use; not commands of a table.
    ccChar = 249,        // a typed character
    ccMouse = 250,       // place the caret
    ccMouseMove = 251,   // extend the selection
    ccNotCommand = 252,  // the key is no command: ordinary input
    ccDblClk = 253,
    ccNoPartial = 254,   // the second key did not complete any sequence
    ccPartial = 255,     // first key of a two-key sequence accepted
    ccUserFirst = 256,   // user commands ccUser0, ccUser1, ... = 256 + n
    ccUser0 = 256, ccUser1, ccUser2, ccUser3, ccUser4, ccUser5, ccUser6, ccUser7, ccUser8, ccUser9,
};

// The name of a command: "ccNone" .. "ccWordRight", "ccUser%d" from 256 on.
std::string CommandName(uint16_t cmd);

// One table entry; 6 bytes when stored: Key1, SS1, Key2, SS2, Cmd (little-endian).
struct TOvcCmdRec {
    uint8_t Key1 = 0;
    uint8_t SS1 = 0;
    uint8_t Key2 = 0;  // 0: single-key entry
    uint8_t SS2 = 0;
    uint16_t Cmd = 0;

    // The four key bytes as one value, Key1 in the low byte.
    uint32_t Keys() const { return uint32_t(Key1) | uint32_t(SS1) << 8 | uint32_t(Key2) << 16 | uint32_t(SS2) << 24; }
    static TOvcCmdRec FromKeys(uint32_t keys, uint16_t cmd)
    {
        return {uint8_t(keys), uint8_t(keys >> 8), uint8_t(keys >> 16), uint8_t(keys >> 24), cmd};
    }
    bool operator==(const TOvcCmdRec&) const = default;
};

// The built-in tables.
const std::vector<TOvcCmdRec>& DefaultCommandTable();
const std::vector<TOvcCmdRec>& WordStarCommandTable();
const std::vector<TOvcCmdRec>& GridCommandTable();
// The built-in entries of "Default", "WordStar" or "Grid" (ignoring case); nullptr for another name.
const std::vector<TOvcCmdRec>* BuiltInCommandTable(const std::string& name);

// A table as a stored form keeps it: name, active flag and (key, command) pairs; for the
// built-in names only the differences from the built-in entries.
struct TOvcCommandTableStream {
    std::string TableName;
    bool IsActive = true;
    std::vector<std::pair<uint32_t, uint16_t>> Pairs;
    bool operator==(const TOvcCommandTableStream&) const = default;
};

class TOvcCommandTable {
public:
    TOvcCommandTable();  // named "(Unknown)", active, empty

    std::string TableName;
    bool IsActive = true;

    int AddCommandRec(const TOvcCmdRec& rec);
    void InsertCommandRec(int index, const TOvcCmdRec& rec);
    void DeleteCommand(int index);
    void ExchangeCommand(int index, const TOvcCmdRec& rec);
    TOvcCmdRec GetCommandRec(int index) const;
    int GetCount() const { return int(entries_.size()); }
    // Index of the first entry with the same four key bytes, -1 when none.
    int IndexOf(const TOvcCmdRec& rec) const;
    void Clear() { entries_.clear(); }
    const std::vector<TOvcCmdRec>& Entries() const { return entries_; }

    // Text file: the table name, then one line per entry "Key1 SS1 Key2 SS2 Cmd" (4, 4, 4, 4 and
    // 6 columns). Loading clears the table first. A missing file raises std::runtime_error; a
    // line that does not hold five numbers in range raises ECmdProcessorError and leaves the
    // table as it was. Saving replaces the file atomically (EFileWriteError on failure).
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

    TOvcCommandTableStream WriteStream() const;
    void ReadStream(const TOvcCommandTableStream& s);

private:
    std::vector<TOvcCmdRec> entries_;
};

class TOvcCommandProcessor {
public:
    TOvcCommandProcessor();  // "Default" (active), "WordStar" and "Grid" (inactive)
    TOvcCommandProcessor(const TOvcCommandProcessor&) = delete;
    TOvcCommandProcessor& operator=(const TOvcCommandProcessor&) = delete;

    // Appends the table under a unique name (trailing digits stripped, then 1, 2, ... added
    // when the base name is taken); takes ownership.
    void Add(std::unique_ptr<TOvcCommandTable> table);
    void AddCommand(const std::string& tableName, const TOvcCmdRec& rec);
    void Clear();
    TOvcCommandTable* GetTable(const std::string& name) const;
    TOvcCommandTable* Table(int index) const;  // ETableNotFound when out of range
    int GetCount() const { return int(tables_.size()); }
    void Remove(int index);                    // frees the table

    void LoadCommandTable(const std::string& fileName);
    void SaveCommandTable(const std::string& tableName, const std::string& fileName) const;

    void ResetCommandProcessor() { state_ = 0; }

    // Translates one key press (virtual key and shift flags) through the active tables. Returns a
    // command, ccNotCommand, ccPartial or ccNoPartial.
    uint16_t Translate(uint8_t key, uint8_t shiftFlags);
    uint16_t TranslateKey(uint8_t key, uint8_t shiftFlags) { return Translate(key, shiftFlags); }
    // The same through the named tables, in that order, whether active or not.
    uint16_t TranslateUsing(const std::vector<std::string>& tables, uint8_t key, uint8_t shiftFlags);
    // What Translate would answer, leaving the key state alone (for shortcut decisions).
    uint16_t Peek(uint8_t key, uint8_t shiftFlags) const;
    uint16_t PeekUsing(const std::vector<std::string>& tables, uint8_t key, uint8_t shiftFlags) const;

    // Key state: 0 idle, 1 first key of a sequence seen, 2 next key is a literal character.
    int State() const { return state_; }
    bool SequencePending() const { return state_ == 1; }

    std::vector<TOvcCommandTableStream> WriteStream() const;
    void ReadStream(const std::vector<TOvcCommandTableStream>& tables);

private:
    struct KeyState {
        int state = 0;
        uint8_t key = 0;
        uint8_t shift = 0;
    };
    static uint16_t scanTable(const TOvcCommandTable& t, uint8_t key, uint8_t shift, KeyState& ks);
    uint16_t translateWith(const std::vector<const TOvcCommandTable*>& tables, uint8_t key,
                           uint8_t shift, KeyState& ks) const;
    std::vector<const TOvcCommandTable*> activeTables() const;
    std::vector<const TOvcCommandTable*> namedTables(const std::vector<std::string>& names) const;

    std::vector<std::unique_ptr<TOvcCommandTable>> tables_;
    int state_ = 0;
    uint8_t pendingKey_ = 0;
    uint8_t pendingShift_ = 0;
};

} // namespace korval
