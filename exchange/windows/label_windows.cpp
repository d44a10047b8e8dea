#include "exchange/windows/label_windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

#include "exchange/windows/label_print_run.h"
#include "exchange/windows/report_setup.h"
#include "logbook/base/day_number.h"
#include "logbook/qso_data.h"
#include "logbook/qso_fields.h"
#include "logbook/windows/form_fonts.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"
#include "reporting/report_system.h"

namespace korval {

namespace {

void showProblems(const TLabelLayoutList& list)
{
    if (list.Problems.empty())
        return;
    std::string text;
    for (const std::string& p : list.Problems)
        text += (text.empty() ? "" : "\r") + p;
    MessageDlg(text, TMsgDlgType::mtWarning, mbOK);
}

QDoubleSpinBox* lengthField(QWidget* parent, const char* name)
{
    auto* f = new QDoubleSpinBox(parent);
    f->setObjectName(name);
    f->setRange(-999.99, 9999.99);
    f->setDecimals(3);
    return f;
}

constexpr double kMmPerInch = 25.4;

} // namespace

// ---- the label editor

TLabelEditor::TLabelEditor(TConfigRecord& config, QWidget* parent) : QDialog(parent), config_(config), kept_(config)
{
    setWindowTitle("Label Editor");
    CBW = new QComboBox(this);
    CBW->setObjectName("CBW");
    F_Units = new QComboBox(this);
    F_Units->setObjectName("F_Units");
    F_Units->addItems({"Inch", "mm"});
    F_LabelWidth = lengthField(this, "F_LabelWidth");
    F_LabelHeight = lengthField(this, "F_LabelHeight");
    F_SpacingWidth = lengthField(this, "F_SpacingWidth");
    F_SpacingHeight = lengthField(this, "F_SpacingHeight");
    F_SpacingLeft = lengthField(this, "F_SpacingLeft");
    F_SpacingTop = lengthField(this, "F_SpacingTop");
    F_PageWidth = lengthField(this, "F_PageWidth");
    F_PageHeight = lengthField(this, "F_PageHeight");
    F_RightShift = lengthField(this, "F_RightShift");
    F_DownShift = lengthField(this, "F_DownShift");
    F_NumAcross = new QSpinBox(this);
    F_NumAcross->setObjectName("F_NumAcross");
    F_NumDown = new QSpinBox(this);
    F_NumDown->setObjectName("F_NumDown");
    for (QSpinBox* s : {F_NumAcross, F_NumDown})
        s->setRange(1, 99);
    F_LabMaxQSOs = new QSpinBox(this);
    F_LabMaxQSOs->setObjectName("F_LabMaxQSOs");
    F_LabMaxQSOs->setRange(0, 99);
    F_PaperName = new QLineEdit(this);
    F_PaperName->setObjectName("F_PaperName");
    F_PaperName->setMaxLength(20);
    F_LabHeaderFontName = new QLineEdit(this);
    F_LabHeaderFontName->setObjectName("F_LabHeaderFontName");
    F_LabBodyFontName = new QLineEdit(this);
    F_LabBodyFontName->setObjectName("F_LabBodyFontName");
    for (QLineEdit* e : {F_LabHeaderFontName, F_LabBodyFontName}) {
        e->setReadOnly(true);
        e->setToolTip("Double-click to choose the font");
        e->installEventFilter(this);
    }
    F_Portrait = new QCheckBox("Portrait", this);
    F_LabUseLines = new QCheckBox("Use lines", this);
    F_Commercial = new QCheckBox("Commercial", this);
    F_LabCallRightAlgn = new QCheckBox("Call right aligned", this);
    BtnCopy = new QPushButton("Copy", this);
    BtnPreview = new QPushButton("Preview", this);
    BtnOK = new QPushButton("OK", this);
    BtnCancel = new QPushButton("Cancel", this);
    PageWidthLabel = new QLabel("Page width", this);
    PageHeightLabel = new QLabel("Page height", this);

    auto* grid = new QGridLayout;
    int row = 0;
    auto pair = [&](const char* a, QWidget* wa, const char* b, QWidget* wb) {
        grid->addWidget(new QLabel(a, this), row, 0);
        grid->addWidget(wa, row, 1);
        if (wb) {
            grid->addWidget(new QLabel(b, this), row, 2);
            grid->addWidget(wb, row, 3);
        }
        ++row;
    };
    pair("Layout", CBW, "Units", F_Units);
    pair("Label width", F_LabelWidth, "Label height", F_LabelHeight);
    pair("Horz pitch", F_SpacingWidth, "Vert pitch", F_SpacingHeight);
    pair("Spacing left", F_SpacingLeft, "Spacing top", F_SpacingTop);
    pair("Nr across", F_NumAcross, "Nr down", F_NumDown);
    pair("Paper size", F_PaperName, "", F_Portrait);
    grid->addWidget(PageWidthLabel, row, 0);
    grid->addWidget(F_PageWidth, row, 1);
    grid->addWidget(PageHeightLabel, row, 2);
    grid->addWidget(F_PageHeight, row, 3);
    ++row;
    pair("Horz shift", F_RightShift, "Vert shift", F_DownShift);
    pair("Callsign font", F_LabHeaderFontName, "Body font", F_LabBodyFontName);
    pair("Max QSOs", F_LabMaxQSOs, "", nullptr);
    auto* options = new QGroupBox("Options", this);
    auto* ol = new QHBoxLayout(options);
    for (QCheckBox* c : {F_LabUseLines, F_Commercial, F_LabCallRightAlgn})
        ol->addWidget(c);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtnCopy);
    buttons->addWidget(BtnPreview);
    buttons->addStretch();
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnCancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addWidget(options);
    top->addLayout(buttons);

