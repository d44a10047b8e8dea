// Printing the world map through the report engine's printer, offscreen. Kept apart from the
// window's other tests: the report engine's drawing names and the globe's do not meet in one file.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTest>

#include <filesystem>

#include "globe/windows/world_map.h"
#include "logbook/base/day_number.h"
#include "logbook/config_record.h"
#include "platform/message_dlg.h"
#include "reporting/rp_device.h"
#include "reporting/windows/qt_printer_system.h"
#include "test_support.h"

namespace korval {
namespace {

namespace fs = std::filesystem;

// The printing system with the PDF printer only, and with a printer that cannot be opened.
struct FakePrinters : TQtPrinterSystem {
    bool withPrinter = false;
    std::vector<std::pair<std::string, std::string>> Devices() override
    {
        std::vector<std::pair<std::string, std::string>> d;
        if (withPrinter)
            d.emplace_back("Office", "Laser,CUPS");
        d.emplace_back(kPdfPrinter, std::string(kPdfDriver) + "," + kPdfPort);
        return d;
    }
    std::string DefaultDevice() override { return withPrinter ? "Office,,CUPS" : ""; }
    bool DocumentProperties(const TRPDeviceItem& item, TDevMode& devMode) override
    {
        return item.Device == "Office" || TQtPrinterSystem::DocumentProperties(item, devMode);
    }
};

TEST(WorldMapPrinting, WithoutAPrinterAPdfFileIsOfferedAndAFailedPrinterIsTold)
{
    // Noon UTC: the day and night shading leaves the land of the map's middle in daylight,
    // whatever the hour the test runs at.
    struct TNoon {
        TNoon() { SetUtcClockSource([] { return std::int64_t(1717243200); }); }  // 2024-06-01 12:00
        ~TNoon() { SetUtcClockSource({}); }
    } noon;
    test::TempDir dir;
    test::ScopedHome home(dir.path());
    fs::create_directories(dir.file("maps"));
    for (const auto& e : fs::directory_iterator(KORVAL_SOURCE_DIR "/data/maps"))
        fs::copy_file(e.path(), dir.file("maps/" + e.path().filename().string()));
    const TConfigRecord saved = Config;
    auto printers = std::make_unique<FakePrinters>();
    FakePrinters* fake = printers.get();
    SetReportPrinterSystem(std::move(printers));
    auto w = std::make_unique<TWorldMap>(std::function<TQsoMapPosition()>());
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    const std::string pdf = dir.file("map.pdf");
    w->AskPdfFile = [&] { return pdf; };
    {
        ScopedMessageRecorder rec(mrYes);
        rec.answer(mrYes);
        rec.answer(mrNo); // no PDF
        w->PrintMap1Click();
        EXPECT_EQ(rec.texts(), (std::vector<std::string>{"Print map on default printer",
                                                         "No printer is installed.\rWrite the map to a PDF file instead?"}));
        EXPECT_FALSE(fs::exists(pdf));
    }
    {
        // With day and night on: the shading goes to paper within the map's picture.
        w->DayandNight1Click();
        ScopedMessageRecorder rec(mrYes);
        w->PrintMap1Click();
        EXPECT_EQ(rec.texts().size(), 2u);
        QFile file(QString::fromStdString(pdf));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.read(5), QByteArray("%PDF-"));
        EXPECT_LT(file.size(), 20'000'000);
        QProcess::execute("pdftoppm", {"-r", "30", "-png", "-singlefile", QString::fromStdString(pdf),
                                       QString::fromStdString(dir.file("page"))});
        const QImage page(QString::fromStdString(dir.file("page.png")));
        ASSERT_FALSE(page.isNull());
        // The page shows land in the land colour, and the globe in the middle as on the screen.
        int land = 0, left = page.width(), right = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const QColor c(page.pixel(x, y));
                land += c.red() < 30 && c.green() > 100 && c.green() < 160 && c.blue() < 30;
                if (c != QColor(255, 255, 255)) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        EXPECT_GT(land, 100);
        EXPECT_NEAR((left + right) / 2.0, page.width() / 2.0, page.width() * 0.05);
    }
    EXPECT_EQ(ReportDevice().OutputFile(), "");
    // A printer that cannot be opened: the failure is told, not passed over.
    fake->withPrinter = true;
    SetReportPrinterSystem(std::make_unique<FakePrinters>(*fake));
    {
        ScopedMessageRecorder rec(mrYes);
        w->PrintMap1Click();
        ASSERT_EQ(rec.texts().size(), 2u);
        EXPECT_EQ(rec.texts()[1].rfind("The map could not be printed:\r", 0), 0u) << rec.texts()[1];
    }
    SetReportPrinterSystem(nullptr);
    w.reset();
    Config = saved;
}

} // namespace
} // namespace korval
