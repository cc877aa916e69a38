#pragma once
// How an output form writes a list of persons: each value is the 1-based
// position of the chosen entry in the matching list of the form editor.

#include <QtGlobal>

namespace tz {

struct NameRule
{
    qint16 firstPerson = 1;
    qint16 secondPerson = 1;
    qint16 punctures = 1;
    qint16 et_al = 1;
    qint16 capitalize = 1;

    friend bool operator==(const NameRule &, const NameRule &) = default;
};

} // namespace tz
