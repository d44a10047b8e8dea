#pragma once
// TWorldMap: the program's world map. One globe control loaded from maps/tglobe.prf in the Korval
// home, in seven projections (home at the centre of the azimuthal one), with the short and long
// great-circle paths to the current QSO, day and night for a chosen UTC time, propagation paths
// to the countries spotted within a time window, distance rings and bearing lines around home,
// the position, distance and bearing under the cursor, and printing. Its settings live in the
// configuration record: read when it opens, written when it closes.
//
// The QSO window owns it (child window 10). The main window calls TimeChanged / SetTimeToNow from
// its clock and RefreshQsoCountry (or ShowQsoCountry on the slot's refresh flag) at idle time;
// the destructor calls OnClosed so the owner can empty its slot.
#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "entry/ovc_date.h"
#include "globe/globe_units.h"
#include "logbook/base/day_number.h"
#include "logbook/qso_map_position.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;

namespace korval {

class TGlobe3;
class TGlobeLayer;
class TGlobeObject;
class TOvcPictureField;
class TOvcSpinner;
class TPopupBox;
struct TSpotRecord;

// Flags per country number (index 0 unused) of the spots that fall into the window of `minutes`
// minutes ending at endDay / endMinute (UTC), on one band (0 = every band). The window may start
// on the day before. Spots without a country or without a time are left out.
std::vector<bool> SpottedCountries(const std::vector<TSpotRecord>& spots, int countryCount, TDayNumber endDay,
                                   int endMinute, int minutes, int band);

// The cursor readout: the position, then ", Dist = %d %s, %d degrees" from home. Bearings read
// clockwise from north, 1..360 (due north reads 360).
std::string MapReadout(const TGlobePoint& home, const TGlobePoint& cursor, bool miles);

class TWorldMap : public QWidget {
    Q_OBJECT
public:
    // Projection indexes of the Projection menu.
    enum : int { prNone = 0, prSpherical = 1, prMercator = 2, prCartesian = 3, prEquidistant = 4,
                 prCylEqualArea = 5, prAlbers = 6, prSinusoidal = 7 };
    static constexpr int ProjectionCount = 7;
    // Option bytes in the configuration, in this order.
    enum : int { opShowSpotCountry = 0, opColorCountries, opDayAndNight, opUpdateDayAndNight, opGridInFront };
    static constexpr int SavedLayerCount = 16;

    // qsoPosition gives the QSO window's map position (may be empty: no path); owner is the QSO
    // window.
    explicit TWorldMap(std::function<TQsoMapPosition()> qsoPosition, QWidget* owner = nullptr);
    ~TWorldMap() override;

    // ---- what the main window calls ----
    // Takes the QSO position as destination, selects its country (with "Show spot country") and
    // redraws the path.
    void ShowQsoCountry();
    // ShowQsoCountry when the QSO position is not the one shown.
    void RefreshQsoCountry();
    // Whether the clock has moved on since the last drawing (the minute, or with "Update Day and
    // Night" the day).
    bool TimeChanged(TDayNumber day, std::uint16_t minute) const;
    // The stored date and time become now (UTC) and the map is drawn again.
    void SetTimeToNow();
    void Redraw();

    // ---- commands ----
    void World1Click();
    void Zoomin1Click();
    void Zoomout1Click();
    void SetProjection(int index);
    int Projection() const { return projection_; }
    void ShowSpotCountry1Click();
    void ColorCountries1Click();
    void DayandNight1Click();
    void UpdateDayandNight1Click();
    void Propagation1Click();
    void Water1Click();
    void Land1Click();
    void Gridlinesinfront1Click();
    void PrintMap1Click();
    // The cursor at a pixel of the globe: the readout, and the drag line follows.
    void GlobeMouseMove(int x, int y);

