#include "reference/windows/page_controls_ini.h"

#include <QCheckBox>
#include <QGroupBox>

#include <charconv>
#include <string_view>

#include "entry/windows/ovc_numeric_field.h"
#include "grids/windows/ovc_check_list.h"
#include "grids/windows/popup_box.h"
#include "logbook/base/ini_file.h"
#include "logbook/base/string_utils.h"

namespace korval {

namespace {

constexpr const char* UnknownSection = "UNKNOWN";

bool IsRealField(QWidget* w, TOvcNumericField*& field)
{
    field = qobject_cast<TOvcNumericField*>(w);
    if (!field)
        return false;
    switch (field->DataType()) {
    case nftReal: case nftExtended: case nftDouble: case nftSingle: case nftComp:
        return true;
    default:
        return false;
    }
}

std::string RealText(double v)
{
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

bool ParseReal(std::string_view text, double& v)
{
    text = Trim(text, kBlanksAndTabs);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

// The page's controls in their order, through group boxes.
template <typename F>
void ForEachControl(QWidget* parent, const std::set<std::string>& skip, F&& f)
{
    for (QObject* child : parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow())
            continue;
        if (qobject_cast<QGroupBox*>(w)) {
            ForEachControl(w, skip, f);
            continue;
        }
        const std::string name = w->objectName().toStdString();
        if (!name.empty() && !skip.count(name))
            f(w, name);
    }
}

} // namespace

void WritePageControls(TIniFile& ini, const std::string& section, QWidget* page, const std::set<std::string>& skip)
{
    ForEachControl(page, skip, [&](QWidget* w, const std::string& key) {
        TOvcNumericField* number = nullptr;
        if (IsRealField(w, number)) {
            ini.WriteString(section, key, RealText(number->GetAsFloat()));
        } else if (auto* field = qobject_cast<TOvcBaseEntryField*>(w)) {
            ini.WriteString(section, key, field->GetAsString());
        } else if (auto* choice = qobject_cast<TCustomPopupBox*>(w)) {
            ini.WriteString(section, key, choice->GetText());
        } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
            ini.WriteBool(section, key, box->isChecked());
        } else if (auto* list = qobject_cast<TOvcCheckList*>(w)) {
            std::string flags;
            for (int i = 0; i < list->Items().Count(); ++i)
                flags += list->GetStates(i) == cbChecked ? 'Y' : 'N';
            ini.WriteString(section, key, flags);
        } else {
            ini.WriteString(UnknownSection, key, "?");
        }
    });
}

void ReadPageControls(const TIniFile& ini, const std::string& section, QWidget* page,
                      const std::set<std::string>& skip)
{
    ForEachControl(page, skip, [&](QWidget* w, const std::string& key) {
        TOvcNumericField* number = nullptr;
        if (IsRealField(w, number)) {
            double v = 0;
            if (ParseReal(ini.ReadString(section, key, ""), v))
                number->SetAsFloat(v);
        } else if (auto* field = qobject_cast<TOvcBaseEntryField*>(w)) {
            field->SetAsString(ini.ReadString(section, key, field->GetAsString()));
        } else if (auto* choice = qobject_cast<TCustomPopupBox*>(w)) {
            const std::string text = ini.ReadString(section, key, "");
            const int index = text.empty() ? -1 : choice->GetItems().IndexOf(text);
            if (index >= 0)
                choice->SetItemIndex(index);
        } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
            box->setChecked(ini.ReadBool(section, key, box->isChecked()));
        } else if (auto* list = qobject_cast<TOvcCheckList*>(w)) {
            const std::string flags = ini.ReadString(section, key, "");
            for (int i = 0; i < list->Items().Count() && i < static_cast<int>(flags.size()); ++i)
                list->SetStates(i, flags[static_cast<std::size_t>(i)] == 'Y' ? cbChecked : cbUnchecked);
        }
    });
}

} // namespace korval
