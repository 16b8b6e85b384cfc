#include "shell/main_controller.h"

#include "launch/launch_session.h"
#include "pages/game/game_options_controller.h"
#include "pages/game/install_search.h"
#include "pages/play/play_options_controller.h"
#include "pages/secondary/gameplay_flags.h"
#include "pages/secondary/secondary_controllers.h"
#include "editors/bots/bot_editor_entry.h"
#include "editors/ini/ini_editor_entry.h"
#include "launch/port_config_files.h"
#include "platform/document_opener.h"
#include "platform/message_box.h"
#include "binding/persistence.h"
#include "settings/settings_file_commands.h"
#include "settings/settings_store.h"
#include "base/paths.h"
#include "shell/reports.h"

#include <QFileInfo>

#include <utility>

namespace tarnwick {

namespace {

struct WebLink
{
    const char* key;
    const char* address;
};

const WebLink kWebLinks[] = {
    {"URLAbout", "https://zdoom.org/"},
    {"URLNews", "https://zdoom.org/news.php"},
    {"URLDownload", "https://zdoom.org/download.php"},
    {"URLReference", "https://zdoom.org/reference/"},
    {"URLZDKB", "https://zdoom.org/zdkb/"},
    {"URLForum", "https://forum.zdoom.org/phorum/index.php?f=2"},
    {"URLForumBugs", "https://forum.zdoom.org/phorum/list.php?f=11"},
    {"URLForumEditing", "https://forum.zdoom.org/phorum/list.php?f=12"},
    {"URLForumGeneral", "https://forum.zdoom.org/phorum/list.php?f=3"},
    {"URLForumNetworking", "https://forum.zdoom.org/phorum/list.php?f=4"},
};

const QString kSection = QStringLiteral("Tarnwick");

} // namespace

MainController::MainController(Deps deps, QObject* parent) : QObject(parent), m_d(deps) {}

bool MainController::isSettingsFileArgument(const QString& argument)
{
    return SettingsFileCommands::isSettingsFileName(paths::unquoted(argument));
}

void MainController::readAhead(bool firstStart)
{
    m_d.gamePage.readSaveGamesAhead(m_d.persistence.storedSaveFolder(), m_d.persistence.storedSaveRow());
    if (firstStart) m_d.installs.searchAhead();
}

MainController::Layout MainController::startup(const QString& argument, int screenWidth, bool firstStart)
{
    // The pages draw the loaded state once, not after each of the load's steps.
    const LaunchSession::Batch batch(m_d.session);
    m_d.session.Rst = true;
    for (int i = 0; i < kHistoryCount; ++i) {
        const auto h = static_cast<History>(i);
        m_d.histories.GetHistory(h, historyName(h));
    }
    // Each page shows itself as it is created and hides again on its first activation when
    // it was hidden at the last exit.
    for (int page = 1; page <= 4; ++page) m_visible[page - 1] = m_d.persistence.storedVisible(page);

    m_d.persistence.Set_Imp();
    m_d.session.Rst = true;

    if (!argument.isEmpty()) {
        if (isSettingsFileArgument(argument)) {
            if (m_importer && m_importer(paths::unquoted(argument))) {
                m_d.persistence.Set_Imp();
                m_d.session.Rst = true;
            }
        } else {
            const QString ec = m_d.session.profile().txtEC;
            m_d.miscPage.setExtraCommands(ec.isEmpty() ? argument : ec + u' ' + argument);
        }
    }

    // After the argument, so that the values of a settings file opened at the first start
    // count as the player's own.
    if (firstStart) m_d.installs.fillEmpty();

    Layout layout = Layout::Keep;
    if (!m_d.persistence.pagesPlaced()) layout = screenWidth >= 1024 ? Layout::FourByFour : Layout::Cascade;

    // The web links and the game WAD locations found are written by finishStartup(), once
    // the window shows: nothing on screen waits for them, and on a first start writing them
    // is what makes the settings file.
    m_startupWritesDue = true;
    m_savesJustRead = true;

    m_d.session.Rst = false;
    m_d.session.MainProc();
    return layout;
}

void MainController::finishStartup()
{
    m_savesJustRead = false;
    if (!std::exchange(m_startupWritesDue, false)) return;
    m_d.installs.saveFound();
    if (m_d.store.read(kSection, QStringLiteral("URLAbout")).isEmpty()) URLReset();
}

void MainController::shutdown(const std::array<PageWindow, 4>& pages)
{
    finishStartup();
    // One commit for the whole exit: a crash in the middle leaves the last exit's state of
    // every window, never some windows new and some old.
    SettingsStore::Transaction tx(m_d.store);
    for (int page = 1; page <= 4; ++page)
        m_d.persistence.savePageWindow(page, pages[page - 1].visible, pages[page - 1].position);
    m_d.persistence.Set_Exp(OptionWindow::GameplayFlags);
    m_d.persistence.Set_Exp(OptionWindow::Obsolete);
}

void MainController::saveSettingsNow()
{
    m_d.persistence.Set_Exp(OptionWindow::GameOptions);
    m_d.persistence.Set_Exp(OptionWindow::PlayOptions);
    m_d.persistence.Set_Exp(OptionWindow::SoundVideo);
    m_d.persistence.Set_Exp(OptionWindow::Misc);
    m_d.persistence.Set_Exp(OptionWindow::GameplayFlags);
}

void MainController::resetAll()
{
    if (m_d.messages.show(QStringLiteral("Are you sure that you want to reset all of the forms?"),
                          QStringLiteral("Reset All"), MessageBox::Buttons::YesNo,
                          MessageBox::Icon::Question) != MessageBox::Answer::Yes)
        return;
    m_d.session.Rst = true;
    m_d.gamePage.reset();
    m_d.playPage.reset();
    m_d.soundPage.reset();
    m_d.miscPage.reset();
    m_d.flags.RT0_Click();
    if (m_d.session.profile().chkReset == 1) {
        m_d.installs.fillEmpty();
        m_d.installs.saveFound();
    }
    m_d.session.Rst = false;
    m_d.session.MainProc();
}

QString MainController::historyBoxText(History h) const
{
    const LaunchProfile& p = m_d.session.profile();
    switch (h) {
    case History::ZEXE: return p.txtEXE;
    case History::ZFolder: return p.txtFol;
    case History::Config: return p.txtINI;
    case History::IWAD: return p.txtIWAD;
    case History::Parm: return p.txtParm;
    case History::Demo: return p.txtLMP;
    case History::PWAD: return p.txtPWAD;
    case History::Deh: return p.txtDeh;
    case History::Join: return p.txtJoin;
    case History::EC: return p.txtEC;
    case History::Net: return p.txtNET;
    case History::TransFile: return p.txtTransFile;
    }
    return {};
}

void MainController::setHistoryBoxText(History h, const QString& text)
{
    using FL = PlayOptionsController::FileList;
    switch (h) {
    case History::ZEXE: m_d.gamePage.setExe(text); break;
    case History::ZFolder: m_d.gamePage.setFolder(text); break;
    case History::Config: m_d.gamePage.setIni(text); break;
    case History::IWAD: m_d.gamePage.setIwad(text); break;
    case History::Parm: m_d.gamePage.setParm(text); break;
    case History::Demo: m_d.gamePage.setDemoFile(text); break;
    case History::PWAD: m_d.playPage.setListText(FL::MapWads, text); break;
    case History::Deh: m_d.playPage.setListText(FL::Patches, text); break;
    case History::Join: m_d.playPage.setJoinAddress(text); break;
    case History::EC: m_d.miscPage.setExtraCommands(text); break;
    case History::Net: m_d.obsolete.setNet(text); break;
    case History::TransFile: m_d.obsolete.setTransFile(text); break;
    }
}

void MainController::clearAllHistories()
{
    if (m_d.messages.show(QStringLiteral("Are you sure you want to clear the history (the ComboBoxes)?"),
                          QStringLiteral("Clear History"), MessageBox::Buttons::YesNo,
                          MessageBox::Icon::Question) != MessageBox::Answer::Yes)
        return;
    // The folder box's two changes rescan the save games; the chosen save stays chosen,
    // so the command line ends as it was.
    const int saveRow = m_d.session.profile().lvwLG;
    for (int i = 0; i < kHistoryCount; ++i) {
        const auto h = static_cast<History>(i);
        // Emptying the drop-down empties the box too, and the box then gets its text back:
        // both changes run the box's reaction, as a player's edit would.
        const QString text = historyBoxText(h);
        m_d.histories.ClearHistory(h, historyName(h));
        setHistoryBoxText(h, QString());
        setHistoryBoxText(h, text);
    }
    if (m_d.session.profile().lvwLG != saveRow) m_d.gamePage.chooseSaveGame(saveRow);
    for (int i = 0; i < kHistoryCount; ++i) m_d.histories.deleteList(historyName(static_cast<History>(i)));
}

void MainController::setPageVisible(int page, bool visible)
{
    if (page < 1 || page > 4 || m_visible[page - 1] == visible) return;
    m_visible[page - 1] = visible;
    emit pageVisibilityChanged(page, visible);
}

void MainController::hidePage(int page)
{
    setPageVisible(page, false);
}

void MainController::showPage(int page)
{
    if (page < 1 || page > 4) return;
    m_d.persistence.markShown(page); // before showing, so the activation does not hide it again
    setPageVisible(page, true);
}

void MainController::pageActivated(int page)
{
    // The start-up load has just read the save folder: the activation that shows the
    // window need not read it again.
    if (page == 1 && !std::exchange(m_savesJustRead, false)) m_d.gamePage.rescanSaveGames();
    if (!m_d.persistence.storedVisible(page)) hidePage(page);
}

void MainController::fourByFour()
{
    // Shown pages stay shown when they next become active.
    for (int page = 1; page <= 4; ++page)
        if (!m_visible[page - 1]) showPage(page);
}

void MainController::checkLocations()
{
    m_d.messages.show(locationReport(m_d.session.profile(), m_d.fs), locationReportTitle(),
                      MessageBox::Buttons::Ok, MessageBox::Icon::Information);
}

void MainController::about()
{
    m_d.messages.show(aboutText(), aboutTitle(), MessageBox::Buttons::Ok, MessageBox::Icon::Information);
}

void MainController::helpContents(const QString& applicationDir)
{
    QString help = helpIndexPath(applicationDir);
#ifdef TARNWICK_SOURCE_HELP
    // A build folder outside the sources still knows where the sources were.
    if (help.isEmpty() && QFileInfo(QStringLiteral(TARNWICK_SOURCE_HELP)).isFile())
        help = QStringLiteral(TARNWICK_SOURCE_HELP);
#endif
    if (help.isEmpty() || !m_d.opener.open(help))
        m_d.messages.show(QStringLiteral("The help pages could not be found or opened.  Reinstalling "
                                         "Tarnwick puts them back beside the program."),
                          QStringLiteral("Help"), MessageBox::Buttons::Ok, MessageBox::Icon::Exclamation);
}

void MainController::sendFeedback()
{
    m_d.opener.open(feedbackUrl());
}

void MainController::website()
{
    m_d.opener.open(websiteUrl());
}

QString MainController::portFolder() const
{
    return m_d.session.profile().txtFol;
}

QString MainController::portExecutable() const
{
    const LaunchProfile& p = m_d.session.profile();
    return portconfig::findExecutable(p.txtFol, p.txtEXE, m_d.fs);
}

bool MainController::mayOpenIniEditor()
{
    return iniEditorMayOpen(portFolder(), m_d.session.profile().txtEXE, m_d.fs, m_d.messages);
}

bool MainController::mayOpenBotEditor()
{
    return botEditorMayOpen(portFolder(), m_d.fs, m_d.messages);
}

void MainController::URLReset()
{
    SettingsStore::Transaction tx(m_d.store);
    for (const WebLink& link : kWebLinks)
        m_d.store.write(kSection, QString::fromLatin1(link.key), QString::fromLatin1(link.address));
}

} // namespace tarnwick
