#include "station/windows/radio_db.h"

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_numeric_field.h"
#include "entry/windows/ovc_picture_field.h"
#include "entry/windows/ovc_simple_field.h"
#include "grids/windows/ovc_notebook.h"
#include "grids/windows/popup_box.h"
#include "logbook/bands_modes.h"
#include "logbook/base/day_number.h"
#include "logbook/base/string_utils.h"
#include "logbook/config_record.h"
#include "logbook/configured_formats.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/form_placement.h"
#include "logbook/windows/list_box_clipboard.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"
#include "station/radio_list.h"
#include "station/windows/radio_fields.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QVBoxLayout>

#include <algorithm>

namespace korval {

namespace {

constexpr const char* NewRadioName = "New radio";

TOvcSimpleField* TextField(QWidget* parent, const char* name, int maxLen, char mask = 0)
{
    auto* f = new TOvcSimpleField(parent);
    f->setObjectName(name);
    f->SetMaxLength(maxLen);
    if (mask)
        f->SetPictureMask(mask);
    return f;
}

TWheelx* Choice(QWidget* parent, const char* name)
{
    auto* w = new TWheelx(parent);
    w->setObjectName(name);
    return w;
}

QCheckBox* Check(QWidget* parent, const char* name, const char* text)
{
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    return c;
}

// A choice's 0-based index (its selection is 1-based).
int Index(const TWheelx* w) { return std::max(0, w->GetSelection() - 1); }
std::uint8_t Byte(int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); }
int Digits(TOvcSimpleField* f) { return DigitsValue(f->GetAsString()); }

// Mode codes: an empty field is "none" (255).
std::string CodeText(std::uint8_t code) { return code == NoModeCode ? std::string() : std::to_string(code); }
std::uint8_t CodeOf(TOvcSimpleField* f)
{
    const std::string text = TrimSpaces(f->GetAsString());
    return text.empty() ? NoModeCode : Byte(DigitsValue(text));
}

std::string Cut(const std::string& s, std::size_t n) { return s.substr(0, std::min(s.size(), n)); }

class TGridPage {
public:
    explicit TGridPage(QWidget* page) : page_(page), grid_(new QGridLayout(page)) {}
    void Add(const char* label, QWidget* w, int column = 0)
    {
        int& row = rows_[column];
        grid_->addWidget(new QLabel(label, page_), row, column * 2);
        grid_->addWidget(w, row++, column * 2 + 1);
    }
    void AddWide(QWidget* w, int column = 0) { grid_->addWidget(w, rows_[column]++, column * 2, 1, 2); }
    QGridLayout* Grid() const { return grid_; }

private:
    QWidget* page_;
    QGridLayout* grid_;
    int rows_[2] = {0, 0};
};

} // namespace

