#pragma once
// The shared progress window: long operations (log load and save, import, export, the country
// editor) set it up with a caption and a maximum, step it once per record and finish it.
#include <QWidget>
#include <cstdint>

#include "grids/windows/ovc_meter.h"
#include "logbook/progress_counter.h"

namespace korval {

class TProgressbar : public QWidget {
    Q_OBJECT
public:
    explicit TProgressbar(QWidget* parent = nullptr);

    void SetUp(const QString& caption, std::int32_t maximum);
    void ShowProgress();
    void NewProgress(std::int32_t position);
    void Finished();

    TOvcMeter* bar() const { return bar_; }
    const TProgressCounter& counter() const { return counter_; }
    // How often the meter was actually changed since SetUp (what stepping costs on screen).
    int meterUpdates() const { return updates_; }

private:
    void showPercent();

    TOvcMeter* bar_;
    TProgressCounter counter_;
    int updates_ = 0;
};

// The one progress window of the run (created after the main window); null before.
TProgressbar* ProgressWindow();
void SetProgressWindow(TProgressbar* window);

} // namespace korval
