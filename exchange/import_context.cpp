// The import page settings and the import context's record reset and error items.
#include "exchange/import_context.h"

#include "logbook/config_record.h"

namespace korval {

TImportSettings TImportSettings::FromConfig()
{
    TImportSettings s;
    // A configuration saved by a fresh install holds band and mode 0: import on 20 m SSB then,
    // so that no QSO is filed without a band and mode that exist.
    s.DefaultBand = Config.DefaultBand() >= 1 && Config.DefaultBand() <= 15 ? Config.DefaultBand() : 5;
    s.DefaultMode = Config.DefaultMode() >= 1 && Config.DefaultMode() <= 15 ? Config.DefaultMode() : 14;
    s.DefaultQslRoute = Config.DefaultQslRoute();
    s.DefaultLabel = Config.DefaultLabel();
    s.DefaultGroup = Config.MergeGroup();
    s.SimpleErrors = Config.ImportDiagnostics();
    s.PrefixDiffs = Config.ImportPrefixDiffs();
    s.ZoneDiffs = Config.ImportZoneDiffs();
    s.ConflictAction = Config.ImportConflictAction();
    return s;
}

void TImportContext::ResetRecord()
{
    Qso = TQsoRecord{};
    Qso.Flags = qfValidForAwards;
    if (Settings.DefaultLabel == 1)
        Qso.Flags |= qfLabelToPrint;
    Qso.QslRoute = Settings.DefaultQslRoute;
    for (auto& n : Note)
        n.clear();
    Errors.clear();
    ImpState = 0;
    ImpStateText.clear();
    ImpZone = 0;
    ImpCountry = 0;
    ImpPrefix.clear();
    KeptItem.clear();
}

void TImportContext::AddToNote(std::string_view item)
{
    // Whole items: "Band=2" is not already there because "Band=20" is.
    std::size_t start = 0;
    while (start < Errors.size()) {
        std::size_t end = Errors.find(", ", start);
        if (end == std::string::npos)
            end = Errors.size();
        if (std::string_view(Errors).substr(start, end - start) == item)
            return;
        start = end + 2;
    }
    Errors.append(item);
    Errors.append(", ");
    if (Errors.size() > 255)
        Errors.resize(255);
    ++Count.ErrorItems;
}

void TImportContext::ReportImportError(int field, std::string_view text)
{
    std::string item = FilterFieldName(field);
    item += '=';
    item.append(text);
    AddToNote(item);
}

void TImportContext::ReportSimpleError(int field, std::string_view text)
{
    ++Count.SimpleErrors;
    if (Settings.SimpleErrors)
        ReportImportError(field, text);
}

bool TImportContext::ReportEmptyField(int field, bool isEmpty)
{
    if (isEmpty)
        ReportImportError(field, "Empty");
    return isEmpty;
}

void TImportContext::CountCountryException(std::string_view prefix)
{
    ++Count.CountryExceptions;
    if (Settings.PrefixDiffs)
        AddToNote("OtherPFX=" + std::string(prefix));
}

void TImportContext::CountZoneException(int zone)
{
    ++Count.ZoneExceptions;
    if (Settings.ZoneDiffs)
        AddToNote("OtherZone=" + std::to_string(zone));
}

} // namespace korval
