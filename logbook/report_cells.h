#pragma once
// What a report column shows for one QSO of a list, and the comma-separated line a list is
// written as.
#include <string>
#include <string_view>
#include <vector>

#include "logbook/report_definitions.h"

namespace korval {

class TQsoData;
struct TQsoRecord;

// The text of report field `field` for the QSO in list row `row` (1 for the first row); notes
// are cut to noteWidth characters. "???" for a number outside the field table.
std::string ReportCellText(int field, const TQsoRecord& qso, int row, int noteWidth, const TQsoData& log);

// The grid alignment code of a report alignment: 0 left, 1 right, 2 centred.
int GridAlignOfReportField(int field);
// A report column's width in characters: the field's width, widened to the name's length + 1
// when the name is not shorter than it.
int ReportColumnWidth(int field);

// One comma-separated line of values. A value holding a comma, a double quote, a carriage
// return or a line feed is put between double quotes with its quotes doubled, so that every
// value reads back as it was.
std::string CsvLine(const std::vector<std::string>& values);

} // namespace korval
