#pragma once
// TRPSetupForm: asks where a report goes (printer, preview or a file) or, printing from the
// preview, which pages; with the copies, collation and duplex, and the printer setup.
#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace korval {

class TReportSystem;
class TFilePrinter;

class TRPSetupForm : public QDialog {
    Q_OBJECT
public:
    // Without a player the form asks for the destination; with one, for the pages to print.
    TRPSetupForm(TReportSystem& runner, TFilePrinter* player, QWidget* parent = nullptr);

    QGroupBox *DestinationGB, *RangeGB, *PrinterGB, *OptionsGB;
    QRadioButton *PrinterRB, *PreviewRB, *FileRB, *AllRB, *SelectionRB, *PagesRB;
    QLineEdit *FileNameED, *SelectionED, *FromED, *ToED, *CopiesED;
    QToolButton* FileNameSB;
    QLabel *PrinterLabel, *FromLabel, *ToLabel;
    QCheckBox *CollateCK, *DuplexCK;
    QPushButton *OKBB, *CancelBB, *SetupBB;

    void accept() override;

private:
    void updatePrinterLabel();
    void rangeChanged();
    void destinationChanged();

    TReportSystem& runner_;
    TFilePrinter* player_;
};

} // namespace korval
