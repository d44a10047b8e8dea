// ADIF import: the byte-level fixture, the duplicate policies, prefix/zone reconciliation and
// the single-tag edge cases.
#include "exchange_fixture.h"

#include "exchange/adif_modes.h"
#include "exchange/adif_reader.h"
#include "exchange/import_common.h"
#include "exchange/import_context.h"
#include "logbook/bands_modes.h"
#include "logbook/configured_formats.h"

#include <cmath>
#include <cstdlib>

using namespace korval;
using namespace korval::test;

namespace {

std::string fixture() { return ReadAll(std::string(KORVAL_TEST_DATA) + "/mixed.adi"); }

std::string rec(const std::string& tags) { return tags + "<eor>\n"; }
std::string tag(const std::string& name, const std::string& value)
{
    return "<" + name + ":" + std::to_string(value.size()) + ">" + value;
}

} // namespace

// mixed.adi: five complete records (mixed-case tags, a typed date, CR/LF in a comment, FREQ after
// BAND, a 300-character note, four QSOs in one minute, FT8, 20230229) and a final one without EOR.
TEST_F(ExchangeTest, FixtureGivesExactRecordsNotesAndSummary)
{
    TQsoData log;
    TImportResult r = Import(log, fixture());
    ASSERT_EQ(log.Count(), 5);
    EXPECT_EQ(questions.policyQuestions, 0);  // an empty log asks nothing

    struct Want {
        const char* call;
        int time;
        int band, mode, rstS, rstR;
        const char* note;
    };
    const Want want[] = {
        {"K1AB", 12 * 3600, 5, mdCW, 599, 579, "Freq=14.025|line1|line2"},
        {"K1AB", 12 * 3600 + 1, 3, mdSSB, 59, 59, "Freq=99.9"},
        {"W1AW", 12 * 3600 + 2, 5, mdCW, 599, 599, ""},
        {"DL1X", 12 * 3600 + 3, 5, mdRTTY, 599, 599, "ADIF<MODE:3>FT8"},  // filed as digital, FT8 kept
        {"F5ABC", 13 * 3600, 5, mdCW, 599, 599, "Error:Date=20230229, Date=Empty"},
    };
    for (int i = 0; i < 5; ++i) {
        const TQsoRecord* q = log.At(i);
        SCOPED_TRACE(want[i].call);
        EXPECT_EQ(q->Call.str(), want[i].call);
        EXPECT_EQ(q->Date, i < 4 ? Day(2024, 1, 2) : Day(2024, 6, 1));
        EXPECT_EQ(q->Time, want[i].time);
        EXPECT_EQ(q->Band, want[i].band);
        EXPECT_EQ(q->Mode, want[i].mode);
        EXPECT_EQ(q->RstSent, want[i].rstS);
        EXPECT_EQ(q->RstRcvd, want[i].rstR);
        EXPECT_EQ(Note(q), want[i].note);
    }
    EXPECT_EQ(log.GetCallNote("K1AB"), "John");
    EXPECT_EQ(log.GetCallNote("W1AW"), std::string(255, 'x'));  // cut, and the next tags still read
    EXPECT_EQ(log.At(0)->Country, 3);
    EXPECT_EQ(log.At(0)->Zone, 5);
    EXPECT_EQ(r.Summary, "Import Finished\r\r"
                         "5 QSOs  read\r"
                         "No Simple error  processed\r"
                         "No Zone exception  processed\r"
                         "No Country exception processed\r"
                         "No Duplicate QSO  processed\r"
                         "No Exception record  added\r"
                         "One QSO with ADIF mode, report or band kept in the note\r\r"
                         "2 errors found\rLook for Error in Notefield");
}

TEST_F(ExchangeTest, ReimportWithIgnoreAddsNothingAndCountsAllAsDuplicates)
{
    TQsoData log;
    Import(log, fixture());
    questions.policies = {ipIgnore};
    TImportResult r = Import(log, fixture());
    EXPECT_EQ(questions.policyQuestions, 1);
    EXPECT_EQ(log.Count(), 5);
    EXPECT_EQ(r.Count.Duplicates, 5);
    EXPECT_EQ(r.Count.Added, 0);
    // The notes are not doubled either.
    EXPECT_EQ(log.GetCallNote("K1AB"), "John");
}

