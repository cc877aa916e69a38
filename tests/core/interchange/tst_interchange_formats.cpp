// The interchange readers on files as databases and reference managers write
// them: every mapped field of every reference as the record stores it, each
// record read back unchanged through every format, LaTeX text both ways, the
// two encodings told apart, and bad input refused with its line named.

#include "core/common/cp932.h"
#include "core/common/ole_date.h"
#include "core/interchange/bibtex.h"
#include "core/interchange/exchange_file.h"
#include "support/test_files.h"
#include "support/test_rows.h"

#include <QtTest>

using namespace tz;

namespace {

const QDate kToday(2026, 12, 6);
const QString kData = QStringLiteral(TZ_SOURCE_DATA "/../tests/data/interchange/");

// Each note in short: "-X: first-word" for a field X left out, otherwise the
// label of the field whose text was changed or cut. What went into the memo shows in
// the memo itself.
QString noteSummary(const QStringList &notes)
{
    const QString leftOut = QStringLiteral("入れる欄がないので取り込みませんでした: ");
    QStringList out;
    for (const QString &n : notes)
        if (n.startsWith(leftOut))
            out << u'-' + n.mid(leftOut.size()).section(u' ', 0, 1);
        else if (!n.startsWith(QStringLiteral("Memo に入れました")))
            out << n.section(u':', 0, 0);
    return out.join(u',');
}

// The imported record field by field: style | author | editor | title | book |
// JP code name | volume | pages | year | keyword | memo | URL | DOI |
// registration date | notes.
QString recordText(const ImportedRecord &r)
{
    const Record &c = r.rec;
    const QString year = QString::number(c.Year), date = OleToDate(c.RegDate).toString(Qt::ISODate);
    return QStringList{QString::number(c.Style), c.Author, c.Editor,  c.Title, c.Book,    r.jpName,  c.Volume,
                       c.Page1 + u'-' + c.Page2, year,     c.Keyword, c.Memo,  r.pdf.URL, r.pdf.DOI, date,
                       noteSummary(r.notes)}
        .join(QStringLiteral(" | "));
}

QList<ImportedRecord> importFile(const QString &name, QString *error = nullptr)
{
    const ReadResult read = ReadExchange(readFile(kData + name));
    if (error)
        *error = read.error;
    QList<ImportedRecord> out;
    for (const Reference &ref : read.refs)
        out << RecordFromReference(ref, kToday);
    return out;
}

// "\n" for a line end; "hex:" bytes given in hexadecimal.
QByteArray inputBytes(const QString &text)
{
    if (text.startsWith(QStringLiteral("hex:")))
        return QByteArray::fromHex(text.mid(4).toLatin1());
    return QString(text).replace(QStringLiteral("\\n"), QStringLiteral("\n")).toUtf8();
}

} // namespace

