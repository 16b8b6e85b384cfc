#include "pages/play/play_options_page.h"

#include "launch/launch_session.h"
#include "pages/play/game_catalog.h"
#include "settings/history.h"
#include "base/qt_file_drops.h"
#include "base/qt_view_sync.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarnwick {

using FileList = PlayOptionsController::FileList;

PlayOptionsPage::PlayOptionsPage(LaunchSession& session, PlayOptionsController& controller,
                                 Histories& histories, QWidget* parent)
    : QWidget(parent), m_session(session), m_controller(controller), m_histories(histories)
{
    setWindowTitle(QStringLiteral("2: Play Options"));
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(6);
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    layout->addLayout(columns, 1);

    // Left: level, skill, monsters, timer and turbo.
    QGroupBox* skillFrame = nullptr;
    left->addWidget(buildLevelFrames(this, skillFrame), 1);
    left->addWidget(skillFrame);

    auto* monsters = new QGroupBox(QStringLiteral("Monster Options"), this);
    auto* monsterBox = new QVBoxLayout(monsters);
    m_monsters = new QCheckBox(QStringLiteral("Monsters &in game"), monsters);
    m_monsters->setToolTip(QStringLiteral("Have monsters in the game"));
    m_fast = new QCheckBox(QStringLiteral("&Fast monsters"), monsters);
    m_fast->setToolTip(QStringLiteral("Monsters act as if they are on Nightmare skill mode"));
    m_respawn = new QCheckBox(QStringLiteral("Respawning mo&nsters"), monsters);
    m_respawn->setToolTip(QStringLiteral("Monsters respawn"));
    monsterBox->addWidget(m_monsters);
    monsterBox->addWidget(m_fast);
    monsterBox->addWidget(m_respawn);
    left->addWidget(monsters);

    auto* timerFrame = new QGroupBox(QStringLiteral("Timer/Turbo"), this);
    auto* timerRow = new QHBoxLayout(timerFrame);
    m_timer = numberBox(QStringLiteral("Advance a level after the time specified (in minutes)"), timerFrame);
    m_turbo = numberBox(QStringLiteral("Increase or decrease the players walking and running (default "
                                       "100) from 10 - 256. Numbers greater than 100 are considered cheating"),
                        timerFrame);
    auto* timerLabel = new QLabel(QStringLiteral("&Timer:"), timerFrame);
    timerLabel->setBuddy(m_timer);
    auto* turboLabel = new QLabel(QStringLiteral("Tur&bo:"), timerFrame);
    turboLabel->setBuddy(m_turbo);
    timerRow->addWidget(timerLabel);
    timerRow->addWidget(m_timer);
    timerRow->addSpacing(12);
    timerRow->addWidget(turboLabel);
    timerRow->addWidget(m_turbo);
    timerRow->addStretch(1);
    left->addWidget(timerFrame);
    m_turbo->installEventFilter(this);

    // Right: the two file lists and the network game.
    right->addWidget(buildFileFrame(FileList::MapWads, QStringLiteral("Ma&p WAD File(s)"), QStringLiteral("C&lr"),
                                    QStringLiteral("Add one or more Map WAD files to the game. Click on Clr "
                                                   "to clear this box and the list"),
                                    QStringLiteral("Map WAD files that will be loaded are listed here")));
    right->addWidget(buildFileFrame(FileList::Patches, QStringLiteral("DeHackEd/BE&X File(s)"), QStringLiteral("Clr"),
                                    QStringLiteral("Add one or more DeHackEd/BEX files to the game. Click on "
                                                   "Clr to clear this box"),
                                    QStringLiteral("DeHackEd/BEX files that will be loaded are listed here")));
    QGroupBox* other = nullptr;
    right->addWidget(buildMultiplayerFrames(this, m_hostJoin, other));
    right->addWidget(m_hostJoin);
    right->addWidget(other);
    right->addStretch(1);

    // The page buttons sit under the shorter left column, keeping the page compact.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    view::addPageButtons(this, buttons, [this] { m_controller.reset(); }, [this] { emit hideRequested(); });
    left->addLayout(buttons);

    auto& c = m_controller;
    connect(m_monsters, &QCheckBox::stateChanged, this, [&c](int s) { c.setMonsters(view::checkValue(s)); });
    connect(m_fast, &QCheckBox::stateChanged, this, [&c](int s) { c.setFast(view::checkValue(s)); });
    connect(m_respawn, &QCheckBox::stateChanged, this, [&c](int s) { c.setRespawn(view::checkValue(s)); });
    connect(m_timer, &QLineEdit::textEdited, this, [&c](const QString& t) { c.setTimer(t); });
    connect(m_turbo, &QLineEdit::textEdited, this, [&c](const QString& t) { c.setTurbo(t); });

    connect(&m_session, &LaunchSession::changed, this, &PlayOptionsPage::redraw);
    connect(&m_histories, &Histories::changed, this, &PlayOptionsPage::redraw);
    view::compactFrames(this);
    redraw();
}

