#pragma once
// The country editor: the countries of the live country database one at a time, with their
// prefix mappings and exception calls in tables, the consistency check and the merge of another
// country file. It changes the database in place; the caller saves it on OK and reads it back
// from disk on any other result.
#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "reference/country_merge.h"

class QAction;
class QMenu;

namespace korval {

class TOvcController;
class TOvcCustomListBox;
class TOvcNotebook;
class TOvcNumericField;
class TOvcPictureField;
class TOvcSimpleField;
class TOvcTable;
class TWheelx;

// A row of the mapping work copy; a reference row shows another country's mapping of the same
// prefix and is never written back.
struct TWrkMap {
    std::string Prefix, MapCountry, Zone;
    std::int32_t StartDate = -1, EndDate = -1; // day counts of the cells, -1 empty
    bool Reference = false;
};

struct TWrkCall {
    std::string Call, Zone;
    std::int32_t Date = -1;
};

class TFctyed : public QDialog {
    Q_OBJECT
public:
    enum TPage { pgDetails, pgMappings, pgCallsigns, pgMessages };

    explicit TFctyed(QWidget* parent = nullptr);

    // The country shown (its number in the country collection).
    std::int32_t Current() const { return current_; }
    void ShowCountry(std::int32_t number);

    // Menu "File".
    void CheckForErrors();
    void MergeOtherCountryFile();
    // Menu "Country".
    void AddCountryClick();
    void UpdateCountryClick();
    void FirstClick();
    void NextClick();
    void PreviousClick();
    void LastClick();
    void FindClick();
    void DeleteCountryClick();
    // Menus "Mappings" and "Calls".
    void MapAdd();
    void MapUpdate();
    void MapDelete();
    void CallAdd();
    void CallUpdate();
    void CallDelete();
    // A double click on a finding shows its country.
    void MessageChosen(int line);

    const std::vector<TWrkMap>& WrkMaps() const { return wrkMaps_; }
    const std::vector<TWrkCall>& WrkCalls() const { return wrkCalls_; }
    const TMessageLines& Messages() const { return messages_; }

    // Stand-ins for the open dialog and the country pick list (tests); "" / -1 cancel.
    std::function<std::string()> AskMergeFile;
    std::function<int(const std::vector<std::string>& prefixes, int first)> AskCountry;

    TOvcController* Controller = nullptr;
    TOvcSimpleField* F_prefix = nullptr;
    TOvcSimpleField* F_cname = nullptr;
    TOvcSimpleField* F_zone = nullptr;
    TOvcPictureField* F_sdate = nullptr;
    TOvcPictureField* F_edate = nullptr;
    TWheelx* F_continent = nullptr;
    TOvcSimpleField* F_itu = nullptr;
    TOvcNumericField* F_utc = nullptr;
    TWheelx* F_utcSide = nullptr;
    TOvcNumericField* F_long = nullptr;
    TWheelx* F_longSide = nullptr;
    TOvcNumericField* F_lat = nullptr;
    TWheelx* F_latSide = nullptr;
    TOvcSimpleField* F_map = nullptr;
    TOvcPictureField* F_iota = nullptr;
    TWheelx* F_bureau = nullptr;
    TWheelx* F_fieldcheck = nullptr;
    TWheelx* F_states = nullptr;
    TOvcNotebook* NB = nullptr;
    TOvcTable* MapTable = nullptr;
    TOvcTable* CallTable = nullptr;
    TOvcCustomListBox* LB = nullptr;
    QMenu* MessagePopup = nullptr;
    QAction* CopyToClipboard1 = nullptr;

private:
    void BuildMenus();
    QWidget* BuildHeader();
    void BuildDetails(QWidget* page);
    void BuildMapTable(QWidget* page);
    void BuildCallTable(QWidget* page);
    TCountryRecord ReadFields() const;
    void BuildWorkCopies();
    void SizeTables();
    // False, with the warning, when the command's page is not the one shown.
    bool OnPage(TPage page);
    void ShowMessages();
    void AddMessage(std::string line);
    void CopyMessages();
    void ReportEdit(int result, const std::string& prefix);
    std::int32_t CountryNumberOfLine(const std::string& line) const;

    std::int32_t current_ = 0;
    TCountryRecord shown_;
    std::vector<TWrkMap> wrkMaps_;
    std::vector<TWrkCall> wrkCalls_;
    TMessageLines messages_;
};

} // namespace korval
