#pragma once
// QSL label layouts: a sheet of self-adhesive labels described by a 116-byte record (the same in
// the configuration, which holds the two editable layouts "Custom1" and "Custom2", and in the
// read-only layouts file SAVE/KORVAL.LAB, records back to back). Lengths are inches whatever unit
// the editor shows. Also the label settings of the configuration: the two label fonts, the
// options and the chosen layout.
#include <cstdint>
#include <string>
#include <vector>

namespace korval {

class TConfigRecord;

struct TLabelLayout {
    static constexpr std::size_t kSize = 116;
    static constexpr std::size_t kNameCap = 10;
    static constexpr std::size_t kPaperCap = 20;

    std::string Name;
    std::uint8_t Units = 0;  // shown in the editor: 0 inch, 1 mm
    double SpacingTop = 0, SpacingLeft = 0, VertPitch = 0, HorzPitch = 0;
    double LabelHeight = 0, LabelWidth = 0, HorzShift = 0, VertShift = 0;
    std::uint8_t NumAcross = 0, NumDown = 0;
    double PageWidth = 0, PageHeight = 0;  // used with the paper "Custom"
    std::string PaperName;
    bool Portrait = true;

    // The record's bytes (names cut to their capacity).
    void ToBytes(std::uint8_t* b) const;
    // Reads a record; false (with the reason) when it is damaged: a name or paper longer than
    // its field, a unit or portrait byte that is no choice, a length that is no number or beyond
    // any sheet.
    static bool FromBytes(const std::uint8_t* b, TLabelLayout& layout, std::string& why);

    double UnitFactor() const { return Units == 1 ? 25.4 : 1.0; }
    bool CustomPaper() const;
    bool operator==(const TLabelLayout&) const = default;
};

// The paper's width and height in inches as the layout is printed (landscape turns the sheet):
// "Custom" from the layout, a paper name from the common sheets whose upper-cased name contains
// the layout's paper name. False for a paper name none of them matches.
bool LabelPageSize(const TLabelLayout& layout, double& width, double& height);

// Why the layout cannot print, or empty: no labels across or down, a pitch of zero where more
// than one label lies in a direction, a label of no width or height, or labels that fall off the
// page (pageWidth and pageHeight in inches; 0 when unknown, then only the "Custom" page counts).
std::string ValidateLabelLayout(const TLabelLayout& layout, double pageWidth = 0, double pageHeight = 0);

// The list of layouts the editor and the print dialog choose from: "Custom1" and "Custom2" of
// the configuration, then every good record of the layouts file in file order. A damaged record
// is left out and named in Problems; so is a piece at the end too short for a record.
struct TLabelLayoutList {
    std::vector<TLabelLayout> Layouts;
    std::vector<std::string> Problems;
    int Count() const { return static_cast<int>(Layouts.size()); }
};
TLabelLayoutList LoadLabelLayouts(const std::string& labFile, const TConfigRecord& config);
// The layouts file of the program's SAVE folder.
std::string LabelLayoutFileName();

// The configuration's custom layouts (index 0 "Custom1", 1 "Custom2").
TLabelLayout CustomLabelLayout(const TConfigRecord& config, int index);
void SetCustomLabelLayout(TConfigRecord& config, int index, const TLabelLayout& layout);

// A label font of the configuration.
struct TLabelFont {
    std::string Name;  // at most 40 characters
    std::uint8_t Size = 10;
    std::uint32_t Color = 0;
    bool Bold = false, Italic = false;
};

// The label settings of the configuration, in one piece.
struct TLabelSettings {
    TLabelFont CallFont, BodyFont;
    std::uint8_t MaxQsos = 0;  // 0: as many as fit
    bool UseLines = false, Commercial = false, CallRightAligned = false;
    bool PrintQslManagers = false, PrintMethodLabels = false, PrintGroupNames = false;
    std::string Greeting[3];
    int CurrentLayout = 0;  // 0 "Custom1", 1 "Custom2", 2 and up the file's records

    static TLabelSettings FromConfig(const TConfigRecord& config);
    void ToConfig(TConfigRecord& config) const;
};

namespace label_cfg {
inline constexpr std::size_t CallFont = 4476, BodyFont = 4528, FontSize = 52;
inline constexpr std::size_t MaxQsos = 4580, UseLines = 4581, Commercial = 4582, CallRight = 4583;
inline constexpr std::size_t PrintQslMgr = 4584, PrintMethod = 4585, PrintGroup = 4586;
inline constexpr std::size_t CurrentLayout = 4710;  // 16-bit
} // namespace label_cfg

// The label rectangle at row and column (both from 1), in inches from the page's top-left
// corner, with the printing shifts.
struct TLabelRect {
    double X = 0, Y = 0, Width = 0, Height = 0;
};
TLabelRect LabelRectAt(const TLabelLayout& layout, int row, int column);

// The label positions in printing order: down the page first, then the next column, then a new
// page.
struct TLabelPosition {
    int Page = 1, Row = 1, Column = 1;
    bool operator==(const TLabelPosition&) const = default;
};
class TLabelPositions {
public:
    explicit TLabelPositions(const TLabelLayout& layout) : across_(layout.NumAcross), down_(layout.NumDown) {}
    // The next position (the first on the first call).
    TLabelPosition Next();
    int PerPage() const { return across_ * down_; }

private:
    int across_, down_;
    TLabelPosition pos_{1, 0, 1};
};

} // namespace korval
