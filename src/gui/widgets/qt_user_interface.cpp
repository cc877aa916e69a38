#include "gui/widgets/qt_user_interface.h"

#include "core/session/services.h"
#include "gui/widgets/help_window.h"
#include "gui/widgets/progress_window.h"
#include "gui/widgets/window_place.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>

namespace tz {

namespace {

QWidget *dialogParent()
{
    return QApplication::activeWindow();
}

QString filterText(const QStringList &filters)
{
    return filters.join(QStringLiteral(";;"));
}

} // namespace

bool SoundDevicePresent()
{
    return !QDir(QStringLiteral("/dev/snd")).entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot).isEmpty();
}

QtUserInterface::QtUserInterface() = default;
QtUserInterface::~QtUserInterface() = default;

void QtUserInterface::setHelpFolders(const QStringList &folders)
{
    m_helpFolders = folders;
    if (m_help)
        m_help->setFolders(folders);
}

MsgAnswer QtUserInterface::message(const QString &text, MsgButtons buttons, MsgIcon icon)
{
    return titledMessage(QStringLiteral("Tessellane"), text, buttons, icon);
}

MsgAnswer QtUserInterface::titledMessage(const QString &title, const QString &text, MsgButtons buttons, MsgIcon icon)
{
    QMessageBox box(dialogParent());
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    if (buttons == MsgButtons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}

std::optional<QString> QtUserInterface::inputBox(const QString &prompt, const QString &title,
                                                 const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(dialogParent(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtUserInterface::startIn(const QString &file) const
{
    if (!file.isEmpty())
        return file;
    return m_lastFolder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) : m_lastFolder;
}

void QtUserInterface::chosen(const QString &file)
{
    if (!file.isEmpty())
        m_lastFolder = QFileInfo(file).absolutePath();
}

QString QtUserInterface::openFileName(const QString &title, const QString &folder, const QStringList &filters)
{
    const QString file = QFileDialog::getOpenFileName(dialogParent(), title, startIn(folder), filterText(filters));
    chosen(file);
    return file;
}

QString QtUserInterface::saveFileName(const QString &title, const QString &file, const QStringList &filters,
                                      int selectedFilter, int *chosenFilter)
{
    QString selected = filters.value(selectedFilter);
    const QString name =
        QFileDialog::getSaveFileName(dialogParent(), title, startIn(file), filterText(filters), &selected);
    if (chosenFilter)
        *chosenFilter = std::max(0, int(filters.indexOf(selected)));
    chosen(name);
    return name;
}

bool QtUserInterface::printDialog(int pageCount, PrintChoice &choice)
{
    QPrinter printer;
    printer.setCopyCount(choice.copies);
    QPrintDialog dialog(&printer, dialogParent());
    dialog.setMinMax(1, qMax(1, pageCount));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice.copies = printer.copyCount();
    choice.fromPage = printer.fromPage();
    choice.toPage = printer.toPage();
    choice.toPdf = printer.outputFormat() == QPrinter::PdfFormat;
    choice.pdfFile = printer.outputFileName();
    return true;
}

void QtUserInterface::playTones(const QList<Tone> &tones)
{
    if (!m_sound || tones.isEmpty())
        return;
    // The tones themselves through ALSA's player when it is installed; the
    // player ends by itself when the samples are played.
    const QString player = QStandardPaths::findExecutable(QStringLiteral("aplay"));
    if (!player.isEmpty()) {
        constexpr int kRate = 22050;
        auto *process = new QProcess;
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart)
                process->deleteLater();
        });
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        process->start(player, {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("raw"), QStringLiteral("-f"),
                                QStringLiteral("S16_LE"), QStringLiteral("-r"), QString::number(kRate),
                                QStringLiteral("-c"), QStringLiteral("1")});
        process->write(TonePcm(tones, kRate));
        process->closeWriteChannel();
        return;
    }
    // Otherwise the window system's bell, once per tone, with the tone's length between.
    for (qsizetype i = 0; i < tones.size(); ++i) {
        QApplication::beep();
        if (i + 1 < tones.size())
            QThread::msleep(static_cast<unsigned long>(tones.at(i).ms));
    }
}

void QtUserInterface::openWebPage(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

HelpWindow *QtUserInterface::helpWindow()
{
    if (!m_help) {
        m_help = std::make_unique<HelpWindow>();
        m_help->setFolders(m_helpFolders);
    }
    return m_help.get();
}

void QtUserInterface::showHelp(int topic)
{
    helpWindow()->showTopic(topic);
}

void QtUserInterface::progressOpen(std::function<void()> onCancel)
{
    if (!m_progress)
        m_progress = std::make_unique<ProgressWindow>();
    m_progress->setOnCancel(std::move(onCancel));
    if (m_searchPos) {
        const QScreen *screen = QApplication::primaryScreen();
        const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
        m_progress->move(TwipsToPixels(m_searchPos->left + 1000.0, dpi), TwipsToPixels(m_searchPos->top + 1500.0, dpi));
    }
    m_progress->show();
}

void QtUserInterface::progressClose()
{
    if (m_progress) {
        m_progress->hide();
        m_progress->setOnCancel({});
    }
}

void QtUserInterface::processEvents()
{
    QApplication::processEvents();
}

} // namespace tz
