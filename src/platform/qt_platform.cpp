#include "platform/qt_platform.h"

#include "base/paths.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QUrl>


namespace tarnwick {

namespace {

QWidget* owner()
{
    return QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                              : QApplication::activeWindow();
}

} // namespace

MessageBox::Answer QtMessageBox::show(const QString& text, const QString& title, Buttons buttons,
                                      Icon icon)
{
    QMessageBox box(owner());
    box.setWindowTitle(title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case Buttons::AbortRetryIgnore:
        box.setStandardButtons(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
        break;
    case Buttons::RetryCancel: box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel); break;
    case Buttons::RunAnywayCancel: {
        QPushButton* run = box.addButton(QStringLiteral("Run anyway"), QMessageBox::AcceptRole);
        box.setDefaultButton(box.addButton(QMessageBox::Cancel));
        box.exec();
        return box.clickedButton() == run ? Answer::RunAnyway : Answer::Cancel;
    }
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Abort: return Answer::Abort;
    case QMessageBox::Retry: return Answer::Retry;
    case QMessageBox::Ignore: return Answer::Ignore;
    default: return buttons == Buttons::AbortRetryIgnore ? Answer::Abort : Answer::Cancel;
    }
}

bool QtMessageBox::input(const QString& prompt, const QString& title, QString& value)
{
    bool ok = false;
    const QString text = QInputDialog::getText(owner(), title, prompt, QLineEdit::Normal, value, &ok);
    if (ok) value = text;
    return ok;
}

QString QtFileDialog::toQtFilter(const QString& pipeFilter)
{
    const QStringList parts = pipeFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(u';', u' ');
        QString description = parts.at(i);
        const qsizetype paren = description.indexOf(u'(');
        if (paren > 0) description = description.left(paren).trimmed();
        filters << QStringLiteral("%1 (%2)").arg(description, patterns == QLatin1StringView("*.*") ? QStringLiteral("*") : patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

QString QtFileDialog::suffixOf(const QString& qtFilter)
{
    const qsizetype open = qtFilter.indexOf(u'(');
    const QString first = qtFilter.mid(open + 1).section(u')', 0, 0).section(u' ', 0, 0);
    return first.startsWith(QLatin1StringView("*.")) && first != QLatin1StringView("*.*") ? first.mid(2) : QString();
}

QString QtFileDialog::openFile(const QString& title, const QString& filter, const QString& initialFolder)
{
    return QFileDialog::getOpenFileName(owner(), title, paths::toNative(initialFolder), toQtFilter(filter));
}

QString QtFileDialog::saveFile(const QString& title, const QString& filter, const QString& initialFolder)
{
    QFileDialog dialog(owner(), title, paths::toNative(initialFolder), toQtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without an extension gets the chosen filter's one ("*.twk" gives ".twk").
    dialog.setDefaultSuffix(suffixOf(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& chosen) { dialog.setDefaultSuffix(suffixOf(chosen)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

QString QtFileDialog::chooseFolder(const QString& prompt, const QString& initialFolder)
{
    return QFileDialog::getExistingDirectory(owner(), prompt, paths::toNative(initialFolder));
}

bool QtDocumentOpener::open(const QString& documentOrAddress)
{
    const QUrl url = QUrl::fromUserInput(documentOrAddress, QDir::currentPath(), QUrl::AssumeLocalFile);
    return QDesktopServices::openUrl(url);
}

int QtScreen::width() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 1024;
}

} // namespace tarnwick
