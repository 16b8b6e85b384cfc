#include "shell/main_window.h"

#include "editors/bots/bot_editor_controller.h"
#include "editors/bots/bot_editor_dialog.h"
#include "editors/ini/ini_editor_controller.h"
#include "editors/ini/ini_editor_dialog.h"
#include "editors/ini/ini_store.h"
#include "pages/game/game_options_page.h"
#include "pages/game/iwad_locations_dialog.h"
#include "pages/play/play_options_page.h"
#include "pages/secondary/gameplay_flags_dialog.h"
#include "pages/secondary/misc_page.h"
#include "pages/secondary/obsolete_dialog.h"
#include "pages/secondary/sound_video_page.h"
#include "shell/app_context.h"
#include "base/qt_file_drops.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>

#include <utility>

namespace tarnwick {

namespace {

// Pages are hidden with their own "&Hide" button; closing one only hides it too.
class PageSubWindow final : public QMdiSubWindow
{
public:
    PageSubWindow(std::function<void()> onClose, QWidget* parent)
        : QMdiSubWindow(parent, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                    Qt::WindowMinimizeButtonHint),
          m_onClose(std::move(onClose))
    {
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        m_onClose();
    }

private:
    std::function<void()> m_onClose;
};

// Courier New where it is installed, else the desktop's fixed-width font. The font
// matcher tries the families in order, so nothing has to list the installed ones.
QFont commandFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({QStringLiteral("Courier New"), font.family()});
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace

MainWindow::MainWindow(AppContext& app, QWidget* parent) : QMainWindow(parent), m_app(app)
{
    setWindowTitle(QStringLiteral("Tarnwick"));
    m_area = new QMdiArea(this);
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_area);
    buildCommandStrip();
    buildPages();
    buildMenus();
    buildKeyboard();

    connect(&m_app.main, &MainController::pageVisibilityChanged, this, [this](int page, bool visible) {
        m_pages[page - 1]->setVisible(visible);
        if (visible) {
            m_pages[page - 1]->raise();
            m_area->setActiveSubWindow(m_pages[page - 1]);
        }
        m_showPage[page - 1]->setVisible(!visible);
    });
    // A settings file dropped anywhere is opened as "&Open settings..." opens it; the pages'
    // own targets take their files first.
    view::acceptFileDrops(this, &SettingsFileCommands::takesDroppedFiles,
                          [this](const QStringList& files) { m_app.settingsFiles.importFile(files.first()); });
    view::routeFileDrops(this);
    connect(m_area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        for (int page = 1; page <= 4; ++page)
            if (window && window == m_pages[page - 1]) m_app.main.pageActivated(page);
    });
}

void MainWindow::buildCommandStrip()
{
    auto* strip = new QToolBar(QStringLiteral("Command line"), this);
    strip->setMovable(false);
    strip->setFloatable(false);
    auto* holder = new QWidget(strip);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(4, 2, 4, 2);
    m_command = new QLineEdit(holder);
    m_command->setFont(commandFont());
    m_command->setToolTip(QStringLiteral("The command line that starts ZDoom; you may edit it before running"));
    m_run = new QPushButton(QStringLiteral("Run"), holder);
    row->addWidget(m_command, 1);
    row->addWidget(m_run);
    strip->addWidget(holder);
    addToolBar(Qt::TopToolBarArea, strip);

    connect(m_command, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_app.session.setCommandText(text);
        if (m_command->text() != m_app.session.commandText()) m_command->setText(m_app.session.commandText());
    });
    connect(&m_app.session, &LaunchSession::commandTextChanged, this, [this](const QString& text) {
        if (m_command->text() == text) return;
        m_command->setText(text);
        // A composed line is read from its start: the executable and the first options.
        if (!m_command->hasFocus()) m_command->setCursorPosition(0);
    });
    connect(m_run, &QPushButton::clicked, this, [this] { m_app.launcher.run(); });
}