TEST_F(ExchangeTest, StopAtDuplicateKeepsEarlierQsosAndNamesTheExistingOne)
{
    TQsoData log;
    const std::string b = rec(tag("call", "K1AB") + tag("qso_date", "20240102") + tag("time_on", "120000") +
                              tag("band", "20m") + tag("mode", "CW"));
    Import(log, "<eoh>" + b);
    const std::string a = rec(tag("call", "W1AW") + tag("qso_date", "20240101") + tag("time_on", "100000") +
                              tag("band", "20m") + tag("mode", "CW"));
    const std::string c = rec(tag("call", "OE1A") + tag("qso_date", "20240103") + tag("time_on", "100000") +
                              tag("band", "20m") + tag("mode", "CW"));
    questions.policies = {ipWarnStop};
    TImportResult r = Import(log, "<eoh>" + a + b + c);
    EXPECT_TRUE(r.Stopped);
    ASSERT_EQ(log.Count(), 2);
    EXPECT_EQ(log.At(0)->Call.str(), "W1AW");
    EXPECT_EQ(r.Summary.rfind("Import aborted because of duplicate QSO\rCall = K1AB Date = " +
                                  FormatDayNumber(Day(2024, 1, 2)) + "\r\r2 QSOs  read",
                              0),
              0u)
        << r.Summary;
}

TEST_F(ExchangeTest, ReplacePolicySwapsTheExistingQso)
{
    TQsoData log;
    const std::string base = tag("call", "K1AB") + tag("qso_date", "20240102") + tag("time_on", "120000") +
                             tag("band", "20m") + tag("mode", "CW");
    Import(log, "<eoh>" + rec(base));
    questions.policies = {ipReplace};
    Import(log, "<eoh>" + rec(base + tag("gridsquare", "FN31pr")));
    ASSERT_EQ(log.Count(), 1);
    EXPECT_EQ(log.At(0)->Grid.str(), "FN31pr");
}

TEST_F(ExchangeTest, CancelledPolicyQuestionReadsNothing)
{
    TQsoData log;
    Import(log, fixture());
    questions.policies = {-1};
    TImportResult r = Import(log, fixture());
    EXPECT_TRUE(r.Cancelled);
    EXPECT_EQ(log.Count(), 5);
}

TEST_F(ExchangeTest, AcceptedZoneConflictAddsExceptionCallSoLaterQsosAgree)
{
    TQsoData log;
    const auto qso = [](const char* date) {
        return rec(tag("call", "DL9ZZ") + tag("qso_date", date) + tag("time_on", "100000") + tag("band", "20m") +
                   tag("mode", "CW") + tag("cqz", "15"));
    };
    questions.answers = {2};
    TImportResult r = Import(log, "<eoh>" + qso("20240101") + qso("20240301"));
    EXPECT_EQ(questions.conflictQuestions, 1);
    ASSERT_EQ(log.Count(), 2);
    EXPECT_EQ(log.At(0)->Zone, 15);
    EXPECT_EQ(log.At(1)->Zone, 15);
    EXPECT_EQ(r.Count.ExceptionRecords, 1);
    EXPECT_EQ(r.Count.ZoneExceptions, 1);
    EXPECT_EQ(Note(log.At(0)), "Error:OtherZone=14");
    EXPECT_EQ(Note(log.At(1)), "");
    EXPECT_EQ(ZoneOfCall("DL9ZZ", Day(2024, 5, 1)), 15);
}

TEST_F(ExchangeTest, KeptConflictNotesTheFilesPrefixAndCancelStops)
{
    TQsoData log;
    const std::string q1 = rec(tag("call", "DL9ZZ") + tag("qso_date", "20240101") + tag("time_on", "100000") +
                               tag("band", "20m") + tag("mode", "CW") + tag("cqz", "15"));
    const std::string q2 = rec(tag("call", "F5ZZ") + tag("qso_date", "20240102") + tag("time_on", "100000") +
                               tag("band", "20m") + tag("mode", "CW") + tag("cqz", "16"));
    questions.answers = {1, 0};
    TImportResult r = Import(log, "<eoh>" + q1 + q2);
    ASSERT_EQ(log.Count(), 1);
    EXPECT_EQ(log.At(0)->Zone, 14);
    EXPECT_EQ(Note(log.At(0)), "Error:OtherZone=15");
    EXPECT_TRUE(r.Stopped);
}

