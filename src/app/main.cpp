#include "platform/process_launcher.h"
#include "platform/qt_platform.h"
#include "shell/app_context.h"
#include "shell/main_window.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

using namespace tarnwick;

// The program's icon: a "T" on a dark red tile, drawn so no image file has to travel along.
static QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(0x8b, 0x1a, 0x1a));
        painter.setPen(QPen(QColor(0x3a, 0x08, 0x08), size / 16.0));
        painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 6.0, size / 6.0);
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(size * 3 / 4);
        painter.setFont(font);
        painter.setPen(QColor(0xf4, 0xd0, 0x3f));
        painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("T"));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarnwick"));
    QApplication::setApplicationVersion(QStringLiteral("2.6.3"));
    QApplication::setWindowIcon(programIcon());

    QtMessageBox messages;
    QtFileDialog dialogs;
    SystemProcessLauncher processes;
    QtDocumentOpener opener;
    LocalFileSystem fs;
    QtScreen screen;

    SettingsStore store;
    const bool opened = store.open(SettingsStore::defaultPath());

    AppContext context(store, {messages, dialogs, processes, opener, fs});
    MainWindow window(context);

    // The argument text is the program's arguments joined by blanks, an argument with a
    // blank wrapped in double quotes.
    QStringList words;
    for (const QString& a : QApplication::arguments().mid(1))
        words << (a.contains(u' ') ? u'"' + a + u'"' : a);

    window.resize(screen.width() >= 1280 ? QSize(1280, 960) : QSize(1000, 720));
    window.showMaximized();
    if (!opened)
        messages.show(store.errorText(), QStringLiteral("Tarnwick Settings"), MessageBox::Buttons::Ok,
                      MessageBox::Icon::Exclamation);
    window.start(words.join(u' '), screen.width());

    // TARNWICK_AUTORUN=1: run the game once, as F2 does, then close as the player would
    // (saving the pages), so scripts and tests can drive the program without a display.
    if (qEnvironmentVariable("TARNWICK_AUTORUN") == QLatin1StringView("1"))
        QTimer::singleShot(0, &window, [&context, &window] {
            context.launcher.run();
            window.close();
        });
    return app.exec();
}
