#include "core/bank/bank_convert.h"

#include "core/common/basic.h"
#include "core/common/cp932.h"
#include "core/common/field_text.h"
#include "core/common/file_io.h"
#include "core/common/file_lookup.h"
#include "core/common/ole_date.h"
#include "core/common/storable_text.h"
#include "core/format/name_list.h"
#include "core/session/session.h"
#include "core/store/jpcode.h"
#include "core/store/link_table.h"
#include "core/store/pdf_table.h"
#include "core/store/record.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>

namespace tz {
namespace {

const QString kTitle = QStringLiteral("Bank - Convert");
const QString kStop = QStringLiteral("変換作業を中止し、トップメニューに戻ります。");

// The entry widths of the per-record files.
constexpr int kMemoWidth = 70;
constexpr int kPersonWidth = 212;
constexpr int kPhraseWidth = 284;
constexpr int kYearWidth = 2;
constexpr int kIndexWidth = 30;
// The most an old file can hold: 32,767 entries of its width, or a text file
// of a few lines.
constexpr qint64 kMostOldBytes = qint64(kMaxRecords) * kPhraseWidth;

struct OldFile
{
    QString name;
    QByteArray bytes;
};

bool readOld(const QString &folder, const QString &name, OldFile &file, QString *error)
{
    file.name = name;
    const QString path = FindFileNoCase(folder, name);
    if (path.isEmpty()) {
        *error = FileError(QDir(folder).filePath(name), QStringLiteral("ファイルがありません"));
        return false;
    }
    return ReadFileHead(path, kMostOldBytes, file.bytes, error);
}

// The first field of a text file's first line (up to a comma or the line's
// end, without the blanks and quotes around it), and the second field.
QStringList leadingFields(const QByteArray &bytes)
{
    const QString text = cp932::decode(bytes);
    QStringList fields;
    for (const QString &line : text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")))) {
        for (QString field : line.split(u',')) {
            field = field.trimmed();
            if (field.size() >= 2 && field.startsWith(u'"') && field.endsWith(u'"'))
                field = field.mid(1, field.size() - 2);
            fields.append(field);
            if (fields.size() == 2)
                return fields;
        }
    }
    return fields;
}

// The text at `offset` of entry i (from 1) of a per-record file whose
// entries are `width` bytes, its blanks removed; false with *error when the
// file ends before the entry or the text's bytes are no code page 932 text.
bool textEntry(const OldFile &file, int width, int i, QString &out, QString *error, int offset = 0, int length = 0)
{
    const qint64 at = qint64(i - 1) * width;
    if (at + width > file.bytes.size()) {
        *error = QStringLiteral("%1: レコード %2 の途中でファイルが終わっています").arg(file.name).arg(i);
        return false;
    }
    const QByteArrayView entry = QByteArrayView(file.bytes).sliced(at + offset, length > 0 ? length : width);
    out = cp932::decode(entry);
    if (out.contains(QChar::ReplacementCharacter)) {
        *error =
            QStringLiteral("%1: レコード %2 に、シフト JIS の文字として読めないバイトがあります").arg(file.name).arg(i);
        return false;
    }
    out = Trim(out);
    return true;
}

// The text before the first `separator` and the rest behind it; all of it
// and nothing when there is none.
std::pair<QString, QString> split(const QString &text, QStringView separator)
{
    const qsizetype at = text.indexOf(separator);
    if (at < 0)
        return {text, QString()};
    return {text.left(at), text.mid(at + separator.size())};
}

QString field(const QString &text, int width)
{
    return FitBytes(Trim(text), width);
}

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

// The first free "NAME.bak", "NAME.bak2", ... beside the bank.
QString backupFolderFor(const QString &bank)
{
    const QFileInfo info(bank);
    const QString base = info.path() + u'/' + info.completeBaseName() + QStringLiteral(".bak");
    QString name = base;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + QString::number(n);
    return name;
}

bool holdsAFile(const QString &folder)
{
    return QFileInfo(folder).isDir() && !QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).isEmpty();
}

} // namespace

QStringList OldBankFiles()
{
    return {QStringLiteral("JPcode.dat"), QStringLiteral("link.dat"),    QStringLiteral("memo.dat"),
            QStringLiteral("person.dat"), QStringLiteral("phrase.dat"),  QStringLiteral("year.dat"),
            QStringLiteral("index.dat"),  QStringLiteral("reconow.dat"), QStringLiteral("JPcount.dat")};
}