    // ---- state (tests and the main window look here) ----
    const TGlobePoint& Home() const { return home_; }
    void SetHome(const TGlobePoint& home);
    const TGlobePoint& Destination() const { return destination_; }
    const std::string& DestinationLabel() const { return destinationLabel_; }
    TStDate StoredDate() const { return storedDate_; }
    TStTime StoredTime() const { return storedTime_; }
    // The countries the propagation paths go to now (empty without a spot list).
    std::vector<bool> PropagationCountries() const;
    // The first of the areas hidden in the equidistant projection (they hold home's antipode):
    // the country's.
    TGlobeObject* HiddenObject() const { return hidden_.empty() ? nullptr : hidden_.front(); }
    TGlobeLayer* GreatCircleLayer() const { return greatCircle_; }
    TGlobeLayer* PropagationLayer() const { return propagation_; }
    // The messages of layer files that could not be read (those layers are left empty).
    const std::vector<std::string>& LayerErrors() const { return layerErrors_; }
    int PathPenWidth() const { return penWidth_; }

    TGlobe3* Globe = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* InfoPanel = nullptr;
    TOvcPictureField *F_Date = nullptr, *F_Time = nullptr, *F_Mins = nullptr;
    TOvcSpinner* OvcSpinner1 = nullptr;
    TPopupBox* F_band = nullptr;
    QMenuBar* MainMenu1 = nullptr;
    QMenu* Draw1 = nullptr;
    std::array<QAction*, ProjectionCount + 1> ProjectionItems{};  // by projection index, 0 unused
    QAction *World1 = nullptr, *Zoomin1 = nullptr, *Zoomout1 = nullptr;
    QAction *ShowSpotCountry1 = nullptr, *ColorCountries1 = nullptr, *DayandNight1 = nullptr,
            *UpdateDayandNight1 = nullptr, *Propagation1 = nullptr, *Water1 = nullptr, *Land1 = nullptr,
            *Gridlinesinfront1 = nullptr, *PrintMap1 = nullptr;

    // Told when the window goes.
    std::function<void()> OnClosed;
    // The spot window's list; null (or no function) while there is no spot window.
    std::function<const std::vector<TSpotRecord>*()> SpotList;
    // Asks for a colour starting from the given one (0x00BBGGRR); false cancels. Tests answer here.
    std::function<bool(std::uint32_t& colour)> AskColour;
    // Asks for the PDF file the map goes to; empty cancels. Tests answer here.
    std::function<std::string()> AskPdfFile;

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildPanel();
    void LoadProfile(const std::string& fileName);
    void PrepareLayers();
    void AssignRowID(TGlobeObject* object, std::vector<std::string>& keys);
    void LayerItemClick(QAction* item);
    void RecentreEquidistant();
    void UpdateOptionPanel();
    void PropChanged();
    void StepTime(int command);
    void StepDate(int command);
    void GlobeRender();
    void GlobePaint();
    void GlobePaintGraticule();
    void GlobeRenderObject(TGlobeObject* object, bool& done);
    void DrawLabel(const TGlobePoint& at, const std::string& text);
    bool ChooseColour(std::uint32_t& colour);
    void SaveSettings();

    std::function<TQsoMapPosition()> qsoPosition_;
    TQsoMapPosition shownPosition_;
    bool positionShown_ = false;
    TGlobePoint home_, cursor_, destination_;
    std::string destinationLabel_;
    TStDate storedDate_ = 0;
    TStTime storedTime_ = 0;
    int penWidth_ = 1;
    int projection_ = prNone;
    TGlobeLayer* greatCircle_ = nullptr;
    TGlobeLayer* propagation_ = nullptr;
    std::int32_t rotations_[3] = {0, 0, 0};
    std::vector<TGlobeObject*> hidden_;
    bool drag_ = false;
    TDayNumber redrawDay_ = 0;
    int redrawMinute_ = -1;
    bool shown_ = false;
    bool destroying_ = false;
    int propChanging_ = 0;
    std::vector<std::string> layerErrors_;
    std::vector<QAction*> layerItems_;
};

} // namespace korval
