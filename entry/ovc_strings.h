#pragma once
// Texts of the entry and grid controls, looked up by number. They are kept in a string table of
// the "STR0" layout (magic, count, sorted 12-byte entries of id/offset/length, UTF-16LE texts)
// so a table can also be read from bytes; the controls' own table is built into the program.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korval {

// Ids of the texts that code refers to by name.
enum : int {
    SCUnknownError = 30168,
    SCDuplicateCommand = 30169,
    SCTableNotFound = 30170,
    SCNoControllerAssigned = 30172,
    SCRangeError = 30179,        // entry-field errors 256..262 are 30179..30185
    SCInvalidNumber = 30180,
    SCRequiredField = 30181,
    SCInvalidDate = 30182,
    SCInvalidTime = 30183,
    SCBlanksInField = 30184,
    SCPartialEntry = 30185,
    SCInvalidParamValue = 30188,
    SCNoTimersAvail = 30189,
    SCOnSelectNotAssigned = 30192,
    SCInvalidPageIndex = 30193,
    SCInvalidDataType = 30194,
    SCInvalidTabFont = 30195,
    SCInvalidPictureMask = 30202,
    SCInvalidRange = 30203,
    SCInvalidRealRange = 30204,
    SCInvalidExtendedRange = 30205,
    SCInvalidDoubleRange = 30206,
    SCInvalidSingleRange = 30207,
    SCInvalidCompRange = 30208,
    SCInvalidDateRange = 30209,
    SCInvalidTimeRange = 30210,
    SCInvalidRangeValue = 30211,
    SCOnIsSelectedNotAssigned = 30226,
    SCNoCollection = 30241,
    SCNotOvcDescendant = 30242,
    SCLabelNotAttached = 30244,
    SCItemClassNotSet = 30245,
    SCCantFindCollection = 30246,
    SCGridTableName = 30266,
    SCNone = 30267,
    SCCCUser = 30268,
    SCCCUserNum = 30269,
    SCDeleteTable = 30270,
    SCRenameTable = 30271,
    SCEnterTableName = 30272,
    SCNewTable = 30273,
    SCDefaultTableName = 30275,
    SCWordStarTableName = 30276,
    SCUnknownTable = 30277,
    SCDefaultEntryErrorText = 30278,
    SCRestore = 30287,           // context menu: Restore, Cut, Copy, Paste, Delete, Select All
    SCCut = 30288,
    SCCopy = 30289,
    SCPaste = 30290,
    SCDelete = 30291,
    SCSelectAll = 30292,
    SCYes = 30368,
    SCNo = 30369,
    SCTrue = 30370,
    SCFalse = 30371,
    SCHours = 30372,
    SCMinutes = 30373,
    SCSeconds = 30374,
    SCClose = 30375,
    SCColorNames = 30500,        // 30500..30515: "Black" .. "White"
    SCCommandNames = 33768,      // 33768 + command code: "ccNone" .. "ccWordRight"
    SCDataTypeNames = 34068,     // 34068 + data-type code: "String" .. "Time"
};

// Messages of the table reader itself (the reader's own table).
enum : int {
    SRStringNotFound = 1,
    SRCannotLock = 2,
    SRResourceNotFound = 3,
    SRCannotOpen = 4,
    SRNotValid = 5,
};

// One table in the STR0 layout, read from bytes. Texts come back in Windows-1252.
class TOvcStringResource {
public:
    // Raises EOvcException with the reader's messages when the bytes are not a valid table
    // (name is used in the message). Every entry must lie inside the bytes.
    TOvcStringResource(std::string name, std::string bytes);

    // The text of Id; a missing id gives "" or, with RaiseOnMissing, an EOvcException.
    std::string GetString(int id) const;
    bool HasString(int id) const;
    int Count() const { return count_; }
    const std::string& Name() const { return name_; }
    bool RaiseOnMissing = false;

private:
    int find(int id) const;
    std::string name_;
    std::string bytes_;
    int count_ = 0;
};

// Builds the bytes of a STR0 table from (id, Windows-1252 text) pairs in any order.
std::string BuildStringResource(std::vector<std::pair<int, std::string>> entries);

// The controls' table ("CONTROL_STRINGS_ENGLISH").
const TOvcStringResource& ControlStrings();

// The text of Id from the controls' table, "Unknown" when it has none.
std::string GetLibraryString(int id);

// Formats a library text that holds one %s or %d (or two %d) with the values given.
std::string FormatLibraryString(int id, const std::vector<std::string>& args);

} // namespace korval
