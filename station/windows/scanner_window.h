#pragma once
// "Scanner": the fifteen memory channels of the configuration in a table the operator edits
// (active, description, mode, frequency, QSX), scanned one active channel per dwell, or filled
// from what the radio is tuned to. A double-click on a row tunes that channel.
#include <QDialog>

#include "station/scanner.h"

#include <array>
#include <memory>
#include <string>

class QLabel;
class QPushButton;
class QTimer;

namespace korval {

class TOvcController;
class TOvcNumericField;
class TOvcTable;

class TScanner : public QDialog, private TScannerHost {
    Q_OBJECT
public:
    explicit TScanner(QWidget* parent = nullptr);
    ~TScanner() override;

    TScannerEngine& Engine() { return *engine_; }

    TOvcTable* ScanTable;
    TOvcNumericField* FScanDelay;
    QPushButton *ScanButton, *NewFreqButton, *ClearButton, *StopButton, *ExitButton;
    QLabel* FScanStatus;
    QTimer* ScanTimer;  // the scanner's trigger

    // The text a cell shows (row 1..15, column 1..5).
    std::string CellText(int row, int col) const;

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    struct TRow {
        std::string active, description, mode;
        double frequency = 0, qsx = 0;
    };
    // TScannerHost
    void StartTrigger(int ms) override;
    void StopTrigger() override;
    void ShowStatus(const std::string& text) override;
    void SelectRow(int channel) override;
    void RedrawRow(int channel) override;

    void LoadRow(int channel);
    void StoreRow(int channel);
    void TakeDelay();

    std::array<TRow, 16> rows_ {};  // 1..15
    TOvcController* controller_;
    std::unique_ptr<TScannerEngine> engine_;
    bool shown_ = false;
};

} // namespace korval
