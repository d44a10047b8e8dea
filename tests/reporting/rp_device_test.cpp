// The printer device over a fake printer system: the printer list, selection, the settings and
// their limits, contexts that cannot be made, and the print job's states.
#include <gtest/gtest.h>

#include "tests/reporting/recording_device.h"

using namespace korval;
using namespace korval::test;

TEST(PrinterDevice, OneEntryPerPortWithoutTheRenderingSubsystem)
{
    TFakePrinter p;
    p.System->Entries = {{"Laser", "LASERDRV, LPT1:, FILE:"}, {"Rendering Subsystem", "X,Y:"}, {"Ink", "INKDRV,USB1:"}};
    EXPECT_EQ(p.Device->GetPrinters(), (std::vector<std::string>{"Laser on LPT1:", "Laser on FILE:", "Ink on USB1:"}));
    EXPECT_EQ(p.Device->GetPrinterItem(1).Driver, "LASERDRV");
}

TEST(PrinterDevice, DefaultPrinterByDeviceAndPortElseTheLast)
{
    TFakePrinter p;
    p.System->Entries = {{"Laser", "LASERDRV,LPT1:,FILE:"}, {"Ink", "INKDRV,USB1:"}};
    p.System->Default = "Laser,LASERDRV,FILE:";
    EXPECT_EQ(p.Device->GetPrinterIndex(), 1);
    EXPECT_EQ(p.Device->PortName(), "FILE:");

    TFakePrinter q;
    q.System->Entries = p.System->Entries;
    q.System->Default = "";
    EXPECT_EQ(q.Device->GetPrinterIndex(), 2);
    EXPECT_EQ(q.Device->DeviceName(), "Ink");
}

TEST(PrinterDevice, SelectPrinterExactOrByPartOfTheName)
{
    TFakePrinter p;
    p.System->Entries = {{"Laser", "LASERDRV,LPT1:,FILE:"}, {"Ink", "INKDRV,USB1:"}};
    EXPECT_TRUE(p.Device->SelectPrinter("Laser on FILE:", true));
    EXPECT_EQ(p.Device->GetPrinterIndex(), 1);
    EXPECT_FALSE(p.Device->SelectPrinter("laser", true));
    EXPECT_TRUE(p.Device->SelectPrinter("usb", false));
    EXPECT_EQ(p.Device->GetPrinterIndex(), 2);
    EXPECT_TRUE(p.Device->SelectPrinter("Laser", true));
    EXPECT_EQ(p.Device->GetPrinterIndex(), 0);
}

TEST(PrinterDevice, CopiesOnlyBelowTheMaximum)
{
    TFakePrinter p;
    p.System->Copies = 5;
    p.Device->SetCopies(5);
    EXPECT_EQ(p.Device->GetDevMode()->dmCopies, 1);
    p.Device->SetCopies(9);
    EXPECT_EQ(p.Device->GetDevMode()->dmCopies, 1);
    p.Device->SetCopies(0);
    EXPECT_EQ(p.Device->GetDevMode()->dmCopies, 1);
    p.Device->SetCopies(4);
    EXPECT_EQ(p.Device->GetDevMode()->dmCopies, 4);
    EXPECT_TRUE(p.Device->GetDevMode()->dmFields & DM_COPIES);
}

TEST(PrinterDevice, SettingsChangeTheSettingsOfTheJob)
{
    TFakePrinter p;
    p.Device->SetOrientation(poLandScape);
    p.Device->SetDuplex(1);
    p.Device->SetCollate(true);
    EXPECT_TRUE(p.Device->SelectBin("manual", false));
    EXPECT_FALSE(p.Device->SelectBin("manual", true));
    EXPECT_EQ(p.Device->GetOrientation(), 1);
    EXPECT_EQ(p.Device->GetDuplex(), 1);
    EXPECT_TRUE(p.Device->GetCollate());
    p.Device->BeginDoc();
    const TDevMode& used = p.System->Rec->ContextModes.back();
    EXPECT_EQ(used.dmOrientation, 2);
    EXPECT_EQ(used.dmDuplex, 2);
    EXPECT_EQ(used.dmDefaultSource, 4);
    p.Device->EndDoc();
}

