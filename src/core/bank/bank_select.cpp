#include "core/bank/bank_select.h"

#include "core/bank/bank_files.h"
#include "core/card/card_model.h"
#include "core/common/file_io.h"
#include "core/common/file_lookup.h"
#include "core/common/text.h"
#include "core/session/session.h"
#include "core/store/jpcode.h"
#include "core/store/link_table.h"
#include "core/store/pdf_table.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace tz {

namespace {

const QString kBnk = QStringLiteral(".bnk");

// The nearest existing folder at or above path.
QString existingFolder(QString path)
{
    path = QDir::cleanPath(path);
    while (!path.isEmpty() && !QFileInfo(path).isDir()) {
        const QString up = QFileInfo(path).path();
        if (up == path)
            break;
        path = up;
    }
    return path;
}

// Makes the folder in which the bank `bank` is built; an error names the bank.
bool makeFolder(const QString &path, const QString &bank, QString *error)
{
    std::error_code ec;
    const std::filesystem::path p(QFile::encodeName(QDir::cleanPath(path)).toStdString());
    if (std::filesystem::create_directory(p, ec) && !ec)
        return true;
    if (!ec)
        ec = std::make_error_code(std::errc::file_exists);
    *error = QStringLiteral("%1: フォルダを作成できません（%2）")
                 .arg(QDir::toNativeSeparators(bank), QString::fromLocal8Bit(ec.message()));
    return false;
}

} // namespace

BankSelect::BankSelect(Session &session, CardModel &card) : m_session(session), m_card(card)
{
    title = VersionTitle(QStringLiteral("文献バンクの選択"));
    caption = QStringLiteral("Open");
}

void BankSelect::StartUp()
{
    Session &s = m_session;
    BankPathList();
    const bool opened = IsBank(s.BankPath()) && s.settings.AutoOpen && OpenBank(s.BankFolder(), s.BankName());
    if (!opened) {
        if (s.settings.AutoOpen)
            s.Signal(SignalKind::StartUpError);
        BankView(BankMode::Open);
    }

    const QStringList report = s.formReport + s.scriptReport;
    if (!report.isEmpty())
        s.ui.message(QStringLiteral("書式ファイルとスクリプトファイルの一部を読み込めませんでした。\n\n") +
                         report.join(QLatin1Char('\n')),
                     MsgButtons::Ok, MsgIcon::Warning);
}

void BankSelect::BankView(BankMode sw)
{
    mode = sw;
    switch (sw) {
    case BankMode::Open:
        title = VersionTitle(QStringLiteral("文献バンクを開く"));
        caption = QStringLiteral("Open");
        break;
    case BankMode::New:
        title = VersionTitle(QStringLiteral("文献バンクを作る"));
        caption = QStringLiteral("New");
        break;
    case BankMode::Duplicate:
        title = VersionTitle(QStringLiteral("文献バンクの複製"));
        caption = QStringLiteral("Dupli");
        break;
    }
    bankText = m_session.BankName() + kBnk;
    const QString folder = existingFolder(m_session.BankPath());
    if (!folder.isEmpty())
        DirChange(folder);
    pathText = m_session.BankPath();
    visible = true;
}

bool BankSelect::bankOpen() const
{
    return !m_card.bankPath().isEmpty();
}

void BankSelect::BankPathAdd(const QString &path)
{
    QStringList &paths = m_session.BankPaths;
    while (paths.size() < kBankPathCount)
        paths.append(QString());
    // Compared without regard to case; the entry keeps the spelling given, so
    // that it still names the folder where file names are case-sensitive.
    int i = 0;
    while (i < kBankPathCount && paths.at(i).compare(path, Qt::CaseInsensitive) != 0)
        ++i;
    if (i == 0)
        return;
    // Not there: the tenth entry is dropped.
    const int from = i < kBankPathCount ? i : kBankPathCount - 1;
    for (int j = from; j > 0; --j)
        paths[j] = paths.at(j - 1);
    paths[0] = path;
    BankPathList();
}

void BankSelect::BankPathList()
{
    pathItems.clear();
    for (const QString &p : std::as_const(m_session.BankPaths)) {
        if (p.isEmpty() || pathItems.size() == kBankPathCount)
            break;
        pathItems.append(p);
    }
    pathIndex = pathItems.isEmpty() ? -1 : 0;
    if (pathIndex == 0)
        pathText = pathItems.first();
}

void BankSelect::DirChange(const QString &path)
{
    dirPath = QDir::cleanPath(path);
    showFolderKind();
}

void BankSelect::showFolderKind()
{
    if (dirPath.right(4).toLower() == kBnk) {
        colour = NameColour::Bank;
        bankText = dirPath.mid(LastPos(dirPath, QStringLiteral("/")));
        pathText = dirPath;
    } else {
        colour = NameColour::NoBank;
        bankText.clear();
    }
}

void BankSelect::PathClick(int index)
{
    if (index < 0 || index >= m_session.BankPaths.size())
        return;
    pathIndex = index;
    const QString p = m_session.BankPaths.at(index);
    // A folder that no longer exists leaves the directory list where it is.
    if (!p.isEmpty() && QFileInfo(p).isDir())
        dirPath = QDir::cleanPath(p);
    pathText = p;
    showFolderKind();
}

