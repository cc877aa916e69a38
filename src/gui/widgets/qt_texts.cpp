#include "gui/widgets/qt_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <utility>

namespace tz {
namespace {

bool japanese(const char *variable)
{
    return qEnvironmentVariable(variable).startsWith(QStringLiteral("ja"));
}

// What Qt's Japanese translation lacks: Qt 6 names the kinds of entries of
// the file dialog under a context the translation does not hold yet.
class FileKindTexts : public QTranslator
{
public:
    using QTranslator::QTranslator;
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        static const std::pair<const char *, const char *> texts[] = {
            {"Folder", "フォルダ"}, {"Drive", "ドライブ"}, {"Shortcut", "ショートカット"}, {"Unknown", "不明"}};
        if (qstrcmp(context, "QAbstractFileIconProvider") == 0)
            for (const auto &[english, text] : texts)
                if (qstrcmp(source, english) == 0)
                    return QString::fromUtf8(text);
        return {};
    }
    bool isEmpty() const override { return false; }
};

} // namespace

void UseJapaneseDates()
{
    if (qEnvironmentVariableIsEmpty("LC_ALL") && !japanese("LC_TIME") &&
        !(qEnvironmentVariableIsEmpty("LC_TIME") && japanese("LANG")))
        qputenv("LC_TIME", "ja_JP.UTF-8");
}

QTranslator *InstallQtJapaneseTexts()
{
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QCoreApplication::installTranslator(new FileKindTexts(QCoreApplication::instance()));
    auto *texts = new QTranslator(QCoreApplication::instance());
    if (texts->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(texts))
        return texts;
    delete texts;
    return nullptr;
}

} // namespace tz
