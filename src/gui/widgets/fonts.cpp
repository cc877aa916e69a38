#include "gui/widgets/fonts.h"

#include "core/card/card_layout.h"

#include <QStringList>

namespace tz {

namespace {

void installSubstitutes()
{
    const QStringList serif = {QStringLiteral("Noto Serif CJK JP"), QStringLiteral("Serif")};
    const QStringList sans = {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Sans Serif")};
    const struct
    {
        const char *family;
        const QStringList &fallback;
    } fonts[] = {{"IPAMincho", serif}, {"IPAGothic", sans}, {"IPAPMincho", serif}, {"IPAPGothic", sans}};
    for (int k = 0; k < int(kFontNameCaptions.size()); ++k)
        QFont::insertSubstitutions(kFontNameCaptions[size_t(k)],
                                   QStringList{QString::fromLatin1(fonts[k].family)} + fonts[k].fallback);
}

} // namespace

QFont ChosenFont(int fontNameNo, int fontSizeNo)
{
    static const bool installed = (installSubstitutes(), true);
    Q_UNUSED(installed);
    QFont font(FontCaption(fontNameNo));
    font.setPointSize(FontPoints(fontSizeNo));
    return font;
}

QFont CaptionFont()
{
    QFont font = ChosenFont(3, 0);
    font.setPointSize(8);
    return font;
}

} // namespace tz
