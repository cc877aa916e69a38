#include "core/session/settings.h"

#include "core/common/basic.h"
#include "core/common/cp932.h"
#include "core/common/text.h"
#include "core/session/config_io.h"

#include <QDir>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <span>

namespace tz {
namespace {

constexpr qint64 kMaxCfgBytes = 64 * 1024;
constexpr int kMaxTagLength = 16;

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// Reads the settings file as comma/line-delimited fields: leading blanks are
// skipped; a text field runs to the next comma or the end of the line (a field
// in double quotes to the closing quote, or to the end of the line when that is
// missing) and loses its trailing blanks; a number runs to the next comma, blank
// or end of line. Lines end in CR LF, LF or CR.
class FieldReader
{
public:
    explicit FieldReader(QStringView text) : m_text(text) {}

    // Nothing at the end of the text.
    std::optional<QString> readText()
    {
        if (atEnd())
            return std::nullopt;
        skipBlanks();
        if (peek() == u'"')
            return readQuoted();
        const qsizetype start = m_pos;
        while (!atEnd() && peek() != u',' && !isLineEnd(peek()))
            ++m_pos;
        const QString value = RTrim(m_text.sliced(start, m_pos - start));
        skipDelimiter();
        return value;
    }

    std::optional<QString> readNumber()
    {
        if (atEnd())
            return std::nullopt;
        skipBlanks();
        if (peek() == u'"')
            return readQuoted();
        const qsizetype start = m_pos;
        while (!atEnd() && peek() != u',' && peek() != u' ' && !isLineEnd(peek()))
            ++m_pos;
        const QString value = m_text.sliced(start, m_pos - start).toString();
        skipBlanks();
        if (!atEnd() && (peek() == u',' || isLineEnd(peek())))
            skipDelimiter();
        return value;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text[m_pos]; }

    void skipBlanks()
    {
        while (!atEnd() && peek() == u' ')
            ++m_pos;
    }

    // Consumes one comma or one line end (CR LF, LF or CR) when there.
    void skipDelimiter()
    {
        if (atEnd())
            return;
        if (peek() == u',') {
            ++m_pos;
        } else if (peek() == u'\r') {
            ++m_pos;
            if (peek() == u'\n')
                ++m_pos;
        } else if (peek() == u'\n') {
            ++m_pos;
        }
    }

