#include "exchange/log_listing.h"

#include "logbook/log_list_view.h"
#include "logbook/report_cells.h"

namespace korval {

TFPrintLog::TFPrintLog(const TLogListView& view, const TReportDefinition& def) : view_(view), def_(def)
{
    Title = def_.Name.substr(0, kTitleCap);
    for (std::uint8_t f : def_.Columns) {
        if (f >= kReportFieldCount)
            continue;
        const int align = ReportFields[f].Align;
        AddColumn(ReportFields[f].Name, ReportColumnWidth(f),
                  align == raRight ? faRight : align == raCentre ? faCenter : faLeft);
    }
}

int TFPrintLog::RowCount() const { return view_.Log() ? view_.Count() : 0; }

void TFPrintLog::GetLine(int index, std::string& s) const
{
    s.clear();
    const TQsoRecord* q = view_.At(index);
    if (q && view_.Log()) {
        bool first = true;
        for (std::uint8_t f : def_.Columns) {
            if (f >= kReportFieldCount)
                continue;
            if (!first)
                s += '\t';
            first = false;
            std::string cell = ReportCellText(f, *q, index + 1, def_.NoteWidth, *view_.Log());
            // A TAB inside a note would shift the cells after it.
            for (char& c : cell)
                if (c == '\t')
                    c = ' ';
            s += cell;
        }
    }
    CompleteCells(s, ColumnCount());
}

} // namespace korval
