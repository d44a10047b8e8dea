#pragma once
// TFPrintLog: the log list's view as a listing: the report definition's columns, one row per QSO
// of the view in its order, the cells made when the row is printed.
#include "exchange/fprint.h"
#include "logbook/report_definitions.h"

namespace korval {

class TLogListView;

class TFPrintLog : public TFprint {
public:
    TFPrintLog(const TLogListView& view, const TReportDefinition& def);
    int RowCount() const override;
    void GetLine(int index, std::string& s) const override;

private:
    const TLogListView& view_;
    TReportDefinition def_;
};

} // namespace korval
