#include "gui/widgets/qt_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tz {

QTranslator *InstallQtJapaneseTexts()
{
    auto *texts = new QTranslator(QCoreApplication::instance());
    if (texts->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(texts))
        return texts;
    delete texts;
    return nullptr;
}

} // namespace tz