TEST_F(ExchangeTest, RecordWithoutCallIsNotImportedButNamedInTheSummary)
{
    TQsoData log;
    TImportResult r = Import(log, "<eoh>" + rec(tag("qso_date", "20240102") + tag("time_on", "0815") + tag("band", "20m") +
                                                tag("mode", "CW")) +
                                      rec(tag("call", "K1AB") + tag("qso_date", "20240102") + tag("band", "20m") +
                                          tag("mode", "CW")));
    EXPECT_EQ(log.Count(), 1);
    EXPECT_EQ(r.Count.NoCall, 1);
    EXPECT_NE(r.Summary.find("No errors found\r\rOne record without callsign not imported:\rRecord 1 Date=" +
                             FormatDayNumber(Day(2024, 1, 2)) + " Time=08:15"),
              std::string::npos)
        << r.Summary;
}

TEST_F(ExchangeTest, FileStartingWithATagHasNoHeader)
{
    TQsoData log;
    Import(log, rec(tag("call", "K1AB") + tag("qso_date", "20240102") + tag("band", "20m") + tag("mode", "CW")));
    EXPECT_EQ(log.Count(), 1);
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(ExchangeTest, FileWithoutHeaderTagImportsNothing)
{
    TQsoData log;
    TImportResult r = Import(log, "just text " + rec(tag("call", "K1AB")));
    EXPECT_TRUE(r.HeaderMissing);
    EXPECT_EQ(log.Count(), 0);
    EXPECT_EQ(r.Count.Read, 0);
}

// One record per row: the tags after the call, what the QSO gets, and its note.
struct TagCase {
    const char* tags;
    const char* field;  // what is checked
    std::string expected;
};

class AdifTagTable : public ExchangeTest, public ::testing::WithParamInterface<TagCase> {};

TEST_P(AdifTagTable, TagGivesValue)
{
    TQsoData log;
    const TagCase& c = GetParam();
    Import(log, "<eoh><call:4>K1AB<qso_date:8>20240102" + std::string(c.tags) + "<eor>");
    ASSERT_EQ(log.Count(), 1);
    const TQsoRecord* q = log.At(0);
    std::string f = c.field, got;
    if (f == "band") got = std::to_string(q->Band);
    else if (f == "mode") got = std::to_string(q->Mode);
    else if (f == "note") got = Note(q);
    else if (f == "qslsent") got = std::to_string(q->QslSentDate);
    else if (f == "rsts") got = std::to_string(q->RstSent);
    else if (f == "iota") got = q->Iota.str();
    else if (f == "time") got = std::to_string(q->Time);
    else if (f == "county") got = std::to_string(q->State) + "/" + std::to_string(q->County);
    else if (f == "call") got = q->Call.str() + (q->HasFlag(qfValidForAwards) ? "" : " invalid");
    EXPECT_EQ(got, c.expected) << c.tags;
}

INSTANTIATE_TEST_SUITE_P(
    Tags, AdifTagTable,
    ::testing::Values(
        TagCase{"<band:3>20m<mode:2>CW", "band", "5"},
        TagCase{"<band:4>AO13<mode:2>CW", "band", "15"},
        TagCase{"<band:5>1.25m<mode:2>CW", "band", "12"},
        TagCase{"<band:4>70CM<mode:2>CW", "band", "13"},
        TagCase{"<band:3>xyz<mode:2>CW", "note", "Error:Band=xyz"},
        TagCase{"<freq:0><band:3>40m<mode:2>CW", "band", "3"},          // empty FREQ: BAND stands
        TagCase{"<freq:3>abc<band:3>40m<mode:2>CW", "band", "3"},       // unreadable FREQ: BAND stands
        TagCase{"<band:3>40m<freq:5>14.02<mode:2>CW", "band", "5"},     // a good FREQ wins
        TagCase{"<freq:3>abc<mode:2>CW", "note", "Error:Band=abc|Freq=abc"},
        // FREQ in Hz (Cloudlog) or kHz: read as MHz where that unit, and only it, gives the BAND.
        TagCase{"<band:3>20m<freq:8>14070000<mode:2>CW", "note", "Freq=14.070000"},
        TagCase{"<freq:8>14070000<band:3>20m<mode:2>CW", "band", "5"},
        TagCase{"<freq:8>14070000<mode:2>CW", "band", "5"},              // no BAND: Hz before kHz
        TagCase{"<band:3>20M<freq:5>14200<mode:2>CW", "note", "Freq=14.200"},
        TagCase{"<band:4>630m<freq:6>472500<mode:2>CW", "note", "ADIF<BAND:4>630m|Freq=0.472500"},
        TagCase{"<band:3>40m<freq:8>14070000<mode:2>CW", "note", "Freq=14070000"},  // Hz gives 20 m
        TagCase{"<band:3>40m<freq:8>14070000<mode:2>CW", "band", "3"},
        TagCase{"<band:3>20m<freq:10>-556636544<mode:2>CW", "note", "Freq=-556636544"},
        TagCase{"<band:3>20m<prop_mode:3>SAT<mode:2>CW", "band", "15"},
        TagCase{"<band:3>20m<mode:3>PSK<submode:5>PSK31", "mode", "11"},
        TagCase{"<band:3>20m<submode:5>PSK31<mode:3>PSK", "mode", "11"},
        TagCase{"<band:3>20m<mode:3>PSK<submode:5>PSK63", "mode", "10"},
        TagCase{"<band:3>20m<mode:3>CLO", "mode", "3"},
        TagCase{"<band:3>20m<mode:3>PKT", "mode", "9"},
        TagCase{"<band:3>20m<mode:3>PAC", "mode", "12"},
        TagCase{"<band:3>20m<mode:3>TOR<submode:4>GTOR", "mode", "7"},
        TagCase{"<band:3>20m<mode:3>TOR", "mode", "8"},
        TagCase{"<band:3>20m<mode:3>SSB<submode:3>USB", "mode", "14"},
        TagCase{"<band:3>20m<mode:3>ATV<app_korval_mode:4>FSTV", "mode", "6"},
        TagCase{"<band:3>20m<mode:4>MFSK<submode:3>FT4", "note", "ADIF<MODE:4>MFSK<SUBMODE:3>FT4"},
        TagCase{"<band:3>20m<mode:4>MFSK<submode:3>FT4", "mode", "13"},
        TagCase{"<band:3>20m<mode:3>XYZ", "note", "Error:Mode=XYZ"},
        TagCase{"<band:3>20m<mode:2>CW<qsl_sent:1>R", "qslsent", "0"},
        TagCase{"<band:3>20m<mode:2>CW<qsl_sent:1>Y", "qslsent", std::to_string(Day(2024, 6, 1))},
        TagCase{"<band:3>20m<mode:2>CW<rst_sent:0>", "rsts", "0"},
        TagCase{"<band:3>20m<mode:2>CW<iota:6>eu-005", "iota", "EU005"},
        TagCase{"<band:3>20m<mode:2>CW<iota:4>EU-5", "iota", "EU005"},
        TagCase{"<band:3>20m<mode:2>CW<time_off:4>1300<time_on:4>1200", "time", "43200"},
        TagCase{"<band:3>20m<mode:2>CW<time_on:4>2500", "note", "Error:Time=2500, Time=Empty"},
        TagCase{"<band:3>20m<mode:2>CW<cnty:14>CA,Los Angeles", "county", "2/37"},
        TagCase{"<band:3>20m<mode:2>CW<cqz:2>41", "note", "Error:Zone=41"},
        TagCase{"<band:3>20m<mode:2>CW<dxcc:3>291", "note", ""},  // a number without a table is no error
        TagCase{"<band:3>20m<mode:2>CW<dxcc:2>ZZ", "note", "Error:Prefix=ZZ"}));

// The tag scanner: names upper-cased whatever their length or case (line breaks inside left
// out, cut to 64 characters), values taken as the length says, line breaks as '|'.
TEST(ReadADIFTag, NamesAndValues)
{
    auto scan = [](std::string_view text) {
        TImportContext ctx;
        ctx.Data = text;
        TADIFTag tag;
        std::string out;
        for (;;) {
            ReadADIFTag(ctx, tag);
            if (tag.name.empty() && ctx.AtEnd())
                return out;
            out.append(tag.name).append("=").append(tag.value).append(";");
        }
    };
    const std::string longName(70, 'x');
    const struct {
        std::string text, want;
    } cases[] = {
        {"<call:4>dl1a<Qso_Date:8:d>20240102 <eor>\n", "CALL=dl1a;QSO_DATE=20240102;EOR=;"},
        {"<app_korval_mode:3>Abc<APP_N3FJP_MYCALL:2>K1<a:1>z", "APP_KORVAL_MODE=Abc;APP_N3FJP_MYCALL=K1;A=z;"},
        {"<comm\r\nent:8>one\r\ntwo<eor>", "COMMENT=one|two;EOR=;"},
        {"text before <name:10>cut", "NAME=cut;"},
        {"<" + longName + ":1>v<eor>", std::string(64, 'X') + "=v;EOR=;"},
        {"<mode:2>CW<", "MODE=CW;"},
        {"<\xe9t\xe9:2>ok", "\xe9T\xe9=ok;"},
        {"<calls:2>AB<[{}@`~:1>q", "CALLS=AB;[{}@`~=q;"},
        // Control characters other than line breaks stay in the name; lengths of any width, with
        // blanks, or none; line breaks found anywhere in a long value, and at the file's end.
        {"<ca\tll:2>AB<x\x0b:1>y", "CA\tLL=AB;X\x0b=y;"},
        {"<comment:12>abcdef7890XY<notes:105>" + std::string(105, 'n') + "<call: 2 >K1<eor:0><x>",
         "COMMENT=abcdef7890XY;NOTES=" + std::string(105, 'n') + ";CALL=K1;EOR=;X=;"},
        {"<comment:14>abcdefghij\r\nkl<n:4>a\nb", "COMMENT=abcdefghij|kl;N=a|b;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scan(c.text), c.want) << c.text;
}

TEST_F(ExchangeTest, CallsignConversions)
{
    TQsoData log;
    Import(log, "<eoh><call:6>k1ab-p<qso_date:8>20240102<band:3>20m<mode:2>CW<eor>"
                "<call:9>DL1XYZ/MM<qso_date:8>20240103<band:3>20m<mode:2>CW<eor>");
    ASSERT_EQ(log.Count(), 2);
    EXPECT_EQ(log.At(0)->Call.str(), "K1AB/P");
    EXPECT_TRUE(log.At(0)->HasFlag(qfValidForAwards));
    EXPECT_EQ(log.At(1)->Call.str(), "DL1XYZ/MM");
    EXPECT_FALSE(log.At(1)->HasFlag(qfValidForAwards));
}

TEST_F(ExchangeTest, SixtiethQsoOfAMinuteStaysAt58Seconds)
{
    TQsoData log;
    std::string file = "<eoh>";
    for (int i = 0; i < 60; ++i)
        file += "<call:5>K1A" + std::string(1, char('A' + i % 26)) + std::string(1, char('A' + i / 26)) +
                "<qso_date:8>20240102<time_on:4>1200<band:3>20m<mode:2>CW<eor>\n";
    Import(log, file);
    ASSERT_EQ(log.Count(), 60);
    int maxSeconds = 0;
    for (const TQsoRecord* q : log.Qsos())
        maxSeconds = std::max(maxSeconds, q->Time - 12 * 3600);
    EXPECT_EQ(maxSeconds, 58);
}

TEST(AddToNote, ComparesWholeItems)
{
    TImportContext ctx;
    ctx.AddToNote("Band=20");
    ctx.AddToNote("Band=2");
    ctx.AddToNote("Band=20");
    EXPECT_EQ(ctx.Errors, "Band=20, Band=2, ");
    EXPECT_EQ(ctx.Count.ErrorItems, 2);
}

TEST(MergeNote, ComparesWholeNotes)
{
    std::string dest = "QSL via W1AW";
    MergeNote(dest, 255, "qsl", true);
    EXPECT_EQ(dest, "QSL via W1AW qsl");
    MergeNote(dest, 255, "QSL VIA W1AW QSL", true);
    EXPECT_EQ(dest, "QSL via W1AW qsl");
    std::string bars = "John|Boston";
    MergeNote(bars, 255, "BOSTON", true);
    EXPECT_EQ(bars, "John|Boston");
    std::string errs = "note";
    MergeNote(errs, 255, "Error:Band=xx", false);
    EXPECT_EQ(errs, "Error:Band=xx|note");
}

TEST(NoteFilters, StripRoutines)
{
    std::string s = "worked on 14.025 kHz today";
    StripKHzFreq(s);
    EXPECT_EQ(s, "worked on today");
    s = "x; Imported from LOG_2.ADI; y";
    StripImportFrom(s);
    EXPECT_EQ(s, "x; ; y");
    s = "a   b  c";
    RemoveDoubleBlanks(s);
    EXPECT_EQ(s, "a b c");
}

// Frequencies are read without strtod where they are plain decimals: every reading must be the
// one strtod gives, to the last bit, and what is no plain number still reads (or fails) as before.
// The band tables read by name and by frequency: band edges, neighbouring bands within one MHz,
// frequencies above 1 GHz, and values that are no band.
TEST(AdifBands, ByNameAndByFrequency)
{
    const struct {
        double mhz;
        const char* band;
    } byFrequency[] = {
        {0.1357, "2190m"}, {0.1356, ""},     {0.479, "630m"},      {0.5, ""},      {0.501, "560m"},
        {1.8, "160m"},     {2.0, "160m"},    {2.0001, ""},         {14.35, "20m"}, {54.0, "6m"},
        {54.0000005, ""},  {54.000001, "5m"}, {69.9, "5m"},        {1023.9, ""},   {1240.0, "23cm"},
        {1300.0, "23cm"},  {10368.0, "3cm"}, {7500000.0, "submm"}, {7500001.0, ""}, {-1.0, ""},
        {std::nan(""), ""},
    };
    for (const auto& c : byFrequency)
        EXPECT_STREQ(AdifBandOfFrequency(c.mhz), c.band) << c.mhz;
    int band = -1;
    EXPECT_STREQ(AdifBandOfFrequency(14.074, &band), "20m");
    EXPECT_EQ(band, 5);
    EXPECT_STREQ(AdifBandOfFrequency(5.357, &band), "60m");
    EXPECT_EQ(band, 0);

    const struct {
        std::string name;
        const char* band;
    } byName[] = {
        {"20M", "20m"}, {" 70CM ", "70cm"}, {"1.25CM", "1.25cm"}, {"SubMM", "submm"}, {"2190m", "2190m"},
        {std::string("20m\0", 4), ""}, {"20mm", ""}, {"", ""}, {"1.25cmx", ""}, {"2190meters", ""},
    };
    for (const auto& c : byName)
        EXPECT_STREQ(AdifBandCanonical(c.name), c.band) << c.name;

    EXPECT_EQ(DirectAdifMode("cw"), mdCW);
    EXPECT_EQ(DirectAdifMode("Rtty"), mdRTTY);
    EXPECT_EQ(DirectAdifMode("SSTV"), mdSSTV);
    const std::string_view others[] = {"SST", "CWX", "", "MFSK", std::string_view("CW\0", 3)};
    for (std::string_view other : others)
        EXPECT_EQ(DirectAdifMode(other), 0) << other;
}

TEST(ReadReal, PlainDecimalsReadAsStrtodOfTheCLocaleDoesInEveryDesktopLocale)
{
    // Plain decimals, then texts longer than the plain reading takes or not plain.
    const char* texts[] = {"14.025", "14.074123", "7.0", "0.1357", "144.300000", "24048.1", "14070000", "5.3570",
                           ".5", "14.", "123456789012345", "0.000000000000001", "  3.5  ", "1234567890123456.5",
                           "14.02500000000000001", "1e3", "-5.25", "+7.1"};
    for (const char* locale : kDesktopLocales) {
        ScopedLocale scoped(locale);
        ASSERT_TRUE(scoped.Ok()) << locale << " is not installed (scripts/deps.sh generates it)";
        SCOPED_TRACE(locale);
        for (const char* text : texts) {
            double got = 0;
            ASSERT_TRUE(ReadReal(text, got)) << text;
            EXPECT_EQ(got, CStrtod(text)) << text;
        }
        double v = 0;
        for (const char* bad : {"", ".", "1.2.3", "14,025", "14.0 MHz", "   "})
            EXPECT_FALSE(ReadReal(bad, v)) << bad;
    }
}
