#pragma once
// Printing QSL labels: the layout checked, the report setup asked (the preview of pages 1 to 5
// first), the paper and orientation of the layout set on the printer for the run and given back
// afterwards, the labels run; the re-routing and the dropped "Ignore" QSOs reach the log only
// when the run went through.
#include <string>
#include <vector>

#include "exchange/label_print.h"

class QWidget;

namespace korval {

class TRPDevice;

struct TLabelRunResult {
    bool Printed = false;  // the run went through (not refused, cancelled or aborted)
    bool ToPaper = false;  // it went to the printer or a file, not the preview
    std::vector<TPlacedLabel> Placed;
    // What went to the printer or a file, when the run went there.
    std::vector<TQsoRecord*> PrintedQsos;
    std::vector<TSwlRecord*> PrintedSwl;
};

TLabelRunResult PrintQslLabels(TLabelQueue& queue, const TLabelLayout& layout, const TLabelSettings& settings,
                               int skip, QWidget* owner);

// Sets the layout's paper and orientation on the device: warnings "Unknown Paper", "Not able to
// select paper: " + name, "Not able to set custom Paper Size". Returns the settings to restore.
class TLabelPaper {
public:
    TLabelPaper(TRPDevice& device, const TLabelLayout& layout);
    ~TLabelPaper();
    TLabelPaper(const TLabelPaper&) = delete;
    TLabelPaper& operator=(const TLabelPaper&) = delete;

private:
    TRPDevice& device_;
    bool saved_ = false;
    int paper_ = 0, width_ = 0, length_ = 0, orientation_ = 1;
};

} // namespace korval
