#include "pages/game/game_options_page.h"

#include "formats/savegame_scan.h"
#include "launch/launch_session.h"
#include "pages/game/game_options_controller.h"
#include "pages/game/iwad_locations.h"
#include "pages/game/save_wads.h"
#include "settings/history.h"
#include "base/qt_file_drops.h"
#include "base/qt_view_sync.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

QPushButton* browseButton(QWidget* parent, const QString& caption = QStringLiteral("..."))
{
    auto* b = new QPushButton(caption, parent);
    b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    return b;
}

} // namespace

GameOptionsPage::GameOptionsPage(LaunchSession& session, GameOptionsController& controller,
                                 Histories& histories, IwadLocations& iwads, SaveWads& saveWads,
                                 QWidget* parent)
    : QWidget(parent), m_session(session), m_controller(controller), m_histories(histories),
      m_saveWads(saveWads)
{
    setWindowTitle(QStringLiteral("1: Game Options"));
    decodePictureAhead();
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(6);

    // The frames stand top to bottom in reading order, and each control is made in its frame
    // in that order, so Tab follows what the eye reads: every "..." right after its box.
    auto* locations = new QGroupBox(QStringLiteral("ZDoom Locations"), this);
    auto* locGrid = new QGridLayout(locations);
    auto* exeLabel = new QLabel(QStringLiteral("ZDoom E&XE location:"), locations);
    m_exe = historyBox(locations, History::ZEXE, QStringLiteral("Location of ZDoom.exe"));
    auto* browseExe = browseButton(locations);
    auto* folderLabel = new QLabel(QStringLiteral("ZDoom &folder:"), locations);
    m_folder = historyBox(locations, History::ZFolder, QStringLiteral("The ZDoom folder"));
    auto* browseFolder = browseButton(locations);
    exeLabel->setBuddy(m_exe);
    folderLabel->setBuddy(m_folder);
    locGrid->addWidget(exeLabel, 0, 0);
    locGrid->addWidget(m_exe, 0, 1);
    locGrid->addWidget(browseExe, 0, 2);
    locGrid->addWidget(folderLabel, 1, 0);
    locGrid->addWidget(m_folder, 1, 1);
    locGrid->addWidget(browseFolder, 1, 2);
    locGrid->setColumnStretch(1, 1);
    layout->addWidget(locations);
    m_folder->installEventFilter(this);
    m_folder->lineEdit()->installEventFilter(this);

    // A frame holding one history box and its "...".
    auto fileFrame = [this, layout](const QString& caption, History list, const QString& tooltip, QComboBox*& box) {
        auto* frame = new QGroupBox(caption, this);
        auto* row = new QHBoxLayout(frame);
        box = historyBox(frame, list, tooltip);
        auto* browse = browseButton(frame);
        row->addWidget(box, 1);
        row->addWidget(browse);
        layout->addWidget(frame);
        view::frameKeyFocuses(frame, box);
        return std::pair{frame, browse};
    };
    auto* browseIni = fileFrame(QStringLiteral("&Configuration File"), History::Config,
                                QStringLiteral("A different configuration file; if not zdoom.ini"), m_ini).second;

    // The game WAD with its menu of stored locations.
    auto [iwadFrame, browseIwad] = fileFrame(QStringLiteral("Game WAD F&ile"), History::IWAD,
                                             QStringLiteral("The IWAD file used by ZDoom"), m_iwad);
    auto* iwadMenuButton = new QPushButton(QStringLiteral("Game &WADs"), iwadFrame);
    iwadMenuButton->setToolTip(QStringLiteral("Click here to quickly get the IWAD locations.  This "
                                              "will also set the game on Form 2"));
    auto* locButton = new QPushButton(QStringLiteral("Game WAD &locations..."), iwadFrame);
    auto* iwadRow = static_cast<QHBoxLayout*>(iwadFrame->layout());
    iwadRow->addWidget(iwadMenuButton);
    iwadRow->addWidget(locButton);
    auto* iwadMenu = new QMenu(iwadMenuButton);
    for (const IwadRecord& record : kIwadRecords) {
        const QString name = QString::fromLatin1(record.name);
        const int game = record.game;
        iwadMenu->addAction(QString::fromLatin1(record.menuCaption),
                            [&iwads, name, game] { iwads.IWADMenu(name, game); });
    }
    connect(iwadMenuButton, &QPushButton::clicked, this,
            [iwadMenu, iwadMenuButton] { iwadMenu->popup(iwadMenuButton->mapToGlobal(QPoint(0, iwadMenuButton->height()))); });
    connect(locButton, &QPushButton::clicked, this, &GameOptionsPage::locationsRequested);

    auto* browseParm = fileFrame(QStringLiteral("&Parameter File"), History::Parm,
                                 QStringLiteral("The file with a list of parameters to be used by ZDoom"), m_parm).second;

    // Demos.
    auto* demoFrame = new QGroupBox(QStringLiteral("Demo Options"), this);
    auto* demoGrid = new QGridLayout(demoFrame);
    m_demos = new QCheckBox(QStringLiteral("&Use demos:"), demoFrame);
    m_demos->setToolTip(QStringLiteral("Play or record a demo"));
    m_play = new QRadioButton(QStringLiteral("Pla&y demo"), demoFrame);
    m_play->setToolTip(QStringLiteral("Play a demo file"));
    m_record = new QRadioButton(QStringLiteral("R&ecord demo"), demoFrame);
    m_record->setToolTip(QStringLiteral("Record a new demo file"));
    auto* demoGroup = new QButtonGroup(demoFrame);
    demoGroup->addButton(m_play);
    demoGroup->addButton(m_record);
    m_timeDemo = new QCheckBox(QStringLiteral("&Time demo"), demoFrame);
    m_timeDemo->setToolTip(QStringLiteral("Plays a demo back faster than -PLAYDEMO and displays "
                                          "the framerate when the demo is over"));
    m_maxDemoLabel = new QLabel(QStringLiteral("&Max demo:"), demoFrame);
    m_maxDemo = new QLineEdit(demoFrame);
    m_maxDemo->setToolTip(QStringLiteral("Maximum demo size in KB"));
    m_maxDemo->setMaximumWidth(80);
    m_maxDemoLabel->setBuddy(m_maxDemo);
    m_demoLabel = new QLabel(QStringLiteral("&Demo file:"), demoFrame);
    m_demoFile = historyBox(demoFrame, History::Demo, QStringLiteral("The demo file"));
    m_demoLabel->setBuddy(m_demoFile);
    m_browseDemo = browseButton(demoFrame);
    auto* modes = new QHBoxLayout;
    modes->addWidget(m_demos);
    modes->addWidget(m_play);
    modes->addWidget(m_record);
    modes->addStretch(1);
    modes->addWidget(m_timeDemo);
    modes->addWidget(m_maxDemoLabel);
    modes->addWidget(m_maxDemo);
    demoGrid->addLayout(modes, 0, 0, 1, 3);
    demoGrid->addWidget(m_demoLabel, 1, 0);
    demoGrid->addWidget(m_demoFile, 1, 1);
    demoGrid->addWidget(m_browseDemo, 1, 2);
    demoGrid->setColumnStretch(1, 1);
    layout->addWidget(demoFrame);

    // Save games with the picture of the chosen one beside the list.
    auto* loadFrame = new QGroupBox(QStringLiteral("Load &Game"), this);
    auto* loadRow = new QHBoxLayout(loadFrame);
    m_saves = new QTreeWidget(loadFrame);
    m_saves->setRootIsDecorated(false);
    m_saves->setUniformRowHeights(true);
    m_saves->setAlternatingRowColors(true);
    m_saves->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Game WAD"), QStringLiteral("Map WAD"),
                              QStringLiteral("Map"), QStringLiteral("Created"),
                              QStringLiteral("Map Name and Time"), QStringLiteral("ZDoom Version"),
                              QStringLiteral("Save Version")});
    m_saves->header()->setDefaultSectionSize(110);
    m_saves->setColumnWidth(0, 150);
    m_saves->setMinimumHeight(110);
    m_saves->setContextMenuPolicy(Qt::CustomContextMenu);
    m_picture = new QLabel(QStringLiteral("No picture to display"), loadFrame);
    m_picture->setFixedSize(kPictureSize);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setWordWrap(true);
    m_picture->setFrameShape(QFrame::StyledPanel);
    loadRow->addWidget(m_saves, 1);
    view::frameKeyFocuses(loadFrame, m_saves);
    loadRow->addWidget(m_picture, 0, Qt::AlignTop);
    layout->addWidget(loadFrame, 1);

    // Page buttons.
    auto* buttons = new QHBoxLayout;
    m_resetLocations = new QCheckBox(QStringLiteral("Re&set ZDoom Locations"), this);
    m_resetLocations->setToolTip(QStringLiteral("Reset ZDoom locations when Reset is pressed"));
    buttons->addWidget(m_resetLocations);
    buttons->addStretch(1);
    view::addPageButtons(this, buttons, [this] { m_controller.reset(); }, [this] { emit hideRequested(); });
    layout->addLayout(buttons);

    // Forward the player's actions.
    auto& c = m_controller;
    connect(m_exe, &QComboBox::editTextChanged, this, [&c](const QString& t) { c.setExe(t); });
    connect(m_folder, &QComboBox::editTextChanged, this, [&c](const QString& t) { c.setFolder(t); });
    connect(m_folder, &QComboBox::activated, this, [&c] { c.rescanSaveGames(); });
    connect(m_ini, &QComboBox::editTextChanged, this, [&c](const QString& t) { c.setIni(t); });
    connect(m_iwad, &QComboBox::editTextChanged, this, [&c](const QString& t) { c.setIwad(t); });
    connect(m_parm, &QComboBox::editTextChanged, this, [&c](const QString& t) { c.setParm(t); });
    connect(m_demoFile, &QComboBox::editTextChanged, this, [&c](const QString& t) { c.setDemoFile(t); });
    view::acceptFileDrops(m_demoFile, &GameOptionsController::takesDroppedDemo,
                          [&c](const QStringList& files) { c.dropDemo(files); });
    connect(m_maxDemo, &QLineEdit::textEdited, this, [&c](const QString& t) { c.setMaxDemo(t); });
    connect(m_demos, &QCheckBox::stateChanged, this, [&c](int s) { c.setDemos(view::checkValue(s)); });
    connect(m_timeDemo, &QCheckBox::stateChanged, this, [&c](int s) { c.setTimeDemo(view::checkValue(s)); });
    connect(m_resetLocations, &QCheckBox::stateChanged, this,
            [&c](int s) { c.setResetLocations(view::checkValue(s)); });
    connect(m_play, &QRadioButton::clicked, this, [&c] { c.selectPlayDemo(); });
    connect(m_record, &QRadioButton::clicked, this, [&c] { c.selectRecordDemo(); });
    connect(browseExe, &QPushButton::clicked, this, [&c] { c.browseExe(); });
    connect(browseFolder, &QPushButton::clicked, this, [&c] { c.browseFolder(); });
    connect(browseIni, &QPushButton::clicked, this, [&c] { c.browseIni(); });
    connect(browseIwad, &QPushButton::clicked, this, [&c] { c.browseIwad(); });
    connect(browseParm, &QPushButton::clicked, this, [&c] { c.browseParm(); });
    connect(m_browseDemo, &QPushButton::clicked, this, [&c] { c.browseDemo(); });
    connect(m_saves, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        m_controller.chooseSaveGame(m_saves->indexOfTopLevelItem(item) + 1);
    });
    connect(m_saves, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item) m_controller.chooseSaveGame(m_saves->indexOfTopLevelItem(item) + 1);
    });

    connect(m_saves, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QTreeWidgetItem* item = m_saves->itemAt(pos);
        if (!item) item = m_saves->currentItem();
        const int row = m_saves->indexOfTopLevelItem(item) + 1;
        if (row < 2) return;
        QMenu menu(this);
        QAction* use = menu.addAction(QStringLiteral("Use this save's WADs"));
        use->setEnabled(!m_saveWads.difference(row).isEmpty());
        if (menu.exec(m_saves->viewport()->mapToGlobal(pos)) == use) m_saveWads.useSaveWads(row);
    });

    connect(&m_session, &LaunchSession::changed, this, &GameOptionsPage::redraw);
    connect(&m_histories, &Histories::changed, this, &GameOptionsPage::redrawHistories);
    view::compactFrames(this);
    redraw();
}

