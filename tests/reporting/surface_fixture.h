#pragma once
// A recording surface on a fresh fake printer, ended cleanly when a test leaves it printing.
#include <gtest/gtest.h>

#include "tests/reporting/recording_report.h"

namespace korval::test {

class SurfaceTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (report.Printing())
            report.EndDoc();
    }
    // The lines the device drew, "x1,y1 x2,y2 pen w" in pixels, each from the pen position the
    // last MoveTo left.
    std::vector<std::string> lines() const
    {
        std::vector<std::string> out;
        std::string from;
        for (const auto& c : printer.System->Rec->Calls) {
            if (c.rfind("MoveTo ", 0) == 0)
                from = c.substr(7);
            else if (c.rfind("LineTo ", 0) == 0) {
                out.push_back(from + " " + c.substr(7));
                from = c.substr(7, c.find(' ', 7) - 7);
            }
        }
        return out;
    }

    TFakePrinter printer;
    TRecordingReport report{*printer.Device};
};

} // namespace korval::test
