// Label layouts: the 116-byte record byte for byte, the two custom layouts in the configuration,
// the layouts file with damaged records, the checks before printing, the label rectangles and
// the order of label positions; the label queue's selection, order and deferred re-routing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <fstream>

#include "exchange/label_layout.h"
#include "exchange/label_print.h"
#include "logbook/base/record_bytes.h"
#include "logbook/config_record.h"
#include "logbook/qso_data.h"
#include "logbook/qso_record.h"
#include "test_support.h"
#include "tests/exchange/label_sheet.h"

using namespace korval;
using namespace korval::test;

namespace {

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

TEST(LabelLayoutRecord, FieldsLieAtTheirOffsets)
{
    std::uint8_t b[TLabelLayout::kSize] = {};
    PutShortStr(b, 0, 10, "Avery5160");
    b[11] = 1;
    const double values[] = {0.5, 0.1875, 1.0, 2.75, 1.0, 2.625, 0.03, -0.02};
    for (int i = 0; i < 8; ++i)
        PutDouble(b, 12 + 8 * i, values[i]);
    b[76] = 3;
    b[77] = 10;
    PutDouble(b, 78, 8.5);
    PutDouble(b, 86, 11.0);
    PutShortStr(b, 94, 20, "Custom");
    b[115] = 0;

    TLabelLayout l;
    std::string why;
    ASSERT_TRUE(TLabelLayout::FromBytes(b, l, why)) << why;
    EXPECT_EQ(l.Name, "Avery5160");
    EXPECT_EQ(l.Units, 1);
    EXPECT_EQ(l.SpacingTop, 0.5);
    EXPECT_EQ(l.SpacingLeft, 0.1875);
    EXPECT_EQ(l.VertPitch, 1.0);
    EXPECT_EQ(l.HorzPitch, 2.75);
    EXPECT_EQ(l.LabelHeight, 1.0);
    EXPECT_EQ(l.LabelWidth, 2.625);
    EXPECT_EQ(l.HorzShift, 0.03);
    EXPECT_EQ(l.VertShift, -0.02);
    EXPECT_EQ(l.NumAcross, 3);
    EXPECT_EQ(l.NumDown, 10);
    EXPECT_EQ(l.PageWidth, 8.5);
    EXPECT_EQ(l.PageHeight, 11.0);
    EXPECT_EQ(l.PaperName, "Custom");
    EXPECT_FALSE(l.Portrait);

    std::uint8_t back[TLabelLayout::kSize];
    l.ToBytes(back);
    EXPECT_EQ(std::memcmp(b, back, sizeof b), 0);
}

TEST(LabelLayoutRecord, CustomLayoutsLiveInTheirConfigurationBytes)
{
    TConfigRecord cfg;
    EXPECT_EQ(CustomLabelLayout(cfg, 0).Name, "Custom1");
    EXPECT_EQ(CustomLabelLayout(cfg, 1).Name, "Custom2");
    TLabelLayout l = Sheet5160();
    l.Name = "Custom2";
    SetCustomLabelLayout(cfg, 1, l);
    EXPECT_EQ(CustomLabelLayout(cfg, 1), l);
    // At 5864: the name, then the doubles from byte 12 of the record on.
    EXPECT_EQ(GetShortStr(cfg.Bytes(), 5864, 10), "Custom2");
    EXPECT_EQ(GetDouble(cfg.Bytes(), 5864 + 52), 2.625);
    EXPECT_EQ(cfg.Bytes()[5864 + 76], 3);
    EXPECT_EQ(CustomLabelLayout(cfg, 0).Name, "Custom1");  // Custom1 at 5748 untouched

    TLabelSettings s = TLabelSettings::FromConfig(cfg);
    s.CallFont = {"Times New Roman", 14, 0x0000FF, true, false};
    s.MaxQsos = 4;
    s.Commercial = true;
    s.CurrentLayout = 3;
    s.ToConfig(cfg);
    EXPECT_EQ(GetShortStr(cfg.Bytes(), 4476, 40), "Times New Roman");
    EXPECT_EQ(cfg.Bytes()[4476 + 41], 14);
    EXPECT_EQ(cfg.Bytes()[4580], 4);
    EXPECT_EQ(cfg.Bytes()[4582], 1);
    const TLabelSettings back = TLabelSettings::FromConfig(cfg);
    EXPECT_EQ(back.CallFont.Name, "Times New Roman");
    EXPECT_EQ(back.CallFont.Color, 0x0000FFu);
    EXPECT_EQ(back.CurrentLayout, 3);
    EXPECT_EQ(back.Greeting[0], "@@ 73 de ~");
}

TEST(LabelLayoutFile, MissingOrEmptyFileGivesTheTwoCustomLayouts)
{
    TempDir dir;
    TConfigRecord cfg;
    for (bool create : {false, true}) {
        if (create)
            WriteFile(dir.file("KORVAL.LAB"), {});
        const TLabelLayoutList list = LoadLabelLayouts(dir.file("KORVAL.LAB"), cfg);
        ASSERT_EQ(list.Count(), 2);
        EXPECT_EQ(list.Layouts[0].Name, "Custom1");
        EXPECT_EQ(list.Layouts[1].Name, "Custom2");
        EXPECT_TRUE(list.Problems.empty());
    }
}

TEST(LabelLayoutFile, DamagedRecordsAreLeftOutAndReported)
{
    TempDir dir;
    std::vector<std::uint8_t> bytes;
    auto add = [&](const TLabelLayout& l, const std::function<void(std::uint8_t*)>& damage = {}) {
        std::uint8_t b[TLabelLayout::kSize];
        l.ToBytes(b);
        if (damage)
            damage(b);
        bytes.insert(bytes.end(), b, b + sizeof b);
    };
    TLabelLayout a = Sheet5160();
    a.Name = "First";
    TLabelLayout c = Sheet5160();
    c.Name = "Third";
    add(a);
    add(Sheet5160(), [](std::uint8_t* b) { b[0] = 200; });                    // name length beyond 10
    add(c);
    add(Sheet5160(), [](std::uint8_t* b) { PutDouble(b, 44, std::nan("")); }); // no number
    bytes.resize(bytes.size() + 50, 0);                                    // a cut-off record
    WriteFile(dir.file("KORVAL.LAB"), bytes);

    const TLabelLayoutList list = LoadLabelLayouts(dir.file("KORVAL.LAB"), TConfigRecord());
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Layouts[2], a);
    EXPECT_EQ(list.Layouts[3], c);
    ASSERT_EQ(list.Problems.size(), 3u);
    EXPECT_NE(list.Problems[0].find("Label layout 2"), std::string::npos);
    EXPECT_NE(list.Problems[1].find("Label layout 4"), std::string::npos);
    EXPECT_NE(list.Problems[2].find("50 bytes"), std::string::npos);
}

