#pragma once
// The international settings of a Qt locale.
#include "entry/ovc_intl.h"

#include <string>

namespace korval {

// Settings taken from a Qt locale name (e.g. "de_DE"); the defaults where the locale says
// nothing.
TOvcIntlSettings IntlSettingsFromLocale(const std::string& localeName);

} // namespace korval