    QString readQuoted()
    {
        ++m_pos; // opening quote
        const qsizetype start = m_pos;
        while (!atEnd() && peek() != u'"' && !isLineEnd(peek()))
            ++m_pos;
        const QString value = m_text.sliced(start, m_pos - start).toString();
        // Whatever follows the closing quote up to the delimiter is not part of
        // the field.
        while (!atEnd() && peek() != u',' && !isLineEnd(peek()))
            ++m_pos;
        skipDelimiter();
        return value;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

bool plausibleBytes(QByteArrayView bytes)
{
    if (bytes.size() > kMaxCfgBytes)
        return false;
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x20 && b != '\t' && b != '\r' && b != '\n')
            return false;
    }
    return true;
}

bool plausibleTag(const QString &tag)
{
    if (tag.isEmpty() || tag.size() > kMaxTagLength)
        return false;
    for (QChar c : tag) {
        const bool ok = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'.' ||
                        c == u'-' || c == u'_';
        if (!ok)
            return false;
    }
    return true;
}

enum class Group { Complete, Missing, NotNumbers };

// Reads values.size() number fields. Missing: the text ended first.
Group readNumbers(FieldReader &in, std::span<double> values)
{
    for (double &v : values) {
        const std::optional<QString> field = in.readNumber();
        if (!field)
            return Group::Missing;
        if (!IsNumeric(*field))
            return Group::NotNumbers;
        v = Val(*field);
    }
    return Group::Complete;
}

// Doubles are kept in range before they narrow, so that no conversion overflows.
int clampInt(double v, int lo, int hi)
{
    return RoundClamp(v, lo, hi);
}

WindowPos windowPos(const std::array<double, 4> &v)
{
    auto coord = [](double x) { return static_cast<float>(std::clamp<double>(x, kMinTwips, kMaxTwips)); };
    WindowPos p;
    p.left = coord(v[0]);
    p.top = coord(v[1]);
    p.width = static_cast<float>(std::clamp<double>(v[2], kMinWindowExtent, kMaxTwips));
    p.height = static_cast<qint16>(clampInt(v[3], kMinWindowExtent, kMaxTwips));
    return p;
}

// The fields of the file over the defaults, or nothing for a file that holds
// no settings.
std::optional<Settings> parseFields(QStringView text)
{
    FieldReader in(text);
    Settings s;
    const std::optional<QString> tag = in.readText();
    if (!tag || !plausibleTag(*tag))
        return std::nullopt;
    const std::optional<QString> folder = in.readText();
    const std::optional<QString> name = in.readText();
    if (!folder || !name)
        return std::nullopt;
    s.CfgVersion = *tag;
    s.BankFolder = *folder;
    s.BankName = *name;

    std::array<double, 4> head{};
    if (readNumbers(in, head) != Group::Complete)
        return std::nullopt;
    s.AutoOpen = clampInt(head[0], 0, 1) == 1;
    s.MaxHits = clampInt(head[1], 1, kMaxHitsLimit);
    s.CurScript = clampInt(head[2], 1, kScriptSlots);
    s.CurForm = clampInt(head[3], 1, kFormSlots);

    // The tag tells how far the layout goes; the rest keeps the defaults. A
    // file cut short keeps its complete groups.
    // Each group is read only while the layout has it; NotNumbers makes the
    // whole file garbage, Missing ends it with the defaults for the rest.
    Group last = Group::Complete;
    auto read = [&](auto &values) {
        last = readNumbers(in, values);
        return last == Group::Complete;
    };
    auto result = [&]() -> std::optional<Settings> {
        if (last == Group::NotNumbers)
            return std::nullopt;
        return s;
    };

    if (*tag == u"3D")
        return s;
    std::array<double, 2> fonts{};
    if (!read(fonts))
        return result();
    s.FontNameNo = clampInt(fonts[0], 0, kFontNames - 1);
    s.FontSizeNo = clampInt(fonts[1], 0, kFontSizes - 1);
    if (*tag == u"3F")
        return s;

    for (WindowPos *pos : {&s.CardPos, &s.SearchPos, &s.JPEditorPos}) {
        std::array<double, 4> v{};
        if (!read(v))
            return result();
        *pos = windowPos(v);
    }
    if (*tag == u"3H")
        return s;

    std::array<double, 2> switches{};
    if (!read(switches))
        return result();
    s.BeepOn = clampInt(switches[0], 0, 1) == 1;
    s.AutoDupCheck = clampInt(switches[1], 0, 1) == 1;
    return s;
}

// The lines of the current layout; a settings file holds nothing beyond them.
constexpr int kCfgLines = 13;

QString cfgMessage(const QString &file, const QString &reason)
{
    return QStringLiteral("設定ファイル %1: %2").arg(QDir::toNativeSeparators(file), reason);
}

void finish(Settings &s, const QString &bankHome)
{
    s.BankFolder = QDir::fromNativeSeparators(s.BankFolder);
    if (s.BankFolder.isEmpty())
        s.BankFolder = QDir::fromNativeSeparators(bankHome);
    s.BankFolder = AddSuffix(s.BankFolder, QStringLiteral("/"));
    s.BankPath = s.BankFolder + s.BankName + QStringLiteral(".bnk/");
}

// Settings from the bytes of a settings file; *holdsSettings (when given)
// tells whether the bytes held settings or the defaults were taken.
Settings parseSettings(QByteArrayView bytes, const QString &bankHome, bool *holdsSettings)
{
    Settings s;
    bool holds = false;
    if (plausibleBytes(bytes)) {
        if (std::optional<Settings> read = parseFields(cp932::decode(bytes))) {
            s = *read;
            holds = true;
        }
    }
    if (holdsSettings)
        *holdsSettings = holds;
    CfgClamp(s);
    finish(s, bankHome);
    return s;
}

// " 1 ": the sign's place holds a blank for values that are not negative.
QString intField(int v)
{
    return (v < 0 ? QString::number(v) : u' ' + QString::number(v)) + u' ';
}

// The shortest plain decimal that reads back as the same single (200, 12.5).
QString floatField(float v)
{
    if (v == 0.0f)
        v = 0.0f; // no "-0"
    std::array<char, 64> buf{};
    const std::to_chars_result r = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed);
    return QString::fromLatin1(buf.data(), r.ptr - buf.data());
}

QString posField(const WindowPos &p)
{
    return floatField(p.left) + u',' + floatField(p.top) + u',' + floatField(p.width) + u',' +
           QString::number(p.height);
}

// The text as a field that reads back as it is: plain, or in double quotes when
// it holds a comma or surrounding blanks or starts with a quote.
bool textField(const QString &text, const QString &what, QString *field, QString *why)
{
    auto fail = [&](const QString &reason) {
        if (why)
            *why = QStringLiteral("%1「%2」は%3").arg(what, text, reason);
        return false;
    };
    if (text.contains(u'\r') || text.contains(u'\n'))
        return fail(QStringLiteral("改行を含んでいます"));
    bool lossy = false;
    cp932::encode(text, &lossy);
    if (lossy)
        return fail(QStringLiteral("シフトJIS で表せない文字を含んでいます"));
    const bool quote = text.contains(u',') || text.startsWith(u' ') || text.endsWith(u' ') || text.startsWith(u'"');
    if (!quote) {
        *field = text;
        return true;
    }
    if (text.contains(u'"'))
        return fail(QStringLiteral("コンマか前後の空白と、二重引用符の両方を含んでいます"));
    *field = u'"' + text + u'"';
    return true;
}

} // namespace

