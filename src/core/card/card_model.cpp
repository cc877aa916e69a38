#include "core/card/card_model.h"

#include "core/common/basic.h"
#include "core/common/ole_date.h"
#include "core/common/storable_text.h"
#include "core/session/session.h"
#include "core/store/bank_change.h"
#include "core/store/link_table.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <optional>

namespace tz {
namespace {

// A box text as a whole number: numeric text rounded half to even; nothing when
// the text is no number or does not fit 16 bits.
std::optional<qint16> wholeNumber(const QString &text)
{
    if (!IsNumeric(text))
        return std::nullopt;
    return ToInt16(Val(text));
}

QString dateText(double ole)
{
    const QDate d = OleToDate(ole);
    return d.isValid() ? d.toString(QStringLiteral("yyyy/MM/dd")) : QString();
}

void trimRecord(Record &r)
{
    for (QString *f : {&r.Memo, &r.Author, &r.Title, &r.Volume, &r.Page1, &r.Page2, &r.Editor, &r.Book, &r.Keyword})
        *f = Trim(*f);
}

} // namespace

CardModel::CardModel(Session &session, QObject *parent) : QObject(parent), m_session(session), m_jp(session.jp)
{}

QDate CardModel::today() const
{
    return m_today.isValid() ? m_today : QDate::currentDate();
}

void CardModel::say(const QString &text) const
{
    m_session.ui.message(text, MsgButtons::Ok, MsgIcon::Information);
}

void CardModel::fail(const QString &error) const
{
    m_session.ui.message(error, MsgButtons::Ok, MsgIcon::Error);
}

bool CardModel::askOkCancel(const QString &text) const
{
    return m_session.ui.message(text, MsgButtons::OkCancel, MsgIcon::Information) == MsgAnswer::Ok;
}

int CardModel::maxHits() const
{
    return m_session.settings.MaxHits;
}

void CardModel::startSearch(int kind, const QString &kindText, const QString &key)
{
    Q_EMIT searchRequested(CardSearchRequest{kind, kindText, key});
}

// ---- Opening and closing --------------------------------------------------------

bool CardModel::openBank(const QString &bankPath)
{
    QString error;
    // A renumbering of the JP codes cut short is completed or rolled back
    // before anything of the bank is read.
    if (!CompleteBankChange(bankPath, &error))
        fail(error);
    const int count = RecCountSet(bankPath, &error);
    if (count < 0) {
        fail(error);
        return false;
    }
    Record rec;
    PdfEntry pdf;
    const int last = qMax(count, 1);
    if (!RecRead(bankPath, last, ReadMode::Stored, rec, today(), &error)) {
        fail(error);
        return false;
    }
    // A missing URL/DOI table or JP code table is created; failing that, the
    // bank still opens and the error is reported.
    if (!PdfInit(bankPath, count, &error))
        fail(error);
    if (!PdfRead(bankPath, last, ReadMode::Stored, pdf, &error))
        fail(error);
    if (!JPcodeLoad(QDir(bankPath).filePath(QString(kJPcodeFileName)), m_jp, &error))
        fail(error);

    m_bankPath = bankPath;
    m_recCount = last;
    m_unwrittenNew = count == 0;
    showRecord(last, rec, pdf);
    return true;
}

void CardModel::showRecord(int n, const Record &rec, const PdfEntry &pdf)
{
    m_curRec = n;
    m_recBuf = rec;
    m_pdfBuf = pdf;
    P3Rec2X();
    QString error;
    m_linkText = LinkRead(m_bankPath, n, m_recCount, maxHits(), &error);
    m_linkTextOld = m_linkText;
    if (!error.isEmpty())
        fail(error);
    P3RecShow();
    m_boxChanged.clear();
    Q_EMIT recordShown(n);
}

bool CardModel::close()
{
    if (m_bankPath.isEmpty())
        return true;
    takeJPcomboText();
    // The focused box has not been left; checking it keeps its last edit.
    if (m_focusBox != CardBox::Style)
        leaveBox(m_focusBox);
    boxesToRecord(m_recBuf, m_pdfBuf);
    bool ok = true;
    QString error;
    if (!RecWrite(m_bankPath, m_curRec, m_recBuf, m_boxChanged.any(), &error)) {
        fail(error);
        ok = false;
    }
    if (!writeUrlDoi(error)) {
        fail(error);
        ok = false;
    }
    // A checked link list is written too, so that its edit is not lost.
    if (LinkWrite(m_bankPath, m_curRec, m_linkText, m_linkTextOld, &error)) {
        m_linkTextOld = m_linkText;
    } else {
        fail(error);
        ok = false;
    }
    // A table whose names were not all read exactly is written back only when
    // the person agrees: what could not be read would be lost.
    const QString jpFile = QDir(m_bankPath).filePath(QString(kJPcodeFileName));
    if ((JPcodeReadExactly(m_jp) || askOkCancel(kAskRewriteJPcode.arg(QDir::toNativeSeparators(jpFile)))) &&
        !JPcodeSaveInBank(m_bankPath, m_jp, &error, true)) {
        fail(error);
        ok = false;
    }
    return ok;
}

// ---- The boxes --------------------------------------------------------------------

QString CardModel::boxText(CardBox box) const
{
    return text(box);
}

void CardModel::setBoxText(CardBox box, const QString &t)
{
    text(box) = WithoutLineBreaks(t);
}

void CardModel::setFocusBox(CardBox box)
{
    m_focusBox = box;
}

void CardModel::leaveBox(CardBox box)
{
    const RecCheckContext ctx{m_recX,      m_linkTextOld, text(CardBox::Page1), m_curRec, m_recCount,
                              m_jp.JPendE, maxHits()};
    const RecCheckResult r = P3RecCheck(box, text(box), ctx);
    text(box) = r.text;
    if (r.marked)
        mark(box);
    if (r.setLinkText)
        m_linkText = r.linkText;
    if (r.showJPname)
        JPcode2name();
    if (!r.message.isEmpty())
        say(r.message);
}

CardBox CardModel::enterInBox()
{
    if (m_focusBox == CardBox::JPcode) {
        // Text that is no code leaves the record's code; the check reports it.
        const QString t = Trim(text(CardBox::JPcode));
        const std::optional<qint16> code = t.isEmpty() ? std::optional<qint16>(0) : wholeNumber(t);
        // A code beyond the table is no code, as the box's check will find.
        if (code)
            m_recBuf.JPcode = *code < 1 || *code > m_jp.JPendE ? qint16(0) : *code;
        JPcode2name();
    }
    m_focusBox = NextBoxOnEnter(m_focusBox, styleLayout());
    return m_focusBox;
}

void CardModel::undoField()
{
    // Boxes 6 and 10 show a stored 0 as an empty box, as the card shows them:
    // a "0" left in the year box would read as the year 2000.
    if (m_focusBox == CardBox::Style)
        return;
    text(m_focusBox) = m_focusBox == CardBox::Link ? m_linkTextOld : storedText(m_focusBox);
    if (m_focusBox == CardBox::JPcode)
        JPcode2name();
}

// ---- Styles and the JP code list --------------------------------------------------

void CardModel::clickStyle(int index)
{
    if (index < 1 || index > 4)
        return;
    m_focusBox = CardBox::Style;
    text(CardBox::Style) = QString::number(index);
    m_recX.style = static_cast<qint16>(index);
    JPcomboSet();
    if (m_recX.style != m_recBuf.Style)
        mark(CardBox::Style);
}

int CardModel::styleButton() const
{
    return m_recX.style >= 1 && m_recX.style <= 4 ? m_recX.style : 0;
}

int CardModel::jpListBase() const
{
    return JPlistBase(m_jp, m_recX.style);
}

void CardModel::JPcomboSet()
{
    m_jpList.clear();
    m_jpSelection = -1;
    if (m_recX.style < 1 || m_recX.style > 4)
        return;
    const int end = JPlistEnd(m_jp, m_recX.style);
    for (int k = jpListBase() + 1; k <= end; ++k)
        m_jpList.append(JPcodeName(m_jp, k));
}

void CardModel::JPcode2name()
{
    const double code = Val(text(CardBox::JPcode));
    m_jpComboText = code <= 0 || code > m_jp.JPendE ? QString() : JPcodeName(m_jp, static_cast<int>(code));
    m_jpTyped = false;
}

void CardModel::setPickedCode(int position)
{
    const qint16 code = static_cast<qint16>(jpListBase() + position + 1);
    m_jpSelection = position;
    text(CardBox::JPcode) = QString::number(code);
    m_recX.JPcode = code;
    mark(CardBox::JPcode);
    JPcode2name();
}

CardBox CardModel::pickJPname(int position)
{
    if (position < 0 || position >= m_jpList.size())
        return m_focusBox;
    m_focusBox = CardBox::JPcode;
    setPickedCode(position);
    return enterInBox();
}

void CardModel::setJPcomboText(const QString &t)
{
    m_jpComboText = t;
    m_jpTyped = true;
}

CardBox CardModel::enterJPcombo()
{
    takeJPcomboText();
    m_focusBox = NextBoxOnEnter(CardBox::JPcode, styleLayout());
    return m_focusBox;
}

void CardModel::leaveJPcombo()
{
    takeJPcomboText();
}

void CardModel::takeJPcomboText()
{
    if (!m_jpTyped)
        return;
    m_jpTyped = false; // before any question: leaving the list for the question takes nothing twice
    const StorableText storable = MakeStorable(WithoutLineBreaks(m_jpComboText));
    const QString typed = Trim(Trim(storable.text).left(kJPnameMax));
    const QString t = Trim(text(CardBox::JPcode));
    const int shown = t.isEmpty() ? 0 : RoundClamp(Val(t), 0, kJPcodeMax);
    if (m_bankPath.isEmpty() || m_jpList.isEmpty() || typed == JPcodeName(m_jp, shown)) {
        JPcode2name();
        return;
    }
    if (typed.isEmpty()) {
        // The name taken away: the record names no journal or publisher.
        text(CardBox::JPcode).clear();
        m_recX.JPcode = 0;
        mark(CardBox::JPcode);
        m_jpSelection = -1;
        JPcode2name();
        return;
    }
    qsizetype position = m_jpList.indexOf(typed);
    for (qsizetype i = 0; position < 0 && i < m_jpList.size(); ++i)
        if (m_jpList[i].compare(typed, Qt::CaseInsensitive) == 0)
            position = i;
    if (position >= 0) {
        setPickedCode(int(position));
        return;
    }
    // A new name: the lowest free code of the group, the person asked first.
    QString error;
    LargeBuffer records;
    const std::optional<QList<int>> usage =
        ReadRecordsWhole(m_bankPath, records, &error)
            ? JPcodeUsage(records.view(), RecordCountOf(records.size()), m_jp.JPendE)
            : std::nullopt;
    if (!usage) {
        fail(error);
        JPcode2name();
        return;
    }
    const int base = jpListBase();
    int free = 0;
    for (int i = 0; free == 0 && i < m_jpList.size(); ++i)
        if (m_jpList[i].isEmpty() && usage->value(base + i + 1) == 0)
            free = base + i + 1;
    if (free == 0) {
        say(kMsgNoFreeJPcode.arg(typed));
        JPcode2name();
        return;
    }
    if (!askOkCancel(kAskAddJPname.arg(typed).arg(free))) {
        JPcode2name();
        return;
    }
    m_jp.JPname[free] = typed;
    if (const QString told = StorableMessage(storable); !told.isEmpty())
        say(told);
    const QString jpFile = QDir(m_bankPath).filePath(QString(kJPcodeFileName));
    if ((JPcodeReadExactly(m_jp) || askOkCancel(kAskRewriteJPcode.arg(QDir::toNativeSeparators(jpFile)))) &&
        !JPcodeSaveInBank(m_bankPath, m_jp, &error, true))
        fail(error);
    JPcomboSet();
    setPickedCode(free - base - 1);
    Q_EMIT jpTableChanged();
}

void CardModel::applyJPcode(int code, int style)
{
    text(CardBox::JPcode) = QString::number(code);
    clickStyle(style);
    refreshJPlist();
}

void CardModel::applyRenumbering(const JPrenumber &change)
{
    const qint16 storedCode = m_recBuf.JPcode;
    change.apply(m_recBuf.JPcode, m_recBuf.Style);
    qint16 shownStyle = m_recX.style;
    m_recX.JPcode = m_recBuf.JPcode;
    if (change.styleCode != 0 && storedCode == change.styleCode)
        m_recX.style = shownStyle = change.style;
    qint16 ignored = 0;
    change.apply(m_copyRec.JPcode, m_copyRec.Style);
    // A code typed into box 6 follows its name too.
    if (const std::optional<qint16> typed = wholeNumber(Trim(text(CardBox::JPcode))); typed && *typed > 0) {
        qint16 code = *typed;
        change.apply(code, ignored);
        text(CardBox::JPcode) = QString::number(code);
    }
    if (shownStyle >= 1 && shownStyle <= 4 && text(CardBox::Style) != QString::number(shownStyle)) {
        const bool styleMarked = marked(CardBox::Style);
        clickStyle(shownStyle);
        m_boxChanged.mark(CardBox::Style, styleMarked);
    }
    refreshJPlist();
}

void CardModel::refreshJPlist()
{
    JPcomboSet();
    const QString t = Trim(text(CardBox::JPcode));
    const int code = t.isEmpty() ? 0 : RoundClamp(Val(t), -1, kJPcodeMax);
    const int position = code - jpListBase() - 1;
    // A code outside the shown style's group leaves the list without a selection.
    if (code != 0 && position >= 0 && position < m_jpList.size())
        m_jpSelection = position;
    JPcode2name();
}

// ---- Buffers and boxes ------------------------------------------------------------

void CardModel::P3Rec2X()
{
    trimRecord(m_recBuf);
    m_pdfBuf.URL = Trim(m_pdfBuf.URL);
    m_pdfBuf.DOI = Trim(m_pdfBuf.DOI);
    const Record &r = m_recBuf;
    m_recX.style = r.Style;
    m_recX.memo = r.Memo;
    m_recX.author = r.Author;
    m_recX.title = r.Title;
    m_recX.volume = r.Volume;
    m_recX.page1 = r.Page1;
    m_recX.page2 = r.Page2;
    m_recX.editor = r.Editor;
    m_recX.book = r.Book;
    m_recX.keyword = r.Keyword;
    m_recX.JPcode = r.JPcode;
    m_recX.year = r.Year;
    m_recX.regDate = OleToDate(r.RegDate);
    m_recX.URL = m_pdfBuf.URL;
    m_recX.DOI = m_pdfBuf.DOI;
}

QString CardModel::storedText(CardBox box) const
{
    const Record &r = m_recBuf;
    switch (box) {
    case CardBox::Style:
        return QString::number(r.Style);
    case CardBox::Memo:
        return r.Memo;
    case CardBox::Author:
        return r.Author;
    case CardBox::Title:
        return r.Title;
    case CardBox::Editor:
        return r.Editor;
    case CardBox::Book:
        return r.Book;
    case CardBox::JPcode:
        return r.JPcode == 0 ? QString() : QString::number(r.JPcode);
    case CardBox::Volume:
        return r.Volume;
    case CardBox::Page1:
        return r.Page1;
    case CardBox::Page2:
        return r.Page2;
    case CardBox::Year:
        return r.Year == 0 ? QString() : QString::number(r.Year);
    case CardBox::Keyword:
        return r.Keyword;
    case CardBox::Link:
        return Trim(m_linkText);
    case CardBox::RegDate:
        return dateText(r.RegDate);
    case CardBox::URL:
        return m_pdfBuf.URL;
    case CardBox::DOI:
        return m_pdfBuf.DOI;
    }
    return {};
}

void CardModel::P3RecShow()
{
    m_recNumText = QString::number(m_curRec);
    m_recNumEdited = false;
    trimRecord(m_recBuf);
    m_pdfBuf.URL = Trim(m_pdfBuf.URL);
    m_pdfBuf.DOI = Trim(m_pdfBuf.DOI);
    for (CardBox b : kCardBoxes)
        text(b) = storedText(b);
    const Record &r = m_recBuf;
    if (r.Style >= 1 && r.Style <= 4) {
        clickStyle(r.Style);
    } else {
        // Styles without a button are laid out like "etc." with an empty list.
        m_recX.style = r.Style;
        JPcomboSet();
    }
    JPcode2name();
    m_focusBox = CardBox::Memo;
    ++m_showings;
}

void CardModel::boxesToRecord(Record &rec, PdfEntry &pdf) const
{
    // A box whose text its check rejected keeps the field's stored value.
    if (const std::optional<qint16> s = wholeNumber(Trim(text(CardBox::Style))); s && *s >= 1 && *s <= 6)
        rec.Style = *s;
    rec.Memo = Trim(text(CardBox::Memo));
    rec.Author = Trim(text(CardBox::Author));
    rec.Title = Trim(text(CardBox::Title));
    rec.Editor = Trim(text(CardBox::Editor));
    rec.Book = Trim(text(CardBox::Book));
    const QString code = Trim(text(CardBox::JPcode));
    if (code.isEmpty())
        rec.JPcode = 0;
    else if (const std::optional<qint16> c = wholeNumber(code); c && *c >= 0 && *c <= m_jp.JPendE)
        rec.JPcode = *c;
    rec.Volume = Trim(text(CardBox::Volume));
    rec.Page1 = Trim(text(CardBox::Page1));
    rec.Page2 = Trim(text(CardBox::Page2));
    const QString year = Trim(text(CardBox::Year));
    if (year.isEmpty())
        rec.Year = 0;
    else if (const std::optional<qint16> y = wholeNumber(year))
        rec.Year = *y;
    rec.Keyword = Trim(text(CardBox::Keyword));
    // The stored date keeps its time of day unless another date was typed.
    const QDate d = ParseTypedDate(Trim(text(CardBox::RegDate)));
    if (d.isValid() && d != OleToDate(rec.RegDate))
        rec.RegDate = DateToOle(d);
    pdf.URL = Trim(text(CardBox::URL));
    pdf.DOI = Trim(text(CardBox::DOI));
}

bool CardModel::writeUrlDoi(QString &error)
{
    // The URL and DOI marks go once the entry is written; a failed write keeps
    // them, so that the next save tries again.
    if (!PdfWrite(m_bankPath, m_curRec, m_pdfBuf, m_boxChanged[CardBox::URL] || m_boxChanged[CardBox::DOI], &error))
        return false;
    m_boxChanged.mark(CardBox::URL, false);
    m_boxChanged.mark(CardBox::DOI, false);
    return true;
}

// ---- Moving and saving ------------------------------------------------------------

bool CardModel::save()
{
    if (m_bankPath.isEmpty())
        return true;
    takeJPcomboText();
    for (CardBox b : kCardBoxes)
        leaveBox(b);
    boxesToRecord(m_recBuf, m_pdfBuf);
    QString error;
    const bool recordWritten = RecWrite(m_bankPath, m_curRec, m_recBuf, m_boxChanged.any(), &error);
    if (!recordWritten)
        fail(error);
    else if (anyMarked())
        m_unwrittenNew = false;
    bool ok = recordWritten;
    if (!writeUrlDoi(error)) {
        fail(error);
        ok = false;
    }
    P3Rec2X();
    if (LinkWrite(m_bankPath, m_curRec, m_linkText, m_linkTextOld, &error)) {
        m_linkTextOld = m_linkText;
    } else {
        fail(error);
        ok = false;
    }
    const bool locate =
        marked(CardBox::JPcode) || marked(CardBox::Volume) || marked(CardBox::Page1) || marked(CardBox::Page2);
    if (recordWritten && m_session.settings.AutoDupCheck && locate && m_recBuf.JPcode != 0)
        startSearch(KindSimilarAuto, kKindSimilar, QString::number(m_curRec));
    return ok;
}

bool CardModel::anyMarked() const
{
    return m_boxChanged.any();
}

bool CardModel::loadRecord(int n)
{
    // A new record left with nothing typed never came to exist: the bank
    // keeps the records of its file, so that no gap can arise after it.
    if (m_unwrittenNew && n != m_curRec) {
        m_recCount = m_curRec - 1;
        m_unwrittenNew = false;
    }
    // Read into scratch buffers: a failed read leaves the shown record as it was.
    Record rec = m_recBuf;
    PdfEntry pdf;
    QString error;
    if (!RecRead(m_bankPath, n, ReadMode::Stored, rec, today(), &error) ||
        !PdfRead(m_bankPath, n, ReadMode::Stored, pdf, &error)) {
        fail(error);
        return false;
    }
    showRecord(n, rec, pdf);
    return true;
}

bool CardModel::goTo(int n)
{
    if (m_bankPath.isEmpty() || n < 1 || n > m_recCount)
        return false;
    if (!save())
        return false;
    return loadRecord(n);
}

bool CardModel::scrollTo(int n)
{
    if (n == m_curRec || m_curRec == 0 || m_bankPath.isEmpty() || n < 1 || n > m_recCount)
        return false;
    if (!save())
        return false;
    return loadRecord(n);
}

void CardModel::dragScroll(int n)
{
    setRecNumText(QString::number(n));
}

void CardModel::setRecNumText(const QString &text)
{
    m_recNumText = text;
    m_recNumEdited = true;
}

bool CardModel::enterRecNum()
{
    const QString t = Trim(m_recNumText);
    if (!IsNumeric(t)) {
        say(kMsgRecNumNumeric);
        leaveRecNum();
        return false;
    }
    const double v = Val(t);
    if (v < 1 || v > m_recCount) {
        say(kMsgRecNumRange);
        leaveRecNum();
        return false;
    }
    const int n = RoundClamp(v, 1, m_recCount);
    if (n == m_curRec) {
        leaveRecNum();
        return false;
    }
    const bool moved = goTo(n);
    leaveRecNum();
    return moved;
}

void CardModel::leaveRecNum()
{
    m_recNumText = QString::number(m_curRec);
    m_recNumEdited = false;
}

// ---- The record menu --------------------------------------------------------------

void CardModel::next()
{
    if (m_bankPath.isEmpty())
        return;
    if (m_curRec != m_recCount) {
        goTo(m_curRec + 1);
        return;
    }
    if (m_unwrittenNew && !anyMarked())
        return; // already on a new record with nothing typed into it
    if (m_recCount >= kMaxRecords) {
        say(kMsgRecordLimit);
        return;
    }
    if (askOkCancel(kAskNewRecord))
        newRecord();
}

void CardModel::previous()
{
    if (m_curRec > 1)
        goTo(m_curRec - 1);
}

bool CardModel::newRecord()
{
    if (m_bankPath.isEmpty())
        return false;
    // A new record that nothing was typed into stays the new record.
    if (m_unwrittenNew && !anyMarked())
        return true;
    if (m_recCount >= kMaxRecords) {
        say(kMsgRecordLimit);
        return false;
    }
    if (!save())
        return false;
    const int n = m_recCount + 1;
    // The new record inherits the JP code of the record shown before it.
    Record rec = m_recBuf;
    PdfEntry pdf;
    QString error;
    RecRead(m_bankPath, n, ReadMode::Blank, rec, today());
    if (!PdfRead(m_bankPath, n, ReadMode::Stored, pdf, &error))
        fail(error);
    m_recCount = n;
    m_unwrittenNew = true;
    showRecord(n, rec, pdf);
    return true;
}

void CardModel::undo()
{
    if (m_bankPath.isEmpty())
        return;
    Record rec = m_recBuf;
    PdfEntry pdf;
    QString error;
    if (!RecRead(m_bankPath, m_curRec, ReadMode::Stored, rec, today(), &error) ||
        !PdfRead(m_bankPath, m_curRec, ReadMode::Stored, pdf, &error)) {
        fail(error);
        return;
    }
    m_recBuf = rec;
    m_pdfBuf = pdf;
    m_linkText = m_linkTextOld;
    P3Rec2X();
    P3RecShow();
    m_boxChanged.clear();
}

void CardModel::copyAll()
{
    save();
    m_copyRec = m_recBuf;
    m_copyPdf = m_pdfBuf;
}

void CardModel::pasteAll()
{
    if (m_copyRec.JPcode == 0)
        return;
    m_recBuf = m_copyRec;
    m_pdfBuf = m_copyPdf;
    P3RecShow();
    m_boxChanged.markAll(true);
}

void CardModel::clearAll()
{
    // What the boxes show goes to the copy buffer, so that a paste brings back
    // the record as it was on the card.
    Record shown = m_recBuf;
    PdfEntry shownPdf = m_pdfBuf;
    boxesToRecord(shown, shownPdf);
    m_copyRec = shown;
    m_copyPdf = shownPdf;
    RecClear(m_recBuf, today());
    PdfClear(m_pdfBuf);
    // The stored list stays in LinkTextOld, so that saving removes every link.
    m_linkText.clear();
    P3RecShow();
    m_boxChanged.markAll(true);
}

void CardModel::toList()
{
    startSearch(KindCurrent, kKindCurrent, QString::number(m_curRec));
}

void CardModel::similarRecords()
{
    startSearch(KindSimilar, kKindSimilar, QString::number(m_curRec));
}

void CardModel::linkedRecords()
{
    if (Trim(text(CardBox::Link)).isEmpty()) {
        m_session.Signal(SignalKind::EmptyField);
        return;
    }
    startSearch(KindLinked, kKindLinked, text(CardBox::Link));
}

void CardModel::openURL()
{
    const QString u = Trim(text(CardBox::URL));
    if (u.isEmpty()) {
        m_session.Signal(SignalKind::EmptyField);
    } else {
        m_session.WebOn(u);
    }
}

void CardModel::openDOI()
{
    const QString d = Trim(text(CardBox::DOI));
    if (d.isEmpty()) {
        m_session.Signal(SignalKind::EmptyField);
    } else {
        m_session.WebOn(kDefaultDoiResolver + d);
    }
}

} // namespace tz