TRadioDB::TRadioDB(QWidget* parent) : QDialog(parent)
{
    setObjectName("RadioDB");
    setWindowTitle("Radio database");
    controller_ = new TOvcController(this);
    auto* menuBar = new QMenuBar(this);
    QMenu* file = menuBar->addMenu("&File");
    Cancelchangesandexit1 = file->addAction("Cancel changes and Exit", this, [this] { CancelAndExitClick(); });
    Savechangesandexit1 = file->addAction("Save Changes and Exit", this, [this] { SaveAndExitClick(); });
    QMenu* radio = menuBar->addMenu("&Radio");
    New1 = radio->addAction("New", this, [this] { New1Click(); });
    Copy1 = radio->addAction("Copy", this, [this] { Copy1Click(); });
    Update1 = radio->addAction("Update", this, [this] { Update1Click(); });
    Delete1 = radio->addAction("Delete", this, [this] { Delete1Click(); });
    QMenu* test = menuBar->addMenu("&Test");
    Read1 = test->addAction("Read", this, [this] { Read1Click(); });
    Write1 = test->addAction("Write", this, [this] { Write1Click(); });
    SMeter1 = test->addAction("S meter", this, [this] { SMeter1Click(); });
    CopyToClipboard1 = test->addAction("Copy to Clipboard", this, [this] { CopyToClipboardClick(); });

    NB = new TOvcNotebook(this);
    NB->setObjectName("NB");
    BuildGeneral();
    BuildValues();
    BuildCmdsFields();
    BuildTest();
    auto* lay = new QVBoxLayout(this);
    lay->setMenuBar(menuBar);
    lay->addWidget(NB);
    setMinimumSize(640, 420);

    // The radio cannot run while its definitions change under it.
    if (Radio()) {
        hadRadio_ = true;
        FreeRadio();
    }
    list_ = std::make_unique<TRadioList>(true);
    if (!list_->LoadProblems().empty()) {
        std::string text = "These radio definitions cannot be used and are left out:";
        for (const std::string& p : list_->LoadProblems())
            text += "\r" + p;
        MessageDlg(text, TMsgDlgType::mtError, mbOK);
    }
    FillModelList();
    for (int c = 0; c < RadioCommandCount; ++c) {
        F_CmdName->GetItems().Add(RadioCommandName(c));
        F_fld_cmd->GetItems().Add(RadioCommandName(c));
    }
    for (int f = 0; f < RadioFieldCount; ++f)
        F_FldName->GetItems().Add(RadioFieldName(f));
    for (int f = 0; f < RadioFormatCount; ++f)
        F_Fld_fmt->GetItems().Add(RadioFormatName(f));
    for (int l = 0; l < RadioLocationCount; ++l)
        F_Cmd_loc->GetItems().Add(RadioLocationName(l));
    for (int m = 1; m <= RadioModeCount; ++m) {
        F_Mode->GetItems().Add(ModeName(m));
        F_MvalName->GetItems().Add(ModeName(m));
    }
    SetRadioMonitor(this);

    F_RModel->OnListClick = [this](TCustomPopupBox*) {
        const int i = F_RModel->GetItemIndex();
        if (!showing_ && i >= 0 && i != index_)
            ShowRadio(i);
    };
    F_CmdName->OnChange = [this](TCustomPopupBox*) {
        if (!showing_)
            ShowCommand(Index(F_CmdName));
    };
    F_FldName->OnChange = [this](TCustomPopupBox*) {
        if (!showing_)
            ShowField(Index(F_FldName));
    };
    F_MvalName->OnChange = [this](TCustomPopupBox*) {
        if (!showing_)
            ShowMode(Index(F_MvalName) + 1);
    };
}

TRadioDB::~TRadioDB()
{
    SetRadioMonitor(nullptr);
    if (testRadio_)
        FreeRadio();
    if (hadRadio_ && result() != QDialog::Accepted)
        CreateRadio();
}

void TRadioDB::BuildGeneral()
{
    TOvcTabPage* page = NB->AddPage("General");
    TGridPage g(page);
    F_RModel = new TPopupBox(page);
    F_RModel->setObjectName("F_RModel");
    F_RModel->SetStyle(pbsDropDown);
    F_RModel->MaxLength = static_cast<int>(MaxModelLength);
    F_RBaudrate = NumberField(page, "F_RBaudrate", nftLongInt, "#####", "0", "65535");
    F_RDatabits = Choice(page, "F_RDatabits");
    F_RDatabits->GetItems().Assign({"7 bits", "8 bits"});
    F_RStopBits = Choice(page, "F_RStopBits");
    F_RStopBits->GetItems().Assign({"1 bit", "2 bits"});
    F_RfreqLow = FrequencyField(page, "F_RfreqLow");
    F_RfreqHigh = FrequencyField(page, "F_RfreqHigh");
    F_RNotes = TextField(page, "F_RNotes", static_cast<int>(MaxNotesLength));
    F_RDate = new TOvcPictureField(page);
    F_RDate->setObjectName("F_RDate");
    F_RDate->SetDataType(pftDate);
    F_RDate->SetPictureMask(DateFormatString());
    F_FileInterface = TextField(page, "F_FileInterface", static_cast<int>(MaxFileInterfaceLength));
    g.Add("Model", F_RModel);
    g.Add("Standard Baudrate", F_RBaudrate);
    g.Add("Data bits", F_RDatabits);
    g.Add("Stop bits", F_RStopBits);
    g.Add("Low freq (Khz)", F_RfreqLow);
    g.Add("High freq (Khz)", F_RfreqHigh);
    g.Add("Notes", F_RNotes);
    g.Add("Last modified", F_RDate);
    g.Add("File interface", F_FileInterface);
    g.Grid()->setRowStretch(9, 1);
}