bool BankSelect::PathTyped(const QString &text)
{
    QString path = text.trimmed();
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    const QFileInfo folder(path);
    if (path.isEmpty() || !folder.isDir()) {
        m_session.ui.message(QStringLiteral("フォルダ ") + text.trimmed() + QStringLiteral(" がありません"),
                             MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    DirChange(folder.absoluteFilePath());
    pathText = dirPath;
    return true;
}

void BankSelect::Command1Click()
{
    Session &s = m_session;
    const QString name = StripSuffix(bankText.toLower(), kBnk);
    const QString lowerDir = dirPath.toLower();
    QString parent = lowerDir.endsWith(kBnk) ? dirPath.left(LastPos(dirPath, QStringLiteral("/"))) : dirPath;
    parent = AddSuffix(parent, QStringLiteral("/"));
    if (name.isEmpty() || name.contains(QLatin1Char('/'))) {
        s.ui.message(QStringLiteral("文献バンクの名前を入れてください"), MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    const QString target = parent + name + kBnk;
    const bool found = lowerDir.contains(name + kBnk);

    if (mode == BankMode::Open) {
        // Beyond standing in a folder of that name, the bank must hold a record
        // file: opening anything else would make a record file in a folder
        // that is no bank.
        if (!found || !IsBank(target)) {
            if (s.ui.message(QStringLiteral("文献バンク ") + name + QStringLiteral(" がありません"),
                             MsgButtons::OkCancel, MsgIcon::Warning) == MsgAnswer::Cancel)
                visible = false;
            return;
        }
        if (OpenBank(parent, name))
            visible = false;
        return;
    }

    const bool isNew = mode == BankMode::New;
    // A folder of that name beside the directory list's folder counts as
    // existing too: making a bank there would overwrite its first record.
    if (found || QFileInfo::exists(target)) {
        if (name != s.BankName().toLower()) {
            if (s.ui.message(QStringLiteral("文献バンク ") + name + QStringLiteral(" はすでに存在します"),
                             MsgButtons::OkCancel, MsgIcon::Warning) == MsgAnswer::Cancel)
                visible = false;
            return;
        }
        visible = false;
        return;
    }
    const QString question =
        isNew ? QStringLiteral("文献バンク ") + name + QStringLiteral(" を作成しますがよろしいですか？")
              : QStringLiteral("文献バンクの複製 ") + name + QStringLiteral(" を作成しますがよろしいですか？");
    if (s.ui.message(question, MsgButtons::OkCancel, MsgIcon::Question) == MsgAnswer::Ok) {
        if (isNew)
            createBank(parent, name);
        else
            duplicateBank(parent, name);
    }
    visible = false;
}

bool BankSelect::OpenBank(const QString &parent, const QString &name)
{
    Session &s = m_session;
    // The shown record goes to its own bank before another one is opened.
    if (!m_card.save())
        return false;
    const QString folder = AddSuffix(parent, QStringLiteral("/"));
    if (!m_card.openBank(folder + name + kBnk + QLatin1Char('/')))
        return false;
    s.setBank(folder, name);
    s.saveSettings();
    BankPathAdd(s.BankFolder() + s.BankName() + kBnk);
    return true;
}

void BankSelect::createBank(const QString &parent, const QString &name)
{
    Session &s = m_session;
    if (!m_card.save())
        return;
    // The new bank is made beside its place and takes its name when whole.
    const QString target = parent + name + kBnk;
    const QString building = BuildingFolderFor(target);
    QDir(building).removeRecursively();
    QString error;
    if (!makeFolder(building, target, &error) ||
        !WriteFileAtomic(building + u'/' + kRecordFileName, EncodeRecord(BlankRecord(QDate::currentDate())), &error) ||
        !PutFolderInPlace(building, target, &error)) {
        QDir(building).removeRecursively();
        s.ui.message(error, MsgButtons::Ok, MsgIcon::Error);
        return;
    }
    ++dirGeneration;
    OpenBank(parent, name);
}

void BankSelect::duplicateBank(const QString &parent, const QString &name)
{
    Session &s = m_session;
    // The copy holds the shown record as it stands on the card.
    if (!m_card.save())
        return;
    const QString target = parent + name + kBnk;
    const QString building = BuildingFolderFor(target);
    QDir(building).removeRecursively();
    QString error;
    if (!makeFolder(building, target, &error)) {
        s.ui.message(error, MsgButtons::Ok, MsgIcon::Error);
        return;
    }
    bool ok = true;
    struct Part
    {
        QString file;
        bool required;
        qint64 most; // bytes
    };
    // The record file is needed; the card makes a missing JP code, link or
    // URL/DOI table when it needs one.
    const Part parts[] = {{QString(kRecordFileName), true, qint64(kMaxRecords) * kRecordSize},
                          {QString(kJPcodeFileName), false, 16 * 1024 * 1024},
                          {QString(kLinkFileName), false, 64 * 1024 * 1024},
                          {QString(kPdfFileName), false, qint64(kMaxRecords) * 600}};
    s.ProgressStep(ProgressMode::Open, 1, 10, 1);
    int step = 4;
    for (const Part &part : parts) {
        if (!ok)
            break;
        const QString from = FindFileNoCase(s.BankPath(), part.file);
        QByteArray bytes;
        if (from.isEmpty()) {
            if (part.required) {
                error = FileError(s.BankPath() + part.file, QStringLiteral("ファイルがありません"));
                ok = false;
            }
        } else {
            ok = ReadFileHead(from, part.most, bytes, &error) &&
                 WriteFileAtomic(building + u'/' + part.file, bytes, &error);
        }
        s.ProgressStep(ProgressMode::Step, 1, 10, ++step);
    }
    ok = ok && PutFolderInPlace(building, target, &error);
    s.ProgressStep(ProgressMode::Close, 1, 10, 0);
    if (!ok) {
        QDir(building).removeRecursively();
        s.ui.message(QStringLiteral("文献バンクの複製 ") + name + QStringLiteral(" を作成できませんでした。\n") + error,
                     MsgButtons::Ok, MsgIcon::Error);
        return;
    }
    BankPathAdd(target);
    ++dirGeneration;
}

} // namespace tz