TEST(PrinterDevice, PaperByCodeOrUserSizeWithinTheExtents)
{
    TFakePrinter p;
    EXPECT_FALSE(p.Device->SetPaperSize(9, 0, 0));  // the printer has no A4
    EXPECT_TRUE(p.Device->SetPaperSize(5, 0, 0));
    EXPECT_FALSE(p.Device->SetPaperSize(5, 0, 0));  // already set
    EXPECT_FALSE(p.Device->SetPaperSize(0, 5000, 2000));  // wider than the printer takes
    EXPECT_TRUE(p.Device->SetPaperSize(0, 1000, 2000));
    EXPECT_EQ(p.Device->GetDevMode()->dmPaperSize, DMPAPER_USER);
    EXPECT_EQ(p.Device->GetDevMode()->dmPaperWidth, 1000);
}

TEST(PrinterDevice, AContextThatCannotBeMadeNamesThePrinter)
{
    TFakePrinter p;
    p.System->FailContext = true;
    EXPECT_EQ(ErrorOf([&] { p.Device->GetDC(); }), "Invalid Printer - Laser on LPT1: (LASERDRV)");
    EXPECT_EQ(p.Device->DeviceState(), dsNone);
    EXPECT_EQ(ErrorOf([&] { p.Device->BeginDoc(); }), "Invalid Printer - Laser on LPT1: (LASERDRV)");
    EXPECT_FALSE(p.Device->Printing());
}

TEST(PrinterDevice, JobStatesAndRefusals)
{
    TFakePrinter p;
    EXPECT_EQ(ErrorOf([&] { p.Device->NewPage(true); }), "Invalid method call.  Device is not printing.");
    EXPECT_EQ(ErrorOf([&] { p.Device->EndDoc(); }), "Invalid method call.  Device is not printing.");
    p.Device->SetTitle("Log");
    p.Device->BeginDoc();
    EXPECT_EQ(p.Device->DeviceState(), dsDC);
    EXPECT_EQ(ErrorOf([&] { p.Device->BeginDoc(); }), "Invalid method call.  Device already printing.");
    EXPECT_EQ(ErrorOf([&] { p.Device->SetCopies(2); }), "Invalid method call.  Device already printing.");
    EXPECT_EQ(ErrorOf([&] { p.Device->SetPrinterIndex(0); }), "Invalid method call.  Device already printing.");
    p.Device->NewPage(true);
    p.Device->NewPage(false);
    p.Device->NewPage(true);
    p.Device->AbortDoc();
    EXPECT_EQ(p.System->Rec->Calls, (std::vector<std::string>{"StartDoc Log", "StartPage", "EndPage", "StartPage",
                                                              "AbortDoc"}));
    EXPECT_FALSE(p.Device->Printing());
    EXPECT_EQ(p.Device->DeviceState(), dsNone);
}

TEST(PrinterDevice, SetupDialogSettingsSurviveTheSelectionThatFollows)
{
    TFakePrinter p;
    p.System->Entries = {{"Laser", "LASERDRV,LPT1:"}, {"Ink", "INKDRV,USB1:"}};
    p.System->Default = "Laser,LASERDRV,LPT1:";
    p.Device->GetPrinterIndex();
    p.System->SetupAnswer = true;
    p.System->SetupDevice = "Ink";
    p.System->SetupPort = "USB1:";
    p.System->SetupMode = p.System->DevMode;
    p.System->SetupMode.dmCopies = 3;
    EXPECT_TRUE(p.Device->PrinterSetupDialog());
    EXPECT_EQ(p.Device->DeviceName(), "Ink");
    EXPECT_EQ(p.Device->GetDevMode()->dmCopies, 3);
    // A later choice of another printer takes that printer's own settings.
    p.Device->SetPrinterIndex(0);
    EXPECT_EQ(p.Device->GetDevMode()->dmCopies, 1);
}

TEST(PrinterDevice, NoPrinterInstalled)
{
    TRPDevice device;
    EXPECT_TRUE(device.GetPrinters().empty());
    EXPECT_EQ(device.GetDevMode(), nullptr);
    EXPECT_EQ(device.GetOrientation(), 0);
    EXPECT_EQ(device.GetMaxCopies(), 1);
    device.SetCopies(3);
    EXPECT_FALSE(device.SetPaperSize(1, 0, 0));
    EXPECT_EQ(device.GetDC(), nullptr);
}