void TRadioDB::BuildValues()
{
    TOvcTabPage* page = NB->AddPage("Values");
    TGridPage g(page);
    F_RCommandFormat = Choice(page, "F_RCommandFormat");
    F_RCommandFormat->GetItems().Assign({"Hex", "String"});
    F_RCommandOrder = Choice(page, "F_RCommandOrder");
    F_RCommandOrder->GetItems().Assign({"Normal", "Reverse"});
    F_ROffset = Choice(page, "F_ROffset");
    F_ROffset->GetItems().Assign({"Zero based", "One based"});
    F_RPreamble = TextField(page, "F_RPreamble", static_cast<int>(MaxPreambleLength));
    F_RConfirmLen = NumberField(page, "F_RConfirmLen", nftLongInt, "###", "0", "255");
    F_RReverseAB = Check(page, "F_RReverseAB", "Reverse A/B");
    const char* mul = "####.########";
    F_RFreqReadMul = NumberField(page, "F_RFreqReadMul", nftDouble, mul, "0", "9999");
    F_RFreqWriteMul = NumberField(page, "F_RFreqWriteMul", nftDouble, mul, "0", "9999");
    F_RRITScale = NumberField(page, "F_RRITScale", nftDouble, mul, "0", "9999");
    F_RSmeterScale = NumberField(page, "F_RSmeterScale", nftDouble, mul, "0", "9999");
    g.Add("Command format", F_RCommandFormat);
    g.Add("Command order", F_RCommandOrder);
    g.Add("Field positions", F_ROffset);
    g.Add("Command preamble", F_RPreamble);
    g.Add("Confirm length", F_RConfirmLen);
    g.AddWide(F_RReverseAB);
    g.Add("Freq read multiplier", F_RFreqReadMul);
    g.Add("Freq write multiplier", F_RFreqWriteMul);
    g.Add("RIT scale", F_RRITScale);
    g.Add("S meter scale", F_RSmeterScale);

    auto* group = new QGroupBox("Mode values", page);
    TGridPage m(group);
    F_MvalName = Choice(group, "F_MvalName");
    F_mval_read1 = TextField(group, "F_mval_read1", 3, '9');
    F_mval_read2 = TextField(group, "F_mval_read2", 3, '9');
    F_mval_write1 = TextField(group, "F_mval_write1", 3, '9');
    F_mval_write2 = TextField(group, "F_mval_write2", 3, '9');
    F_mval_wprefer2 = Check(group, "F_mval_wprefer2", "Prefer");
    m.Add("Mode", F_MvalName);
    m.Add("Read 1", F_mval_read1);
    m.Add("Read 2", F_mval_read2);
    m.Add("Write 1", F_mval_write1);
    m.Add("Write 2", F_mval_write2);
    m.AddWide(F_mval_wprefer2);
    g.Grid()->addWidget(group, 0, 2, 10, 2, Qt::AlignTop);
}