void CfgClamp(Settings &s)
{
    s.MaxHits = std::clamp(s.MaxHits, 1, kMaxHitsLimit);
    s.CurScript = std::clamp(s.CurScript, 1, kScriptSlots);
    s.CurForm = std::clamp(s.CurForm, 1, kFormSlots);
    s.FontNameNo = std::clamp(s.FontNameNo, 0, kFontNames - 1);
    s.FontSizeNo = std::clamp(s.FontSizeNo, 0, kFontSizes - 1);
    const Settings defaults;
    auto coord = [](float x, float fallback) {
        return std::isnan(x) ? fallback : std::clamp<float>(x, kMinTwips, kMaxTwips);
    };
    auto extent = [](float x, float fallback) {
        return std::isnan(x) ? fallback : std::clamp<float>(x, kMinWindowExtent, kMaxTwips);
    };
    const std::array<std::pair<WindowPos *, WindowPos>, 3> windows{
        {{&s.CardPos, defaults.CardPos}, {&s.SearchPos, defaults.SearchPos}, {&s.JPEditorPos, defaults.JPEditorPos}}};
    for (const auto &[pos, fallback] : windows) {
        pos->left = coord(pos->left, fallback.left);
        pos->top = coord(pos->top, fallback.top);
        pos->width = extent(pos->width, fallback.width);
        pos->height = std::max<qint16>(pos->height, kMinWindowExtent);
    }
}

Settings CfgParse(QByteArrayView bytes, const QString &bankHome)
{
    return parseSettings(bytes, bankHome, nullptr);
}

Settings CfgLoad(const QString &file, const QString &bankHome, ConfigReadState *state)
{
    ConfigReadState read;
    QString problem;
    const std::optional<QByteArray> bytes = ReadConfigFile(file, kMaxCfgBytes, &problem);
    Settings s;
    if (bytes) {
        bool holdsSettings = false;
        s = parseSettings(*bytes, bankHome, &holdsSettings);
        read.found = true;
        const QList<int> lines = cp932::inexactLines(*bytes, kCfgLines);
        if (!bytes->isEmpty() && !holdsSettings) {
            read.exact = false;
            read.message = cfgMessage(file, QStringLiteral("設定ファイルとして読めない内容です"));
        } else if (!lines.isEmpty()) {
            read.exact = false;
            read.message = cfgMessage(
                file, QStringLiteral("%1 行目はシフトJIS として正しく読めません").arg(LineNumberList(lines)));
        }
    } else {
        finish(s, bankHome);
        if (!problem.isEmpty()) {
            read = {true, false, QStringLiteral("設定ファイル %1").arg(problem)};
        }
    }
    if (state)
        *state = read;
    return s;
}

bool CfgFormat(const Settings &settings, QByteArray *out, QString *why)
{
    Settings s = settings;
    CfgClamp(s);
    QString folder, name;
    if (!textField(s.BankFolder, QStringLiteral("バンクのフォルダ"), &folder, why) ||
        !textField(s.BankName, QStringLiteral("バンク名"), &name, why))
        return false;
    const QStringList lines{
        QStringLiteral("3I"),
        folder,
        name,
        intField(s.AutoOpen ? 1 : 0),
        intField(s.MaxHits),
        intField(s.CurScript),
        intField(s.CurForm),
        intField(s.FontNameNo),
        intField(s.FontSizeNo),
        posField(s.CardPos),
        posField(s.SearchPos),
        posField(s.JPEditorPos),
        QString::number(s.BeepOn ? 1 : 0) + u',' + QString::number(s.AutoDupCheck ? 1 : 0),
    };
    const QByteArray bytes = cp932::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    if (bytes.size() > kMaxCfgBytes) {
        if (why)
            *why = QStringLiteral("設定が %1 バイトを超えます").arg(kMaxCfgBytes);
        return false;
    }
    *out = bytes;
    return true;
}

bool CfgSave(const QString &file, const Settings &settings, QString *error, bool overwriteInexact)
{
    if (!overwriteInexact) {
        ConfigReadState read;
        CfgLoad(file, QString(), &read);
        if (!read.exact) {
            if (error)
                *error = read.message + QStringLiteral("。上書きしませんでした（ファイルは元のままです）");
            return false;
        }
    }
    QByteArray bytes;
    QString why;
    if (!CfgFormat(settings, &bytes, &why)) {
        if (error)
            *error = cfgMessage(file, QStringLiteral("%1。保存しませんでした").arg(why));
        return false;
    }
    return WriteConfigFile(file, bytes, error);
}

} // namespace tz
