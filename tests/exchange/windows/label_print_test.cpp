// QSL labels printed to PDF files and read back (the words' boxes from pdftotext, the outlines
// from pdftoppm): labels at their rectangles, skipped positions, one station on one label per
// QSL state; runs that are refused, cancelled or aborted leave every QSO of the log as it was.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

#include <cstring>
#include <filesystem>

#include "exchange/label_print.h"
#include "exchange/windows/label_print_run.h"
#include "exchange/windows/label_windows.h"
#include "exchange/windows/report_setup.h"
#include "logbook/config_record.h"
#include "logbook/qso_data.h"
#include "logbook/qso_record.h"
#include "pdf_pages.h"
#include "platform/message_dlg.h"
#include "reporting/report_system.h"
#include "test_support.h"
#include "tests/exchange/label_sheet.h"

using namespace korval;
using namespace korval::test;

namespace {

struct TWordBox {
    std::string Text;
    double X, Y;  // inches from the page's top-left corner
};

// Words of the first page with their top-left corners.
std::vector<TWordBox> WordBoxes(const std::string& pdf)
{
    std::vector<TWordBox> words;
    const QString html = QString::fromStdString(PdfText(pdf, "-bbox"));
    const int pageEnd = html.indexOf("</page>");
    static const QRegularExpression re(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
    auto it = re.globalMatch(html.left(pageEnd));
    while (it.hasNext()) {
        const auto m = it.next();
        words.push_back({m.captured(3).toStdString(), m.captured(1).toDouble() / 72, m.captured(2).toDouble() / 72});
    }
    return words;
}

class LabelPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = SetReportSetupAnswer([this](bool labels, TSetupChoice& c) {
            ++asked;
            askedForLabels = labels;
            c.Destination = rdFile;
            c.FileName = pdf;
            return answer;
        });
    }
    void TearDown() override { SetReportSetupAnswer(previous_); }

    TQsoRecord* Add(const std::string& call, int route = 1, bool qsl = false, int country = 1, int time = 0)
    {
        return AddLabelQso(log, call, country, route, static_cast<std::uint8_t>(qfLabelToPrint | (qsl ? qfQslReceived : 0)),
                           45000, time);
    }
    TLabelLookups Lookups() const
    {
        TLabelLookups l;
        l.HasBureau = [](int country) { return country != 9; };
        return l;
    }
    std::vector<std::string> PrintedCalls() const
    {
        std::vector<std::string> calls;
        for (const TQsoRecord* q : log.Qsos())
            if (q->LabelPrinted)
                calls.push_back(q->Call.str());
        return calls;
    }
    std::vector<std::string> Records() const
    {
        std::vector<std::string> r;
        for (const TQsoRecord* q : log.Qsos()) {
            std::string bytes(sizeof(TQsoRecord), '\0');
            std::memcpy(bytes.data(), q, sizeof(TQsoRecord));
            r.push_back(bytes);
        }
        return r;
    }
    TLabelRunResult Run(const TLabelLayout& layout, int skip = 0, TLabelChoice choice = {})
    {
        TLabelQueue queue(log, lkLabelFlag, Lookups());
        queue.Build(choice);
        return PrintQslLabels(queue, layout, TLabelSettings::FromConfig(TConfigRecord()), skip, nullptr);
    }

    TempDir dir;
    ScopedPdfPrinter pdfPrinter;
    ScopedMessageRecorder messages;
    std::string pdf = dir.file("labels.pdf");
    TQsoData log{"LABELS.KVL"};
    int asked = 0;
    bool askedForLabels = false;
    bool answer = true;

private:
    TReportSetupAnswer previous_;
};

} // namespace