QLineEdit* PlayOptionsPage::numberBox(const QString& tooltip, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setToolTip(tooltip);
    box->setMaximumWidth(56);
    return box;
}

QGroupBox* PlayOptionsPage::buildLevelFrames(QWidget* parent, QGroupBox*& skillFrame)
{
    auto* level = new QGroupBox(QStringLiteral("Level Warp"), parent);
    auto* grid = new QGridLayout(level);
    auto* gameLabel = new QLabel(QStringLiteral("&Game:"), level);
    m_game = new QComboBox(level);
    m_game->addItems(catalog::gameNames());
    m_game->setToolTip(QStringLiteral("Select an item here then choose which map you wish to play. "
                                      "Changing this will also change the IWAD on Form 1"));
    gameLabel->setBuddy(m_game);
    m_mapLabel = new QLabel(QStringLiteral("&Map:"), level);
    m_maps = new QListWidget(level);
    m_maps->setToolTip(QStringLiteral("Choose the map you want to play"));
    m_maps->setMinimumHeight(m_maps->fontMetrics().height() * 6);
    // Wide enough for the longest title, not a list view's generous default.
    m_maps->setFixedWidth(m_maps->fontMetrics().horizontalAdvance(QStringLiteral("E4M6: Against Thee Wickedly")) + 36);
    m_mapLabel->setBuddy(m_maps);
    m_random = new QPushButton(QStringLiteral("&?"), level);
    m_random->setToolTip(QStringLiteral("Pick a map at random"));
    m_random->setFixedWidth(m_random->fontMetrics().horizontalAdvance(QStringLiteral("??")) + 20);
    m_otherLabel = new QLabel(QStringLiteral("Other&:"), level);
    m_other = new QLineEdit(level);
    m_other->setToolTip(QStringLiteral("An alternative MAP location e.g. 33"));
    m_otherLabel->setBuddy(m_other);
    grid->addWidget(gameLabel, 0, 0);
    grid->addWidget(m_game, 0, 1, 1, 2);
    auto* mapColumn = new QVBoxLayout;
    mapColumn->addWidget(m_mapLabel);
    mapColumn->addWidget(m_random);
    mapColumn->addStretch(1);
    grid->addLayout(mapColumn, 1, 0);
    grid->addWidget(m_maps, 1, 1, 1, 2);
    grid->addWidget(m_otherLabel, 2, 0);
    grid->addWidget(m_other, 2, 1, 1, 2);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(1, 1);

    skillFrame = new QGroupBox(QStringLiteral("Skill"), parent);
    auto* skillRow = new QHBoxLayout(skillFrame);
    m_skill = new QComboBox(skillFrame);
    m_skill->setToolTip(QStringLiteral("The skill level"));
    skillRow->addWidget(m_skill);

    auto& c = m_controller;
    connect(m_game, &QComboBox::activated, this, [&c](int i) { c.chooseGame(i); });
    connect(m_maps, &QListWidget::currentRowChanged, this, [&c](int row) { c.chooseMap(row); });
    connect(m_random, &QPushButton::clicked, this, [&c] { c.randomMap(); });
    connect(m_other, &QLineEdit::textEdited, this, [&c](const QString& t) { c.setOther(t); });
    connect(m_skill, &QComboBox::activated, this, [&c](int i) { c.chooseSkill(i); });
    return level;
}