    list_ = LoadLabelLayouts(LabelLayoutFileName(), config_);
    showProblems(list_);
    for (const TLabelLayout& l : list_.Layouts)
        CBW->addItem(FromWin1252(l.Name));
    settings_ = TLabelSettings::FromConfig(config_);
    F_LabHeaderFontName->setText(FromWin1252(settings_.CallFont.Name));
    F_LabBodyFontName->setText(FromWin1252(settings_.BodyFont.Name));
    F_LabMaxQSOs->setValue(settings_.MaxQsos);
    F_LabUseLines->setChecked(settings_.UseLines);
    F_Commercial->setChecked(settings_.Commercial);
    F_LabCallRightAlgn->setChecked(settings_.CallRightAligned);
    const int chosen = settings_.CurrentLayout < list_.Count() ? settings_.CurrentLayout : 0;
    CBW->setCurrentIndex(chosen);
    ShowLayout(chosen);

    connect(CBW, &QComboBox::activated, this, [this](int i) { SelectLayout(i); });
    connect(F_Units, &QComboBox::currentIndexChanged, this, [this] {
        if (!holdUnits_)
            UnitsChanged();
    });
    connect(F_PaperName, &QLineEdit::textChanged, this, [this] { updatePaperFields(); });
    connect(BtnCopy, &QPushButton::clicked, this, &TLabelEditor::BtnCopyClick);
    connect(BtnPreview, &QPushButton::clicked, this, &TLabelEditor::BtnPreviewClick);
    connect(BtnOK, &QPushButton::clicked, this, [this] {
        SaveAll();
        accept();
    });
    connect(BtnCancel, &QPushButton::clicked, this, &TLabelEditor::reject);
    SetFormFont(this);
    FitComboBoxes(this);
}

