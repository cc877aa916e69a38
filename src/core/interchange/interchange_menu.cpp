#include "core/interchange/interchange_menu.h"

#include "core/card/card_model.h"
#include "core/common/file_io.h"
#include "core/interchange/bank_export.h"
#include "core/interchange/bank_import.h"
#include "core/interchange/doi_lookup.h"
#include "core/session/session.h"

#include <QDir>
#include <QFileInfo>

namespace tz {

namespace {

constexpr int kReportLines = 25;

// The report, at most kReportLines lines of it.
QString reportText(const QStringList &report)
{
    if (report.isEmpty())
        return {};
    QStringList shown = report.mid(0, kReportLines);
    if (report.size() > kReportLines)
        shown << QStringLiteral("ほか %1 件").arg(report.size() - kReportLines);
    return QStringLiteral("\n\n") + shown.join(u'\n');
}

} // namespace

QStringList ExportFilters(int recCount, int hitCount)
{
    QStringList filters;
    for (const ExchangeFormat f : kExchangeFormats)
        filters << QStringLiteral("%1 — バンク全体 %2 件 (*%3)")
                       .arg(ExchangeFormatName(f))
                       .arg(recCount)
                       .arg(ExchangeFormatSuffix(f));
    if (hitCount > 0)
        for (const ExchangeFormat f : kExchangeFormats)
            filters << QStringLiteral("%1 — 検索結果 %2 件 (*%3)")
                           .arg(ExchangeFormatName(f))
                           .arg(hitCount)
                           .arg(ExchangeFormatSuffix(f));
    return filters;
}

MenuImport ImportFromMenu(Session &session)
{
    MenuImport done;
    UserInterface &ui = session.ui;
    const QString bank = session.BankPath();
    if (bank.isEmpty())
        return done;
    const QString file = ui.openFileName(kImportTitle, session.BankFolder(), kImportFilters);
    if (file.isEmpty())
        return done;
    const QString shown = QDir::toNativeSeparators(file);
    QByteArray bytes;
    QString error;
    if (!ReadFileHead(file, kMaxExchangeFileBytes + 1, bytes, &error)) {
        ui.message(kMsgNotImported.arg(error), MsgButtons::Ok, MsgIcon::Error);
        return done;
    }
    BankImport importer(session.jp);
    importer.bankPath = bank;
    importer.confirm = [&ui](const QString &question) {
        return ui.message(question, MsgButtons::OkCancel, MsgIcon::Question) == MsgAnswer::Ok;
    };
    importer.mayOverwriteInexact = [&ui] {
        return ui.message(kAskRewriteJPcode.arg(kJPcodeFileName), MsgButtons::OkCancel, MsgIcon::Warning) ==
               MsgAnswer::Ok;
    };
    importer.progress = [&session](ProgressMode mode, int first, int last, int current) {
        session.ProgressStep(mode, first, last, current);
    };
    importer.cancelFlag = &session.CancelFlag;

    ImportPlan plan = importer.plan(bytes);
    if (plan.cancelled)
        return done;
    if (!plan.error.isEmpty()) {
        ui.message(kMsgNotImported.arg(shown + QStringLiteral(": ") + plan.error), MsgButtons::Ok, MsgIcon::Error);
        return done;
    }
    if (plan.records.isEmpty()) {
        ui.message(kMsgNothingToImport.arg(plan.entries) + reportText(plan.report()), MsgButtons::Ok,
                   MsgIcon::Information);
        return done;
    }
    const QString duplicates =
        plan.duplicates.isEmpty()
            ? QString()
            : QStringLiteral("\n（重複している %1 件は取り込みません）").arg(plan.duplicates.size());
    const int last = plan.first + int(plan.records.size()) - 1;
    if (ui.message(kAskImport.arg(shown).arg(plan.records.size()).arg(plan.first).arg(last).arg(duplicates),
                   MsgButtons::OkCancel, MsgIcon::Question) != MsgAnswer::Ok)
        return done;
    const ImportOutcome o = importer.apply(plan);
    done.renumbered = o.renumbered;
    if (o.status == JPstatus::Done) {
        done.first = o.first;
        done.count = o.count;
        ui.message(kMsgImported.arg(o.count).arg(o.first).arg(o.first + o.count - 1) + reportText(plan.report()),
                   MsgButtons::Ok, MsgIcon::Information);
    } else if (o.status != JPstatus::Cancelled) {
        ui.message(kMsgNotImported.arg(o.message), MsgButtons::Ok, MsgIcon::Error);
    }
    return done;
}

bool ImportIntoCard(CardModel &card, Session &session, const std::function<void()> &shown)
{
    if (!card.save())
        return false;
    if (shown)
        shown();
    const MenuImport done = ImportFromMenu(session);
    if (done.count == 0 && !done.renumbered)
        return false;
    // The bank has more records (and maybe renumbered codes): open it anew.
    card.openBank(card.bankPath());
    if (done.first > 0)
        card.goTo(done.first);
    return true;
}

bool ExportFromMenu(Session &session, const QList<qint16> &hits)
{
    UserInterface &ui = session.ui;
    const QString bank = session.BankPath();
    if (bank.isEmpty())
        return false;
    QString error;
    const int recCount = RecCountSet(bank, &error);
    if (recCount < 0) {
        ui.message(error, MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    const QStringList filters = ExportFilters(recCount, int(hits.size()));
    int chosen = 0;
    const QString start = QDir(session.BankFolder()).filePath(session.BankName() + QStringLiteral(".ris"));
    QString file = ui.saveFileName(kExportTitle, start, filters, 0, &chosen);
    if (file.isEmpty())
        return false;
    chosen = std::clamp(chosen, 0, int(filters.size()) - 1);
    // A file name ending in .ris, .bib or .json says the format itself; the
    // filter says it for any other name, and which records go out.
    ExchangeFormat format = kExchangeFormats[chosen % std::size(kExchangeFormats)];
    bool named = false;
    for (const ExchangeFormat f : kExchangeFormats)
        if (file.endsWith(ExchangeFormatSuffix(f), Qt::CaseInsensitive)) {
            format = f;
            named = true;
        }
    if (!named && QFileInfo(file).suffix().isEmpty())
        file += ExchangeFormatSuffix(format);
    QList<int> numbers;
    if (chosen >= int(std::size(kExchangeFormats))) // the filters of the hits follow those of the bank
        for (const qint16 n : hits)
            numbers << n;
    int count = 0;
    if (!ExportBankFile(bank, session.jp, numbers, format, file, &count, &error)) {
        ui.message(error, MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    ui.message(kMsgExported.arg(count).arg(QDir::toNativeSeparators(file)), MsgButtons::Ok, MsgIcon::Information);
    return true;
}

bool FillCardFromDoi(CardModel &card, Session &session)
{
    UserInterface &ui = session.ui;
    if (card.bankPath().isEmpty())
        return false;
    static const CardBox typed[] = {CardBox::Memo, CardBox::Author,  CardBox::Title, CardBox::Editor,
                                    CardBox::Book, CardBox::Volume,  CardBox::Page1, CardBox::Page2,
                                    CardBox::Year, CardBox::Keyword, CardBox::URL};
    bool blank = true;
    for (const CardBox box : typed)
        blank = blank && card.boxText(box).trimmed().isEmpty();
    if (!card.isNewRecord() && !blank) {
        ui.message(kMsgDoiOnlyBlank, MsgButtons::Ok, MsgIcon::Information);
        return false;
    }
    const QString doi = card.boxText(CardBox::DOI).trimmed();
    if (doi.isEmpty()) {
        ui.message(kMsgDoiEmpty, MsgButtons::Ok, MsgIcon::Information);
        return false;
    }
    const DoiAnswer answer = LookUpDoi(doi, &ui);
    if (answer.cancelled)
        return false;
    if (!answer.ok) {
        ui.titledMessage(kDoiTitle, answer.error, MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    BankImport importer(session.jp);
    importer.bankPath = card.bankPath();
    const ImportPlan plan = importer.plan({answer.ref}, true);
    if (!plan.error.isEmpty() || plan.records.isEmpty()) {
        ui.titledMessage(kDoiTitle, plan.error, MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    const ImportedRecord &r = plan.records.first();

    // The boxes as if typed, each checked as when it is left.
    card.clickStyle(r.rec.Style);
    const std::pair<CardBox, QString> texts[] = {
        {CardBox::Memo, r.rec.Memo},
        {CardBox::Author, r.rec.Author},
        {CardBox::Title, r.rec.Title},
        {CardBox::Editor, r.rec.Editor},
        {CardBox::Book, r.rec.Book},
        {CardBox::Volume, r.rec.Volume},
        {CardBox::Page1, r.rec.Page1},
        {CardBox::Page2, r.rec.Page2},
        {CardBox::Year, r.rec.Year ? QString::number(r.rec.Year) : QString()},
        {CardBox::Keyword, r.rec.Keyword},
        {CardBox::URL, r.pdf.URL},
        {CardBox::DOI, r.pdf.DOI},
    };
    for (const auto &[box, text] : texts) {
        card.setBoxText(box, text);
        card.leaveBox(box);
    }
    // The code of a known name; a new name goes into the name list as typed
    // (the record names no source until the card's question is answered).
    const int code = r.jpName.isEmpty() ? 0 : JPcodeByName(session.jp, r.rec.Style, r.jpName);
    card.setBoxText(CardBox::JPcode, QString::number(code));
    card.leaveBox(CardBox::JPcode);
    if (code == 0 && !r.jpName.isEmpty())
        card.setJPcomboText(r.jpName);
    QStringList told = r.notes;
    if (!plan.duplicates.isEmpty())
        told.prepend(kMsgDoiDuplicate.arg(plan.duplicates.first().reason));
    if (!told.isEmpty())
        ui.titledMessage(kDoiTitle, told.join(u'\n'), MsgButtons::Ok, MsgIcon::Information);
    return true;
}

} // namespace tz
