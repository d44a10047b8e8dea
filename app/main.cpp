#include <QApplication>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "comms/windows/comms_ui_setup.h"
#include "exchange/filter_windows.h"
#include "logbook/startup.h"
#include "platform/korval_application.h"
#include "reference/windows/sun_windows.h"
#include "reporting/windows/qt_printer_system.h"
#include "reporting/windows/report_forms.h"
#include "platform/shipped_defaults.h"

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("Korval %s\n", KORVAL_VERSION);
        return 0;
    }
    korval::TKorvalApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korval"));
    QApplication::setApplicationVersion(QStringLiteral(KORVAL_VERSION));

    korval::TStartupOptions options;
    for (int i = 1; i < argc; ++i)
        options.params.emplace_back(argv[i]);
    options.shippedDataDir =
        korval::FindShippedDataDir(QCoreApplication::applicationDirPath().toStdString(), KORVAL_SHIPPED_DATA);
    // An installed program keeps its README with the shipped files; a build uses the source tree's.
    std::string readme = options.shippedDataDir + "/README.md";
    options.helpFile = std::filesystem::exists(readme) ? readme : std::string(KORVAL_README);
    options.importExport = [](QWidget* parent) { korval::ShowImportExportFilters(parent); };
    options.countryInfo = korval::CountryInfoWindowHooks();
    korval::InstallReportPrinting();
    korval::InstallComsUi();
    options.printSetup = [](QWidget*) { korval::PrinterSetupCommand(); };
    return korval::RunKorval(options);
}