void MainWindow::buildPages()
{
    auto addPage = [this](int page, QWidget* widget) {
        auto* sub = new PageSubWindow([this, page] { m_app.main.hidePage(page); }, m_area->viewport());
        // Untitled until start(), which gives the title back.
        m_titles[page - 1] = widget->windowTitle();
        widget->setWindowTitle(QString());
        sub->setWidget(widget);
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        // The child window menu would claim Ctrl+F4, which is the "4 by 4" layout here.
        sub->setSystemMenu(nullptr);
        m_area->addSubWindow(sub);
        // A page never gets smaller than the size at which its controls fit: arrangements
        // that would squeeze it leave it at that size and the frame scrolls instead. Pages
        // start at that size, so the four-page layout fits a 1280x720 frame.
        sub->setMinimumSize(sub->minimumSizeHint());
        sub->resize(sub->minimumSize());
        m_pages[page - 1] = sub;
    };
    auto* game = new GameOptionsPage(m_app.session, m_app.gamePage, m_app.histories, m_app.iwads, m_app.saveWads);
    auto* play = new PlayOptionsPage(m_app.session, m_app.playPage, m_app.histories);
    auto* sound = new SoundVideoPage(m_app.session, m_app.soundPage);
    auto* misc = new MiscPage(m_app.session, m_app.miscPage, m_app.histories);
    // Pages one and two stand side by side in the four-page layout: one width for both.
    const int wide = std::max(game->sizeHint().width(), play->sizeHint().width());
    game->setMinimumWidth(wide);
    play->setMinimumWidth(wide);
    addPage(1, game);
    addPage(2, play);
    addPage(3, sound);
    addPage(4, misc);
    connect(game, &GameOptionsPage::hideRequested, this, [this] { m_app.main.hidePage(1); });
    connect(game, &GameOptionsPage::locationsRequested, this, &MainWindow::showLocations);
    connect(play, &PlayOptionsPage::hideRequested, this, [this] { m_app.main.hidePage(2); });
    connect(sound, &SoundVideoPage::hideRequested, this, [this] { m_app.main.hidePage(3); });
    connect(misc, &MiscPage::hideRequested, this, [this] { m_app.main.hidePage(4); });
}

QAction* MainWindow::addItem(QMenu* menu, const QString& caption, const QKeySequence& shortcut,
                             std::function<void()> action)
{
    QAction* a = menu->addAction(caption);
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::ApplicationShortcut);
        m_keys.append(shortcut);
    }
    connect(a, &QAction::triggered, this, [action = std::move(action)] {
        if (action) action();
    });
    return a;
}

