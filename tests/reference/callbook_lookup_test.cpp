#include "reference/callbook_lookup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace korval {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// An EXTDATA folder holding the fake library under the name of each source; one per process,
// since ctest runs the cases side by side.
class CallbookLookupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreeCallbookDll();
        dir_ = fs::path(testing::TempDir()) / ("callbook_extdata_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override
    {
        FreeCallbookDll();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    void Install(const char* fake, const char* soName)
    {
        fs::copy_file(fs::path(KORVAL_FAKE_CALLBOOK_DIR) / fake, dir_ / soName, fs::copy_options::overwrite_existing);
    }
    void InstallAll(const char* fake)
    {
        for (const char* so : {"AMSOFT32.so", "hamcal32.so", "RACCD32a.so", "QRZ32.so", "octavia32.so"})
            Install(fake, so);
    }
    Lines Lookup(int source, const std::string& call, const std::string& dataDir = "/cd")
    {
        Lines lines;
        CallbookLookup({source, dataDir, dir_.string()}, call, lines);
        return lines;
    }

    fs::path dir_;
};

struct ResultCase {
    int source;
    const char* call;
    const char* dataDir;
    Lines want;
};

void PrintTo(const ResultCase& c, std::ostream* os) { *os << c.source << " " << c.call << " " << c.dataDir; }

class CallbookResultTable : public CallbookLookupTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(CallbookResultTable, GivesTheLinesOfEachReturnCode)
{
    InstallAll("fake_callbook.so");
    const ResultCase& c = GetParam();
    EXPECT_EQ(Lookup(c.source, c.call, c.dataDir), c.want);
}

INSTANTIATE_TEST_SUITE_P(Sources, CallbookResultTable, ::testing::Values(
    ResultCase{1, "W1AW", "/cd", {"Call W1AW in /cd/", "John Doe"}},
    ResultCase{1, "W1AW", "", {"Call W1AW in /", "John Doe"}},
    ResultCase{1, "W1AW", "/nodata/", {"Amsoft data files not found"}},
    ResultCase{1, "NOSUCH", "/cd", {"NOSUCH not found"}},
    ResultCase{1, "SILENT", "/cd", {}},
    ResultCase{5, "W1ABC", "/cd/", {"Call W1ABC in /cd/", "W1ABC via W1ABC/4."}},
    ResultCase{5, "NOSUCH", "/cd", {"NOSUCH not found"}},
    ResultCase{2, "W1AW", "/cd", {"John Q Doe Jr", "1 Main St", "Boston, MA 02101", "County: Suffolk", "Grid: FN42",
                                  "----QSL info from: Hamcal32.dll", "W1AW via K1MGR"}},
    ResultCase{2, "NOSUCH", "/cd", {"NOSUCH not found"}},
    ResultCase{2, "ZERO", "/cd", {"Buckmaster Error: 0"}},
    ResultCase{2, "ERR", "/cd", {"Buckmaster Error: -3"}},
    ResultCase{4, "W1AW", "/cd", {"QRZ W1AW", "Line two", "Last"}},
    ResultCase{4, "NOSUCH", "/cd", {"NOSUCH not found"}},
    ResultCase{4, "W1AW", "/nodata/", {"QRZ Error: Database not found"}},
    ResultCase{3, "NOSUCH", "/badcd/", {"CheckDatabaseFormat: DLL does not match with CD"}},
    ResultCase{3, "ERR", "/cd", {"Flying Horse Error: disk read"}},
    ResultCase{3, "W1AW", "/nonexistent", {"John Doe", "1 Main St", "Boston,MA, 02101", "County = Suffolk", "IOERR=2"}},
    ResultCase{7, "W1AW", "/cd", {"Unknown callbook Nr = 7"}}));

TEST_F(CallbookLookupTest, MissingLibraryAndMissingEntryPointsGiveALineAndNoCrash)
{
    EXPECT_EQ(Lookup(1, "W1AW"), Lines{"DLL not found: AMSOFT32.DLL"});
    InstallAll("fake_callbook_missing.so");
    EXPECT_EQ(Lookup(1, "W1AW"), Lines{"Amsoft entry point not found"});
    EXPECT_EQ(Lookup(5, "W1AW"), Lines{"Octavia entry point not found"});
    EXPECT_EQ(Lookup(4, "W1AW"), Lines{"QRZ entry point not found"});
    EXPECT_EQ(Lookup(3, "W1AW"), Lines{"Flying Horse entry point not found"});
    const Lines buck = Lookup(2, "W1AW");
    ASSERT_EQ(buck.size(), 1u);
    EXPECT_EQ(buck[0].rfind("Buckmaster DLL error:", 0), 0u) << buck[0];
}

TEST_F(CallbookLookupTest, SwitchingSourceLoadsTheOtherLibraryAndTheDirectoryStays)
{
    InstallAll("fake_callbook.so");
    const fs::path before = fs::current_path();
    Lookup(1, "W1AW");
    EXPECT_EQ(CachedCallbookDllName(), "AMSOFT32.DLL");
    Lookup(4, "W1AW");
    EXPECT_EQ(CachedCallbookDllName(), "QRZ32.DLL");
    EXPECT_EQ(fs::current_path(), before);
    fs::remove(dir_ / "AMSOFT32.so");
    EXPECT_EQ(Lookup(1, "W1AW"), Lines{"DLL not found: AMSOFT32.DLL"});
    EXPECT_EQ(CachedCallbookDllName(), "");
}

TEST(CallbookBuckmaster, FieldsAreReadWithinTheBufferOnly)
{
    std::string r(500, 'x');
    r[0] = char(0xbc);
    r[499] = char(0xd0); // a manager tag in the last byte has no text
    Lines lines;
    BuckmasterLines(r + "\xd0TOOFAR", "W1AW", "Hamcal32.dll", lines);
    EXPECT_EQ(lines, Lines{std::string(498, 'x')});
}

struct ManagerCase {
    Lines lines;
    const char* call;
    const char* want;
};

class ManagerTable : public ::testing::TestWithParam<ManagerCase> {};

TEST_P(ManagerTable, TakesTheCallAfterVia)
{
    EXPECT_EQ(ExtractManager(GetParam().lines, GetParam().call), GetParam().want);
}

INSTANTIATE_TEST_SUITE_P(Cases, ManagerTable, ::testing::Values(
    ManagerCase{{"header", "W1ABC via W1ABC/4."}, "W1ABC", "W1ABC/4"},
    ManagerCase{{"W1ABC via K1XX", "no"}, "W1ABC", ""},
    ManagerCase{{"h", "qsl Via k1xyz, direct", "W1ABC via N2ZZ"}, "W1ABC", "N2ZZ"},
    ManagerCase{{"h", "w1abc via ab1cdefghijklmn"}, "W1ABC", "AB1CDEFGHIJK"}));

class QslProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // One folder per test process: ctest runs the cases of this fixture side by side.
        dir_ = fs::path(testing::TempDir()) / ("qsl program " + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    std::string Script(const char* name, const std::string& body)
    {
        const fs::path p = dir_ / name;
        std::ofstream(p) << "#!/bin/sh\n" << body;
        fs::permissions(p, fs::perms::owner_all);
        return p.string();
    }
    fs::path dir_;
};

TEST_F(QslProgramTest, CallWithShellCharactersArrivesLiterally)
{
    const std::string call = "W1ABC;touch pwned$(id)`x`>out";
    const std::string prog = Script("mgr.sh", "printf 'banner\\n\\n  %s via K1XYZ\\n\\n   more\\n' \"$1\"\n");
    Lines lines;
    QslManagerProgramLookup(prog, call, lines);
    EXPECT_EQ(lines, (Lines{"----QSL info from: " + prog, call + " via K1XYZ", "more"}));
    EXPECT_FALSE(fs::exists(dir_ / "pwned"));
    EXPECT_FALSE(fs::exists(dir_ / "out"));
    EXPECT_TRUE(fs::exists(dir_ / "manager.res"));
}

TEST_F(QslProgramTest, OutputWithoutTheCallAddsNothingAndAHangingProgramTimesOut)
{
    Lines lines;
    QslManagerProgramLookup(Script("quiet.sh", "echo nothing here\n"), "W1AW", lines);
    EXPECT_EQ(lines.size(), 1u);

    lines.clear();
    const std::string hang = Script("hang.sh", "exec sleep 30\n");
    QslManagerProgramLookup(hang, "W1AW", lines, 300);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].rfind("Error in QSL lookup = ", 0), 0u) << lines[1];

    lines.clear();
    QslManagerProgramLookup((dir_ / "absent").string(), "W1AW", lines);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].rfind("Error in QSL lookup = ", 0), 0u) << lines[1];
}

} // namespace
} // namespace korval
