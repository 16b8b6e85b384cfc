#include "platform/process_launcher.h"
#include "platform/qt_deferred_icons.h"
#include "platform/qt_font_warmup.h"
#include "platform/qt_platform.h"
#include "shell/app_context.h"
#include "shell/command_line.h"
#include "shell/main_window.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QProcessEnvironment>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <future>

using namespace tarnwick;

// The program's icon, drawn at build time (data/make_icon.cpp) and built in as resources in
// the sizes a window shows, one folder per size. The window hands every size to the window
// manager as it opens, so all are decoded: on a second thread, while the window is built.
static std::future<QList<QImage>> readIconPictures()
{
    return std::async(std::launch::async, [] {
        QList<QImage> pictures;
        const QDir sizes(QStringLiteral(":/icons"));
        for (const QString& size : sizes.entryList(QDir::Dirs))
            pictures.append(QImage(sizes.filePath(size + QStringLiteral("/org.tarnwick.Tarnwick.png")), "PNG"));
        return pictures;
    });
}

static QIcon programIcon(std::future<QList<QImage>>& pictures)
{
    QIcon icon;
    for (const QImage& picture : pictures.get())
        if (!picture.isNull()) icon.addPixmap(QPixmap::fromImage(picture));
    return icon;
}

int main(int argc, char** argv)
{
    // --help and --version answer before any window system is needed.
    QStringList raw;
    for (int i = 1; i < argc; ++i) raw << QString::fromLocal8Bit(argv[i]);
    switch (parseCommandLine(raw).action) {
    case CommandLine::Action::Help: std::fputs(usageText().toLocal8Bit().constData(), stdout); return 0;
    case CommandLine::Action::Version: std::printf("%s\n", versionText().toLocal8Bit().constData()); return 0;
    case CommandLine::Action::Start: break;
    }

    FontWarmUp fonts;
    QApplication app(argc, argv);
    // Not before: the thread that first uses Qt objects becomes Qt's main thread.
    std::future<QList<QImage>> iconPictures = readIconPictures();
    QApplication::setApplicationName(QStringLiteral("tarnwick"));
    QApplication::setApplicationVersion(QStringLiteral("2.6.3"));
    QApplication::setDesktopFileName(QStringLiteral("org.tarnwick.Tarnwick"));
    deferStandardIcons();
    // Qt has taken its own options (-platform, -style, ...) out of the arguments by now.
    const CommandLine commandLine = parseCommandLine(QApplication::arguments().mid(1));

    QtMessageBox messages;
    QtFileDialog dialogs;
    SystemProcessLauncher processes;
    QtDocumentOpener opener;
    LocalFileSystem fs;
    QtScreen screen;

    SettingsStore store;
    const bool opened = store.open(SettingsStore::defaultPath());

    AppContext context(store, {messages, dialogs, processes, opener, fs,
                               SearchPlaces::fromEnvironment(QProcessEnvironment::systemEnvironment())});
    context.main.readAhead(store.created());
    fonts.wait();
    // Before the window: each page's child window draws this icon in its title bar, and one
    // made without it would first fetch the style's menu button picture instead.
    QApplication::setWindowIcon(programIcon(iconPictures));
    MainWindow window(context);

    window.resize(screen.width() >= 1280 ? QSize(1280, 960) : QSize(1000, 720));
    window.showMaximized();
    if (!opened)
        messages.show(store.errorText(), QStringLiteral("Tarnwick Settings"), MessageBox::Buttons::Ok,
                      MessageBox::Icon::Exclamation);
    // A new settings store is a first start: an installed port and game WADs fill the
    // locations that are still empty.
    window.start(commandLine.argumentText, screen.width(), store.created());

    // --run: run the game once, as F2 does, then close as the player would (saving the pages).
    if (commandLine.run)
        QTimer::singleShot(0, &window, [&context, &window] {
            context.launcher.run();
            window.close();
        });
    return app.exec();
}
