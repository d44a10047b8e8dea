#pragma once
// The small types the table, its cells and its windows share: access, alignment, option sets,
// change actions, colours, the typed reference to a cell's value, and the table's exception.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "entry/ovc_set.h"

#include "logbook/base/colors.h"

namespace korval {

enum TOvcTblAccess : uint8_t { otxDefault, otxNormal, otxReadOnly, otxInvisible };

enum TOvcTblAdjust : uint8_t {
    otaDefault, otaTopLeft, otaTopCenter, otaTopRight, otaCenterLeft, otaCenter, otaCenterRight,
    otaBottomLeft, otaBottomCenter, otaBottomRight,
};

enum TOvcTblOption {
    otoBrowseRow, otoNoRowResizing, otoNoColResizing, otoTabToArrow, otoEnterToArrow,
    otoAlwaysEditing, otoNoSelection, otoMouseDragSelect, otoRowSelection, otoColSelection,
    otoThumbTrack, otoAllowColMoves, otoAllowRowMoves,
};
using TOvcTblOptionSet = TOvcSet<TOvcTblOption>;

// What changed in the rows or columns.
enum TOvcTblActions : uint8_t {
    taLimitChanged, taSingle, taAll, taInsert, taDelete, taExchange,
};

// Why the window is asked for a cell's value.
enum TOvcCellDataPurpose : uint8_t { cdpForPaint, cdpForEdit, cdpForSave };

enum TOvcTextStyle : uint8_t { tsFlat, tsRaised, tsLowered };

enum TOvcTblEditorStyle : uint8_t { tesNormal, tesBorder, tes3D };

enum TOvcScrollBars : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };


// A font as the per-cell settings keep it; the windows turn it into a real font.
struct TOvcFontSpec {
    std::string Name;
    int Size = 0;  // points; 0 keeps the size of the font it is applied to
    bool Bold = false;
    bool Italic = false;
    TColor Color = clWindowText;
    bool operator==(const TOvcFontSpec&) const = default;
};

// A reference into the window's own record: what the cell shows and, after a saved edit,
// writes back. The window keeps the value alive while the cell uses it.
class TOvcCellData {
public:
    enum TKind : uint8_t { cdNone, cdString, cdInteger, cdFloat, cdDate, cdTime };
    TOvcCellData() = default;
    static TOvcCellData String(std::string& v) { return {cdString, &v}; }
    static TOvcCellData Integer(int32_t& v) { return {cdInteger, &v}; }
    static TOvcCellData Float(double& v) { return {cdFloat, &v}; }
    // Day counts and seconds since midnight (-1 invalid).
    static TOvcCellData Date(int32_t& v) { return {cdDate, &v}; }
    static TOvcCellData Time(int32_t& v) { return {cdTime, &v}; }

    TKind Kind() const { return kind_; }
    bool IsNil() const { return kind_ == cdNone; }
    std::string* AsString() const { return kind_ == cdString ? static_cast<std::string*>(ptr_) : nullptr; }
    int32_t* AsInteger() const
    {
        return kind_ == cdInteger || kind_ == cdDate || kind_ == cdTime ? static_cast<int32_t*>(ptr_) : nullptr;
    }
    double* AsFloat() const { return kind_ == cdFloat ? static_cast<double*>(ptr_) : nullptr; }

private:
    TOvcCellData(TKind k, void* p) : kind_(k), ptr_(p) {}
    TKind kind_ = cdNone;
    void* ptr_ = nullptr;
};

// The table's programming errors.
class ETableError : public std::runtime_error {
public:
    enum TCode { teRowOutOfRange, teTooManyColumns, teNoController };
    ETableError(TCode code, const std::string& text) : std::runtime_error(text), code_(code) {}
    explicit ETableError(TCode code);
    TCode Code() const { return code_; }

private:
    TCode code_;
};

// The heading letters of a column position counted from 1: 1 "A" .. 26 "Z", 27 "AA".
std::string ColumnLetters(int position);

} // namespace korval
