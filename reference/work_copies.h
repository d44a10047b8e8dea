#pragma once
// The editors' work copies of three country-database collections: the QSL managers, the IOTA
// references and the manager addresses, read out in key order and written back whole. Records
// with an empty key (the collections' placeholders) are never part of a work copy and stay.
#include <vector>

#include "logbook/country_db.h"
#include "reference/work_copy_text.h"

namespace korval {

std::vector<TQslMgrEntry> QslManagerWorkCopy(const TCountryData& db);
void StoreQslManagers(TCountryData& db, const std::vector<TQslMgrEntry>& work);

std::vector<TIotaEntry> IotaWorkCopy(const TCountryData& db);
void StoreIota(TCountryData& db, const std::vector<TIotaEntry>& work);

std::vector<TAddressEntry> AddressWorkCopy(const TCountryData& db);
void StoreAddresses(TCountryData& db, const std::vector<TAddressEntry>& work);

} // namespace korval
