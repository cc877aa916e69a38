#pragma once
// The settings file "tz.cfg" of the program folder: last bank, options, chosen
// output form and script, fonts and window positions, kept between runs.
//
// Layout (code page 932, lines ending in CR LF):
//   1  CfgVersion (the tag; this program writes "3I")
//   2  BankFolder          3  BankName
//   4  AutoOpen  5 MaxHits  6 CurScript  7 CurForm  8 FontNameNo  9 FontSizeNo
//      (one number a line, written " 1 ": a leading blank or the minus sign,
//      and a trailing blank)
//  10  CardPos  11 SearchPos  12 JPEditorPos  (left,top,width,height)
//  13  BeepOn,AutoDupCheck
// Older layouts, told by the tag: "3D" ends after line 7, "3F" after line 9,
// "3H" after line 12; what they lack takes the defaults.

#include "core/session/build_info.h"
#include "core/session/config_io.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tz {

inline constexpr QStringView kCfgFileName = u"tz.cfg";

// A window's place in twips: left, top and width single precision, height an
// Integer.
struct WindowPos
{
    float left = 0;
    float top = 0;
    float width = 0;
    qint16 height = 0;

    friend bool operator==(const WindowPos &, const WindowPos &) = default;
};

// Sound ranges of the values; CfgLoad and CfgSave clamp into them silently.
inline constexpr int kMaxHitsLimit = 32767;
inline constexpr int kFormSlots = 50;
inline constexpr int kScriptSlots = 20;
inline constexpr int kFontNames = 4;         // FontNameNo 0..3
inline constexpr int kFontSizes = 6;         // FontSizeNo 0..5
inline constexpr int kMinWindowExtent = 600; // twips (40 pixels at 96 dpi)
inline constexpr int kMinTwips = -32768;
inline constexpr int kMaxTwips = 32767;

struct Settings
{
    QString CfgVersion = kVersion.toString();
    QString BankFolder; // parent folder of the last bank, ending in "/" once loaded
    QString BankName = QStringLiteral("sample");
    bool AutoOpen = true;
    int MaxHits = 200; // the search lists are sized to entries 0..MaxHits
    int CurScript = 1;
    int CurForm = 1;
    int FontNameNo = 1;
    int FontSizeNo = 4;
    WindowPos CardPos{200, 200, 9150, 8020};
    WindowPos SearchPos{3000, 2000, 8760, 6750};
    WindowPos JPEditorPos{2000, 6000, 7905, 7290};
    bool BeepOn = true;
    bool AutoDupCheck = false;
    // Derived: BankFolder + BankName + ".bnk/".
    QString BankPath;

    friend bool operator==(const Settings &, const Settings &) = default;
};

// Brings every number into its sound range (see the constants above); a
// window extent that is not a number gets the default.
void CfgClamp(Settings &settings);

// Settings from the bytes of a settings file. What does not hold settings gives
// the defaults: more than 64 KiB, a control byte other than TAB, CR and LF
// (NUL bytes, binary junk), a first line that is no tag (1 to 16 letters,
// digits, ".", "-" or "_"), a number field that is not a number, or a file
// that ends before line 7. A file that ends later keeps what it holds up to the
// last complete value group and takes the defaults for the rest, as an older
// layout does. Values are clamped (CfgClamp); then BankFolder becomes
// bankHome (the folder of banks) when empty and ends in "/", and BankPath is
// derived.
Settings CfgParse(QByteArrayView bytes, const QString &bankHome);

// Reads the settings file (its name matched without regard to letter case), or
// gives the defaults when there is none; never fails. See CfgParse. *state
// (when given) tells whether the file was read exactly: a file that cannot be
// read, holds no settings or holds bytes that do not decode exactly from code
// page 932 is not, and CfgSave will not replace it unless told the person
// agreed. An empty or missing file is read exactly.
Settings CfgLoad(const QString &file, const QString &bankHome, ConfigReadState *state = nullptr);

// The bytes of the settings file for these settings (tag "3I", values clamped).
// A text that the file cannot hold faithfully (a line break, a character
// outside code page 932, a text needing quotes that holds a double quote) makes
// it fail with the reason in *why. Texts holding a comma or surrounding blanks
// are written in double quotes so that they read back as they are.
bool CfgFormat(const Settings &settings, QByteArray *out, QString *why);

// Writes the settings file atomically; false with *error naming the file and
// the reason when the file was not written (the old file then stays). The
// file on disk is looked at first: one that was not read exactly (see CfgLoad)
// is replaced only when overwriteInexact says the person agreed.
bool CfgSave(const QString &file, const Settings &settings, QString *error, bool overwriteInexact = false);

} // namespace tz