QStringList MissingOldBankFiles(const QString &oldFolder)
{
    QStringList missing;
    for (const QString &name : OldBankFiles())
        if (FindFileNoCase(oldFolder, name).isEmpty())
            missing.append(name);
    return missing;
}

bool ConvertOldBank(const QString &oldFolder, const QString &newBank, QDate today, const ConvertProgress &progress,
                    QString *error, QString *kept)
{
    QString why;
    if (kept)
        kept->clear();
    if (const QStringList missing = MissingOldBankFiles(oldFolder); !missing.isEmpty())
        return fail(error, QStringLiteral("%1: 次のファイルがありません：%2")
                               .arg(QDir::toNativeSeparators(oldFolder), missing.join(QStringLiteral("、"))));
    OldFile memo, person, phrase, year, index, reconow, jpcode, link;
    for (auto [file, name] : {std::pair{&memo, "memo.dat"},
                              {&person, "person.dat"},
                              {&phrase, "phrase.dat"},
                              {&year, "year.dat"},
                              {&index, "index.dat"},
                              {&reconow, "reconow.dat"},
                              {&jpcode, "JPcode.dat"},
                              {&link, "link.dat"}})
        if (!readOld(oldFolder, QString::fromLatin1(name), *file, &why))
            return fail(error, why);

    bool numeric = false;
    const QStringList count = leadingFields(reconow.bytes);
    const int n = count.isEmpty() ? 0 : count.first().toInt(&numeric);
    if (!numeric || n < 0 || n > kMaxRecords)
        return fail(error, QStringLiteral("reconow.dat: レコード数（0～%1）が読めません").arg(kMaxRecords));
    const QStringList groups = leadingFields(jpcode.bytes);
    if (groups.isEmpty() || groups.first() != u"J")
        return fail(error, QStringLiteral("旧バンクの中の JPcode のヴァージョンが異常です。"));
    // The group ends T-J-P; only the end of the journals decides the style.
    const QStringList ends = groups.value(1).split(u'-');
    const double journalsEnd = Val(ends.value(1));

    QList<Record> records;
    records.reserve(n);
    if (progress.step)
        progress.step(1, 1, n);
    for (int i = 1; i <= n; ++i) {
        if (progress.step)
            progress.step(2, i, n);
        if (progress.cancelled && progress.cancelled()) {
            if (progress.step)
                progress.step(0, n, n);
            return fail(error, QString());
        }
        // The index entry: the JP code, then "volume,first page-last page";
        // its last 8 bytes carry nothing a record holds.
        QString memoText, personText, phraseText, places;
        if (!textEntry(memo, kMemoWidth, i, memoText, &why) || !textEntry(person, kPersonWidth, i, personText, &why) ||
            !textEntry(phrase, kPhraseWidth, i, phraseText, &why) ||
            !textEntry(index, kIndexWidth, i, places, &why, 2, 20)) {
            if (progress.step)
                progress.step(0, n, n);
            return fail(error, why);
        }
        if (qint64(i) * kYearWidth > year.bytes.size()) {
            if (progress.step)
                progress.step(0, n, n);
            return fail(error, QStringLiteral("year.dat: レコード %1 の途中でファイルが終わっています").arg(i));
        }
        const qint16 code = qFromLittleEndian<qint16>(index.bytes.constData() + qint64(i - 1) * kIndexWidth);
        const auto [authors, editors] = split(personText, u"&&");
        const auto [title, rest] = split(phraseText, u"&&");
        const auto [keywords, book] = split(rest, u"&&");
        const auto [volume, pages] = split(places, u",");
        const auto [first, last] = split(pages, u"-");

        Record r = BlankRecord(today);
        r.Style = code > journalsEnd ? 2 : 1;
        r.Memo = field(memoText, 70);
        r.Author = field(NameListNormalize(Trim(authors)), 210);
        r.Title = field(TitlePeriod(Trim(title)), 280);
        r.JPcode = code;
        r.Volume = field(volume, 20);
        r.Page1 = field(first, 10);
        r.Page2 = field(last, 10);
        r.Year = qFromLittleEndian<qint16>(year.bytes.constData() + qint64(i - 1) * kYearWidth);
        r.Editor = field(NameListNormalize(Trim(editors)), 140);
        r.Book = field(TitlePeriod(Trim(book)), 140);
        r.Keyword = field(keywords, 280);
        records.append(r);
    }
    if (progress.step)
        progress.step(0, n, n);

    // The bank is built beside its place and takes its name when whole.
    const QString target = QDir::cleanPath(newBank);
    const QString building = BuildingFolderFor(target);
    QDir(building).removeRecursively();
    auto failed = [&](const QString &reason) {
        QDir(building).removeRecursively();
        return fail(error, reason);
    };
    QByteArray recordBytes;
    recordBytes.reserve(qsizetype(records.size()) * kRecordSize);
    for (const Record &r : records)
        recordBytes += EncodeRecord(r);
    const QByteArray blankEntries = QByteArray(qsizetype(records.size()) * 600, ' ');
    if (!QDir().mkpath(building))
        return failed(FileError(target, QStringLiteral("フォルダを作成できません")));
    if (!WriteFileAtomic(building + u'/' + kRecordFileName, recordBytes, &why) ||
        !WriteFileAtomic(building + u'/' + kJPcodeFileName, jpcode.bytes, &why) ||
        !WriteFileAtomic(building + u'/' + kLinkFileName, link.bytes, &why) ||
        !WriteFileAtomic(building + u'/' + kPdfFileName, blankEntries, &why))
        return failed(why);

    // An earlier bank of that name is kept, now that the new one is whole; an
    // empty folder of that name is no bank and makes room.
    if (holdsAFile(target)) {
        const QString backup = backupFolderFor(target);
        if (!QDir().rename(target, backup))
            return failed(
                FileError(target, QStringLiteral("%1 に名前を変えられません").arg(QDir::toNativeSeparators(backup))));
        if (kept)
            *kept = backup;
    } else if (QFileInfo(target).isDir() && !QDir().rmdir(target)) {
        return failed(FileError(target, QStringLiteral("空のフォルダを取り除けません")));
    }
    if (!PutFolderInPlace(building, target, &why))
        return failed(why);
    return true;
}

