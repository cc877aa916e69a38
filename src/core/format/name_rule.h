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

// Value k (1..5) of a rule, in the order of the rule line and of the editor's
// boxes: first person, second person, punctures, et al, capitalize.
template <typename Rule> auto &NameRuleValue(Rule &rule, int k)
{
    switch (k) {
    case 1:
        return rule.firstPerson;
    case 2:
        return rule.secondPerson;
    case 3:
        return rule.punctures;
    case 4:
        return rule.et_al;
    default:
        return rule.capitalize;
    }
}

} // namespace tz
