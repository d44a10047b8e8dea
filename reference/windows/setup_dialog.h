#pragma once
// The setup window ("Setup Parameters"): every setting of the configuration on sixteen pages.
// It edits a working copy of the record; each page loads its controls from the copy when it is
// shown and stores them back when it is left. "Save Changes and Exit" makes the copy live and
// restarts what changed (through the program's TSetupServices); "Cancel Changes and Exit"
// leaves the live record as it was. The settings can also be written to an INI file and a
// file merged back into the copy.
#include <QColor>
#include <QDialog>
#include <QFont>

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "logbook/config_record.h"

class QAction;
class QBoxLayout;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenuBar;
class QToolButton;

namespace korval {

class TOvcCheckList;
class TOvcController;
class TOvcNotebook;
class TOvcNumericField;
class TOvcPictureField;
class TOvcSimpleField;
class TSetupServices;
class TWheelx;

class TSetupDialog : public QDialog {
    Q_OBJECT
public:
    enum TPage {
        pgPersonal, pgStation, pgQso, pgScreen, pgImport, pgRadio, pgPacket1, pgPacket2, pgRtty, pgExtData,
        pgF2Key, pgDxcc, pgWas, pgWaz, pgWpx, pgRepLab, PageCount
    };
    // Which font list a font picker offers.
    enum TFontKind { fkScalable, fkAny, fkFixedPitch, fkPrinter };

    // The radio definitions are read from radiosDir (empty: the home's RADIOS folder) and the
    // report names offered are reportNames.
    explicit TSetupDialog(TSetupServices& services, std::vector<std::string> reportNames = {},
                          QWidget* parent = nullptr, std::string radiosDir = {});
    ~TSetupDialog() override;

    // The working copy, filled from the live record when the window is shown.
    TConfigRecord Copy;
    // The band whose CW cut-off the QSO page shows.
    int CutoffBand = 1;
    // A settings file was merged: saving then applies the own station again.
    bool Merged = false;

    void LoadPage(int page);
    void StorePage(int page);

    // Menu commands.
    void Savechangesandexit1Click();
    void Cancelchangesandexit2Click();
    void WriteINIFile1Click();
    void MergeINIfile1Click();
    // The export and the merge themselves, on a file name.
    void WriteIniFile(const std::string& fileName);
    void MergeIniFile(const std::string& fileName);

    void GridToPositionClick();
    void PositionToGridClick();
    void CountryListingClick();

    // Questions the window asks; tests answer them here. A file name (empty: cancelled).
    std::function<std::string(bool save)> AskIniFile;
    std::function<std::string()> AskProgramFile;
    // A colour for a spot label; false when cancelled.
    std::function<bool(QColor& colour)> AskColour;
    std::function<bool(QFont& font, TFontKind kind)> AskFont;
    // A country from the pick list: the chosen index of entries, -1 when cancelled.
    std::function<int(const std::vector<std::string>& entries, int first)> AskCountry;

    QMenuBar* MainMenu = nullptr;
    QAction *Savechangesandexit1 = nullptr, *Cancelchangesandexit2 = nullptr, *WriteINIFile1 = nullptr,
            *MergeINIfile1 = nullptr;
    TOvcController* OvcController1 = nullptr;
    TOvcNotebook* SetupNoteBook = nullptr;