void TRadioDB::BuildCmdsFields()
{
    TOvcTabPage* page = NB->AddPage("Cmds/Fields");
    TGridPage g(page);
    F_CmdName = Choice(page, "F_CmdName");
    F_Cmd_str = TextField(page, "F_Cmd_str", static_cast<int>(MaxCommandLength));
    F_Cmd_len = TextField(page, "F_Cmd_len", 3, '9');
    F_Cmd_loc = Choice(page, "F_Cmd_loc");
    F_FldName = Choice(page, "F_FldName");
    F_fld_cmd = Choice(page, "F_fld_cmd");
    F_Fld_fmt = Choice(page, "F_Fld_fmt");
    F_Fld_pos = TextField(page, "F_Fld_pos", 3, '9');
    F_Fld_lm = TextField(page, "F_Fld_lm", 3, '9');
    g.Add("Command", F_CmdName);
    g.Add("Command string", F_Cmd_str);
    g.Add("Reply length", F_Cmd_len);
    g.Add("Location", F_Cmd_loc);
    g.Add("Field", F_FldName, 1);
    g.Add("Command", F_fld_cmd, 1);
    g.Add("Format", F_Fld_fmt, 1);
    g.Add("Position", F_Fld_pos, 1);
    g.Add("Length/mask", F_Fld_lm, 1);
    g.Grid()->setRowStretch(5, 1);
    g.Grid()->setColumnStretch(1, 1);
}

void TRadioDB::BuildTest()
{
    TOvcTabPage* page = NB->AddPage("Test");
    TGridPage g(page);
    F_AVFO = FrequencyField(page, "F_AVFO");
    F_BVFO = FrequencyField(page, "F_BVFO");
    F_Clari = NumberField(page, "F_Clari", nftDouble, "####.###", "-9999", "9999");
    F_RIT = Check(page, "F_RIT", "RIT");
    F_XIT = Check(page, "F_XIT", "XIT");
    F_Split = Check(page, "F_Split", "Split");
    F_Mode = Choice(page, "F_Mode");
    LB = new QListWidget(page);
    LB->setObjectName("LB");
    LB->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QFont mono = LB->font();
    mono.setStyleHint(QFont::Monospace);
    mono.setFamily("Monospace");
    LB->setFont(mono);
    LB->setMinimumSize(360, 260);
    g.Add("Main freq", F_AVFO);
    g.Add("QSX freq", F_BVFO);
    g.Add("Clarifier", F_Clari);
    g.Add("Mode", F_Mode);
    g.AddWide(F_RIT);
    g.AddWide(F_XIT);
    g.AddWide(F_Split);
    g.Grid()->setRowStretch(7, 1);
    g.Grid()->addWidget(LB, 0, 2, 8, 1);
    g.Grid()->setColumnStretch(2, 1);
}

void TRadioDB::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (index_ >= 0)
        return;
    SetFormFont(this);
    KeepFormOnScreen(this);
    const int configured = Config.RadioModel().empty() ? -1 : list_->IndexOf(Config.RadioModel());
    if (list_->Count() == 0)
        New1Click();
    else
        ShowRadio(std::max(configured, 0));
}

void TRadioDB::FillModelList()
{
    F_RModel->GetItems().Clear();
    for (int i = 0; i < list_->Count(); ++i)
        F_RModel->GetItems().Add(list_->Name(i));
}

void TRadioDB::ShowRadio(int i)
{
    if (i < 0 || i >= list_->Count())
        return;
    showing_ = true;
    index_ = i;
    F_RModel->SetItemIndex(i);
    work_ = list_->GetRadio(i);
    setWindowTitle(FromWin1252("Edit radio: " + work_.Model));
    F_RModel->SetText(work_.Model);
    F_RBaudrate->SetAsInteger(work_.Baud);
    F_RDatabits->SetSelection(work_.DataBits + 1);
    F_RStopBits->SetSelection(work_.StopBits + 1);
    F_RfreqLow->SetAsFloat(work_.FreqLow);
    F_RfreqHigh->SetAsFloat(work_.FreqHigh);
    F_RNotes->SetAsString(work_.Notes);
    if (work_.Date != 0)
        F_RDate->SetAsStDate(DayNumberToStDate(work_.Date));
    else
        F_RDate->SetAsString("");
    F_FileInterface->SetAsString(work_.FileInterface);
    F_RCommandFormat->SetSelection(work_.CommandFormat + 1);
    F_RCommandOrder->SetSelection(work_.CommandOrder + 1);
    F_ROffset->SetSelection(work_.PositionBase + 1);
    F_RPreamble->SetAsString(work_.Preamble);
    F_RConfirmLen->SetAsInteger(work_.ConfirmLength);
    F_RReverseAB->setChecked(work_.ReverseAB);
    F_RFreqReadMul->SetAsFloat(work_.ReadFreqMul);
    F_RFreqWriteMul->SetAsFloat(work_.WriteFreqMul);
    F_RRITScale->SetAsFloat(work_.RitScale);
    F_RSmeterScale->SetAsFloat(work_.SMeterScale);
    showing_ = false;
    // Shown without storing: the controls still hold the previous definition's values.
    FillCommand(0);
    FillField(0);
    FillMode(1);
}