TEST_F(LabelPrintTest, EachLabelBeginsInsideItsRectangle)
{
    for (int i = 0; i < 12; ++i)
        Add("K" + std::to_string(i % 10) + "A" + std::string(1, char('A' + i)), 1, false, 1, i * 60);
    TLabelLayout layout = Sheet5160();
    layout.HorzShift = 0.05;
    layout.VertShift = 0.04;
    const TConfigRecord saved = Config;
    Config.SetOwnCall("DL9XYZ");
    const TLabelRunResult r = Run(layout);
    Config = saved;
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(askedForLabels);
    ASSERT_TRUE(r.Printed) << (messages.texts().empty() ? "" : messages.texts()[0]);
    ASSERT_EQ(r.Placed.size(), 12u);
    EXPECT_EQ(r.PrintedQsos.size(), 12u);
    // Down the first column, then the second.
    EXPECT_EQ(r.Placed[9].Position, (TLabelPosition{1, 10, 1}));
    EXPECT_EQ(r.Placed[10].Position, (TLabelPosition{1, 1, 2}));

    const std::vector<TWordBox> words = WordBoxes(pdf);
    for (const TPlacedLabel& p : r.Placed) {
        const TLabelRect rect = LabelRectAt(layout, p.Position.Row, p.Position.Column);
        auto w = std::find_if(words.begin(), words.end(), [&](const TWordBox& b) { return b.Text == p.CallLine; });
        ASSERT_NE(w, words.end()) << p.CallLine;
        EXPECT_GT(w->X, rect.X) << p.CallLine;
        EXPECT_LT(w->X, rect.X + rect.Width) << p.CallLine;
        EXPECT_GT(w->Y, rect.Y) << p.CallLine;
        EXPECT_LT(w->Y, rect.Y + rect.Height / 2) << p.CallLine;
    }
    // Headings, the QSO line and the greeting of the first label.
    const std::string text = PdfText(pdf);
    for (const char* s : {"Date", "UTC", "Band", "RST", "2X", "599", "Pse QSL 73 de DL9XYZ"})
        EXPECT_NE(text.find(s), std::string::npos) << s;

    // Every position of the page is outlined, the empty ones too (top edge, 100 pixels an inch).
    const QImage page = RenderPdfPage(pdf, dir.path(), 1);
    ASSERT_FALSE(page.isNull());
    for (int row : {1, 10})
        for (int col : {1, 3}) {
            const TLabelRect rect = LabelRectAt(layout, row, col);
            const int x = int((rect.X + rect.Width / 2) * 100), y = int(rect.Y * 100);
            bool dark = false;
            for (int d = -2; d <= 2; ++d)
                dark = dark || qGray(page.pixel(x, y + d)) < 240;  // a hairline: light grey at 100 dpi
            EXPECT_TRUE(dark) << "outline of row " << row << ", column " << col;
        }
}

TEST_F(LabelPrintTest, SkippedPositionsStayEmpty)
{
    Add("W1AW");
    const TLabelRunResult r = Run(Sheet5160(), 5);
    ASSERT_EQ(r.Placed.size(), 1u);
    EXPECT_EQ(r.Placed[0].Position, (TLabelPosition{1, 6, 1}));
    const TLabelRect rect = LabelRectAt(Sheet5160(), 6, 1);
    const std::vector<TWordBox> words = WordBoxes(pdf);
    auto w = std::find_if(words.begin(), words.end(), [](const TWordBox& b) { return b.Text == "W1AW"; });
    ASSERT_NE(w, words.end());
    EXPECT_GT(w->Y, rect.Y);
    EXPECT_LT(w->Y, rect.Y + rect.Height);
}

TEST_F(LabelPrintTest, OneStationGoesOnOneLabelPerQslState)
{
    Add("DL1AA", 1, false, 1, 60);
    Add("DL1AA", 1, false, 1, 120);
    Add("DL1AA", 1, true, 1, 180);
    const TLabelRunResult r = Run(Sheet5160());
    ASSERT_EQ(r.Placed.size(), 2u);
    // Confirmed QSOs sort first.
    EXPECT_EQ(r.Placed[0].QsoLines, 1);
    EXPECT_EQ(r.Placed[1].QsoLines, 2);
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("Tnx QSL"), std::string::npos);
    EXPECT_NE(text.find("Pse QSL"), std::string::npos);
}

TEST_F(LabelPrintTest, RefusedCancelledOrAbortedRunsLeaveTheLogUnchanged)
{
    Add("DL1AA");
    Add("VK9XX", 1, false, 9);  // routed via the buro to a country without one
    Add("VK9YY", 1, false, 9);
    TLabelChoice choice;
    choice.AltMethod = qrDirect;  // a run that goes through re-routes the two VK9s
    log.SetFlags(false, false);
    const std::vector<std::string> before = Records();

    TLabelLayout zeroDown = Sheet5160();
    zeroDown.NumDown = 0;
    EXPECT_FALSE(Run(zeroDown, 0, choice).Printed);
    EXPECT_EQ(asked, 0);  // refused before anything is asked
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_NE(messages.texts()[0].find("no labels across or down"), std::string::npos);

    answer = false;
    EXPECT_FALSE(Run(Sheet5160(), 0, choice).Printed);
    answer = true;

    TLabelLayout tooLow = Sheet5160();
    tooLow.LabelHeight = 0.3;
    const TLabelRunResult aborted = Run(tooLow, 0, choice);
    EXPECT_FALSE(aborted.Printed);
    EXPECT_EQ(messages.texts().back(), kNoQsoFits);
    EXPECT_EQ(Records(), before);
    EXPECT_FALSE(log.Modified());

    // The same run on labels that fit goes through and re-routes.
    EXPECT_TRUE(Run(Sheet5160(), 0, choice).Printed);
    EXPECT_NE(Records(), before);
    EXPECT_TRUE(log.Modified());
}