QComboBox* GameOptionsPage::historyBox(QWidget* parent, History list, const QString& tooltip)
{
    auto* box = view::historyCombo(parent, tooltip, 12);
    view::lazyRows(box, [this, list] { return m_histories.shown(list); });
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return box;
}

bool GameOptionsPage::eventFilter(QObject* watched, QEvent* event)
{
    // The folder box appends what is typed, wherever the caret was. Keys reach the combo
    // box, which hands them on to its text, so both are watched. The completion's offer
    // is the selected rest of the text: a key replaces it, which is the end already.
    if ((watched == m_folder || watched == m_folder->lineEdit()) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        QLineEdit* edit = m_folder->lineEdit();
        const QCompleter* completer = m_folder->completer();
        const bool offerAtEnd = completer && edit->hasSelectedText() && edit->selectionStart() > 0 &&
                                edit->selectionStart() + edit->selectedText().size() == edit->text().size() &&
                                completer->completionPrefix() == edit->text().left(edit->selectionStart());
        if (GameOptionsController::folderKeyMovesCaretToEnd(key->key()) && !offerAtEnd) edit->end(false);
    }
    return QWidget::eventFilter(watched, event);
}

void GameOptionsPage::redrawHistories()
{
    const LaunchProfile& p = m_session.profile();
    view::setHistory(m_exe, p.txtEXE);
    view::setHistory(m_folder, p.txtFol);
    view::setHistory(m_ini, p.txtINI);
    view::setHistory(m_iwad, p.txtIWAD);
    view::setHistory(m_parm, p.txtParm);
    view::setHistory(m_demoFile, p.txtLMP);
}