void TRadioDB::ShowCommand(int c)
{
    if (StoreCommand()) {
        FillCommand(c);
    } else {
        // The operator mends the text first.
        showing_ = true;
        F_CmdName->SetSelection(command_ + 1);
        showing_ = false;
    }
}

void TRadioDB::ShowField(int f)
{
    StoreField();
    FillField(f);
}

void TRadioDB::ShowMode(int m)
{
    StoreMode();
    FillMode(m);
}

void TRadioDB::FillCommand(int c)
{
    command_ = std::clamp(c, 0, RadioCommandCount - 1);
    const TRadioCommandEntry& e = work_.Commands[static_cast<std::size_t>(command_)];
    showing_ = true;
    F_CmdName->SetSelection(command_ + 1);
    F_Cmd_str->SetAsString(e.command);
    F_Cmd_len->SetAsString(std::to_string(e.length));
    F_Cmd_loc->SetSelection(e.location + 1);
    showing_ = false;
}

void TRadioDB::FillField(int f)
{
    field_ = std::clamp(f, 0, RadioFieldCount - 1);
    const TRadioFieldEntry& e = work_.Fields[static_cast<std::size_t>(field_)];
    showing_ = true;
    F_FldName->SetSelection(field_ + 1);
    F_fld_cmd->SetSelection(e.command + 1);
    F_Fld_fmt->SetSelection(e.format + 1);
    F_Fld_pos->SetAsString(std::to_string(e.position));
    F_Fld_lm->SetAsString(std::to_string(e.lengthMask));
    showing_ = false;
}

void TRadioDB::FillMode(int m)
{
    mode_ = std::clamp(m, 1, RadioModeCount);
    const TRadioModeEntry& e = work_.Modes[static_cast<std::size_t>(mode_)];
    showing_ = true;  // the mode choice's change event is held off
    F_MvalName->SetSelection(mode_);
    F_mval_read1->SetAsString(CodeText(e.read1));
    F_mval_read2->SetAsString(CodeText(e.read2));
    F_mval_write1->SetAsString(CodeText(e.write1));
    F_mval_write2->SetAsString(CodeText(e.write2));
    F_mval_wprefer2->setChecked(e.prefer);
    showing_ = false;
}

bool TRadioDB::StoreCommand()
{
    TRadioCommandEntry& e = work_.Commands[static_cast<std::size_t>(command_)];
    const std::string text = F_Cmd_str->GetAsString();
    const std::uint8_t format = static_cast<std::uint8_t>(Index(F_RCommandFormat));
    if (const std::string problem = CommandTextProblem(format, text); !problem.empty()) {
        MessageDlg(std::string("Command \"") + RadioCommandName(command_) + "\": " + text + ": " + problem,
                   TMsgDlgType::mtError, mbOK);
        NB->SetPageIndex(pgCmdsFields);
        F_Cmd_str->setFocus();
        return false;
    }
    e.command = Cut(text, MaxCommandLength);
    e.length = Byte(Digits(F_Cmd_len));
    e.location = static_cast<std::uint8_t>(Index(F_Cmd_loc));
    return true;
}

