#include "grids/ovc_table_types.h"

#include <algorithm>

namespace korval {

namespace {

std::string TableErrorText(ETableError::TCode code)
{
    switch (code) {
    case ETableError::teRowOutOfRange: return "Row number is out of range";
    case ETableError::teTooManyColumns: return "The table cannot hold more columns";
    case ETableError::teNoController: return "The table has no controller";
    }
    return "Table error";
}

} // namespace

ETableError::ETableError(TCode code) : std::runtime_error(TableErrorText(code)), code_(code) {}

std::string ColumnLetters(int position)
{
    std::string s;
    for (int n = position; n > 0; n = (n - 1) / 26)
        s.push_back(static_cast<char>('A' + (n - 1) % 26));
    std::reverse(s.begin(), s.end());
    return s;
}

} // namespace korval