void MainWindow::buildMenus()
{
    MainController& main = m_app.main;
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    addItem(file, QStringLiteral("&Open settings..."), QKeySequence(QStringLiteral("Ctrl+O")),
            [this] { m_app.settingsFiles.importSettings(); });
    addItem(file, QStringLiteral("&Save settings..."), QKeySequence(QStringLiteral("Ctrl+S")),
            [this] { m_app.settingsFiles.exportSettings(); });
    file->addSeparator();
    addItem(file, QStringLiteral("&Export .bat file..."), QKeySequence(QStringLiteral("Ctrl+B")),
            [this] { m_app.launcher.exportBatch(); });
    file->addSeparator();
    addItem(file, QStringLiteral("Check &file/folder locations..."), QKeySequence(Qt::Key_F8),
            [&main] { main.checkLocations(); });
    file->addSeparator();
    addItem(file, QStringLiteral("&Clear history..."), QKeySequence(Qt::Key_F9), [&main] { main.clearAllHistories(); });
    file->addSeparator();
    addItem(file, QStringLiteral("&Save settings now"), QKeySequence(Qt::Key_F11), [&main] { main.saveSettingsNow(); });
    addItem(file, QStringLiteral("&Reset all..."), QKeySequence(Qt::Key_F12), [&main] { main.resetAll(); });
    file->addSeparator();
    addItem(file, QStringLiteral("E&xit"), QKeySequence(), [this] { close(); });

    QMenu* game = menuBar()->addMenu(QStringLiteral("Game"));
    addItem(game, QStringLiteral("&Run game"), QKeySequence(Qt::Key_F2), [this] { m_app.launcher.run(); });
    addItem(game, QStringLiteral("Refresh &command line"), QKeySequence(Qt::Key_F5), [this] { m_app.session.MainProc(); });
    game->addSeparator();
    addItem(game, QStringLiteral("&Game WAD Locations..."), QKeySequence(Qt::Key_F4), [this] { showLocations(); });
    addItem(game, QStringLiteral("ZDoom Cajun &Bot Editor..."), QKeySequence(QStringLiteral("Ctrl+F1")),
            [this] { showBotEditor(); });
    addItem(game, QStringLiteral("ZDoom &INI Editor..."), QKeySequence(QStringLiteral("Ctrl+F2")),
            [this] { showIniEditor(); });
    game->addSeparator();
    addItem(game, QStringLiteral("Gameplay Options (&DMFLAGS)..."), QKeySequence(Qt::Key_F3), [this] { showGameplayFlags(); });
    addItem(game, QStringLiteral("&Obsolete Options..."), QKeySequence(QStringLiteral("Ctrl+E")), [this] { showObsolete(); });

    m_windowMenu = menuBar()->addMenu(QStringLiteral("Window"));
    addItem(m_windowMenu, QStringLiteral("Tile &horizontal"), QKeySequence(QStringLiteral("Ctrl+H")),
            [this] { tile(Qt::Vertical); });
    addItem(m_windowMenu, QStringLiteral("Tile &vertical"), QKeySequence(QStringLiteral("Ctrl+T")),
            [this] { tile(Qt::Horizontal); });
    addItem(m_windowMenu, QStringLiteral("&Cascade"), QKeySequence(QStringLiteral("Ctrl+D")),
            [this] { cascade(); });
    addItem(m_windowMenu, QStringLiteral("&Arrange icons"), QKeySequence(QStringLiteral("Ctrl+R")),
            [this] { arrangeIcons(); });
    m_windowMenu->addSeparator();
    addItem(m_windowMenu, QStringLiteral("4 by 4"), QKeySequence(QStringLiteral("Ctrl+F4")), [this] { fourByFour(); });
    const char* const showCaptions[4] = {"Show &Game Options", "Show &Play Options",
                                         "Show &Sound and Video Options", "Show &Miscellaneous Options"};
    const Qt::Key keys[4] = {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4};
    for (int page = 1; page <= 4; ++page) {
        m_showPage[page - 1] = addItem(m_windowMenu, QString::fromLatin1(showCaptions[page - 1]),
                                       QKeySequence(Qt::SHIFT | keys[page - 1]), [&main, page] { main.showPage(page); });
        m_showPage[page - 1]->setVisible(false);
    }
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::fillWindowMenu);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    addItem(help, QStringLiteral("&Contents..."), QKeySequence(),
            [&main] { main.helpContents(QCoreApplication::applicationDirPath()); });
    // F1 anywhere opens the help at its contents, as the Contents item does.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::ApplicationShortcut);
    m_keys.append(f1->key());
    connect(f1, &QShortcut::activated, this, [&main] { main.helpContents(QCoreApplication::applicationDirPath()); });
    addItem(help, QStringLiteral("&Send feedback..."), QKeySequence(Qt::Key_F6), [&main] { main.sendFeedback(); });
    addItem(help, QStringLiteral("&About..."), QKeySequence(Qt::Key_F7), [&main] { main.about(); });
    help->addSeparator();
    addItem(help, QStringLiteral("&ZDoom website..."), QKeySequence(QStringLiteral("Ctrl+W")), [&main] { main.website(); });
}

