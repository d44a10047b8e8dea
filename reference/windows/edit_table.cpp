#include "reference/windows/edit_table.h"

#include "grids/windows/ovc_table.h"
#include "grids/windows/ovc_tc_entry_fields.h"
#include "grids/windows/ovc_tc_headings.h"
#include "logbook/configured_formats.h"

namespace korval {

TOvcTable* NewEditTable(QWidget* page, const char* name, TOvcController* controller,
                        const std::vector<std::string>& heads,
                        const std::vector<std::pair<TOvcBaseTableCell*, int>>& cells)
{
    auto* t = new TOvcTable(page);
    t->setObjectName(name);
    t->SetController(controller);
    auto* colHead = new TOvcTCColHead(page);
    colHead->SetShowLetters(false);
    colHead->Headings = heads;
    auto* rowHead = new TOvcTCRowHead(page);
    t->SetColCount(static_cast<int>(cells.size()) + 1);
    t->SetLockedRowsCell(colHead);
    t->Columns()[0]->SetWidth(36);
    t->Columns()[0]->SetDefaultCell(rowHead);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        t->Columns()[static_cast<int>(i) + 1]->SetDefaultCell(cells[i].first);
        t->Columns()[static_cast<int>(i) + 1]->SetWidth(cells[i].second);
    }
    t->SetRowLimit(1);
    return t;
}

TOvcTCSimpleField* TextCell(QObject* owner, const char* name, int maxLen, char mask)
{
    auto* c = new TOvcTCSimpleField(owner);
    c->setObjectName(name);
    c->SetPictureMask(mask);
    c->ForBoth([maxLen](TOvcBaseEntryField& f) { f.SetMaxLength(maxLen); });
    return c;
}

TOvcTCPictureField* DateCell(QObject* owner, const char* name)
{
    auto* c = new TOvcTCPictureField(owner);
    c->setObjectName(name);
    c->SetDataType(pftDate);
    c->SetPictureMask(DateFormatString());
    return c;
}

} // namespace korval