TEST(LabelLayoutFile, ShippedSheetsLoadAndFitTheirPages)
{
    const TLabelLayoutList list = LoadLabelLayouts(KORVAL_SOURCE_DIR "/data/SAVE/KORVAL.LAB", TConfigRecord());
    EXPECT_TRUE(list.Problems.empty()) << list.Problems.front();
    ASSERT_GT(list.Count(), 2);
    for (int i = 2; i < list.Count(); ++i) {
        const TLabelLayout& l = list.Layouts[static_cast<std::size_t>(i)];
        double w = 0, h = 0;
        ASSERT_TRUE(LabelPageSize(l, w, h)) << l.Name;
        EXPECT_EQ(ValidateLabelLayout(l, w, h), "") << l.Name;
    }
}

TEST(LabelLayoutChecks, LayoutsThatCannotPrintAreRefusedWithTheReason)
{
    struct Case {
        const char* what;
        std::function<void(TLabelLayout&)> change;
        const char* message;  // empty: accepted
    };
    const Case cases[] = {
        {"the sheet", [](TLabelLayout&) {}, ""},
        {"no labels across", [](TLabelLayout& l) { l.NumAcross = 0; }, "no labels across or down"},
        {"no labels down", [](TLabelLayout& l) { l.NumDown = 0; }, "no labels across or down"},
        {"zero pitch down", [](TLabelLayout& l) { l.VertPitch = 0; }, "pitch of zero"},
        {"zero pitch across", [](TLabelLayout& l) { l.HorzPitch = 0; }, "pitch of zero"},
        {"zero pitch, one column", [](TLabelLayout& l) { l.NumAcross = 1; l.HorzPitch = 0; }, ""},
        {"no label width", [](TLabelLayout& l) { l.LabelWidth = 0; }, "width or height of zero"},
        {"off the right", [](TLabelLayout& l) { l.HorzPitch = 3; }, "inches wide"},
        {"off the bottom", [](TLabelLayout& l) { l.NumDown = 11; }, "inches high"},
        {"shifted off", [](TLabelLayout& l) { l.VertShift = 0.6; }, "inches high"},
        {"landscape", [](TLabelLayout& l) { l.Portrait = false; }, "inches high"},
        {"custom paper fits", [](TLabelLayout& l) { l.PaperName = "Custom"; l.PageWidth = 8.5; l.PageHeight = 11; }, ""},
        {"custom paper too small", [](TLabelLayout& l) { l.PaperName = "Custom"; l.PageWidth = 8; l.PageHeight = 11; }, "inches wide"},
    };
    for (const Case& c : cases) {
        TLabelLayout l = Sheet5160();
        c.change(l);
        double w = 0, h = 0;
        LabelPageSize(l, w, h);
        const std::string message = ValidateLabelLayout(l, w, h);
        if (*c.message)
            EXPECT_NE(message.find(c.message), std::string::npos) << c.what << ": " << message;
        else
            EXPECT_EQ(message, "") << c.what;
    }
    double w = 0, h = 0;
    TLabelLayout a4 = Sheet5160();
    a4.PaperName = "a4";
    EXPECT_TRUE(LabelPageSize(a4, w, h));
    EXPECT_NEAR(h, 11.69, 0.01);
    a4.PaperName = "Napkin";
    EXPECT_FALSE(LabelPageSize(a4, w, h));
    // The lengths in a reason have a point on every desktop.
    for (const char* locale : test::kDesktopLocales) {
        test::ScopedLocale scoped(locale);
        ASSERT_TRUE(scoped.Ok()) << locale << " is not installed (scripts/deps.sh generates it)";
        TLabelLayout wide = Sheet5160();
        wide.HorzPitch = 3;
        LabelPageSize(wide, w, h);
        EXPECT_NE(ValidateLabelLayout(wide, w, h).find("inches wide, the page only 8.500."), std::string::npos) << locale;
    }
}

