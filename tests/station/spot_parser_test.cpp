#include <gtest/gtest.h>

#include <string>

#include "logbook/base/day_number.h"
#include "station/spot_line_queue.h"
#include "station/spot_parser.h"
#include "test_support.h"

using namespace korval;

namespace {

// 2025-01-25 12:00 UTC: dates without a year take 2025.
class FixedClock {
public:
    FixedClock() { SetUtcClockSource([] { return std::int64_t{1737806400}; }); }
    ~FixedClock() { SetUtcClockSource({}); }
};

struct LineCase {
    const char* name;
    const char* line;
    bool spot;
    double freq = 0;
    const char* call = "";
    const char* spotter = "";
    int time = NoSpotTime;
    int y = 0, m = 0, d = 0;  // 0: no date
    const char* remarks = "";
    double qsx = 0;
};


// Where the lines come from:
//  [dh1tw] DXSpider/AR-Cluster node output kept as fixtures in dh1tw/DX-Cluster-Parser, testing.py
//  [rbn]   Reverse Beacon Network telnet lines quoted in public logger sources on GitHub
//          (a Pascal contest logger's comments and a Go RBN client's comments)
//  [cc]    CC Cluster node lines with the trailing locator, quoted in a public Python test script
//  [hamclock] HamClock's cluster parser comment (generic cluster server)
//  [kisset] prowl/kisset DXSpot.java comment (a DXSpider FT8 line with no time field)
//  [layout] show/dx listing lines written in DXSpider's and AR-Cluster's column layout
//  Talk/WWV/WCY lines: [dh1tw] fixtures and a DXSpider PC93 formatter's test.
const LineCase kLines[] = {
    {"dh1tw_1", "DX de CT3FW:     21004.8  HC2AO        599 TKS(CW)QSL READ,QRZ.COM    2132Z", true, 21004.8, "HC2AO",
     "CT3FW", 21 * 60 + 32, 0, 0, 0, "599 TKS(CW)QSL READ,QRZ.COM"},
    {"dh1tw_2", "DX de DL6NAA: 10368887.0  DL7VTX/B     55s in JO50VFjo62 never hrd B4 1505Z", true, 10368887.0,
     "DL7VTX/B", "DL6NAA", 15 * 60 + 5, 0, 0, 0, "55S IN JO50VFJO62 NEVER HRD B4"},
    {"dh1tw_3", "DX de CT3FW:     21004.8  IDIOT        599 TKS(CW)QSL READ,QRZ.COM    2132Z", true, 21004.8, "IDIOT",
     "CT3FW", 1292, 0, 0, 0, "599 TKS(CW)QSL READ,QRZ.COM"},
    {"dh1tw_4_locator_after_time", "DX de OK1TEH:   144000.0  C0NTEST      -> www.darkside.cz/qrv.php     1328Z JO70",
     true, 144000.0, "C0NTEST", "OK1TEH", 13 * 60 + 28, 0, 0, 0, "-> WWW.DARKSIDE.CZ/QRV.PHP"},
    {"dh1tw_5", "DX de DK7UK:     50099.0  EA5/ON4CAU   JN48QT<ES>IM98 QRP 5W LOOP ANT 1206Z", true, 50099.0, "EA5/ON4CAU",
     "DK7UK", 726, 0, 0, 0, "JN48QT<ES>IM98 QRP 5W LOOP ANT"},
    {"dh1tw_6", "DX de UA3ZBK:    14170.0  UR8EW/QRP    POWER 2-GU81+SPYDER            1211Z", true, 14170.0, "UR8EW/QRP",
     "UA3ZBK", 731, 0, 0, 0, "POWER 2-GU81+SPYDER"},
    {"dh1tw_7_no_colon", "DX de 9K2/K2SES  14205.0  DK0HY                                       0921Z", false},
    {"dh1tw_8_no_blank", "DX de DK1CS:9330368887.0  DL7VTX/B                                    1505Z", true, 9330368887.0,
     "DL7VTX/B", "DK1CS", 905},
    {"dh1tw_9_four_char_freq", "DX de DH1TW:        23.0  DS1TW                                       1505Z", true, 23.0, "DS1TW",
     "DH1TW", 905},
    {"dh1tw_10_no_colon", "DX de DH1TW    234.0  DS1TW                                          1505Z", false},
    {"dh1tw_11", "DX de DH1TW:       234.0  DS1TW                                       1505Z", true, 234.0, "DS1TW", "DH1TW", 905},
    {"dh1tw_12", "DX de DH1TW:     50105.0  ZD6DYA                                      1505Z", true, 50105.0, "ZD6DYA", "DH1TW", 905},
    {"rbn_w1nt_node_suffix", "DX de W1NT-6-#:  14045.0  V3MIWTJ      CW 16 dB 21 WPM CQ             1208Z", true, 14045.0,
     "V3MIWTJ", "W1NT-6-#", 728, 0, 0, 0, "CW 16 DB 21 WPM CQ"},
    {"rbn_w3lpl", "DX de W3LPL-#:   14010.6  SM5DYC       CW 14 dB 22 WPM CQ             1208Z", true, 14010.6, "SM5DYC",
     "W3LPL-#", 728, 0, 0, 0, "CW 14 DB 22 WPM CQ"},
    {"rbn_g4zfe", "DX de G4ZFE-#: 10111.0 LZ2PC CW 11 dB 22 WPM CQ 1928Z", true, 10111.0, "LZ2PC", "G4ZFE-#", 19 * 60 + 28, 0, 0,
     0, "CW 11 DB 22 WPM CQ"},
    {"cc_locator_and_zone", "DX de DJ5LA:     24891.0  VP2VI        QSX 24892.30  CW                FK78 1442Z JO44", true,
     24891.0, "VP2VI", "DJ5LA", 14 * 60 + 42, 0, 0, 0, "QSX 24892.30  CW                F", 24892.3},
    {"cc_usb", "DX de KC1LAA:    28471.0  CX7RM        USB                           14 1442Z  8", true, 28471.0, "CX7RM",
     "KC1LAA", 882, 0, 0, 0, "USB                           14"},
    {"hamclock", "DX de KD0AA:     18100.0  JR1FYS       FT8 LOUD in FL!                2156Z EL98", true, 18100.0, "JR1FYS",
     "KD0AA", 21 * 60 + 56, 0, 0, 0, "FT8 LOUD IN FL!"},
    {"kisset_no_time", "DX de G4ABC:     14074.0  EA1AHA        FT8   0 dB  1236 Hz", false},
    // Listing lines (show/dx): frequency, call, date, time, remarks, spotter in angle brackets.
    {"layout_spider_listing", "  14195.0 HC2AO       25-Jan-2025 2132Z 599 TKS QSL READ  <CT3FW>", true, 14195.0, "HC2AO",
     "CT3FW", 1292, 2025, 1, 25, "599 TKS QSL READ"},
    {"layout_spider_one_digit_day", "   7005.0 VP8LP        5-Jan-2025 0101Z up 2            <G3SXW>", true, 7005.0, "VP8LP",
     "G3SXW", 61, 2025, 1, 5, "UP 2", 7007.0},
    {"layout_two_digit_year", "  21025.0 JY4CI       24-Dec-24 2359Z                   <DL1ABC-2>", true, 21025.0, "JY4CI",
     "DL1ABC-2", 1439, 2024, 12, 24, ""},
    {"layout_numeric_date", "  14025.0 K1ABC       25/01/2025 1234Z cq contest      <W1AW>", true, 14025.0, "K1ABC", "W1AW", 754,
     2025, 1, 25, "CQ CONTEST"},
    {"layout_month_first", "  14025.0 K1ABC       Jan 25 2025 1234Z cq             <W1AW>", true, 14025.0, "K1ABC", "W1AW", 754,
     2025, 1, 25, "CQ"},
    {"layout_no_year_takes_clock_year", "  14025.0 K1ABC       25-Jan 1234Z cq           <W1AW>", true, 14025.0, "K1ABC", "W1AW",
     754, 2025, 1, 25, "CQ"},
    // Talk, bulletins and node chatter: never spots.
    {"talk_to_all", "To ALL de IK8CNT: UA4WHX pse beaming south        ", false},
    {"talk_to_all_2", "To ALL de DL5ML: to DX0HQ pse lsn for EU        ", false},
    {"talk_pc93", "To ALL de IZ7AUH-6: hello", false},
    {"wwv", "WWV de VE7CC <09>:   SFI=113, A=18, K=2, Minor w/G1 -> No Storms", false},
    {"wwv_2", "WWV de W0MU <18Z> : SFI=163, A=9, K=3, No Storms -> No Storms", false},
    {"wcy", "WCY de DK0WCY-2 <20> : K=3 expK=3 A=23 R=88 SFI=113 SA=eru GMF=min Au=no", false},
    {"node_chatter", "Local users: 518", false},
    {"node_chatter_2", "To see FT8 spots you MUST enter SET/FT8", false},
    // Shapes the templates are defined by.
    {"qsx_up_offset", "DX de W1AW:     14025.0  K1ABC        UP 2                     1234Z", true, 14025.0, "K1ABC", "W1AW", 754,
     0, 0, 0, "UP 2", 14027.0},
    {"qsx_absolute", "DX de W1AW:     14195.0  K1ABC        QSX 14225                1234Z", true, 14195.0, "K1ABC", "W1AW", 754,
     0, 0, 0, "QSX 14225", 14225.0},
    {"qsx_small_without_direction", "DX de W1AW:     14195.0  K1ABC        QSX 5                    1234Z", true, 14195.0,
     "K1ABC", "W1AW", 754, 0, 0, 0, "QSX 5", 5.0},
    {"qsx_keyword_order", "DX de W1AW:     14195.0  K1ABC        UP 5 QSX 14230           1234Z", true, 14195.0, "K1ABC", "W1AW",
     754, 0, 0, 0, "UP 5 QSX 14230", 14230.0},
    {"qsx_down", "DX de W1AW:     3795.0  K1ABC        dn 5                    1234Z", true, 3795.0, "K1ABC", "W1AW", 754, 0, 0,
     0, "DN 5", 3790.0},
    {"no_time_fits_none", "DX de W1AW:     14025.0  K1ABC        UP 2", false},
    {"dx_template_ends_after_freq", "DX K1ABC 14025.0", true, 14025.0, "K1ABC"},
    {"dx_template_with_remarks", "DX K1ABC 14025.0 cq cq", true, 14025.0, "K1ABC", "", NoSpotTime, 0, 0, 0, "CQ CQ"},
    {"eight_chars", "DX K1A 1", false},
    {"nine_chars_tried", "DX KA1 14", false},
    {"freq_three_chars", "DX de W1AW:     7.0  K1ABC        cq                1234Z", false},
    {"freq_four_chars", "DX de W1AW:     14.0  K1ABC        cq                1234Z", true, 14.0, "K1ABC", "W1AW", 754, 0, 0, 0,
     "CQ"},
    {"call_thirteen_chars", "DX de W1AW:     14025.0  VP2E/DL2001IRT cq          1234Z", false},
    {"call_twelve_chars", "DX de W1AW:     14025.0  VP2E/DL2001I cq            1234Z", true, 14025.0, "VP2E/DL2001I", "W1AW",
     754, 0, 0, 0, "CQ"},
    {"call_two_chars", "DX de W1AW:     14025.0  K1        cq                 1234Z", false},
    {"call_digits_only", "DX de W1AW:     14025.0  12345        cq             1234Z", false},
    {"lower_case_line", "dx de w1aw:     14025.0  k1abc        cq             1234z", true, 14025.0, "K1ABC", "W1AW", 754, 0, 0,
     0, "CQ"},
    // Refused values: the line is then no spot.
    {"time_9999", "DX de W1AW:     14025.0  K1ABC        cq             9999Z", false},
    {"time_2360", "DX de W1AW:     14025.0  K1ABC        cq             2360Z", false},
    {"date_99_99", "  14025.0 K1ABC       99/99/2025 1234Z cq      <W1AW>", false},
    {"date_31_feb", "  14025.0 K1ABC       31-Feb-2025 1234Z cq      <W1AW>", false},
    {"freq_dotted_quad", "DX de W1AW:     1.2.3.4  K1ABC        cq             1234Z", false},
    // A month name in the remarks is no date: the date element here is numeric.
    {"month_word_in_remarks", "  14025.0 K1ABC       25/01/2025 1234Z DECENT SIGS    <W1AW>", true, 14025.0, "K1ABC", "W1AW",
     754, 2025, 1, 25, "DECENT SIGS"},
};

class SpotLines : public ::testing::TestWithParam<LineCase> {};

// Under every desktop locale: the frequencies on a cluster's lines have a point, whatever the
// desktop writes.
TEST_P(SpotLines, MapToFieldsOrAreNoSpot) {
    FixedClock clock;
    const LineCase& c = GetParam();
    for (const char* locale : test::kDesktopLocales) {
        test::ScopedLocale scoped(locale);
        ASSERT_TRUE(scoped.Ok()) << locale << " is not installed (scripts/deps.sh generates it)";
        SCOPED_TRACE(locale);
        TSpotParser parser;
        TSpotRecord s;
        ASSERT_EQ(parser.ParseLine(c.line, s), c.spot) << c.line;
        if (!c.spot) return;
        EXPECT_DOUBLE_EQ(s.frequency, c.freq);
        EXPECT_EQ(s.call, c.call);
        EXPECT_EQ(s.spotter, c.spotter);
        EXPECT_EQ(s.time, c.time);
        EXPECT_EQ(s.date, c.y ? EncodeDayNumber(c.y, c.m, c.d) : NoDate);
        EXPECT_EQ(s.remarks, c.remarks);
        EXPECT_NEAR(s.qsxFrequency, c.qsx, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(ClusterLines, SpotLines, ::testing::ValuesIn(kLines),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SpotParser, StarAcceptsAnyLineAndLongLinesAreCutSafely) {
    TSpotParser star({"DX|c|*", "", "", ""});
    TSpotRecord s;
    EXPECT_TRUE(star.ParseLine("DX K1ABC !!!! anything at all", s));
    EXPECT_EQ(s.call, "K1ABC");

    TSpotParser parser;
    std::string line300 = "DX de W1AW:     14025.0  K1ABC        " + std::string(300, 'X') + " 1234Z";
    EXPECT_FALSE(parser.ParseLine(line300, s));  // the time lies past the cut
    std::string head = "DX de W1AW:     14025.0  K1ABC        cq 1234Z ";
    EXPECT_TRUE(parser.ParseLine(head + std::string(10 * 1024, 'Y'), s));
    EXPECT_EQ(s.call, "K1ABC");
    EXPECT_EQ(s.remarks, "CQ");  // the time is found from the right, before the cut
    EXPECT_TRUE(parser.ParseLine(head + std::string(300, ' '), s));
    EXPECT_EQ(s.time, 754);
    EXPECT_EQ(s.remarks, "CQ");
    EXPECT_FALSE(parser.ParseLine(std::string(10 * 1024, ' '), s));
}

TEST(SpotLineQueue, DrainsABurstRoutesTalkAndDropsWhilePaused) {
    TSpotParser parser;
    int spots = 0, suspends = 0, resumes = 0;
    std::vector<std::string> talk;
    TSpotLineQueue q(parser, [&](const TSpotRecord&) { ++spots; }, [&](const std::string& l) { talk.push_back(l); });
    q.setUpdateSink([&](bool suspend) { (suspend ? suspends : resumes)++; });
    q.setTalkAction(1);
    for (int i = 0; i < 500; ++i) q.AddPendingLine("DX de W3LPL-#:   14010.6  SM5DYC       CW 14 dB 22 WPM CQ  1208Z");
    q.AddPendingLine("To ALL de IK8CNT: UA4WHX pse beaming south");
    q.ProcessPendingLines();
    EXPECT_EQ(spots, 500);
    ASSERT_EQ(talk.size(), 1u);
    EXPECT_EQ(suspends, 1);
    EXPECT_EQ(resumes, 1);
    EXPECT_EQ(q.pending(), 0u);

    q.setPaused(true);
    q.AddPendingLine("DX de W3LPL-#:   14010.6  SM5DYC       CW 14 dB 22 WPM CQ  1208Z");
    EXPECT_EQ(q.pending(), 0u);
    q.setPaused(false);
    q.setTalkAction(0);
    q.AddPendingLine("To ALL de IK8CNT: hello");
    q.ProcessPendingLines();
    EXPECT_EQ(talk.size(), 1u);  // talk action off: not handed on
}

} // namespace
