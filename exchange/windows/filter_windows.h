#pragma once
// The filter list window (TPickIEFilter) and the filter editor (TIEDialog2).
#include <QDialog>
#include <functional>
#include <string>

#include "exchange/filter_record.h"

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QMenuBar;

namespace korval {

class TMyGrid;
class TOvcController;
class TOvcCustomListBox;
class TOvcNotebook;
class TOvcSimpleField;
class TOvcVirtualListBox;
class TWheelx;

// Chooses a file: save or open, the dialog's filter text ("ID|*.EXT"), the default extension.
// Empty when cancelled. Tests replace it.
using TFileChooser = std::function<std::string(bool save, const std::string& filter, const std::string& ext)>;
void SetExchangeFileChooser(TFileChooser chooser);

class TIEDialog2 : public QDialog {
    Q_OBJECT
public:
    // Edits a copy of record; list and index (-1 for none) let the editor refuse a taken ID.
    TIEDialog2(const TFilterRecord& record, const TFilterList* list, int index, QWidget* parent = nullptr);

    const TFilterRecord& Record() const { return record_; }
    // Menu commands.
    void ViewASCIIFile();
    void PrintFilter();
    void SaveChangesAndExit();
    void CancelChangesAndExit() { reject(); }
    // The Fields page.
    void ShowField(int field);
    void StoreCurrentField();
    void FormatChanged();
    int CurrentField() const { return current_; }
    std::vector<std::string> PrintedLines() const;

    TOvcController* Controller;
    TOvcNotebook* OvcNotebook1;
    TOvcSimpleField* F_IE_ext;
    TOvcSimpleField* F_IE_reclen;
    TOvcSimpleField* F_IE_id;
    TWheelx* F_IE_usage;
    TOvcSimpleField* F_IE_description;
    TOvcSimpleField* F_IE_datechar;
    TOvcSimpleField* F_IE_modified;
    TOvcSimpleField* F_IE_Note_ext;
    QCheckBox* F_IE_filter_freq;
    QCheckBox* F_IE_filter_import;
    QCheckBox* F_IE_filter_dupes;
    TWheelx* F_FldName;
    TOvcSimpleField* F_FldPos;
    TWheelx* F_FldTyp;
    TOvcSimpleField* F_FldLen;
    TOvcCustomListBox* LB;
    TOvcVirtualListBox* VLB;
    QLabel* FileLabel;
    QAction* ViewASCIIfile1;
    QAction* PrintFilter1;
    QAction* Cancelchangesandexit1;
    QAction* Savechangesandexit1;

private:
    void LoadGeneral();
    void BuildAllocation();
    TFilterRecord record_;
    const TFilterList* list_;
    int index_;
    int current_ = 0;
    bool showing_ = false;
    std::vector<std::string> sample_;
};

class TPickIEFilter : public QDialog {
    Q_OBJECT
public:
    explicit TPickIEFilter(QWidget* parent = nullptr);

    TFilterList& Filters() { return list_; }
    int CurrentIndex() const;
    void SetCurrentIndex(int index);
    void RefreshGrid();
    void UpdateMenus();
    // Menu commands.
    void Import();
    void Export();
    void MergeKorvalLog();
    void EditFilter();
    void NewFilter();
    void CopyFilter();
    void DeleteFilter();
    // Writes the filter file when the list changed; false (and a message) when that failed.
    bool SaveFilters();

    // How the editor is run (tests replace it): true when it ended with Save.
    std::function<bool(TIEDialog2&)> RunEditor;

    TMyGrid* DG;
    QAction* Import1;
    QAction* Export1;
    QAction* MergeKorvallog1;
    QAction* Exit1;
    QMenu* FilterMenu;
    QAction* Edit2;
    QAction* New2;
    QAction* Copy1;
    QAction* Delete2;
    QAction* HelpforFilters1;

protected:
    void done(int r) override;

private:
    TFilterList list_;
    bool dirty_ = false;
};

// Opens the filter list window (the main window's import/export filters command).
void ShowImportExportFilters(QWidget* parent);

} // namespace korval