QGroupBox* PlayOptionsPage::buildFileFrame(FileList which, const QString& caption, const QString& clearCaption,
                                           const QString& boxTip, const QString& listTip)
{
    auto* frame = new QGroupBox(caption, this);
    auto* grid = new QGridLayout(frame);
    FileFrame& f = which == FileList::MapWads ? m_wads : m_patches;
    f.box = view::historyCombo(frame, boxTip, 8);
    const History list = PlayOptionsController::info(which).history;
    view::lazyRows(f.box, [this, list] { return m_histories.shown(list); });
    auto* add = new QPushButton(QStringLiteral("Add"), frame);
    auto* clear = new QPushButton(clearCaption, frame);
    for (QPushButton* b : {add, clear}) b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("Add")) + 24);
    f.list = new QListWidget(frame);
    f.list->setToolTip(listTip);
    f.list->setFixedHeight(f.list->fontMetrics().height() * 3 + 8);
    f.list->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto arrow = [frame](Qt::ArrowType type, const QString& tip) {
        auto* b = new QToolButton(frame);
        b->setArrowType(type);
        b->setToolTip(tip);
        b->setAutoRaise(true);
        return b;
    };
    auto* up = arrow(Qt::UpArrow, QStringLiteral("Move up"));
    auto* down = arrow(Qt::DownArrow, QStringLiteral("Move down"));
    auto* remove = new QToolButton(frame);
    remove->setText(QStringLiteral("\u2715"));
    remove->setToolTip(QStringLiteral("Remove"));
    remove->setAutoRaise(true);
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    arrows->addWidget(up);
    arrows->addWidget(down);
    arrows->addWidget(remove);
    arrows->addStretch(1);
    view::frameKeyFocuses(frame, f.box);
    grid->addWidget(f.box, 0, 0);
    grid->addWidget(add, 0, 1);
    grid->addWidget(clear, 0, 2);
    grid->addWidget(f.list, 1, 0, 1, 3);
    grid->addLayout(arrows, 1, 3);
    grid->setColumnStretch(0, 1);

    auto& c = m_controller;
    connect(f.box, &QComboBox::editTextChanged, this, [&c, which](const QString& t) { c.setListText(which, t); });
    // Only a row the player selected counts: a list that takes the focus makes its first row
    // current without selecting it, and that must not arm the move and remove buttons.
    connect(f.list, &QListWidget::itemSelectionChanged, this, [&c, which, list = f.list] {
        const QList<QListWidgetItem*> selected = list->selectedItems();
        c.selectListEntry(which, selected.isEmpty() ? -1 : list->row(selected.constFirst()));
    });
    connect(add, &QPushButton::clicked, this, [&c, which] { c.addToList(which); });
    connect(clear, &QPushButton::clicked, this, [&c, which] { c.clearList(which); });
    connect(up, &QToolButton::clicked, this, [&c, which] { c.moveUpInList(which); });
    connect(down, &QToolButton::clicked, this, [&c, which] { c.moveDownInList(which); });
    connect(remove, &QToolButton::clicked, this, [&c, which] { c.removeFromList(which); });
    view::acceptFileDrops(
        frame, [which](const QStringList& files) { return PlayOptionsController::takesDroppedFiles(which, files); },
        [&c, which](const QStringList& files) { c.addDroppedFiles(which, files); });
    return frame;
}