TEST_F(LabelPrintTest, PositionsThatNeverFitStopAfterOnePage)
{
    Add("DL1AA");
    // Labels beyond the page's right edge: the check before printing would refuse them, so the
    // printer is run on its own.
    TLabelLayout off = Sheet5160();
    off.SpacingLeft = 9.0;
    TReportSystem report;
    TMyLabPr printer(off, TLabelSettings::FromConfig(TConfigRecord()), lkLabelFlag);
    TLabelQueue queue(log, lkLabelFlag, Lookups());
    queue.Build({});
    printer.Attach(report, TMyLabPr::FillFrom(queue));
    ASSERT_TRUE(RunReportSetup(true, report));
    report.Execute();
    EXPECT_TRUE(printer.Aborted());
    EXPECT_TRUE(printer.Placed().empty());
    ASSERT_FALSE(messages.texts().empty());
    EXPECT_EQ(messages.texts().back(), kNoQsoFits);
}

TEST_F(LabelPrintTest, PrintDialogCountsPrintsAndMarks)
{
    ScopedHome home(dir.path());
    const TConfigRecord saved = Config;
    TLabelLayout custom = Sheet5160();
    custom.Name = "Custom1";
    SetCustomLabelLayout(Config, 0, custom);
    Add("DL1AA");
    Add("F5AB", 3);
    TQsoRecord* vk = Add("VK9XX", 1, false, 9);
    {
        TPrintLabelsDialog d(log, lkLabelFlag, Lookups());
        EXPECT_EQ(d.windowTitle(), "Print QSL labels");
        EXPECT_EQ(d.F_CurrentLabel->itemText(0), "Custom1");
        EXPECT_EQ(d.Panel1->text(), "Printing 3 QSOs");
        EXPECT_EQ(d.F_Count->text(), "1");
        d.Fqso_methodx->setCurrentIndex(qrIgnore - 1);
        EXPECT_EQ(d.Panel1->text(), "Printing 2 QSOs");
        d.F_QSL_method->setCurrentIndex(qrDirect);
        EXPECT_EQ(d.Panel1->text(), "Printing 1 QSOs");
        d.F_QSL_method->setCurrentIndex(0);
        d.F_PrintMethod->setChecked(true);
        d.BtnPrintClick();
        EXPECT_EQ(d.result(), 2);
        EXPECT_EQ(PrintedCalls(), (std::vector<std::string>{"DL1AA", "F5AB"}));
        EXPECT_FALSE(vk->HasFlag(qfLabelToPrint));  // ignored, once the run went through
        EXPECT_TRUE(TLabelSettings::FromConfig(Config).PrintMethodLabels);
        EXPECT_NE(PdfText(pdf).find("Method = Direct"), std::string::npos);
    }
    {
        TPrintLabelsDialog d(log, lkLabelFlag, Lookups());
        EXPECT_EQ(d.Panel1->text(), "Printing 2 QSOs");
        for (TQsoRecord* q : log.Qsos())
            q->LabelPrinted = false;
        d.BtnMarkAllClick();
        EXPECT_EQ(d.result(), 1);
        EXPECT_EQ(PrintedCalls(), (std::vector<std::string>{"DL1AA", "F5AB"}));
    }
    Config = saved;
}