TEST(LabelGeometry, RectanglesFollowTheLayoutAndItsShifts)
{
    TLabelLayout l = Sheet5160();
    l.HorzShift = 0.05;
    l.VertShift = -0.1;
    const TLabelRect r = LabelRectAt(l, 3, 2);
    EXPECT_DOUBLE_EQ(r.X, 0.1875 + 2.75 + 0.05);
    EXPECT_DOUBLE_EQ(r.Y, 0.5 + 2 * 1.0 - 0.1);
    EXPECT_DOUBLE_EQ(r.Width, 2.625);
    EXPECT_DOUBLE_EQ(r.Height, 1.0);
}

TEST(LabelGeometry, PositionsRunDownThePageFirst)
{
    TLabelLayout l = Sheet5160();
    l.NumDown = 8;
    TLabelPositions p(l);
    std::vector<TLabelPosition> got;
    for (int i = 0; i < 25; ++i)
        got.push_back(p.Next());
    EXPECT_EQ(got[0], (TLabelPosition{1, 1, 1}));
    EXPECT_EQ(got[7], (TLabelPosition{1, 8, 1}));
    EXPECT_EQ(got[8], (TLabelPosition{1, 1, 2}));   // the ninth label begins column two
    EXPECT_EQ(got[23], (TLabelPosition{1, 8, 3}));
    EXPECT_EQ(got[24], (TLabelPosition{2, 1, 1}));  // then a new page
}