QGroupBox* PlayOptionsPage::buildMultiplayerFrames(QWidget* parent, QGroupBox*& hostJoin, QGroupBox*& other)
{
    auto* modes = new QGroupBox(QStringLiteral("Multiplayer Options"), parent);
    auto* modeGrid = new QGridLayout(modes);
    auto radio = [](const QString& caption, const QString& tip, QWidget* owner) {
        auto* r = new QRadioButton(caption, owner);
        r->setToolTip(tip);
        return r;
    };
    m_sp = radio(QStringLiteral("&Single player"), QStringLiteral("Play a single player game"), modes);
    m_coop = radio(QStringLiteral("&Co-operative game"), QStringLiteral("Play a co-operative game"), modes);
    m_deathmatch = radio(QStringLiteral("&Deathmatch"), QStringLiteral("Play a deathmatch game"), modes);
    m_altdeath = radio(QStringLiteral("&Altdeath"), QStringLiteral("Play a deathmatch II game (altdeath)"), modes);
    auto* modeGroup = new QButtonGroup(modes);
    for (QRadioButton* r : {m_sp, m_coop, m_deathmatch, m_altdeath}) modeGroup->addButton(r);
    modeGrid->addWidget(m_sp, 0, 0);
    modeGrid->addWidget(m_coop, 0, 1);
    modeGrid->addWidget(m_deathmatch, 1, 0);
    modeGrid->addWidget(m_altdeath, 1, 1);

    hostJoin = new QGroupBox(QStringLiteral("Host or join game"), parent);
    auto* hostGrid = new QGridLayout(hostJoin);
    m_host = radio(QStringLiteral("H&ost game"), QStringLiteral("Host a mulitplayer game"), hostJoin);
    m_join = radio(QStringLiteral("&Join game (enter IP address)"), QStringLiteral("Join a game"), hostJoin);
    auto* hostGroup = new QButtonGroup(hostJoin);
    hostGroup->addButton(m_host);
    hostGroup->addButton(m_join);
    m_hostPlayers = numberBox(QStringLiteral("Number of players playing (type 1 to play a bot game)"), hostJoin);
    m_joinAddress = view::historyCombo(hostJoin, QStringLiteral("The host's IP address"), 8);
    view::lazyRows(m_joinAddress, [this] { return m_histories.shown(History::Join); });
    hostGrid->addWidget(m_host, 0, 0);
    hostGrid->addWidget(m_hostPlayers, 0, 1, Qt::AlignLeft);
    hostGrid->addWidget(m_join, 1, 0, 1, 2);
    hostGrid->addWidget(m_joinAddress, 2, 0, 1, 2);
    hostGrid->setColumnStretch(1, 1);

    other = new QGroupBox(QStringLiteral("Other Multiplayer Options"), parent);
    auto* otherGrid = new QGridLayout(other);
    m_extratic = new QCheckBox(QStringLiteral("S&end backup copy of data"), other);
    m_extratic->setToolTip(QStringLiteral("Causes ZDoom to send a backup copy of every movement command "
                                          "across the network (-EXTRATIC)"));
    m_debugFile = new QCheckBox(QStringLiteral("Ma&ke a Debug File"), other);
    m_debugFile->setToolTip(QStringLiteral("Make debug file for network games (-DEBUGFILE)"));
    m_dup = numberBox(QStringLiteral("Player movements: 1-9"), other);
    m_dup->setMaximumWidth(40);
    m_port = numberBox(QStringLiteral("Use another IP port - default 5029"), other);
    auto* dupLabel = new QLabel(QStringLiteral("-D&UP"), other);
    dupLabel->setBuddy(m_dup);
    auto* portLabel = new QLabel(QStringLiteral("-PORT"), other);
    portLabel->setBuddy(m_port);
    otherGrid->addWidget(m_extratic, 0, 0);
    otherGrid->addWidget(dupLabel, 0, 1);
    otherGrid->addWidget(m_dup, 0, 2);
    otherGrid->addWidget(m_debugFile, 1, 0);
    otherGrid->addWidget(portLabel, 1, 1);
    otherGrid->addWidget(m_port, 1, 2);
    otherGrid->setColumnStretch(0, 1);

    auto& c = m_controller;
    connect(m_sp, &QRadioButton::clicked, this, [&c] { c.optSP_Click(); });
    connect(m_coop, &QRadioButton::clicked, this, [&c] { c.selectCoop(); });
    connect(m_deathmatch, &QRadioButton::clicked, this, [&c] { c.selectDeathmatch(); });
    connect(m_altdeath, &QRadioButton::clicked, this, [&c] { c.selectAltdeath(); });
    connect(m_host, &QRadioButton::clicked, this, [&c] { c.selectHost(); });
    connect(m_join, &QRadioButton::clicked, this, [&c] { c.selectJoin(); });
    connect(m_hostPlayers, &QLineEdit::textEdited, this, [&c](const QString& t) { c.setHostPlayers(t); });
    connect(m_joinAddress, &QComboBox::editTextChanged, this, [&c](const QString& t) { c.setJoinAddress(t); });
    connect(m_extratic, &QCheckBox::stateChanged, this, [&c](int s) { c.setExtratic(view::checkValue(s)); });
    connect(m_debugFile, &QCheckBox::stateChanged, this, [&c](int s) { c.setDebugFile(view::checkValue(s)); });
    connect(m_dup, &QLineEdit::textEdited, this, [&c](const QString& t) { c.setDup(t); });
    connect(m_port, &QLineEdit::textEdited, this, [&c](const QString& t) { c.setPort(t); });
    return modes;
}

