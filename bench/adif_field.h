#pragma once
// One ADIF field as the generated files of the benchmarks write it: the tag with the value's
// length, the value and a blank.
#include <string>

namespace korval::bench {

inline void AdifField(std::string& f, const char* name, const std::string& v)
{
    f += '<';
    f += name;
    f += ':';
    f += std::to_string(v.size());
    f += '>';
    f += v;
    f += ' ';
}

} // namespace korval::bench