void TLabelEditor::ShowLayout(int index)
{
    const TLabelLayout& l = list_.Layouts[static_cast<std::size_t>(index)];
    shown_ = index;
    holdUnits_ = true;
    F_Units->setCurrentIndex(l.Units == 1 ? 1 : 0);
    holdUnits_ = false;
    const double factor = l.UnitFactor();
    const int decimals = l.Units == 1 ? 2 : 3;
    const std::pair<QDoubleSpinBox*, double> fields[] = {
        {F_LabelWidth, l.LabelWidth}, {F_LabelHeight, l.LabelHeight}, {F_SpacingWidth, l.HorzPitch},
        {F_SpacingHeight, l.VertPitch}, {F_SpacingLeft, l.SpacingLeft}, {F_SpacingTop, l.SpacingTop},
        {F_PageWidth, l.PageWidth},   {F_PageHeight, l.PageHeight}, {F_RightShift, l.HorzShift},
        {F_DownShift, l.VertShift}};
    for (const auto& [f, v] : fields) {
        f->setDecimals(decimals);
        f->setValue(v * factor);
    }
    F_NumAcross->setValue(l.NumAcross);
    F_NumDown->setValue(l.NumDown);
    F_PaperName->setText(FromWin1252(l.PaperName));
    updatePaperFields();
    F_Portrait->setChecked(l.Portrait);
    const bool custom = index < 2;
    for (QWidget* w : std::initializer_list<QWidget*>{F_Units, F_LabelWidth, F_LabelHeight, F_SpacingWidth, F_SpacingHeight,
                                                      F_SpacingLeft, F_SpacingTop, F_PageWidth, F_PageHeight, F_RightShift,
                                                      F_DownShift, F_NumAcross, F_NumDown, F_PaperName, F_Portrait})
        w->setEnabled(custom);
}

void TLabelEditor::updatePaperFields()
{
    const bool custom = F_PaperName->text().trimmed().compare("Custom", Qt::CaseInsensitive) == 0;
    for (QWidget* w : {static_cast<QWidget*>(F_PageWidth), static_cast<QWidget*>(F_PageHeight),
                       static_cast<QWidget*>(PageWidthLabel), static_cast<QWidget*>(PageHeightLabel)})
        w->setVisible(custom);
}

void TLabelEditor::StoreLayout(int index)
{
    TLabelLayout& l = list_.Layouts[static_cast<std::size_t>(index)];
    l.Units = F_Units->currentIndex() == 1 ? 1 : 0;
    const double factor = l.UnitFactor();
    // A shown value that was not changed keeps the stored length exactly.
    auto take = [factor](QDoubleSpinBox* f, double& v) {
        const double shown = std::round(v * factor * std::pow(10, f->decimals())) / std::pow(10, f->decimals());
        if (std::fabs(f->value() - shown) > 1e-9)
            v = f->value() / factor;
    };
    take(F_LabelWidth, l.LabelWidth);
    take(F_LabelHeight, l.LabelHeight);
    take(F_SpacingWidth, l.HorzPitch);
    take(F_SpacingHeight, l.VertPitch);
    take(F_SpacingLeft, l.SpacingLeft);
    take(F_SpacingTop, l.SpacingTop);
    take(F_RightShift, l.HorzShift);
    take(F_DownShift, l.VertShift);
    l.NumAcross = static_cast<std::uint8_t>(F_NumAcross->value());
    l.NumDown = static_cast<std::uint8_t>(F_NumDown->value());
    l.PaperName = ToWin1252(F_PaperName->text()).substr(0, TLabelLayout::kPaperCap);
    l.Portrait = F_Portrait->isChecked();
    if (l.CustomPaper()) {
        take(F_PageWidth, l.PageWidth);
        take(F_PageHeight, l.PageHeight);
    }
}

void TLabelEditor::SelectLayout(int index)
{
    if (shown_ < 2)
        StoreLayout(shown_);
    CBW->setCurrentIndex(index);
    ShowLayout(index);
}

void TLabelEditor::UnitsChanged()
{
    if (shown_ >= 2)
        return;
    TLabelLayout& l = list_.Layouts[static_cast<std::size_t>(shown_)];
    // Stored with the old unit, then shown in the new one: the lengths are converted.
    holdUnits_ = true;
    const int now = F_Units->currentIndex();
    F_Units->setCurrentIndex(l.Units == 1 ? 1 : 0);
    StoreLayout(shown_);
    F_Units->setCurrentIndex(now);
    holdUnits_ = false;
    l.Units = now == 1 ? 1 : 0;
    ShowLayout(shown_);
}

