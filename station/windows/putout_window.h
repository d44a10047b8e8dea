#pragma once
// The DX spot window: the spot list in a grid, one colour per reason, with the commands of its
// pop-up menu (grab and tune, listen, monitor, sort, colours, holding, delete, write to a file).
// Its owner (the cluster terminal) feeds it lines, lets it work at idle time and frees it.
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "station/log_spot_classifier.h"
#include "station/spot_line_queue.h"
#include "station/spot_list.h"
#include "station/spot_parser.h"
#include "station/spot_tuner.h"

class QAction;
class QMenu;

namespace korval {

class TMyGrid;
class TQSOForm;

inline constexpr int ScannerChannelCount = 15;
inline constexpr const char* NoFreeScannerChannelText = "No free scanner channel available to monitor";

// What the window works with; everything but the spot file may be left out.
struct TPutoutEnv {
    std::string spotFile;                          // SAVE/KORVAL.PUT
    std::function<TQSOForm*()> qsoWindow;          // the QSO window, when there is one
    TSpotAnnouncer* announcer = nullptr;           // the announcement thread
    TSpotRadio* radio = nullptr;                   // the radio; radio commands are off without it
    std::function<void(const std::string&)> talk;  // lines for the talk window
    std::function<void()> viewAnnouncements;       // opens the talk window
    // Asks for the file "Write spots to File" writes; empty cancels. Tests answer here.
    std::function<std::string()> askTextFile;
};

class TPutoutW : public QWidget {
    Q_OBJECT
public:
    explicit TPutoutW(TPutoutEnv env, QWidget* parent = nullptr);
    ~TPutoutW() override;

    // Cluster lines: queued here, parsed at idle time.
    void AddPendingLine(const std::string& line);
    // Every line of a text file as a cluster line; false when it cannot be read.
    bool LoadSpotFile(const std::string& fileName) { return queue_.LoadSpotFile(fileName); }
    // Writes the spots when they changed (the auto-save); true when they were written.
    bool SaveSpots();
    // The idle work: the pending lines, in one burst.
    void AppIdle();
    void AddSpot(const TSpotRecord& spot);
    // Settings, colours and order again from the configuration (after the setup was saved).
    void ReadSettings();
    void RecheckAllSpots();
    void RecheckSpotsForQso(std::uint16_t country);
    // Selects the spot nearest to the radio's frequency and holds the view there.
    void GoToNearestSpot(double kHz);
    // The owner's end: the spots, placement, column widths and sort order are kept.
    void SaveState();

    // Commands (also in the pop-up menu).
    void GrabSpot(bool tune);
    void ReturnToLastFreq();
    void Listen();
    void Monitor();
    void DeleteSpot();
    void ClearAllSpots();
    void DeleteOldSpots();
    void ToggleHolding();
    void SetSortOrder(int order);
    void SetColourGroup(int group);
    void WriteSpotsToFile();
    void CancelAnnouncements();

    TSpotList& List() { return list_; }
    TMyGrid* Grid() const { return DG; }
    QMenu* PopupMenu() const { return popup_; }
    bool holding() const { return holding_; }
    // The spot of a grid row (row 1 is the first spot); null outside the list.
    const TSpotRecord* SpotAt(int row) const;
    QString CaptionText() const;

    TMyGrid* DG = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void BuildMenu();
    void ShowSpots(std::size_t removed);
    void UpdateCaption();
    void SpotToQso();
    void SelectSpot(const TSpotRecord* keep);
    // Runs a change of the list; the spot selected before stays selected where it went.
    void KeepingSelection(const std::function<void()>& change);
    const TSpotRecord* CurrentSpot() const;
    void SetHolding(bool on);

    TPutoutEnv env_;
    TLogSpotClassifier classifier_;
    TSpotList list_;
    TSpotTuner tuner_;
    TSpotParser parser_;
    TSpotLineQueue queue_;
    QMenu* popup_ = nullptr;
    std::array<QAction*, 3> colourActions_{};
    std::array<QAction*, 6> sortActions_{};
    QAction* grabTune_ = nullptr;
    QAction* returnFreq_ = nullptr;
    QAction* listen_ = nullptr;
    QAction* viewAnnouncements_ = nullptr;
    bool holding_ = false;
    bool started_ = false;
};

// "14,025.0": one decimal and thousands separators, as the grid shows frequencies.
std::string FormatSpotFrequency(double kHz);

} // namespace korval
