// Any bytes as a settings file: never crashes, always gives values in their
// ranges, and what it gives is written and read back unchanged.

#include "core/session/settings.h"
#include "fuzz_check.h"

#include <QByteArray>
#include <cstdlib>

using namespace tz;

namespace {

void checkRanges(const Settings &s)
{
    check(s.MaxHits >= 1 && s.MaxHits <= kMaxHitsLimit);
    check(s.CurScript >= 1 && s.CurScript <= kScriptSlots);
    check(s.CurForm >= 1 && s.CurForm <= kFormSlots);
    check(s.FontNameNo >= 0 && s.FontNameNo < kFontNames);
    check(s.FontSizeNo >= 0 && s.FontSizeNo < kFontSizes);
    for (const WindowPos &p : {s.CardPos, s.SearchPos, s.JPEditorPos}) {
        check(p.left >= kMinTwips && p.left <= kMaxTwips);
        check(p.top >= kMinTwips && p.top <= kMaxTwips);
        check(p.width >= kMinWindowExtent && p.width <= kMaxTwips);
        check(p.height >= kMinWindowExtent);
    }
    check(s.BankFolder.endsWith(u'/'));
    check(s.BankPath == s.BankFolder + s.BankName + QStringLiteral(".bnk/"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    Settings s = CfgParse(bytes, QStringLiteral("/app"));
    checkRanges(s);

    QByteArray written;
    QString why;
    if (!CfgFormat(s, &written, &why))
        return 0;
    Settings back = CfgParse(written, QStringLiteral("/app"));
    s.CfgVersion = QStringLiteral("3I");
    check(back == s);
    QByteArray again;
    check(CfgFormat(back, &again, &why));
    check(again == written);
    return 0;
}