void TLabelEditor::BtnCopyClick()
{
    const int target = shown_ == 0 ? 1 : 0;
    if (target == 0 &&
        MessageDlg("Copy the shown layout over the layout Custom1?", TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    if (shown_ < 2)
        StoreLayout(shown_);
    TLabelLayout copy = list_.Layouts[static_cast<std::size_t>(shown_)];
    if (shown_ >= 2) {
        // The shown values of a file layout become the custom one's.
        const int was = shown_;
        shown_ = target;
        list_.Layouts[static_cast<std::size_t>(target)] = copy;
        StoreLayout(target);
        copy = list_.Layouts[static_cast<std::size_t>(target)];
        shown_ = was;
    }
    copy.Name = target == 0 ? "Custom1" : "Custom2";
    list_.Layouts[static_cast<std::size_t>(target)] = copy;
    CBW->setItemText(target, FromWin1252(copy.Name));
    CBW->setCurrentIndex(target);
    ShowLayout(target);
}

void TLabelEditor::SaveAll()
{
    if (shown_ < 2)
        StoreLayout(shown_);
    SetCustomLabelLayout(config_, 0, list_.Layouts[0]);
    SetCustomLabelLayout(config_, 1, list_.Layouts[1]);
    settings_ = TLabelSettings::FromConfig(config_);
    settings_.CurrentLayout = CBW->currentIndex();
    settings_.MaxQsos = static_cast<std::uint8_t>(F_LabMaxQSOs->value());
    settings_.UseLines = F_LabUseLines->isChecked();
    settings_.CallRightAligned = F_LabCallRightAlgn->isChecked();
    settings_.Commercial = F_Commercial->isChecked();
    settings_.CallFont.Name = ToWin1252(F_LabHeaderFontName->text());
    settings_.BodyFont.Name = ToWin1252(F_LabBodyFontName->text());
    settings_.ToConfig(config_);
}

void TLabelEditor::BtnPreviewClick()
{
    SaveAll();
    PreviewSampleLabels(list_.Layouts[static_cast<std::size_t>(CBW->currentIndex())], TLabelSettings::FromConfig(config_), this);
}

void TLabelEditor::reject()
{
    config_ = kept_;
    QDialog::reject();
}

void TLabelEditor::chooseFont(bool callFont)
{
    TLabelFont& f = callFont ? settings_.CallFont : settings_.BodyFont;
    QFont font(FromWin1252(f.Name), f.Size);
    font.setBold(f.Bold);
    font.setItalic(f.Italic);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, this);
    if (!ok)
        return;
    settings_ = TLabelSettings::FromConfig(config_);
    TLabelFont& g = callFont ? settings_.CallFont : settings_.BodyFont;
    g.Name = ToWin1252(chosen.family()).substr(0, 40);
    g.Size = static_cast<std::uint8_t>(std::clamp(std::abs(chosen.pointSize()), 1, 255));
    g.Bold = chosen.bold();
    g.Italic = chosen.italic();
    settings_.ToConfig(config_);
    (callFont ? F_LabHeaderFontName : F_LabBodyFontName)->setText(FromWin1252(g.Name));
}

bool TLabelEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick && (watched == F_LabHeaderFontName || watched == F_LabBodyFontName)) {
        chooseFont(watched == F_LabHeaderFontName);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void PreviewSampleLabels(const TLabelLayout& layout, const TLabelSettings& settings, QWidget* owner)
{
    double w = 0, h = 0;
    LabelPageSize(layout, w, h);
    const std::string problem = ValidateLabelLayout(layout, w, h);
    if (!problem.empty()) {
        MessageDlg(problem, TMsgDlgType::mtError, mbOK);
        return;
    }
    TReportSystem report;
    report.SystemPrinter.Title = "QSL labels";
    const double grid = layout.Units == 1 ? 0.3937 : 0.5;
    report.SystemPreview.GridHoriz = grid;
    report.SystemPreview.GridVert = grid;
    TMyLabPr printer(layout, settings, lkLabelFlag);
    printer.Attach(report, [](TMyLabPr& p) {
        TMyLabPr::TLabelQso q;
        q.Manager = "MANAGER";
        q.Date = EncodeDayNumber(1999, 1, 1);
        q.Time = 12345;
        q.Band = 5;
        q.Mode = 4;
        q.RstSent = 599;
        // The manager's address label follows the manager's last label.
        q.Address = {"John Q. Manager", "1234 Main Street", "Springfield, IL 62701", "USA"};
        for (int i = 1; i <= 100 && !p.Aborted(); ++i) {
            q.Call = "CALLSIGN" + std::to_string(i);
            p.AddQso(q);
            while (!p.Aborted() && p.LinesOnLabel() < p.LinesFit())
                p.AddQso(q);
            if (i >= 6 && p.Position().Page >= 2)
                break;
        }
        p.Finish();
    });
    TSetupChoice preview;
    preview.Destination = rdPreview;
    ApplyReportSetup(report, preview);
    TLabelPaper paper(report.Device(), layout);
    report.Execute();
    (void)owner;
}

// ---- the print dialog

TPrintLabelsDialog::TPrintLabelsDialog(TQsoData& log, int kind, TLabelLookups lookups, QWidget* parent)
    : QDialog(parent), log_(log), queue_(log, kind, std::move(lookups))
{
    setWindowTitle("Print QSL labels");
    F_CurrentLabel = new QComboBox(this);
    F_CurrentLabel->setObjectName("F_CurrentLabel");
    F_QSL_method = new QComboBox(this);
    F_QSL_method->setObjectName("F_QSL_method");
    F_QSL_method->addItem("ALL");
    Fqso_methodx = new QComboBox(this);
    Fqso_methodx->setObjectName("Fqso_methodx");
    for (const char* name : QslRouteNames) {
        F_QSL_method->addItem(name);
        Fqso_methodx->addItem(name);
    }
    F_PrintQSLMgr = new QCheckBox("Print QSL Managers", this);
    F_PrintMethod = new QCheckBox("Print Method Labels", this);
    F_PrintGroup = new QCheckBox("Print Group Names", this);
    F_skip = new QSpinBox(this);
    F_skip->setObjectName("F_skip");
    F_skip->setRange(0, 9999);
    F_Count = new QLineEdit(this);
    F_Count->setObjectName("F_Count");
    F_Count->setReadOnly(true);
    Panel1 = new QLabel(this);
    Panel1->setObjectName("Panel1");
    BtnPrint = new QPushButton("Print", this);
    BtnEdit = new QPushButton("Edit", this);
    BtnMarkAll = new QPushButton("Mark All", this);
    BtnClose = new QPushButton("Close", this);

    auto* form = new QFormLayout;
    form->addRow("Label", F_CurrentLabel);
    form->addRow("QSL method", F_QSL_method);
    form->addRow(F_PrintQSLMgr);
    form->addRow(F_PrintMethod);
    form->addRow(F_PrintGroup);
    form->addRow("Labels missing on the first sheet", F_skip);
    auto* nobureau = new QGroupBox("QSOs to countries without buro", this);
    auto* nl = new QFormLayout(nobureau);
    nl->addRow("Count", F_Count);
    nl->addRow("Alternate QSL method", Fqso_methodx);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {BtnPrint, BtnEdit, BtnMarkAll, BtnClose})
        buttons->addWidget(b);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(nobureau);
    top->addWidget(Panel1);
    top->addLayout(buttons);

    const TLabelSettings s = TLabelSettings::FromConfig(Config);
    F_PrintQSLMgr->setChecked(s.PrintQslManagers);
    F_PrintMethod->setChecked(s.PrintMethodLabels);
    F_PrintGroup->setChecked(s.PrintGroupNames);
    loadLayouts();
    connect(F_QSL_method, &QComboBox::currentIndexChanged, this, [this] { BuildList(); });
    connect(Fqso_methodx, &QComboBox::currentIndexChanged, this, [this] { BuildList(); });
    connect(F_PrintQSLMgr, &QCheckBox::toggled, this, [this] { BuildList(); });
    connect(BtnPrint, &QPushButton::clicked, this, &TPrintLabelsDialog::BtnPrintClick);
    connect(BtnMarkAll, &QPushButton::clicked, this, &TPrintLabelsDialog::BtnMarkAllClick);
    connect(BtnEdit, &QPushButton::clicked, this, &TPrintLabelsDialog::BtnEditClick);
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::reject);
    SetFormFont(this);
    FitComboBoxes(this);
    BuildList();
}

