#pragma once
// The operator's questions of an import as dialogs: the duplicate policy (TAskDupesImport) and
// the prefix/zone confirmation (TConfirmPZC).
#include <QDialog>

#include "exchange/import_driver.h"

class QPushButton;

namespace korval {

class TOvcController;
class TOvcSimpleField;
class TWheelx;

class TAskDupesImport : public QDialog {
    Q_OBJECT
public:
    explicit TAskDupesImport(QWidget* parent = nullptr);
    TWheelx* RG;
    QPushButton* Button1;
    QPushButton* Button2;
};

class TConfirmPZC : public QDialog {
    Q_OBJECT
public:
    TConfirmPZC(const TQsoRecord& qso, std::uint16_t importedCountry, std::uint8_t importedZone,
                QWidget* parent = nullptr);
    TOvcController* Controller;
    TOvcSimpleField* F_Call;
    TOvcSimpleField* F_Date;
    TOvcSimpleField* F_PDX;
    TOvcSimpleField* F_ZDX;
    TOvcSimpleField* F_PImp;
    TOvcSimpleField* F_ZImp;
    QPushButton* Button1;  // "Korval": 1
    QPushButton* Button2;  // "Import": 2
    QPushButton* Button3;  // "Cancel": 0
};

// The questions through these dialogs.
class TDialogImportQuestions : public TImportQuestions {
public:
    explicit TDialogImportQuestions(QWidget* parent = nullptr) : parent_(parent) {}
    bool AskDupesImportPolicy(int& policy) override;
    int ConfirmPrefixZoneChange(const TQsoRecord& qso, std::uint16_t importedCountry, std::uint8_t importedZone) override;

private:
    QWidget* parent_;
};

// What the main window and the QSO window call: an import of a file with the operator's dialogs,
// and an export, both with the given filter (ADIF when its ID begins with "ADIF").
bool ImportFileWithDialogs(QWidget* parent, const std::string& fileName, const TFilterRecord& filter);
bool ExportFileWithDialogs(QWidget* parent, const std::string& fileName, const TFilterRecord& filter);
// The ADIF filter of the filter file, or a plain ADIF filter when the file has none.
TFilterRecord DefaultAdifFilter();

} // namespace korval
