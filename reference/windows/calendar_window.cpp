#include "reference/windows/calendar_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_picture_field.h"
#include "grids/windows/ovc_list_box.h"
#include "grids/windows/ovc_notebook.h"
#include "grids/windows/popup_box.h"
#include "logbook/base/day_number.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"
#include "reference/windows/date_step.h"
#include "logbook/configured_formats.h"

namespace korval {

namespace {

TOvcPictureField* DateField(QWidget* parent, const char* name)
{
    auto* f = new TOvcPictureField(parent);
    f->setObjectName(name);
    f->SetDataType(pftDate);
    f->SetPictureMask(DateFormatString());
    return f;
}

TDayNumber DayOf(TOvcPictureField* f)
{
    const TStDate d = f->GetAsStDate();
    return d < 0 ? NoDate : StDateToDayNumber(d);
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption)
{
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(name);
    return b;
}

} // namespace

TFCalendar::TFCalendar(std::string fileName, QWidget* parent) : QWidget(parent), fileName_(std::move(fileName))
{
    setWindowFlag(Qt::Window, true);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("FCalendar"));
    setWindowTitle(QStringLiteral("Events calendar"));
    Controller = new TOvcController(this);
    try {
        events_ = LoadCalendar(fileName_);
    } catch (const std::exception& e) {
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
    }

    NB = new TOvcNotebook(this);
    NB->setObjectName(QStringLiteral("NB"));
    TOvcTabPage* today = NB->AddPage("Today");
    TOvcTabPage* edit = NB->AddPage("Edit events");

    F_today = DateField(today, "F_today");
    TOvcEntryFieldOptions o = F_today->Options();
    o.Include(efoReadOnly);
    F_today->SetOptions(o);
    F_today->setToolTip(QStringLiteral("Use Ctrl Up/Dn to change date"));
    LB = new TOvcCustomListBox(today);
    LB->setObjectName(QStringLiteral("LB"));
    auto* todayLay = new QVBoxLayout(today);
    todayLay->addWidget(F_today);
    todayLay->addWidget(LB, 1);

    F_Note = new TPopupBox(edit);
    F_Note->setObjectName(QStringLiteral("F_Note"));
    F_Note->MaxLength = static_cast<int>(CalNoteMax);
    F_Note->OnListClick = [this](TCustomPopupBox*) { NoteChosen(); };
    F_start = DateField(edit, "F_start");
    F_end = DateField(edit, "F_end");
    F_start->installEventFilter(this);
    AddBtn = Button(edit, "AddBtn", "Add new");
    DeleteBtn = Button(edit, "DeleteBtn", "Delete");
    CleanupBtn = Button(edit, "CleanupBtn", "Cleanup");
    connect(AddBtn, &QPushButton::clicked, this, &TFCalendar::AddNewClick);
    connect(DeleteBtn, &QPushButton::clicked, this, &TFCalendar::DeleteClick);
    connect(CleanupBtn, &QPushButton::clicked, this, &TFCalendar::CleanupClick);
    auto* editLay = new QGridLayout(edit);
    editLay->addWidget(new QLabel(QStringLiteral("Note"), edit), 0, 0);
    editLay->addWidget(F_Note, 0, 1, 1, 3);
    editLay->addWidget(new QLabel(QStringLiteral("Start"), edit), 1, 0);
    editLay->addWidget(F_start, 1, 1);
    editLay->addWidget(new QLabel(QStringLiteral("End"), edit), 1, 2);
    editLay->addWidget(F_end, 1, 3);
    auto* editButtons = new QHBoxLayout;
    for (QPushButton* b : {AddBtn, DeleteBtn, CleanupBtn})
        editButtons->addWidget(b);
    editLay->addLayout(editButtons, 2, 0, 1, 4);
    editLay->setRowStretch(3, 1);

    SaveBtn = Button(this, "SaveBtn", "Save Changes and exit");
    CancelBtn = Button(this, "CancelBtn", "Cancel Changes and exit");
    connect(SaveBtn, &QPushButton::clicked, this, &TFCalendar::SaveClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TFCalendar::CancelClick);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(SaveBtn);
    bottom->addWidget(CancelBtn);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(NB, 1);
    lay->addLayout(bottom);

    stepper_ = new TDateStepper(this);
    for (TOvcPictureField* f : {F_today, F_start, F_end})
        stepper_->Watch(f);
    stepper_->Stepped = [this](TOvcBaseEntryField* f) {
        if (f == F_today)
            ShowToday();
        else if (f == F_start)
            KeepEndAfterStart();
    };
    NB->OnPageChanged = [this](TOvcNotebook*, int index) {
        if (index == 0)
            ShowToday();
    };

    const TStDate now = DayNumberToStDate(UtcToday());
    for (TOvcPictureField* f : {F_today, F_start, F_end})
        f->SetAsStDate(now);
    FillNotes(0);
    ShowToday();
    resize(460, 360);
}

void TFCalendar::ShowToday()
{
    const TDayNumber day = DayOf(F_today);
    LB->Items().Clear();
    for (const TCalEvent& e : events_.Items())
        if (e.Covers(day))
            LB->Items().Add(e.Note);
    LB->viewport()->update();
}

void TFCalendar::FillNotes(int select)
{
    F_Note->GetItems().Clear();
    for (const TCalEvent& e : events_.Items())
        F_Note->GetItems().Add(e.Note);
    if (events_.Empty()) {
        F_Note->SetText("");
        return;
    }
    F_Note->SetItemIndex(std::clamp(select, 0, static_cast<int>(events_.Count()) - 1));
    NoteChosen();
}

void TFCalendar::NoteChosen()
{
    const int i = F_Note->GetItemIndex();
    if (i < 0 || static_cast<std::size_t>(i) >= events_.Count())
        return;
    const TCalEvent& e = events_.At(static_cast<std::size_t>(i));
    F_start->SetAsStDate(DayNumberToStDate(e.Start));
    F_end->SetAsStDate(DayNumberToStDate(e.End));
    F_start->update();
    F_end->update();
}

void TFCalendar::KeepEndAfterStart()
{
    const TStDate start = F_start->GetAsStDate(), end = F_end->GetAsStDate();
    if (start >= 0 && (end < 0 || end < start)) {
        F_end->SetAsStDate(start);
        F_end->update();
    }
}

bool TFCalendar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == F_start && event->type() == QEvent::FocusOut)
        KeepEndAfterStart();
    return QWidget::eventFilter(watched, event);
}

void TFCalendar::AddNewClick()
{
    const TDayNumber start = DayOf(F_start), end = DayOf(F_end);
    if (!CalendarDatesValid(start, end)) {
        MessageDlg("Please check your dates", TMsgDlgType::mtWarning, mbOK);
        return;
    }
    const std::size_t at = events_.InsertRecord({start, end, F_Note->GetText()});
    FillNotes(static_cast<int>(at));
    ShowToday();
}

void TFCalendar::DeleteClick()
{
    const int i = F_Note->GetItemIndex();
    if (i < 0 || static_cast<std::size_t>(i) >= events_.Count())
        return;
    events_.DeleteRecord(static_cast<std::size_t>(i));
    FillNotes(i);
    ShowToday();
}

void TFCalendar::CleanupClick()
{
    events_.Cleanup(UtcToday());
    FillNotes(0);
    ShowToday();
}

void TFCalendar::SaveClick()
{
    try {
        SaveCalendar(fileName_, events_);
    } catch (const std::exception& e) {
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
        return; // nothing is lost: the window stays open with the events
    }
    close();
}

void TFCalendar::CancelClick() { close(); }

} // namespace korval
