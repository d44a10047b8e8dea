#include <QApplication>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "comms/windows/comms_ui_setup.h"
#include "app/startup.h"
#include "platform/windows/korval_application.h"
#include "reporting/windows/qt_printer_system.h"
#include "platform/shipped_defaults.h"
#include "exchange/windows/report_setup.h"

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
    korval::InstallReportPrinting();
    korval::InstallLogListPrinting();
    korval::InstallComsUi();
    return korval::RunKorval(options);
}
