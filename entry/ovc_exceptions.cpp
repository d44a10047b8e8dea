#include "entry/ovc_exceptions.h"

#include "entry/ovc_intl.h"
#include "entry/ovc_strings.h"

namespace korval {

ENoTimersAvailable::ENoTimersAvailable() : EOvcException(GetLibraryString(SCNoTimersAvail)) {}
ENoControllerAssigned::ENoControllerAssigned()
    : EControllerError(GetLibraryString(SCNoControllerAssigned)) {}
EDuplicateCommand::EDuplicateCommand() : ECmdProcessorError(GetLibraryString(SCDuplicateCommand)) {}
ETableNotFound::ETableNotFound() : ECmdProcessorError(GetLibraryString(SCTableNotFound)) {}
EInvalidDataType::EInvalidDataType() : EEntryFieldError(GetLibraryString(SCInvalidDataType)) {}
EInvalidPictureMask::EInvalidPictureMask(const std::string& mask)
    : EEntryFieldError(FormatLibraryString(SCInvalidPictureMask, {mask})) {}
EInvalidPageIndex::EInvalidPageIndex() : ENotebookError(GetLibraryString(SCInvalidPageIndex)) {}
EInvalidTabFont::EInvalidTabFont() : ENotebookError(GetLibraryString(SCInvalidTabFont)) {}
EOnSelectNotAssigned::EOnSelectNotAssigned()
    : EVirtualListBoxError(GetLibraryString(SCOnSelectNotAssigned)) {}
EOnIsSelectedNotAssigned::EOnIsSelectedNotAssigned()
    : EVirtualListBoxError(GetLibraryString(SCOnIsSelectedNotAssigned)) {}

namespace {

std::string rangeMessage(int dataType)
{
    auto ints = [](const char* lo, const char* hi) {
        return FormatLibraryString(SCInvalidRange, {lo, hi});
    };
    switch (dataType) {
    case fcLongInt: return ints("-2147483648", "2147483647");
    case fcWord: return ints("0", "65535");
    case fcSmallInt: return ints("-32768", "32767");
    case fcByte: return ints("0", "255");
    case fcShortInt: return ints("-128", "127");
    case fcReal: return GetLibraryString(SCInvalidRealRange);
    case fcExtended: return GetLibraryString(SCInvalidExtendedRange);
    case fcDouble: return GetLibraryString(SCInvalidDoubleRange);
    case fcSingle: return GetLibraryString(SCInvalidSingleRange);
    case fcComp: return GetLibraryString(SCInvalidCompRange);
    case fcDate: return FormatLibraryString(SCInvalidDateRange, {OvcIntlSup().DateMask(true)});
    case fcTime: return FormatLibraryString(SCInvalidTimeRange, {OvcIntlSup().TimeMask(false)});
    default: return GetLibraryString(SCInvalidRangeValue);
    }
}

} // namespace

EInvalidRangeValue::EInvalidRangeValue(int dataType)
    : EEntryFieldError(rangeMessage(dataType)), dataType_(dataType) {}

} // namespace korval
