#pragma once
// The editing tables of the reference editors: a heading row of captions, row numbers, and one
// cell object per column.
#include <string>
#include <utility>
#include <vector>

class QObject;
class QWidget;

namespace korval {

class TOvcBaseTableCell;
class TOvcController;
class TOvcTable;
class TOvcTCPictureField;
class TOvcTCSimpleField;

// cells: the cell and its width in pixels for each column after the row numbers.
TOvcTable* NewEditTable(QWidget* page, const char* name, TOvcController* controller,
                        const std::vector<std::string>& headings,
                        const std::vector<std::pair<TOvcBaseTableCell*, int>>& cells);
// A text cell of at most maxLen characters; mask '!' upper-cases, '9' takes digits.
TOvcTCSimpleField* TextCell(QObject* owner, const char* name, int maxLen, char mask);
// A date cell in the configured date picture.
TOvcTCPictureField* DateCell(QObject* owner, const char* name);

} // namespace korval