void GameOptionsPage::redrawSaveGames()
{
    const LaunchProfile& p = m_session.profile();
    const QSignalBlocker block(m_saves);
    bool same = m_saves->topLevelItemCount() == p.lvwLGRows.size();
    for (int i = 0; same && i < p.lvwLGRows.size(); ++i)
        for (int col = 0; same && col < 8; ++col)
            same = m_saves->topLevelItem(i)->text(col) == p.lvwLGRows.at(i).cells[col];
    if (!same) {
        m_saves->clear();
        QList<QTreeWidgetItem*> items;
        for (const SaveGameRow& row : p.lvwLGRows) {
            QStringList cells(row.cells.begin(), row.cells.end());
            items.append(new QTreeWidgetItem(cells));
        }
        m_saves->addTopLevelItems(items);
    }
    // Saves made with other WADs carry a warning mark and say what differs.
    for (int i = 1; i < m_saves->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_saves->topLevelItem(i);
        const QString difference = m_saveWads.difference(i + 1);
        if (item->toolTip(0) == difference && !item->icon(0).isNull()) continue;
        // Unmarked rows keep an empty icon of the same size, so the names stay in one column.
        // The style looks its icon up in the desktop's icon theme, which is slow: once, and
        // only when a row needs the mark.
        const QSize side = m_saves->iconSize().isValid() ? m_saves->iconSize() : QSize(16, 16);
        if (m_blankIcon.isNull()) {
            QPixmap blank(side);
            blank.fill(Qt::transparent);
            m_blankIcon = QIcon(blank);
        }
        if (!difference.isEmpty() && m_warningIcon.isNull())
            m_warningIcon = QIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(side));
        item->setIcon(0, difference.isEmpty() ? m_blankIcon : m_warningIcon);
        // A new row has no tooltip, which is what an unmarked row shows.
        if (item->toolTip(0) == difference) continue;
        for (int col = 0; col < item->columnCount(); ++col) item->setToolTip(col, difference);
    }
    if (QTreeWidgetItem* item = m_saves->topLevelItem(p.lvwLG - 1); item && m_saves->currentItem() != item)
        m_saves->setCurrentItem(item);

    const QString picture = GameOptionsController::savePictureIdentity(p.wbPic);
    if (m_shownPicture != picture) {
        m_shownPicture = picture;
        std::optional<QImage> image;
        if (m_pictureAhead.valid()) {
            auto [identity, ahead] = m_pictureAhead.get();
            if (identity == picture) image = ahead;
        }
        if (!image) image = p.wbPic.isEmpty() ? QImage() : scaledPicture(readSavePicture(p.wbPic));
        if (image->isNull()) {
            m_picture->setPixmap(QPixmap());
            m_picture->setText(QStringLiteral("No picture to display"));
        } else {
            m_picture->setPixmap(QPixmap::fromImage(*image));
        }
    }
}

