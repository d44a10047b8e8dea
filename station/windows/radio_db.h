#pragma once
// "Radio database": the editor of the radio definitions in RADIOS/, and the test bench of the
// CAT engine. It works on a list of all definitions and one working copy of the shown one;
// "Update" puts the copy back into the list, "Save Changes and Exit" writes the changed files.
// The "Test" page runs the engine on the working copy and shows its exchanges ("Send: ",
// "Echo: ", "Received: ") and readings. A running radio is stopped while the window is open and
// started again when it closes with Cancel.
#include <QDialog>

#include "station/radio_definition.h"
#include "station/windows/radio_control.h"

#include <memory>
#include <string>

class QCheckBox;
class QListWidget;
class QAction;

namespace korval {

class TOvcController;
class TOvcNotebook;
class TOvcNumericField;
class TOvcPictureField;
class TOvcSimpleField;
class TPopupBox;
class TRadioList;
class TWheelx;

class TRadioDB : public QDialog, private TRadioMonitor {
    Q_OBJECT
public:
    enum TPage { pgGeneral, pgValues, pgCmdsFields, pgTest };

    explicit TRadioDB(QWidget* parent = nullptr);
    ~TRadioDB() override;

    TRadioList& List() { return *list_; }
    const TRadioDefinition& Working() const { return work_; }
    int CurrentIndex() const { return index_; }

    // Menu commands.
    void New1Click();
    void Copy1Click();
    void Update1Click();
    void Delete1Click();
    void SaveAndExitClick();
    void CancelAndExitClick();
    void Read1Click();
    void Write1Click();
    void SMeter1Click();
    void CopyToClipboardClick();

    // Shows entry i of the list.
    void ShowRadio(int i);
    // Shows a command, field or mode (the current one is stored first).
    void ShowCommand(int c);
    void ShowField(int f);
    void ShowMode(int m);

    QAction *Cancelchangesandexit1, *Savechangesandexit1, *New1, *Copy1, *Update1, *Delete1, *Read1, *Write1,
        *SMeter1, *CopyToClipboard1;
    TOvcNotebook* NB;
    // General
    TPopupBox* F_RModel;
    TOvcNumericField* F_RBaudrate;
    TWheelx* F_RDatabits;
    TWheelx* F_RStopBits;
    TOvcNumericField *F_RfreqLow, *F_RfreqHigh;
    TOvcSimpleField* F_RNotes;
    TOvcPictureField* F_RDate;
    TOvcSimpleField* F_FileInterface;
    // Values
    TWheelx *F_RCommandFormat, *F_RCommandOrder, *F_ROffset;
    TOvcSimpleField* F_RPreamble;
    TOvcNumericField* F_RConfirmLen;
    QCheckBox* F_RReverseAB;
    TOvcNumericField *F_RFreqReadMul, *F_RFreqWriteMul, *F_RRITScale, *F_RSmeterScale;
    TWheelx* F_MvalName;
    TOvcSimpleField *F_mval_read1, *F_mval_read2, *F_mval_write1, *F_mval_write2;
    QCheckBox* F_mval_wprefer2;
    // Cmds/Fields
    TWheelx* F_CmdName;
    TOvcSimpleField* F_Cmd_str;
    TOvcSimpleField* F_Cmd_len;
    TWheelx* F_Cmd_loc;
    TWheelx* F_FldName;
    TWheelx* F_fld_cmd;
    TWheelx* F_Fld_fmt;
    TOvcSimpleField *F_Fld_pos, *F_Fld_lm;
    // Test
    TOvcNumericField *F_AVFO, *F_BVFO, *F_Clari;
    QCheckBox *F_RIT, *F_XIT, *F_Split;
    TWheelx* F_Mode;
    QListWidget* LB;

protected:
    void showEvent(QShowEvent* e) override;

private:
    // TRadioMonitor
    void MonitorLine(const std::string& line) override;
    void RadioRead(const TRadio& radio) override;

    void BuildGeneral();
    void BuildValues();
    void BuildCmdsFields();
    void BuildTest();
    void FillModelList();
    // Controls -> working copy; false (with a message) when a command text cannot be used.
    bool StoreControls();
    bool StoreCommand();
    void StoreField();
    void StoreMode();
    // A command, field or mode into its controls (nothing stored).
    void FillCommand(int c);
    void FillField(int f);
    void FillMode(int m);
    // Every command text and the preamble in the chosen notation; the first that is not is
    // shown with its message.
    bool CheckCommandTexts();
    // "Update": the working copy back into the list under its model name.
    bool UpdateEntry();
    // The test radio over the working copy; false when it could not be started.
    bool ChkActiveRadio();
    void AddLine(const std::string& text);

    std::unique_ptr<TRadioList> list_;
    TRadioDefinition work_;
    TOvcController* controller_;
    int index_ = -1;
    int command_ = 0, field_ = 0, mode_ = 1;
    bool showing_ = false;
    bool hadRadio_ = false;   // a radio ran when the window opened
    bool testRadio_ = false;  // the running radio is this window's test radio
};

} // namespace korval
