// Report streams as the player reads them: the page count, the whole job, and a page picked
// from the input, all onto a printer that only records.
#include "reporting/file_printer.h"
#include "reporting/report_basics.h"
#include "tests/reporting/recording_device.h"

#include <cstdint>
#include <sstream>
#include <string>

using namespace korval;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    test::TFakePrinter printer;
    try {
        std::istringstream in(bytes);
        TFilePrinter player(*printer.Device);
        player.StreamMode = smUser;
        player.Stream = &in;
        const int pages = player.PageCount();
        player.Execute();
        if (pages > 0) {
            player.GotoPage(1 + static_cast<int>(size % static_cast<std::size_t>(pages)));
            player.GotoPage(pages + 1);
        }
    } catch (const EReportError&) {  // a stream the player refuses
    }
    return 0;
}