void TPrintLabelsDialog::loadLayouts()
{
    list_ = LoadLabelLayouts(LabelLayoutFileName(), Config);
    F_CurrentLabel->clear();
    for (const TLabelLayout& l : list_.Layouts)
        F_CurrentLabel->addItem(FromWin1252(l.Name));
    const int chosen = TLabelSettings::FromConfig(Config).CurrentLayout;
    F_CurrentLabel->setCurrentIndex(chosen < list_.Count() ? chosen : 0);
}

TLabelChoice TPrintLabelsDialog::choice() const
{
    TLabelChoice c;
    c.Method = F_QSL_method->currentIndex();
    c.AltMethod = Fqso_methodx->currentIndex() + 1;
    c.PrintQslManagers = F_PrintQSLMgr->isChecked();
    c.PrintMethodLabels = F_PrintMethod->isChecked();
    c.PrintGroupNames = F_PrintGroup->isChecked();
    return c;
}

void TPrintLabelsDialog::BuildList()
{
    queue_.Build(choice());
    Panel1->setText(FromWin1252(queue_.CountText()));
    F_Count->setText(QString::number(queue_.Missing()));
}

void TPrintLabelsDialog::BtnPrintClick()
{
    for (QPushButton* b : {BtnPrint, BtnEdit, BtnMarkAll})
        b->setEnabled(false);
    TLabelSettings s = TLabelSettings::FromConfig(Config);
    s.PrintQslManagers = F_PrintQSLMgr->isChecked();
    s.PrintMethodLabels = F_PrintMethod->isChecked();
    s.PrintGroupNames = F_PrintGroup->isChecked();
    s.CurrentLayout = F_CurrentLabel->currentIndex();
    s.ToConfig(Config);
    BuildList();
    const TLabelLayout layout = list_.Layouts[static_cast<std::size_t>(std::max(0, F_CurrentLabel->currentIndex()))];
    const TLabelRunResult r = PrintQslLabels(queue_, layout, s, F_skip->value(), this);
    for (QPushButton* b : {BtnPrint, BtnEdit, BtnMarkAll})
        b->setEnabled(true);
    if (r.Printed && r.ToPaper) {
        for (TQsoRecord* q : r.PrintedQsos)
            MarkLabelPrinted(*q);
        for (TSwlRecord* s : r.PrintedSwl)
            MarkSwlPrinted(*s);
        done(2);
    } else if (r.Printed) {
        BuildList();  // a preview that went through re-routed the QSOs
    }
}

void TPrintLabelsDialog::BtnMarkAllClick()
{
    for (TQsoRecord* q : queue_.List())
        MarkLabelPrinted(*q);
    for (TSwlRecord* s : queue_.SwlList())
        MarkSwlPrinted(*s);
    done(1);
}

void TPrintLabelsDialog::BtnEditClick()
{
    TLabelEditor editor(Config, this);
    if (editor.exec() == QDialog::Accepted)
        loadLayouts();
}

} // namespace korval
