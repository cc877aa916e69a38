#pragma once
// The JP code table by category, as the JP code editor shows and changes it:
// the four categories, the list lines with their usage, free codes, and the
// changes that renumber codes (a category enlarged, a name moved to another
// category, every category sorted by name), each given as the new table and
// the renumbering its records need.

#include "core/store/jp_renumber.h"
#include "core/store/jpcode.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace tz {

// The categories of the editor are the four groups of the table.
enum JPcategory : int {
    JPtop = 0,    // "Top Journals"    1..JPendT
    JPcommon = 1, // "Common Journals" JPendT+1..JPendJ
    JPpress = 2,  // "Press names"     JPendJ+1..JPendP
    JPetc = 3,    // "etc."            JPendP+1..JPendE
};
inline constexpr int kJPcategoryCount = 4;

inline const std::array<QString, kJPcategoryCount> kJPcategoryCaptions = {
    QStringLiteral("Top Journals"), QStringLiteral("Common Journals"), QStringLiteral("Press names"),
    QStringLiteral("etc.")};

// The record style a name moved into a category gives its records.
inline constexpr std::array<qint16, kJPcategoryCount> kJPcategoryStyle = {1, 1, 2, 4};

// The first and last code of a category (last < first when it is empty).
int JPcategoryFirst(const JPcodeTable &table, int category);
int JPcategoryLast(const JPcodeTable &table, int category);
// The category of a code, -1 for none.
int JPcategoryOf(const JPcodeTable &table, int code);
// A category named by its number (0..3), its caption or its letter (T, J, P,
// E), capitals ignored; -1 for none.
int JPcategoryFromText(const QString &text);

// The usage of a code: 0 for codes the usage list does not hold.
int JPusageOf(const QList<int> &usage, int code);

// One line of the editor's list: the code right-aligned in four places (wider
// when it needs more), "  (", the usage right-aligned in five places (blank
// when no record uses the code), ")", four blanks and the name.
QString JPlistLine(int code, int usage, const QString &name);
QStringList JPlistLines(const JPcodeTable &table, const QList<int> &usage, int category);

// The lowest free code of a category: an empty name that no record uses.
std::optional<int> JPfreeCode(const JPcodeTable &table, const QList<int> &usage, int category);

// A change of the table with the renumbering of its records.
struct JPchange
{
    JPcodeTable table;
    JPrenumber renumber;
};

// The four enlargements: `JPcodePlusT` gives "Top Journals" 10 new codes
// (category 1 gives up its last ten when they are free, otherwise the table
// grows by 50), the others give their category 50 new codes at its end.
// Nothing when the table would pass 32767 codes.
std::optional<JPchange> JPcodePlusT(const JPcodeTable &table, const QList<int> &usage);
std::optional<JPchange> JPcodePlusJ(const JPcodeTable &table);
std::optional<JPchange> JPcodePlusP(const JPcodeTable &table);
std::optional<JPchange> JPcodePlusS(const JPcodeTable &table);
// The enlargement of a category and the number of codes it adds (10 or 50).
std::optional<JPchange> JPcodePlus(const JPcodeTable &table, const QList<int> &usage, int category);
int JPcodePlusCount(int category);

// `JPcodeX`: the name of oldCode moves to newCode; records of oldCode get
// newCode and `style`.
JPchange JPcodeX(const JPcodeTable &table, int oldCode, int newCode, int style);

// `JPcodeSort`: each category sorted by name (code units compared one by
// one, capitals apart, the comb sort of every list), free codes behind the
// names; codes never leave their category. Equal names keep the order the
// comb sort gives them.
JPchange JPcodeSort(const JPcodeTable &table);

// The text output of a category: "JPcode list of <caption>" and each list
// line, every one followed by a carriage return, then one CR LF; code page 932.
// *lossy when some character cannot be held.
QByteArray JPtextOutput(const JPcodeTable &table, const QList<int> &usage, int category, bool *lossy = nullptr);
// The printed list: its title "list of <caption>" and its body (each list
// line followed by a carriage return).
QString JPprintTitle(int category);
QString JPlistBody(const JPcodeTable &table, const QList<int> &usage, int category);

} // namespace tz