void MainWindow::buildKeyboard()
{
    // F10 opens the menu bar, as Alt pressed and released alone does (see eventFilter).
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    f10->setContext(Qt::ApplicationShortcut);
    connect(f10, &QShortcut::activated, this, &MainWindow::openFirstMenu);
    // Ctrl+L: to the command box, its text selected, ready to be edited or copied.
    auto* toCommand = new QShortcut(QKeySequence(QStringLiteral("Ctrl+L")), this);
    toCommand->setContext(Qt::ApplicationShortcut);
    connect(toCommand, &QShortcut::activated, this, [this] {
        m_command->setFocus(Qt::ShortcutFocusReason);
        m_command->selectAll();
    });
    m_keys << f10->key() << toCommand->key();
    qApp->installEventFilter(this);
}

void MainWindow::openFirstMenu()
{
    const QList<QAction*> menus = menuBar()->actions();
    if (!menus.isEmpty()) menuBar()->setActiveAction(menus.constFirst());
}

// Keys belong to the frame while it, not a dialog or a menu, has the keyboard.
bool MainWindow::ownsKeyboard() const
{
    return isActiveWindow() && !QApplication::activeModalWidget() && !QApplication::activePopupWidget();
}

namespace {

// The controls of `root` that Tab stops at, in focus-chain order.
QList<QWidget*> tabStops(QWidget* root)
{
    QList<QWidget*> stops;
    for (QWidget* w = root->nextInFocusChain(); w && w != root; w = w->nextInFocusChain()) {
        if (!root->isAncestorOf(w)) continue;
        if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isEnabled() && w->isVisibleTo(root) &&
            !w->focusProxy())
            stops.append(w);
    }
    return stops;
}

} // namespace

// A page keeps Tab inside itself; past its last control Tab goes on to the command box and
// Run, and from Run back into the active page (Shift+Tab the other way round).
bool MainWindow::tabOutOfPage(bool forward)
{
    QWidget* focus = QApplication::focusWidget();
    QMdiSubWindow* active = m_area->activeSubWindow();
    if (!focus || !active || !active->widget()) return false;
    QList<QWidget*> stops = tabStops(active->widget());
    if (stops.isEmpty()) return false;
    if (active->widget()->isAncestorOf(focus)) {
        if (focus != (forward ? stops.constLast() : stops.constFirst())) return false;
        (forward ? static_cast<QWidget*>(m_command) : m_run)->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    if ((forward && focus == m_run) || (!forward && focus == m_command)) {
        (forward ? stops.constFirst() : stops.constLast())->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    return false;
}

// The pages' access keys only work while the focus is inside the active page. From the
// command box or Run, an access key of the active page first moves the focus into the page,
// before the key is matched, so Alt+X reaches the EXE box from the command box too (and a
// letter no control of the page claims is left to the command box as before).
void MainWindow::accessKeyIntoPage(const QKeyEvent& key)
{
    QWidget* focus = QApplication::focusWidget();
    QMdiSubWindow* active = m_area->activeSubWindow();
    if ((focus != m_command && focus != m_run) || !active || !active->widget()) return;
    const QKeySequence wanted(key.keyCombination());
    const auto claims = [&wanted](const QString& caption) { return QKeySequence::mnemonic(caption) == wanted; };
    bool claimed = false;
    for (QWidget* w : active->widget()->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(active->widget()) || !w->isEnabled()) continue;
        if (auto* label = qobject_cast<QLabel*>(w)) claimed = claims(label->text());
        else if (auto* button = qobject_cast<QAbstractButton*>(w)) claimed = claims(button->text());
        else if (auto* frame = qobject_cast<QGroupBox*>(w)) claimed = claims(frame->title());
        if (claimed) break;
    }
    if (!claimed) return;
    QWidget* inside = active->widget()->focusWidget();
    if (!inside || !inside->isVisible() || !inside->isEnabled()) {
        const QList<QWidget*> stops = tabStops(active->widget());
        inside = stops.isEmpty() ? nullptr : stops.constFirst();
    }
    if (inside) inside->setFocus(Qt::ShortcutFocusReason);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // The frame's keys win over a control's own use of them (a text box takes Ctrl+E
        // to the end of the line, a list Ctrl+D...): left unaccepted, the shortcut runs.
        // An access key (Alt+C) is used up here and never arrives as a key press: Alt was
        // not pressed alone then.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Alt) m_altAlone = false;
        if (ownsKeyboard() && m_keys.contains(QKeySequence(key->keyCombination()))) return true;
        if (ownsKeyboard() && key->modifiers() == Qt::AltModifier) accessKeyIntoPage(*key);
        break;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        m_altAlone = key->key() == Qt::Key_Alt && ownsKeyboard();
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && ownsKeyboard() &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && watched == QApplication::focusWidget() &&
            tabOutOfPage(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier)))
            return true;
        break;
    }
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Alt && m_altAlone && !key->isAutoRepeat() && ownsKeyboard()) {
            m_altAlone = false;
            openFirstMenu();
            return true;
        }
        break;
    }
    case QEvent::MouseButtonPress:
        m_altAlone = false;
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::fillWindowMenu()
{
    for (QAction* a : m_windowListActions) {
        m_windowMenu->removeAction(a);
        a->deleteLater();
    }
    m_windowListActions.clear();
    m_windowListActions.append(m_windowMenu->addSeparator());
    int n = 1;
    for (QMdiSubWindow* sub : m_area->subWindowList()) {
        if (!sub->isVisible()) continue;
        QAction* a = m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(n++).arg(sub->windowTitle()));
        a->setCheckable(true);
        a->setChecked(sub == m_area->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, sub] { m_area->setActiveSubWindow(sub); });
        m_windowListActions.append(a);
    }
}

