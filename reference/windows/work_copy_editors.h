#pragma once
// The three editors over work copies of country-database collections: the QSL managers and the
// IOTA references in tables, the manager addresses in a memo under a callsign choice. Each has a
// text export and import; "Save Changes and Exit" writes the work copy back into the database
// and closes with OK, "Cancel Changes and Exit" closes with Cancel and changes nothing.
#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "reference/work_copy_text.h"

class QMenu;
class QPlainTextEdit;

namespace korval {

class TOvcController;
class TOvcSimpleField;
class TOvcTable;
class TPopupBox;

// What the editors share: the File menu, the file questions and the summary of an import.
class TWorkCopyDialog : public QDialog {
    Q_OBJECT
public:
    // Stand-ins for the save and open dialogs (tests); "" cancels.
    std::function<std::string(bool save)> AskFile;

    void ExportClick();
    void ImportClick();
    virtual void SaveClick() = 0;

    TOvcController* Controller = nullptr;
    QMenu* FileMenu = nullptr;

protected:
    TWorkCopyDialog(QWidget* parent, const char* name, const char* caption);
    virtual std::string ExportText() const = 0;
    virtual std::string ExportedMessage() const = 0;
    virtual TImportSummary Import(std::string_view text, bool deleteFirst) = 0;
    virtual std::string DeleteQuestion() const = 0;
    virtual bool SummaryWithSkipped() const { return true; }
    virtual void Refresh() = 0;
};

// A table editor's row of the QSL managers: the date as the table's day count (-1 none).
struct TQslMgrRow {
    std::string Station;
    std::int32_t Date = -1;
    std::string Manager;
};

class TEditQSLMgrDialog : public TWorkCopyDialog {
    Q_OBJECT
public:
    explicit TEditQSLMgrDialog(QWidget* parent = nullptr);
    const std::vector<TQslMgrRow>& Rows() const { return rows_; }
    std::vector<TQslMgrEntry> Work() const;
    void InsertRow();
    void DeleteRow();
    void Locate(const std::string& text);
    void SaveClick() override;

    TOvcSimpleField* F_CallSearch = nullptr;
    TOvcTable* Table = nullptr;

protected:
    std::string ExportText() const override;
    std::string ExportedMessage() const override;
    TImportSummary Import(std::string_view text, bool deleteFirst) override;
    std::string DeleteQuestion() const override { return "Do you want to DELETE existing QSL manager information"; }
    void Refresh() override;

private:
    void SetWork(const std::vector<TQslMgrEntry>& work);
    void Resort(int row);
    std::vector<TQslMgrRow> rows_;
};

class TEditIOTADialog : public TWorkCopyDialog {
    Q_OBJECT
public:
    explicit TEditIOTADialog(QWidget* parent = nullptr);
    const std::vector<TIotaEntry>& Work() const { return work_; }
    void InsertRow();
    void DeleteRow();
    void Locate(const std::string& text);
    void SaveClick() override;

    TOvcSimpleField* F_IOTASearch = nullptr;
    TOvcTable* Table = nullptr;

protected:
    std::string ExportText() const override { return ExportIota(work_); }
    std::string ExportedMessage() const override;
    TImportSummary Import(std::string_view text, bool deleteFirst) override;
    std::string DeleteQuestion() const override { return "Do you want to DELETE existing IOTA information"; }
    bool SummaryWithSkipped() const override { return false; }
    void Refresh() override;

private:
    void Resort(int row);
    std::vector<TIotaEntry> work_;
};

class TEditAddressDialog : public TWorkCopyDialog {
    Q_OBJECT
public:
    // The callsign an emptied list keeps its one entry under.
    static constexpr const char* PlaceholderCall = "??CALL??";

    explicit TEditAddressDialog(QWidget* parent = nullptr);
    // The work copy, with the shown text stored first when it was changed.
    const std::vector<TAddressEntry>& Work();
    int Shown() const { return shown_; }
    void ShowEntry(int index);
    // "Search Manager": the entry of the typed callsign, or the first after it.
    void SearchManager();
    void AddAddress();
    void DeleteAddress();
    void SaveClick() override;

    TPopupBox* LB = nullptr;
    QPlainTextEdit* Memo1 = nullptr;

protected:
    std::string ExportText() const override { return ExportAddresses(work_); }
    std::string ExportedMessage() const override;
    TImportSummary Import(std::string_view text, bool deleteFirst) override;
    std::string DeleteQuestion() const override { return "Do you want to DELETE existing addresses"; }
    void Refresh() override;

private:
    void StoreShown();
    void FillChoice();
    std::vector<TAddressEntry> work_;
    int shown_ = -1;
};

} // namespace korval