namespace {

// A log of label QSOs; country 9 has no QSL bureau.
class LabelQueueTest : public ::testing::Test {
protected:
    TQsoRecord* Add(const char* call, int country, int route, bool label = true, bool qsl = false, int time = 0)
    {
        return AddLabelQso(log, call, country, route,
                           static_cast<std::uint8_t>((label ? qfLabelToPrint : 0) | (qsl ? qfQslReceived : 0)), 40000, time);
    }
    TLabelLookups Lookups() const
    {
        TLabelLookups l;
        l.HasBureau = [](int country) { return country != 9; };
        l.CountryOf = [](const std::string&, const TQsoRecord& q) { return int(q.Country); };
        l.ManagerOf = [](const TQsoRecord&) { return std::string(); };
        return l;
    }
    std::vector<std::string> Calls(const TLabelQueue& q) const
    {
        std::vector<std::string> c;
        for (const TQsoRecord* r : q.List())
            c.push_back(r->Call.str());
        return c;
    }
    TQsoData log{"LABELS.KVL"};
};

} // namespace

TEST_F(LabelQueueTest, SelectionOrderAndMissingCount)
{
    Add("DL1AA", 1, qrBuro);
    Add("VK9XX", 9, qrBuro);  // a country without bureau: missing
    Add("F5AB", 2, qrDirect);
    Add("G3ZZ", 3, qrMoney);
    Add("K1NL", 3, qrBuro, false);  // no label flag
    Add("OH2A", 4, qrNone);
    TLabelQueue q(log, lkLabelFlag, Lookups());
    q.Build({});
    EXPECT_EQ(Calls(q), (std::vector<std::string>{"G3ZZ", "F5AB", "DL1AA", "VK9XX", "OH2A"}));
    EXPECT_EQ(q.Missing(), 1);
    EXPECT_EQ(q.CountText(), "Printing 5 QSOs");

    TLabelChoice buro;
    buro.Method = qrBuro;
    q.Build(buro);
    EXPECT_EQ(Calls(q), (std::vector<std::string>{"DL1AA", "VK9XX"}));
    TLabelChoice ignore;
    ignore.AltMethod = qrIgnore;
    q.Build(ignore);
    EXPECT_EQ(q.CountText(), "Printing 4 QSOs");
}

TEST_F(LabelQueueTest, ReRoutingAndIgnoreReachTheLogOnlyWhenCommitted)
{
    TQsoRecord* dl = Add("DL1AA", 1, qrBuro);
    TQsoRecord* vk = Add("VK9XX", 9, qrBuro);
    TQsoRecord* vk2 = Add("VK9YY", 9, qrBuro);
    log.SetFlags(false, false);
    TLabelQueue q(log, lkLabelFlag, Lookups());
    TLabelChoice direct;
    direct.AltMethod = qrDirect;
    q.Build(direct);
    q.PlanRun();
    EXPECT_EQ(q.RouteOf(*vk), qrDirect);
    EXPECT_EQ(vk->QslRoute, qrBuro);  // planned only
    EXPECT_EQ(Calls(q), (std::vector<std::string>{"VK9XX", "VK9YY", "DL1AA"}));  // Direct first
    EXPECT_FALSE(log.Modified());
    q.CommitRun();
    EXPECT_EQ(vk->QslRoute, qrDirect);
    EXPECT_EQ(vk2->QslRoute, qrDirect);
    EXPECT_EQ(dl->QslRoute, qrBuro);
    EXPECT_TRUE(log.Modified());

    log.SetFlags(false, false);
    TQsoRecord* vk3 = Add("VK9ZZ", 9, qrBuro);
    TLabelChoice ignore;
    ignore.AltMethod = qrIgnore;
    q.Build(ignore);
    q.PlanRun();
    EXPECT_EQ(Calls(q), (std::vector<std::string>{"VK9XX", "VK9YY", "DL1AA"}));
    EXPECT_TRUE(vk3->HasFlag(qfLabelToPrint));
    q.CommitRun();
    EXPECT_FALSE(vk3->HasFlag(qfLabelToPrint));
}

TEST_F(LabelQueueTest, SequenceLabelsFollowTheSequenceNumber)
{
    Add("DL1AA", 1, qrBuro, false)->SeqPrtNr = 3;
    Add("F5AB", 2, qrBuro, false)->SeqPrtNr = 1;
    Add("G3ZZ", 3, qrBuro, true);  // no sequence number
    TLabelQueue q(log, lkSequence, Lookups());
    q.Build({});
    EXPECT_EQ(Calls(q), (std::vector<std::string>{"F5AB", "DL1AA"}));
}