void BankConvert(Session &s, QDate today)
{
    UserInterface &ui = s.ui;
    const std::optional<QString> answer =
        ui.inputBox(QStringLiteral("旧バージョンの文献バンク名を入力してください。\nパス名などは不要です。\n\n"
                                   "Tessellane ver 2x 用の文献バンクに限ります。"),
                    kTitle, QString());
    const QString name = answer ? answer->trimmed() : QString();
    if (name.isEmpty())
        return;
    const QString old = s.AppFolder + name;
    bool present = false;
    if (!name.contains(u'/') && QFileInfo(old).isDir())
        for (const QString &file : QDir(old).entryList(QDir::Files))
            present = present || file.size() > 1;
    if (!present) {
        ui.titledMessage(kTitle,
                         QStringLiteral("指定された文献バンク ") + name + QStringLiteral(" がありません。\n") + kStop,
                         MsgButtons::Ok, MsgIcon::Error);
        return;
    }
    if (ui.titledMessage(kTitle,
                         QStringLiteral("指定された文献バンク ") + name +
                             QStringLiteral(" がありました。\n変換作業を始めます。"),
                         MsgButtons::OkCancel, MsgIcon::Information) != MsgAnswer::Ok)
        return;
    if (const QStringList missing = MissingOldBankFiles(old); !missing.isEmpty()) {
        QString list;
        for (const QString &file : missing)
            list += QStringLiteral("  ") + file + u'\n';
        ui.titledMessage(kTitle,
                         QStringLiteral("指定された文献バンク ") + name +
                             QStringLiteral(" 中に次のファイルがありません。\n") + list + kStop,
                         MsgButtons::Ok, MsgIcon::Error);
        return;
    }
    s.CancelFlag = false;
    ConvertProgress progress;
    progress.step = [&s](int mode, int record, int count) {
        s.ProgressStep(mode == 1   ? ProgressMode::Open
                       : mode == 2 ? ProgressMode::Step
                                   : ProgressMode::Close,
                       1, count, record);
    };
    progress.cancelled = [&s] { return s.CancelFlag; };
    QString error, kept;
    const bool ok = ConvertOldBank(old, s.AppFolder + name + QStringLiteral(".bnk"), today, progress, &error, &kept);
    s.CancelFlag = false;
    if (!ok) {
        if (!error.isEmpty()) // a Cancel ends it quietly
            ui.titledMessage(kTitle, error + u'\n' + kStop, MsgButtons::Ok, MsgIcon::Error);
        return;
    }
    QString done =
        QStringLiteral("変換作業が終わりました。\n新しい文献バンクは ") + name + QStringLiteral(".bnk です。\n");
    if (!kept.isEmpty())
        done += QStringLiteral("前の文献バンクは %1 に残しました。\n").arg(QFileInfo(kept).fileName());
    ui.titledMessage(kTitle, done + QStringLiteral("トップメニューに戻ります。"), MsgButtons::Ok, MsgIcon::Information);
}

} // namespace tz
