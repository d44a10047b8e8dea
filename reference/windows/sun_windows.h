#pragma once
// The sunrise and sunset windows: the country information window (headings, home and DX
// sunrise and sunset today), the one-year table of a country and the grey-line list of a date.
// Times are UTC, "hh:mm", and "--:--" where the Sun does not rise or set that day.
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "reference/sun_tables.h"

class QAction;
class QMenu;

namespace korval {

class TMyGrid;
class TOvcController;
class TOvcPictureField;
class TOvcSimpleField;

// A time of the sunrise windows: "hh:mm" through the international settings, "--:--" for no event.
std::string SunTimeText(TStTime t);
// Today (UTC) as a day count.
TStDate SunToday();
// The countries of the country database from number 1 on, as the grey-line list reads them.
std::vector<TSunCountry> SunCountryList();


class TOneYearSRS;
class TCountrySRS;

class TCountryInfo : public QWidget {
    Q_OBJECT
public:
    // country answers the current DX country number (0 = unknown).
    explicit TCountryInfo(std::function<std::uint16_t()> country, QWidget* owner = nullptr);
    ~TCountryInfo() override;

    // Brings the window up to date: the home times when the UTC day or the home position changed,
    // the DX part when the country changed. Cheap when nothing did; the main window calls it from
    // its idle handler while the window is open.
    void ShowCountry();

    void OneYearClick();
    void ByDateClick();
    TOneYearSRS* OneYearWindow() const { return oneYear_; }
    TCountrySRS* ByDateWindow() const { return byDate_; }

    TOvcSimpleField *F_Heading, *F_LongPath, *F_Reciprocal, *F_Sunrise, *F_SunSet, *F_DXSunRise, *F_DXSunSet;
    QMenu* PopupMenu;
    QAction *OneyearSunRiseSet1, *SunRiseSetbyDate1;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    std::function<std::uint16_t()> country_;
    bool localValid_ = false;
    TStDate localDay_ = BadDate;
    double homeLon_ = 0, homeLat_ = 0;
    bool dxValid_ = false;
    std::uint16_t dxCountry_ = 0;
    TStDate dxDay_ = BadDate;
    double dxLon_ = 0, dxLat_ = 0;
    QPointer<TOneYearSRS> oneYear_;
    QPointer<TCountrySRS> byDate_;
};

class TOneYearSRS : public QWidget {
    Q_OBJECT
public:
    static constexpr int Days = 365;
    // country: the country number to show first (0 = none chosen yet).
    explicit TOneYearSRS(std::uint16_t country, QWidget* owner = nullptr);

    // Picks a country by prefix; replaced by tests. Answers the chosen entry, -1 on cancel.
    std::function<int(const std::string& caption, const std::vector<std::string>& entries, int first)> RunPicklist;

    void SelectCountryClick();
    void UpdateClick();
    void SetCountry(std::uint16_t country);
    std::uint16_t Country() const { return country_; }
    const std::vector<TSunYearRow>& Rows() const { return rows_; }
    // The row's cells, tab-separated: date, rise, set, DX rise, DX set.
    std::string RowText(int index) const;

    TOvcSimpleField* F_Country;
    TMyGrid* DG;
    QAction *SelectCountry1, *Update1;

protected:
    void showEvent(QShowEvent* e) override;

private:
    std::uint16_t country_ = 0;
    std::vector<TSunYearRow> rows_;
};

class TCountrySRS : public QWidget {
    Q_OBJECT
public:
    explicit TCountrySRS(QWidget* owner = nullptr);

    void UpdateClick();
    const std::vector<TGreyLineRow>& Rows() const { return rows_; }

    TOvcController* Controller;
    TOvcPictureField* F_Date;
    TOvcPictureField* F_Max;
    TOvcSimpleField *F_SunRise, *F_SunSet;
    TMyGrid* DG;
    QAction* Update1;

protected:
    void showEvent(QShowEvent* e) override;

private:
    std::vector<TGreyLineRow> rows_;
};

} // namespace korval