// Tiling shares the frame among the shown pages in a row or a column; a page whose share is
// below its own minimum keeps the minimum and pushes the next one on, out of view to be
// scrolled to, rather than overlapping it.
void MainWindow::tile(Qt::Orientation orientation)
{
    QList<QMdiSubWindow*> shown;
    for (QMdiSubWindow* sub : m_area->subWindowList())
        if (sub->isVisible() && !sub->isMinimized()) shown.append(sub);
    if (shown.isEmpty()) return;
    const QRect area = m_area->viewport()->rect();
    const int count = static_cast<int>(shown.size());
    int offset = 0;
    for (QMdiSubWindow* sub : shown) {
        sub->showNormal();
        const QSize least = sub->minimumSize();
        if (orientation == Qt::Vertical) {
            const int h = std::max(area.height() / count, least.height());
            sub->setGeometry(0, offset, std::max(area.width(), least.width()), h);
            offset += h;
        } else {
            const int w = std::max(area.width() / count, least.width());
            sub->setGeometry(offset, 0, w, std::max(area.height(), least.height()));
            offset += w;
        }
    }
}

// The frame's cascade places the pages a step apart but leaves them stacked as they were, so
// a page in front at the top left hides the title bars of the pages cascaded behind it. The
// pages take the steps in their stacking order, the active one last, and each is raised
// over the one before: every title bar shows, and the active page is in front.
void MainWindow::cascade()
{
    QMdiSubWindow* active = m_area->activeSubWindow();
    m_area->cascadeSubWindows();
    QList<QMdiSubWindow*> shown;
    for (QMdiSubWindow* sub : m_area->subWindowList(QMdiArea::StackingOrder))
        if (sub->isVisible() && !sub->isMinimized()) shown.append(sub);
    QList<QPoint> steps;
    for (QMdiSubWindow* sub : shown) steps.append(sub->pos());
    std::sort(steps.begin(), steps.end(), [](QPoint a, QPoint b) { return a.y() < b.y() || (a.y() == b.y() && a.x() < b.x()); });
    if (shown.removeOne(active)) shown.append(active);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        shown[i]->move(steps[i]);
        shown[i]->raise();
    }
    if (active) m_area->setActiveSubWindow(active);
}

void MainWindow::arrangeIcons()
{
    int x = 0;
    const int bottom = m_area->viewport()->height();
    for (QMdiSubWindow* sub : m_area->subWindowList()) {
        if (!sub->isMinimized() || !sub->isVisible()) continue;
        sub->move(x, bottom - sub->height());
        x += sub->width();
    }
}