bool PlayOptionsPage::eventFilter(QObject* watched, QEvent* event)
{
    // The lower bound applies when the player moves on to another control of the program,
    // not when a menu opens over the box or another window is brought to the front.
    if (watched == m_turbo && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason && reason != Qt::ActiveWindowFocusReason)
            m_controller.leaveTurbo();
    }
    return QWidget::eventFilter(watched, event);
}

void PlayOptionsPage::redraw()
{
    const LaunchProfile& p = m_session.profile();
    view::setChoice(m_game, catalog::gameNames(), p.cmbGame);
    view::setList(m_maps, p.lstMapRows, p.lstMap);
    view::setText(m_other, p.txtOther);
    view::setChoice(m_skill, p.cmbSkillRows, p.cmbSkill);
    const bool maps = m_controller.mapControlsEnabled();
    m_mapLabel->setEnabled(maps);
    m_maps->setEnabled(maps);
    m_random->setEnabled(maps);
    m_otherLabel->setEnabled(m_controller.otherMapEnabled());
    m_other->setEnabled(m_controller.otherMapEnabled());

    view::setHistory(m_wads.box, p.txtPWAD);
    view::setList(m_wads.list, p.lstPWAD, p.lstPWADIndex);
    view::setHistory(m_patches.box, p.txtDeh);
    view::setList(m_patches.list, p.lstDeh, p.lstDehIndex);

    view::setOption(m_sp, p.optSP);
    view::setOption(m_coop, p.optCoop);
    view::setOption(m_deathmatch, p.optDeathmatch);
    view::setOption(m_altdeath, p.optAltdeath);
    view::setOption(m_host, p.optHost);
    view::setOption(m_join, p.optJoin);
    m_hostJoin->setEnabled(m_controller.hostJoinEnabled());
    m_hostPlayers->setEnabled(m_controller.hostPlayersEnabled());
    m_joinAddress->setEnabled(m_controller.joinAddressEnabled());
    view::setText(m_hostPlayers, p.txtHost);
    view::setHistory(m_joinAddress, p.txtJoin);
    view::setChecked(m_extratic, p.chkExtratic);
    view::setChecked(m_debugFile, p.chkDEBUGFILE);
    view::setText(m_dup, p.txtDUP);
    view::setText(m_port, p.txtPORT);

    view::setChecked(m_monsters, p.chkNomonsters);
    view::setChecked(m_fast, p.chkFast);
    view::setChecked(m_respawn, p.chkRespawn);
    m_fast->setEnabled(m_controller.monsterOptionsEnabled());
    m_respawn->setEnabled(m_controller.monsterOptionsEnabled());
    view::setText(m_timer, p.txtTimer);
    view::setText(m_turbo, p.txtTurbo);
}

} // namespace tarnwick