void TRadioDB::StoreField()
{
    TRadioFieldEntry& e = work_.Fields[static_cast<std::size_t>(field_)];
    e.command = static_cast<std::uint8_t>(Index(F_fld_cmd));
    e.format = static_cast<std::uint8_t>(Index(F_Fld_fmt));
    e.position = Byte(Digits(F_Fld_pos));
    e.lengthMask = Byte(Digits(F_Fld_lm));
}

void TRadioDB::StoreMode()
{
    TRadioModeEntry& e = work_.Modes[static_cast<std::size_t>(mode_)];
    e.read1 = CodeOf(F_mval_read1);
    e.read2 = CodeOf(F_mval_read2);
    e.write1 = CodeOf(F_mval_write1);
    e.write2 = CodeOf(F_mval_write2);
    e.prefer = F_mval_wprefer2->isChecked();
}

bool TRadioDB::StoreControls()
{
    work_.Model = Cut(TrimSpaces(F_RModel->GetText()), MaxModelLength);
    work_.Baud = static_cast<std::uint16_t>(std::clamp<std::int32_t>(F_RBaudrate->GetAsInteger(), 0, 65535));
    work_.DataBits = static_cast<std::uint8_t>(Index(F_RDatabits));
    work_.StopBits = static_cast<std::uint8_t>(Index(F_RStopBits));
    work_.FreqLow = F_RfreqLow->GetAsFloat();
    work_.FreqHigh = F_RfreqHigh->GetAsFloat();
    work_.Notes = Cut(F_RNotes->GetAsString(), MaxNotesLength);
    const TStDate date = F_RDate->GetAsStDate();
    work_.Date = date > 0 ? StDateToDayNumber(date) : work_.Date;
    work_.FileInterface = Cut(F_FileInterface->GetAsString(), MaxFileInterfaceLength);
    work_.CommandFormat = static_cast<std::uint8_t>(Index(F_RCommandFormat));
    work_.CommandOrder = static_cast<std::uint8_t>(Index(F_RCommandOrder));
    work_.PositionBase = static_cast<std::uint8_t>(Index(F_ROffset));
    work_.Preamble = Cut(F_RPreamble->GetAsString(), MaxPreambleLength);
    work_.ConfirmLength = Byte(F_RConfirmLen->GetAsInteger());
    work_.ReverseAB = F_RReverseAB->isChecked();
    work_.ReadFreqMul = F_RFreqReadMul->GetAsFloat();
    work_.WriteFreqMul = F_RFreqWriteMul->GetAsFloat();
    work_.RitScale = F_RRITScale->GetAsFloat();
    work_.SMeterScale = F_RSmeterScale->GetAsFloat();
    StoreField();
    StoreMode();
    return StoreCommand() && CheckCommandTexts();
}

bool TRadioDB::CheckCommandTexts()
{
    const std::uint8_t format = work_.CommandFormat;
    if (const std::string problem = CommandTextProblem(format, work_.Preamble); !problem.empty()) {
        MessageDlg("Command preamble: " + work_.Preamble + ": " + problem, TMsgDlgType::mtError, mbOK);
        NB->SetPageIndex(pgValues);
        F_RPreamble->setFocus();
        return false;
    }
    for (int c = 0; c < RadioCommandCount; ++c) {
        const std::string& text = work_.Commands[static_cast<std::size_t>(c)].command;
        if (CommandTextProblem(format, text).empty())
            continue;
        FillCommand(c);
        StoreCommand();  // shows the message and the command
        return false;
    }
    return true;
}

void TRadioDB::New1Click()
{
    TRadioDefinition d;
    list_->NewItem(d);
    const int i = list_->Add(NewRadioName, d);
    FillModelList();
    ShowRadio(i);
}