// A new home's setup prints labels from the print dialog at once, on the layout it offers first,
// and on each label the call stands above the column headings, clear of them.
TEST_F(LabelPrintTest, ANewSetupPrintsOnItsFirstLayoutWithTheCallAboveTheHeadings)
{
    ScopedHome home(dir.path());
    const TConfigRecord saved = Config;
    Config = TConfigRecord();
    Add("JA1ABC");
    {
        TPrintLabelsDialog d(log, lkLabelFlag, Lookups());
        EXPECT_EQ(d.F_CurrentLabel->currentText(), "Custom1");
        d.BtnPrintClick();
        EXPECT_EQ(d.result(), 2) << (messages.texts().empty() ? "" : messages.texts()[0]);
    }
    Config = saved;
    EXPECT_TRUE(messages.texts().empty()) << messages.texts()[0];
    // The words' boxes (pdftotext -bbox, points: the font's ascent above the baseline, its descent
    // below): the call's baseline, a fifth of its box above the box's bottom, lies above the
    // headings' box.
    const QString html = QString::fromStdString(PdfText(pdf, "-bbox"));
    static const QRegularExpression re(R"re(<word xMin="[\d.]+" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">([^<]*)</word>)re");
    double callTop = -1, callBottom = -1, headingTop = -1;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(3) == "JA1ABC") {
            callTop = m.captured(1).toDouble();
            callBottom = m.captured(2).toDouble();
        } else if (m.captured(3) == "Date") {
            headingTop = m.captured(1).toDouble();
        }
    }
    ASSERT_GE(callBottom, 0) << "the call is printed";
    ASSERT_GE(headingTop, 0) << "the headings are printed";
    const double baseline = callBottom - (callBottom - callTop) / 5;
    EXPECT_LE(baseline, headingTop + 0.5) << "the call runs into the \"Date\" heading";
}

TEST_F(LabelPrintTest, SwlLabelsNameTheListenerAndLeaveOutTheReport)
{
    for (const char* call : {"ONL4321", "DE1ABC"}) {
        TSwlRecord s;
        s.Call = call;
        s.Date = 45000;
        s.Time = 3600;
        s.Band = 5;
        s.Mode = 1;
        log.InsertSwl(s);
    }
    Add("DL1AA");  // a QSO with the label flag is no SWL label
    TLabelQueue queue(log, lkSwl, Lookups());
    queue.Build({});
    EXPECT_EQ(queue.CountText(), "Printing 2 QSOs");
    const TLabelRunResult r = PrintQslLabels(queue, Sheet5160(), TLabelSettings::FromConfig(TConfigRecord()), 0, nullptr);
    ASSERT_TRUE(r.Printed);
    ASSERT_EQ(r.Placed.size(), 2u);
    // In the log's order: by call.
    EXPECT_EQ(r.Placed[0].CallLine, "SWL: DE1ABC");
    EXPECT_EQ(r.Placed[1].CallLine, "SWL: ONL4321");
    EXPECT_TRUE(r.PrintedQsos.empty());
    ASSERT_EQ(r.PrintedSwl.size(), 2u);
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("Mode"), std::string::npos);
    EXPECT_EQ(text.find("RST"), std::string::npos);
    EXPECT_EQ(text.find("2X"), std::string::npos);
    EXPECT_NE(text.find("Thanks SWL report de"), std::string::npos);
    EXPECT_EQ(text.find("Pse QSL"), std::string::npos);

    // Mark All marks every SWL report.
    TPrintLabelsDialog d(log, lkSwl, Lookups());
    EXPECT_EQ(d.Panel1->text(), "Printing 2 QSOs");
    d.BtnMarkAllClick();
    for (const TSwlRecord& s : log.Swl())
        EXPECT_EQ(s.Printed, kSwlPrinted);
}

TEST_F(LabelPrintTest, AManagerAnsweredDirectlyGetsItsAddressAfterItsLastLabel)
{
    Add("A61XX", qrDirect, false, 1, 60);
    Add("A62YY", qrDirect, false, 1, 120);
    Add("JA1ZZ", qrBuro, false, 1, 180);  // the same manager via the bureau: no address label
    TLabelLookups lookups = Lookups();
    lookups.ManagerOf = [](const TQsoRecord&) { return std::string("W3HNK"); };
    lookups.AddressOf = [](const std::string& call) {
        return call == "W3HNK" ? std::vector<std::string>{"Joe Smith", "!paid until 2027", "PO Box 73", "Anytown"}
                               : std::vector<std::string>{};
    };
    TLabelQueue queue(log, lkLabelFlag, lookups);
    TLabelChoice choice;
    choice.PrintQslManagers = true;
    queue.Build(choice);
    TLabelSettings settings = TLabelSettings::FromConfig(TConfigRecord());
    settings.PrintQslManagers = true;
    const TLabelRunResult r = PrintQslLabels(queue, Sheet5160(), settings, 0, nullptr);
    ASSERT_TRUE(r.Printed);
    std::vector<std::string> lines;
    for (const TPlacedLabel& p : r.Placed)
        lines.push_back(p.CallLine);
    EXPECT_EQ(lines, (std::vector<std::string>{"A61XX via W3HNK", "A62YY via W3HNK", "Joe Smith", "JA1ZZ via W3HNK"}));
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("PO Box 73"), std::string::npos);
    EXPECT_EQ(text.find("paid until"), std::string::npos);
}