class TestInterchangeFormats : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void files_data()
    {
        // clang-format off
        rows::table({"file", "format", "cp932", "count"}, {
            {"pubmed_articles.ris", "ris", "0", "4"}, {"zotero_books.ris", "ris", "0", "5"},
            {"cinii_cp932.ris", "ris", "1", "3"}, {"jstage_bom.ris", "ris", "0", "3"},
            {"scholar_jabref.bib", "bibtex", "0", "3"}, {"strings_crossref.bib", "bibtex", "0", "4"},
            {"japanese.bib", "bibtex", "0", "4"},
            {"crossref_doi.json", "csljson", "0", "1"}, {"jalc_doi.json", "csljson", "0", "1"},
        });
        // clang-format on
    }
    // The file's format and encoding are told apart, every reference is read,
    // and each record comes back unchanged through every format.
    void files()
    {
        const QByteArray bytes = readFile(kData + rows::text("file"));
        QVERIFY(!bytes.isEmpty());
        bool cp932 = false;
        const QString text = DecodeExchangeBytes(bytes, &cp932);
        QCOMPARE(cp932, rows::number("cp932") == 1);
        QVERIFY(!text.startsWith(QChar(0xFEFF)));
        QCOMPARE(DetectExchangeFormat(text), ExchangeFormatFromName(rows::text("format")));

        QString error;
        const QList<ImportedRecord> records = importFile(rows::text("file"), &error);
        QCOMPARE(error, QString());
        QCOMPARE(records.size(), rows::number("count"));
        for (const ImportedRecord &r : records) {
            const Reference back = ReferenceFromRecord(r.rec, r.pdf, r.jpName);
            for (const ExchangeFormat format : {ExchangeFormat::Ris, ExchangeFormat::Bibtex, ExchangeFormat::CslJson}) {
                const ReadResult again = ReadExchange(WriteExchange(format, {back}));
                QCOMPARE(again.error, QString());
                QCOMPARE(again.refs.size(), 1);
                const ImportedRecord a = RecordFromReference(again.refs[0], kToday);
                QCOMPARE(a.notes, QStringList());
                QCOMPARE(recordText(a), recordText(ImportedRecord{r.rec, r.pdf, r.jpName, {}}));
                QVERIFY(a.rec == r.rec);
            }
        }
    }

    void records_data()
    {
        // One row per reference: file, the line the reference starts on, the record.
        // clang-format off
        rows::table({"file", "line", "record"}, {
            {"pubmed_articles.ris", "1", "1 | Hiroshi Tanaka, Petra A Novak, Sean O'Connor |  | Circadian modulation of hepatic glucose output in shift-working nurses: a prospective cohort study. |  | Journal of sleep and metabolism | 12(3) | 123-130 | 2019 | circadian rhythm; glucose; shift work | DB: PubMed; AN: 30918237; JO: J Sleep Metab; SN: 1432-7789; LA: eng | https://doi.org/10.5555/jsm.2019.0123 | 10.5555/jsm.2019.0123 | 2026-12-06 | Author,-AD: Department,-AD: Institute,-AB: BACKGROUND:"},
            {"pubmed_articles.ris", "28", "1 | Anna M van_der_Berg, John Smith_Jr, Lucy Whitaker |  | Melatonin timing and dim-light onset in adolescents. |  | Chronobiology reports | 7(1) | 45-52 | 2020 | adolescence; melatonin; sleep onset | DB: PubMed; AN: 31022841; JO: Chronobiol Rep; SN: 2190-4471; LA: eng |  | 10.5555/cbr.7.1.45 | 2026-12-06 | -AD: Leiden"},
            {"pubmed_articles.ris", "51", "1 | Chinedu Okafor, Eva-Lotta Lindgren |  | Wearable actigraphy versus polysomnography in older adults: a validation study. |  | PloS one | 15(6) | e0213456- | 2020 | actigraphy; aged | DB: PubMed; AN: 32447710; JO: PLoS One; SN: 1932-6203; LA: eng |  | 10.5555/journal.pone.0213456 | 2026-12-06 | "},
            {"pubmed_articles.ris", "71", "1 | Giulia Rossi, Klaus-Peter Hartmann, Wei Chen, Marie-Claire Dubois |  | Light exposure at night and body mass index: a cross-sectional analysis of 4,012 adults. |  | Obesity research & clinical practice | 11(4) | 1123-1131 | 2017 | body mass index; light pollution | Erratum in: Obes Res Clin Pract. 2018;12(2):250.; DB: PubMed; LA: eng |  | 10.5555/orcp.2017.04.011 | 2026-12-06 | -AN: 28801543,-AD: Dipartimento,-JO: Obes,-SN: 1871-403X"},
            {"zotero_books.ris", "1", "2 | Karin Lindqvist, Etienne Moreau | Peter J.Hargreaves, Maria de_la_Cruz | Sediment transport in braided rivers. | Rivers in motion: field methods and models. | Northbridge University Press |  | 211-238 | 2015 | braided rivers; bedload | Chapter 9. Field data from the Rakaia and the Waimakariri, collected 2 | https://www.northbridge.example/rivers-in-motion/ch9 | 10.5555/9781108412345.010 | 2021-04-05 | Author,Editor,Memo,-CY: Cambridge,-SN: 978-1-108-41234-5,-ST: Sediment"},
            {"zotero_books.ris", "25", "3 | Eleanor Whitfield |  | The architecture of memory: cities, ruins and remembrance. |  | Harbour & Lane |  | - | 2008 |  | T3: Studies in urban history; CY: London; ET: 2nd; LA: en |  |  | 2026-12-06 | -SN: 978-0-415-55555-1"},
            {"zotero_books.ris", "38", "3 |  | Ifeoma Okonkwo, Stefan Bauer | Handbook of applied hydrogeology. |  | Springer-Verlag |  | - | 2012 |  | CY: Berlin; SN: 978-3-642-55555-8 |  | 10.5555/978-3-642-55555-8 | 2026-12-06 | "},
            {"zotero_books.ris", "49", "2 | Yui Kawamura, Karin Lindqvist | Silke Wieprecht | Suspended sediment pulses after the 2011 Tohoku earthquake. | River sedimentation 2016. | CRC Press |  | 402-409 | 2016 |  | T2: 13th International Symposium on River Sedimentation; CY: Stuttgart |  |  | 2026-12-06 | "},
            {"zotero_books.ris", "63", "1 | Stefan Bauer, Kwok-Wing Ng et_al |  | Groundwater recharge estimated from chloride mass balance. |  | Hydrogeology journal | 24(2) | 371-384 | 2016 |  | J2: Hydrogeol J |  | 10.5555/s10040-015-1333-7 | 2026-12-06 | "},
            {"cinii_cp932.ris", "1", "1 | 山田 太郎, 鈴木 花子 |  | 文献情報の交換形式とその表示能力に関する検討. |  | 情報知識学会誌 | 22(3) | 201-214 | 2012 | 書誌データ; RIS; 文字コード | Publisher: 情報知識学会; SN: 0917-1436 | https://cir.nii.ac.jp/crid/1390001205555555555 | 10.11999/jsik.22.201 | 2026-12-06 | "},
            {"cinii_cp932.ris", "20", "1 | 伊藤 誠 |  | 明治期地方新聞の広告表現：ソースの偏りを考える. |  | 日本歴史文化研究 | 58 | 33-47 | 2009 |  | Publisher: 日本歴史文化学会 | https://cir.nii.ac.jp/crid/1520855555555555555 |  | 2026-12-06 | "},
            {"cinii_cp932.ris", "31", "3 | 田中 一郎 |  | 図書館情報学概論. |  | 東邦出版 |  | - | 2018 |  | CY: 東京; SN: 9784005555555 | https://ci.nii.ac.jp/ncid/BB25555555 |  | 2026-12-06 | "},
            {"jstage_bom.ris", "1", "1 | 佐藤 一郎, 中村 由美 |  | なぜ研究データは共有されないのか？ |  | 生態情報学会誌 | 9(1) | 1-15 | 2021 | データ共有; オープンサイエンス | Publisher: 生態情報学会; SN: 2187-5555 | https://www.jstage.jst.go.jp/article/jjei/9/1/9_1/_article/-char/ja | 10.11999/jjei.9.1 | 2026-12-06 | -AB: 生態学の研究者"},
            {"jstage_bom.ris", "20", "1 | Ichiro Sato, Yumi Nakamura |  | Data sharing practices among ecologists in Japan. |  | Japanese Journal of Ecological Informatics | 9(1) | 17-29 | 2021 |  |  | https://www.jstage.jst.go.jp/article/jjei/9/1/9_17/_article/-char/en | 10.11999/jjei.9.17 | 2026-12-06 | "},
            {"jstage_bom.ris", "34", "4 | 国立環境研究所 |  | 研究データ管理に関する調査報告書. |  | 国立環境研究所 |  | - | 2022 |  | Journal: 環境情報研究報告 | https://www.example.go.jp/report/2022-03.pdf |  | 2026-12-06 | "},
            {"scholar_jabref.bib", "3", "1 | Jorg Muller, Gabriel Garcia_Marquez, Rene Francois |  | Adaptive Bayesian filtering for GPS-denied navigation of underwater vehicles. |  | IEEE Journal of Oceanic Engineering | 43(2) | 123-130 | 2018 |  | Publisher: IEEE | https://doi.org/10.5555/joe.2018.2790123 | 10.5555/joe.2018.2790123 | 2026-12-06 | Author"},
            {"scholar_jabref.bib", "16", "1 | Ayse Ozdemir, Piotr Kowalski, Tomas Skoda |  | Thermal drift compensation in MEMS gyroscopes: 50% fewer recalibrations. |  | Sensors & Actuators A: Physical | 301 | 111-119 | 2020 | MEMS, gyroscope, temperature | month: 1; issn: 0924-4247; owner: kenji |  | 10.5555/j.sna.2019.111726 | 2020-02-14 | Author,-abstract: We"},
            {"scholar_jabref.bib", "32", "2 | Thi Thu Nguyen, Liam O'Brien, Bjorn Andresson |  | Sparse Gaussian processes for terrain-aided navigation. | Proceedings of the 2019 IEEE International Conference on Robotics and Automation (ICRA). |  |  | 4512-4518 | 2019 |  | organization: IEEE |  |  | 2026-12-06 | Author"},
            {"strings_crossref.bib", "10", "1 | R.D.Hale, Mhairi Sutherland |  | Flood pulses and channel avulsion on the Rakaia fan. |  | Journal of Geophysical Research: Earth Surface | 116(F3) | F03012- | 2011 |  | month: 9 |  |  | 2026-12-06 | "},
            {"strings_crossref.bib", "21", "2 | Karin Lindqvist, Etienne Moreau | Peter J.Hargreaves, Maria de_la_Cruz | Sediment transport in braided rivers. | Rivers in Motion: Field Methods and Models. | Northbridge University Press |  | 211-238 | 2015 |  | chapter: 9; address: New York; isbn: 978-1-108-41234-5 |  |  | 2026-12-06 | Author,Editor"},
            {"strings_crossref.bib", "29", "2 | Joao Pereira, Peter J.Hargreaves | Peter J.Hargreaves, Maria de_la_Cruz | Measuring bank erosion with LiDAR. | Rivers in Motion: Field Methods and Models. | Northbridge University Press |  | 239-262 | 2015 |  | Data set at Northbridge University Press archive; address: New York |  |  | 2026-12-06 | Author,Editor,-isbn: 978-1-108-41234-5"},
            {"strings_crossref.bib", "37", "3 |  | Peter J.Hargreaves, Maria de_la_Cruz | Rivers in Motion: Field Methods and Models. |  | Northbridge University Press |  | - | 2015 |  | address: New York; isbn: 978-1-108-41234-5 |  |  | 2026-12-06 | Editor"},
            {"japanese.bib", "1", "1 | 山田 太郎, 鈴木 花子 et_al |  | 文献情報の交換形式とその表示能力に関する検討. |  | 情報知識学会誌 | 22(3) | 201-214 | 2012 |  |  |  | 10.11999/jsik.22.201 | 2026-12-06 | "},
            {"japanese.bib", "12", "4 | 国立学術情報センター |  | 学術文献検索サービス 利用の手引き. |  |  |  | - | 2020 |  | 2021年4月1日閲覧 | https://support.example.ac.jp/guide/ |  | 2026-12-06 | "},
            {"japanese.bib", "20", "4 | 佐藤 一郎, Kenji Tanaka, 伊藤 誠 |  | 大規模書誌データの重複判定手法. |  | 東都大学情報基盤センター | (TR-2019-07) | - | 2019 |  | type: 技術報告; address: 東京 |  |  | 2026-12-06 | "},
            {"japanese.bib", "30", "3 | 田中 一郎 |  | 図書館情報学概論. |  | 東邦出版 |  | - | 2018 |  | edition: 第2版 |  |  | 2026-12-06 | "},
            {"crossref_doi.json", "1", "1 | Hiroshi Tanaka, Ana Maria Rodriguez, Pieter van_den_Berg, Robert Kline_Jr |  | Recharge of a semi-arid karst aquifer estimated from chloride & bromide. |  | Journal of Hydrological Studies | 570(3) | 123-130 | 2019 |  | Publisher: Elsevier BV; ISSN: 0022-1694; language: en | http://dx.doi.org/10.5555/j.jhs.2019.01.023 | 10.5555/j.jhs.2019.01.023 | 2026-12-06 | Author,-abstract: Chloride,-subject: Water"},
            {"jalc_doi.json", "1", "1 | 佐藤 一郎, 中村 由美, Min-jun Kim |  | なぜ研究データは共有されないのか？ |  | 生態情報学会誌 | 9(1) | 1-15 | 2021 |  | Publisher: 生態情報学会; ISSN: 2187-5555, 2187-5556; language: ja | https://www.jstage.jst.go.jp/article/jjei/9/1/9_1/_article/-char/ja/ | 10.11999/jjei.9.1 | 2026-12-06 | -container-title: Japanese"},
        });
        // clang-format on
    }
    void records()
    {
        const ReadResult read = ReadExchange(readFile(kData + rows::text("file")));
        const auto ref = std::find_if(read.refs.cbegin(), read.refs.cend(),
                                      [](const Reference &r) { return r.line == rows::number("line"); });
        QVERIFY2(ref != read.refs.cend(), "no reference starts on that line");
        QCOMPARE(recordText(RecordFromReference(*ref, kToday)), rows::text("record"));
    }

    // A text and the LaTeX other programs write for it ("" for none); the
    // text goes out as LaTeX and comes back the same.
    void latex_data()
    {
        // clang-format off
        rows::table({"text", "latex"}, {
            {"García Márquez", "Garc{\\'\\i}a M{\\'a}rquez"},
            {"naïve ï", "na{\\\"\\i}ve \\\"{\\i}"},
            {"François ç", "Fran\\c{c}ois \\c c"},
            {"Özdemir Škoda Tomáš", "{\\\"O}zdemir \\v{S}koda Tom{\\'a}{\\v{s}}"},
            {"Adaptive Bayesian GPS", "Adaptive {B}ayesian {GPS}"},
            {"pp. 12–15, 1990—2000", "pp.~12--15, 1990---2000"},
            {"in situ et al.", "\\emph{in situ} \\textit{et al.}"},
            {"Æsop ß ø", "{\\AE}sop {\\ss} {\\o}"},
            {"50% & $5 _", "50\\% \\& \\$5 \\_"},
            {"“quoted”", "``quoted''"},
            {"a--b", ""}, {"50%", ""}, {"C#", ""}, {"{x}", ""}, {"a { b", ""}, {"~", ""}, {"\\", ""}, {"x^2 $5 a_b & c", ""},
            {"``q'' and 'a'", ""}, {"a---b — c – d", ""}, {"Ærøskøbing Łódź García Müller Ayşe naïve Erdős Škoda François", ""},
            {"山田太郎「表」ソ能", ""},
        });
        // clang-format on
    }
    void latex()
    {
        const QString text = rows::text("text"), latex = TextToLatex(text);
        if (!rows::text("latex").isEmpty())
            QCOMPARE(LatexToText(rows::text("latex")), text);
        QCOMPARE(LatexToText(latex), text);
        // BibTeX counts every brace, escaped or not.
        QCOMPARE(latex.count(u'{'), latex.count(u'}'));
    }

    void encoding_data()
    {
        // clang-format off
        rows::table({"hex", "cp932", "text"}, {
            {"5459202d", "0", "TY -"}, {"efbbbf5459", "0", "TY"}, {"e5b1b1e794b0", "0", "山田"},
            {"8e529363", "1", "山田"}, {"835c955c945c", "1", "ソ表能"},
            // Half-width katakana: its first two bytes are valid UTF-8.
            {"c3bdc4", "1", "ﾃｽﾄ"},
        });
        // clang-format on
    }
    void encoding()
    {
        bool cp932 = false;
        QCOMPARE(DecodeExchangeBytes(QByteArray::fromHex(rows::text("hex").toLatin1()), &cp932), rows::text("text"));
        QCOMPARE(cp932, rows::number("cp932") == 1);
    }

    // The same file in the other encoding gives the same records.
    void otherEncoding()
    {
        for (const QString &name : {QStringLiteral("cinii_cp932.ris"), QStringLiteral("jstage_bom.ris")}) {
            bool cp932 = false;
            const QString text = DecodeExchangeBytes(readFile(kData + name), &cp932);
            bool lossy = false;
            const QByteArray other = cp932 ? text.toUtf8() : cp932::encode(text, &lossy);
            QVERIFY(cp932 || !lossy);
            const ReadResult read = ReadExchange(other);
            const QList<ImportedRecord> records = importFile(name);
            QCOMPARE(read.refs.size(), records.size());
            for (qsizetype i = 0; i < records.size(); ++i)
                QCOMPARE(recordText(RecordFromReference(read.refs[i], kToday)), recordText(records[i]));
        }
    }

    void badInput_data()
    {
        // clang-format off
        rows::table({"case", "input", "line"}, {
            {"RIS entry without ER", "TY  - JOUR\\nTI  - A\\nER  - \\n\\nTY  - BOOK\\nTI  - B\\n", "5"},
            {"RIS unknown tag", "TY  - JOUR\\nTI  - A\\nXX  - what\\nER  - \\n", "3"},
            {"RIS TY inside an entry", "TY  - JOUR\\nTI  - A\\nTY  - BOOK\\nER  - \\n", "3"},
            {"RIS line without a tag", "TY  - JOUR\\nTI  - A\\nthis is no tag\\nER  - \\n", "3"},
            {"BibTeX brace not closed", "@book{b, title = {B}}\\n@article{a,\\n  title = {Open {brace},\\n  year = 2000\\n}\\n", "2"},
            {"BibTeX quote not closed", "@article{a,\\n  title = \"Open,\\n  year = 2000\\n}\\n", "2"},
            {"BibTeX entry not closed", "@article{a,\\n  title = {Open},\\n  year = 2000\\n\\n@book{b, title={B}}\\n", "5"},
            {"BibTeX undefined abbreviation", "@article{a,\\n  journal = jgr,\\n}\\n", "2"},
            {"JSON comma missing", "[\\n  {\"title\": \"A\",\\n   \"type\": \"book\"\\n   \"author\": []}\\n]\\n", "4"},
            {"JSON bracket wrong", "{\"title\": \"A\",\\n\"x\": [1,2}\\n\\n", "2"},
            {"JSON text after the end", "[{\"title\": \"A\"}]\\n\\n  xyz\\n", "3"},
            {"JSON item no object", "[\\n  {\"title\": \"A\"},\\n\\n  3\\n]\\n", "4"},
            {"binary with NUL", "hex:89504e470d0a1a0a0000000d49484452", "3"},
            {"binary without NUL", "hex:fffe818283feff0a8081", "1"},
        });
        // clang-format on
    }
    // The error names the line, and nothing is read.
    void badInput()
    {
        const ReadResult read = ReadExchange(inputBytes(rows::text("input")));
        QVERIFY(read.refs.isEmpty());
        QVERIFY2(read.error.startsWith(rows::text("line") + QStringLiteral(" 行目: ")), qPrintable(read.error));
    }

    // What real files hold beyond the formats' descriptions: header lines
    // before the first RIS entry, escaped specials in a BibTeX address, line
    // breaks inside a title (runs of plain blanks stay, as the card keeps them).
    void leniency()
    {
        const ReadResult ris = ReadExchange("Provider: Example\r\nContent: text/plain\r\n\r\nTY  - JOUR\r\n"
                                            "TI  - A\r\nER  - \r\n");
        QVERIFY2(ris.error.isEmpty() && ris.refs.size() == 1, qPrintable(ris.error));
        const ReadResult bib = ReadExchange("@misc{k, url = {https://x.example/a\\_b\\%20c}}");
        QCOMPARE(bib.refs.value(0).url, QStringLiteral("https://x.example/a_b%20c"));
        const ReadResult csl = ReadExchange(R"([{"type":"book","title":"Two  blanks\n   and a break"}])");
        QCOMPARE(csl.refs.value(0).title, QStringLiteral("Two  blanks and a break"));
        // Control characters are no text; a completed last page fits its field.
        const ReadResult controls =
            ReadExchange(R"({"type":"book","page":"\u0000\u0000\u0000\u0000\u0000\u0000\u0000\f15-00"})");
        const Record rec = RecordFromReference(controls.refs.value(0), kToday).rec;
        QCOMPARE(rec.Page1 + u'-' + rec.Page2, QStringLiteral("15-100"));
        QByteArray utf16 = "\xFF\xFE";
        for (const QChar c : QStringLiteral("TY  - BOOK\r\nTI  - 日本\r\nER  - \r\n"))
            utf16 += char(c.unicode() & 0xFF), utf16 += char(c.unicode() >> 8);
        QCOMPARE(ReadExchange(utf16).refs.value(0).title, QStringLiteral("日本"));
        // A year that is no number still gives a key BibTeX reads back.
        Reference inPress;
        inPress.year = QStringLiteral("in press");
        QCOMPARE(ReadBibtex(QString::fromUtf8(WriteBibtex({inPress, inPress}))).refs.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestInterchangeFormats)
#include "tst_interchange_formats.moc"