QImage GameOptionsPage::scaledPicture(const QByteArray& png)
{
    const QImage image = QImage::fromData(png, "PNG");
    return image.isNull() ? image : image.scaled(kPictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

void GameOptionsPage::decodePictureAhead()
{
    const std::shared_future<GameOptionsController::SavesAhead> ahead = m_controller.savesAhead();
    if (!ahead.valid()) return;
    try {
        m_pictureAhead = std::async(std::launch::async, [ahead] {
            const GameOptionsController::SavesAhead& read = ahead.get();
            return std::pair{read.pictureIdentity, read.picture.isEmpty() ? QImage() : scaledPicture(read.picture)};
        });
    } catch (const std::system_error&) {
        // No thread to spare: the picture is decoded when the list is drawn.
    }
}

void GameOptionsPage::redraw()
{
    const LaunchProfile& p = m_session.profile();
    redrawHistories();
    view::setChecked(m_demos, p.chkDemos);
    view::setOption(m_play, p.optPlay);
    view::setOption(m_record, p.optRecord);
    view::setChecked(m_timeDemo, p.chkTimedemo);
    view::setText(m_maxDemo, p.txtMaxdemo);
    view::setChecked(m_resetLocations, p.chkReset);

    const bool demos = m_controller.demoControlsEnabled();
    for (QWidget* w : {static_cast<QWidget*>(m_play), static_cast<QWidget*>(m_record),
                       static_cast<QWidget*>(m_demoLabel), static_cast<QWidget*>(m_demoFile),
                       static_cast<QWidget*>(m_browseDemo)})
        w->setEnabled(demos);
    m_timeDemo->setEnabled(m_controller.timeDemoEnabled());
    m_maxDemoLabel->setEnabled(m_controller.maxDemoEnabled());
    m_maxDemo->setEnabled(m_controller.maxDemoEnabled());
    redrawSaveGames();
}

} // namespace tarnwick