void MainWindow::fourByFour()
{
    m_app.main.fourByFour();
    for (QMdiSubWindow* sub : m_pages) sub->showNormal(); // places, never resizes
    QMdiSubWindow* f1 = m_pages[0];
    QMdiSubWindow* f2 = m_pages[1];
    f1->move(0, 0);
    f2->move(f1->width(), 0);
    m_pages[2]->move(0, f1->height());
    m_pages[3]->move(f2->width(), f2->height());
    for (QAction* a : m_showPage) a->setVisible(false);
}

void MainWindow::start(const QString& argument, int screenWidth, bool firstStart)
{
    for (int page = 1; page <= 4; ++page)
        if (auto pos = m_app.persistence.storedPosition(page)) m_pages[page - 1]->move(*pos);
    const MainController::Layout layout = m_app.main.startup(argument, screenWidth, firstStart);
    for (int page = 1; page <= 4; ++page) {
        const bool visible = m_app.main.pageVisible(page);
        m_pages[page - 1]->setVisible(visible);
        m_showPage[page - 1]->setVisible(!visible);
    }
    // The first shown page is the active one, in front and in view (a cascade puts it last).
    for (QMdiSubWindow* sub : m_pages) {
        if (!sub->isVisible()) continue;
        m_area->setActiveSubWindow(sub);
        break;
    }
    if (layout == MainController::Layout::FourByFour)
        fourByFour();
    else if (layout == MainController::Layout::Cascade)
        cascade();
    m_command->setText(m_app.session.commandText());
    m_command->setCursorPosition(0);
    // The page windows take their titles now, after the window has been laid out: Qt elides
    // a child window's title again at every change of its geometry (some 300 times while
    // the pages are built and shown), and an empty title is not measured.
    for (int page = 1; page <= 4; ++page) m_pages[page - 1]->widget()->setWindowTitle(m_titles[page - 1]);
    m_started = true;
    finishStartupOnceDrawn();
}

void MainWindow::paintEvent(QPaintEvent* event)
{
    QMainWindow::paintEvent(event);
    if (std::exchange(m_drawn, true)) return;
    finishStartupOnceDrawn();
}

// What start-up leaves for later runs just after the window's first pixels reach the screen,
// still before any key or click the player makes.
void MainWindow::finishStartupOnceDrawn()
{
    if (m_started && m_drawn) QTimer::singleShot(0, this, [this] { m_app.main.finishStartup(); });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    std::array<MainController::PageWindow, 4> pages;
    for (int page = 1; page <= 4; ++page)
        pages[page - 1] = {m_app.main.pageVisible(page), m_pages[page - 1]->pos()};
    m_app.main.shutdown(pages);
    event->accept();
}

void MainWindow::showGameplayFlags()
{
    GameplayFlagsDialog dialog(m_app.session, m_app.flags, this);
    dialog.exec();
}

void MainWindow::showObsolete()
{
    ObsoleteDialog dialog(m_app.session, m_app.obsolete, m_app.histories, this);
    dialog.exec();
}

void MainWindow::showLocations()
{
    IwadLocationsDialog dialog(m_app.iwads, this);
    dialog.exec();
}

} // namespace tarnwick

namespace tarnwick {

void MainWindow::showIniEditor()
{
    if (!m_app.main.mayOpenIniEditor()) return;
    IniStore store(m_app.platform.messages);
    IniEditorController controller(m_app.main.portFolder(), m_app.main.portExecutable(), store,
                                   m_app.platform.messages);
    IniEditorDialog dialog(controller, this);
    dialog.exec();
}

void MainWindow::showBotEditor()
{
    if (!m_app.main.mayOpenBotEditor()) return;
    BotEditorController controller(m_app.main.portFolder(), m_app.platform.messages);
    BotEditorDialog dialog(controller, this);
    dialog.exec();
}

} // namespace tarnwick
