#include "reference/work_copies.h"

#include <string>

namespace korval {
namespace {

// Removes every record with a key, keeping the placeholders.
template <class Coll>
void DropKeyed(Coll& coll)
{
    for (std::int32_t i = coll.Count() - 1; i >= 0; --i)
        if (coll.Record(i)[0] != 0)
            coll.DeleteRecord(i);
}

} // namespace

std::vector<TQslMgrEntry> QslManagerWorkCopy(const TCountryData& db)
{
    std::vector<TQslMgrEntry> out;
    for (std::int32_t i = 0; i < db.QslManagers->Count(); ++i) {
        const TQslManagerRecord r = TQslManagerRecord::FromBytes(db.QslManagers->Record(i));
        if (!r.Call.empty())
            out.push_back({r.Call, r.StartDate == 0 ? NoDate : r.StartDate, r.Manager});
    }
    return out;
}

void StoreQslManagers(TCountryData& db, const std::vector<TQslMgrEntry>& work)
{
    DropKeyed(*db.QslManagers);
    for (const TQslMgrEntry& e : work) {
        if (e.Station.empty())
            continue;
        TQslManagerRecord r;
        r.Call = e.Station.substr(0, CallCap);
        r.StartDate = e.Date == NoDate ? 0 : e.Date;
        r.Manager = e.Manager.substr(0, CallCap);
        db.QslManagers->InsertRecord(r.ToBytes().data());
    }
}

std::vector<TIotaEntry> IotaWorkCopy(const TCountryData& db)
{
    std::vector<TIotaEntry> out;
    for (std::int32_t i = 0; i < db.Iota->Count(); ++i) {
        const TIotaRecord r = TIotaRecord::FromBytes(db.Iota->Record(i));
        if (!r.Reference.empty())
            out.push_back({r.Reference, r.Name, r.Longitude, r.Latitude});
    }
    return out;
}

void StoreIota(TCountryData& db, const std::vector<TIotaEntry>& work)
{
    DropKeyed(*db.Iota);
    for (const TIotaEntry& e : work) {
        if (e.Reference.empty())
            continue;
        TIotaRecord r;
        r.Reference = e.Reference;
        r.Name = e.Name;
        r.Longitude = e.Longitude;
        r.Latitude = e.Latitude;
        db.Iota->InsertRecord(r.ToBytes().data());
    }
}

std::vector<TAddressEntry> AddressWorkCopy(const TCountryData& db)
{
    std::vector<TAddressEntry> out;
    for (std::int32_t i = 0; i < db.ManagerAddresses->Count(); ++i) {
        std::string key, text;
        db.ManagerAddresses->GetKeyString(i, key);
        if (key.empty())
            continue;
        db.ManagerAddresses->GetTail(i, text);
        out.push_back({key, text});
    }
    return out;
}

void StoreAddresses(TCountryData& db, const std::vector<TAddressEntry>& work)
{
    TOneIndexTail& coll = *db.ManagerAddresses;
    DropKeyed(coll);
    for (const TAddressEntry& e : work) {
        if (e.Call.empty())
            continue;
        const std::string call = e.Call.substr(0, CallCap);
        const std::string text = e.Text.substr(0, AddressTextMax);
        std::string rec(coll.KeyLen(), '\0');
        rec[0] = static_cast<char>(call.size());
        rec.replace(1, call.size(), call);
        rec.push_back(static_cast<char>(text.size()));
        rec += text;
        coll.InsertRecord(rec.data());
    }
}

} // namespace korval