    // Controls the window works with besides loading and storing them.
    TOvcPictureField* Personal_grid = nullptr;
    TOvcNumericField *Personal_Longitude = nullptr, *Personal_Latitude = nullptr;
    TWheelx *Personal_longsign = nullptr, *Personal_latsign = nullptr;
    TOvcPictureField *F_WorkedCutoff = nullptr, *F_MailedCutoff = nullptr;
    QToolButton *GridToPosBtn = nullptr, *PosToGridBtn = nullptr;
    TWheelx* F_GridSelection = nullptr;
    TWheelx* Personal_band = nullptr;
    TOvcNumericField* Personal_CWcutoff = nullptr;
    QGroupBox* ScreenGroup = nullptr;
    TOvcNumericField* F_FormScale = nullptr;
    TOvcSimpleField *F_FontLName = nullptr, *F_FontIName = nullptr, *F_FontBName = nullptr;
    TOvcNumericField *F_FontLSize = nullptr, *F_FontISize = nullptr, *F_FontBSize = nullptr;
    QCheckBox *F_FontLBold = nullptr, *F_FontIBold = nullptr, *F_FontBBold = nullptr;
    TWheelx* Hardware_RadioType = nullptr;
    TOvcNumericField* Hardware_baudrate = nullptr;
    QCheckBox* hardware_defaultrate = nullptr;
    TOvcSimpleField* F_RadioNotes = nullptr;
    TOvcSimpleField* Packet_OkPrefixes = nullptr;
    QLabel* CLab[6] = {};
    TOvcSimpleField* F_ExtQSLProg = nullptr;
    TOvcSimpleField* F_RepFontName = nullptr;
    TOvcNumericField* F_RepFontSize = nullptr;
    QCheckBox* F_RepBoldHeader = nullptr;
    TWheelx* F_CurrentReport = nullptr;

    // A control by its name (tests and the settings file reach every control so).
    QWidget* Control(const char* name) const;
    // The page a control stands on (through group boxes), -1 for none.
    int PageOf(const QWidget* control) const;

protected:
    void showEvent(QShowEvent* e) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TBinding;
    // A check box that stores one flag byte.
    struct TFlagBox {
        const char* name;
        const char* caption;
        std::size_t offset;
    };
    // The boxes one under the other in the group, their flags at base + offset.
    void AddFlagBoxes(int page, QWidget* group, QBoxLayout* layout, std::span<const TFlagBox> boxes,
                      std::size_t base = 0);
    void BuildMenu();
    void BuildPages();
    QWidget* BuildPersonal(QWidget* page);
    QWidget* BuildStation(QWidget* page);
    QWidget* BuildQso(QWidget* page);
    QWidget* BuildScreen(QWidget* page);
    QWidget* BuildImport(QWidget* page);
    QWidget* BuildRadio(QWidget* page);
    QWidget* BuildPacket1(QWidget* page);
    QWidget* BuildPacket2(QWidget* page);
    QWidget* BuildRtty(QWidget* page);
    QWidget* BuildExtData(QWidget* page);
    QWidget* BuildF2Key(QWidget* page);
    QWidget* BuildAward(QWidget* page, const char* prefix, const char* validName, int award);
    QWidget* BuildRepLab(QWidget* page);
    void Bind(int page, QWidget* control, int kind, std::size_t offset, int size = 0);
    void FormShow();
    void FitWindow();
    void LoadSpecial(int page);
    void StoreSpecial(int page);
    void ShowCutoff();
    void StoreCutoff();
    void Personal_bandChange();
    void RadioTypeChange();
    void SetRadioRate();
    void PaintColourLabel(int index, std::uint32_t colour);
    void ColourLabelClick(int index);
    void PickFont(TOvcSimpleField* name, TOvcNumericField* size, QCheckBox* bold, TFontKind kind);
    void PickProgram();
    void SetupNoteBookDrawTab(int index, const std::string& title, const QRect& r, bool active, QPainter& p);

    TSetupServices& services_;
    std::vector<std::string> reportNames_;
    std::string radiosDir_;
    std::vector<TBinding> bindings_;
    std::vector<QWidget*> pages_;
    // Per model (0 "None"): the notes text and the default baud rate.
    std::vector<std::pair<std::string, int>> RadioNotes;
    // Shown values of the coordinate and cut-off fields as loaded: an unchanged field keeps the
    // stored value exactly rather than its rounded picture.
    double shownLongitude_ = 0, shownLatitude_ = 0, shownCutoff_ = 0;
    bool loading_ = false;
    bool shown_ = false;
};

} // namespace korval
