#include "station/function_keys.h"

#include "logbook/base/string_utils.h"
#include "logbook/config_record.h"

namespace korval {

std::string MacroLabel(std::string_view macro)
{
    const auto bar = macro.find('|');
    return TrimSpaces(std::string(bar == std::string_view::npos ? macro.substr(0, 6) : macro.substr(0, bar)));
}

int FunctionKeyMacro(int fkey, bool shift, bool ctrl, bool alt)
{
    if (fkey < 1 || fkey > FunctionKeySections || shift || alt)
        return 0;
    return ctrl ? fkey + FunctionKeySections : fkey;
}

TFunctionKeySet TerminalKeySet(int terminal)
{
    return {terminal == 0 ? "Packet" : "RTTY",
            [terminal] {
                const TPortSettings ps = Config.PortSettings(terminal);
                TFunctionKeys keys;
                for (int i = 0; i < TPortSettings::FunctionKeyCount; ++i)
                    keys[static_cast<std::size_t>(i)] = ps.FunctionKey(i);
                return keys;
            },
            [terminal](const TFunctionKeys& keys) {
                TPortSettings ps = Config.PortSettings(terminal);
                for (int i = 0; i < TPortSettings::FunctionKeyCount; ++i)
                    ps.SetFunctionKey(i, keys[static_cast<std::size_t>(i)]);
                Config.SetPortSettings(terminal, ps);
            }};
}

namespace {

template <typename Get, typename Set>
TFunctionKeySet RecordKeySet(const char* name, Get get, Set set)
{
    return {name,
            [get] {
                TFunctionKeys keys;
                for (int i = 0; i < 16; ++i)
                    keys[static_cast<std::size_t>(i)] = (Config.*get)(i);
                return keys;
            },
            [set](const TFunctionKeys& keys) {
                for (int i = 0; i < 16; ++i)
                    (Config.*set)(i, keys[static_cast<std::size_t>(i)]);
            }};
}

} // namespace

TFunctionKeySet CwKeySet()
{
    return RecordKeySet("CW", &TConfigRecord::CwKey, &TConfigRecord::SetCwKey);
}

TFunctionKeySet PskKeySet()
{
    return RecordKeySet("PSK31", &TConfigRecord::PskKey, &TConfigRecord::SetPskKey);
}

} // namespace korval