void TRadioDB::Copy1Click()
{
    if (!StoreControls())
        return;
    TRadioDefinition d = work_;
    d.Model = Cut("&" + work_.Model, MaxModelLength);
    d.Notes = Cut("Cpy " + work_.Notes, MaxNotesLength);
    d.Date = UtcToday();
    const int i = list_->Add(d.Model, d);
    FillModelList();
    ShowRadio(i);
}

void TRadioDB::Update1Click() { UpdateEntry(); }

bool TRadioDB::UpdateEntry()
{
    if (!StoreControls())
        return false;
    if (work_.Model.empty()) {
        // The model names the file.
        MessageDlg("A radio needs a model name", TMsgDlgType::mtError, mbOK);
        return false;
    }
    if (index_ >= 0 && index_ < list_->Count())
        list_->Delete(index_);
    work_.Date = UtcToday();
    const int i = list_->Add(work_.Model, work_);
    FillModelList();
    ShowRadio(i);
    return true;
}

void TRadioDB::Delete1Click()
{
    if (index_ < 0 || index_ >= list_->Count())
        return;
    list_->Delete(index_);
    FillModelList();
    if (list_->Count() == 0)
        New1Click();
    else
        ShowRadio(std::min(index_, list_->Count() - 1));
}

void TRadioDB::SaveAndExitClick()
{
    if (!UpdateEntry())
        return;
    try {
        list_->Save();
    } catch (const std::exception& e) {
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
        return;
    }
    Config.SetRadioModel("");
    accept();
}

void TRadioDB::CancelAndExitClick() { reject(); }

bool TRadioDB::ChkActiveRadio()
{
    NB->SetPageIndex(pgTest);
    if (!StoreControls())
        return false;
    if (testRadio_)
        LB->clear();
    testRadio_ = CreateRadioFrom(work_);
    if (!testRadio_)
        return false;
    AddLine(work_.Model + " Date = " + FormatDayNumber(work_.Date));
    return true;
}

void TRadioDB::Read1Click()
{
    if (!ChkActiveRadio())
        return;
    double rx = 0, tx = 0;
    std::uint8_t mode = 0;
    bool split = false;
    Radio()->ReadFrequencyAndMode(rx, tx, mode, split);
    if (Radio())
        AddLine("Last error = " + std::to_string(Radio()->Error()));
}

void TRadioDB::Write1Click()
{
    if (!ChkActiveRadio())
        return;
    Radio()->SetFrequencyAndMode(static_cast<std::uint8_t>(Index(F_Mode) + 1), F_Split->isChecked(),
                                 F_AVFO->GetAsFloat(), F_BVFO->GetAsFloat());
    if (Radio())
        AddLine("Last error = " + std::to_string(Radio()->Error()));
}

void TRadioDB::SMeter1Click()
{
    if (!ChkActiveRadio())
        return;
    std::uint8_t s = 0;
    Radio()->ReadSMeter(s);
    F_BVFO->SetAsFloat(s);
}

void TRadioDB::CopyToClipboardClick() { CopyListBoxToClipboard(LB); }

void TRadioDB::AddLine(const std::string& text)
{
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t cr = text.find('\r', start);
        const std::string piece = text.substr(start, cr == std::string::npos ? std::string::npos : cr - start);
        if (cr == std::string::npos) {
            if (!piece.empty())
                LB->addItem(FromWin1252(piece));
            break;
        }
        LB->addItem(FromWin1252(piece));
        start = cr + 1;
    }
    LB->scrollToBottom();
}

void TRadioDB::MonitorLine(const std::string& line) { AddLine(line); }

void TRadioDB::RadioRead(const TRadio& radio)
{
    F_Clari->SetAsFloat(radio.ClarifierKHz());
    F_RIT->setChecked(radio.RitOn());
    F_XIT->setChecked(radio.XitOn());
    F_Split->setChecked(radio.Split());
    F_Mode->SetSelection(radio.Mode());
    F_AVFO->SetAsFloat(radio.RxFreq());
    F_BVFO->SetAsFloat(radio.TxFreq());
}

} // namespace korval
