// Damaged and hostile input of the import/export: out-of-table bands from a log file, filter IDs
// that would name paths outside IMPORT, an empty county name.
#include "exchange_fixture.h"

#include "exchange/export_driver.h"
#include "exchange/translation_table.h"
#include "logbook/log_file.h"
#include "logbook/paths.h"

#include <filesystem>

using namespace korval;
using namespace korval::test;

namespace {

std::string Fixture(const char* name) { return std::string(KORVAL_TEST_DATA) + "/" + name; }

std::string FilterBytes(const std::string& id)
{
    TFilterRecord f;
    f.Id = "X";
    f.Ext = "ADI";
    std::string b = f.ToBytes();
    // Written by hand so that any byte can stand in the ID.
    b[flt_off::Id] = static_cast<char>(id.size());
    b.replace(flt_off::Id + 1, id.size(), id);
    return b;
}

} // namespace

// logfile-band16.kvl: a version-H log of one QSO (W1AW) whose band byte is 16, one past the
// band table; the log loader keeps unknown band numbers.
TEST_F(ExchangeTest, AQsoOfAnUnknownBandIsExportedWithoutItsBand)
{
    TQsoData log;
    ASSERT_TRUE(LoadLogFileInto(log, Fixture("logfile-band16.kvl"), true, dpAbort));
    ASSERT_EQ(log.Count(), 1);
    ASSERT_EQ(log.At(0)->Band, 16);
    std::vector<const TQsoRecord*> qsos(log.Qsos().begin(), log.Qsos().end());

    TFilterRecord f;
    f.Id = "FIXED";
    f.Ext = "TXT";
    f.Usage = fuImpExp;
    f.Field(fiCallsign) = {1, 1, 10};
    for (int fmt : {bfKey3, bfKey2, bfFreqMHz, bfFreqKHz, bfKeyM, bfKeyLeft, bf1to3, bf1to6, bf1to160}) {
        f.Field(fiBand) = {12, static_cast<std::uint8_t>(fmt), 9};
        TExportResult r;
        ASSERT_NO_THROW(r = ExportQsos(dir.file("out.txt"), f, false, qsos, log.Notes)) << "format " << fmt;
        ASSERT_TRUE(r.Written) << r.Error;
        const std::string text = ReadAll(dir.file("out.txt"));
        const std::string line = text.substr(0, text.find('\r'));
        EXPECT_EQ(line.substr(0, 4), "W1AW") << "format " << fmt;
        EXPECT_EQ(line.find_first_not_of(' ', 10), std::string::npos) << "format " << fmt << ": " << line;
    }

    TExportResult r = ExportQsos(dir.file("out.adi"), AdifFilter(), true, qsos, log.Notes);
    ASSERT_TRUE(r.Written) << r.Error;
    EXPECT_EQ(r.Qsos, 1);
}

TEST_F(ExchangeTest, FilterIdsThatAreNoFileNamesAreRefusedOnLoad)
{
    std::filesystem::create_directories(dir.file("SAVE"));
    const std::string path = dir.file("SAVE/KORVAL.IEP");
    WriteAll(path, FilterBytes("GOOD") + FilterBytes(std::string("AD\0IF", 5)) + FilterBytes("../X") +
                       FilterBytes("adif") + FilterBytes(""));
    bool damaged = false;
    std::vector<TFilterRecord> loaded = LoadFilterFile(path, &damaged);
    EXPECT_TRUE(damaged);
    std::vector<std::string> ids;
    for (const TFilterRecord& r : loaded)
        ids.push_back(r.Id);
    EXPECT_EQ(ids, (std::vector<std::string>{"GOOD", "adif", ""})) << "lower case is made upper case by the list";
}

TEST_F(ExchangeTest, TranslationTablesAreReadOnlyFromImportUnderAValidId)
{
    std::filesystem::create_directories(GetImportDir());
    WriteAll(GetImportProfileName("GOOD"), "DL,230\r\n");
    WriteAll(dir.file("X.PMP"), "DL,230\r\n");
    EXPECT_NE(LoadTwoColumnFile("GOOD"), nullptr);
    EXPECT_EQ(LoadTwoColumnFile("../X"), nullptr);
    EXPECT_EQ(LoadTwoColumnFile(std::string("AD\0IF", 5)), nullptr);

    // A filter handed over with such an ID imports and exports without its table.
    TFilterRecord f = AdifFilter();
    f.Id = std::string("ADIF\0", 5);
    TQsoData log;
    TImportResult r;
    ASSERT_NO_THROW(r = Import(log, "<eoh><call:4>K1AB<qso_date:8>20240101<time_on:4>1200<band:3>20m<mode:2>CW<eor>", f));
    EXPECT_EQ(log.Count(), 1) << r.Summary;
    std::vector<const TQsoRecord*> qsos(log.Qsos().begin(), log.Qsos().end());
    TExportResult w;
    ASSERT_NO_THROW(w = ExportQsos(dir.file("out.adi"), f, true, qsos, log.Notes));
    EXPECT_TRUE(w.Written) << w.Error;
}

// adif-empty-county-name.adi: "<EOH><CNTY:2>CT", a county item of a state without a county.
TEST_F(ExchangeTest, ACountyItemWithoutAName)
{
    // The shipped database knows Connecticut and its counties.
    std::string reason;
    ASSERT_TRUE(LoadCountryFileFrom(std::string(KORVAL_SOURCE_DIR) + "/data/SAVE/KORVAL.CTY", false, &reason)) << reason;
    ASSERT_NE(StateNumber("CT"), 0);
    TQsoData log;
    TImportResult r;
    ASSERT_NO_THROW(r = Import(log, ReadAll(Fixture("adif-empty-county-name.adi"))));
    EXPECT_EQ(log.Count(), 0) << r.Summary;
}
