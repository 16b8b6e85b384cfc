#include "editors/bots/bot_editor_dialog.h"

#include "editors/bots/bot_roster.h"

#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

using Skill = BotEditorController::Skill;
using Channel = BotEditorController::Channel;

constexpr std::array<Skill, 4> kSkills{{Skill::Aiming, Skill::Perfection, Skill::Reaction, Skill::Isp}};
constexpr std::array<const char*, 4> kSliderNames{{"slAiming", "slPerfection", "slReaction", "slISP"}};
constexpr std::array<Channel, 3> kChannels{{Channel::Red, Channel::Green, Channel::Blue}};
constexpr std::array<const char*, 3> kChannelNames{{"hsRed", "hsGreen", "hsBlue"}};

// The pop-up menu of weapons: object name and caption, in weapon-digit order.
struct WeaponItem
{
    const char* objectName;
    const char* caption;
};
constexpr std::array<WeaponItem, 9> kWeaponItems{{
    {"mnuFists", "&Fists"}, {"mnuChainsaw", "&Chainsaw"}, {"mnuPistol", "&Pistol"},
    {"mnuShotgun", "&Shotgun"}, {"mnuSS", "S&uper shotgun"}, {"mnuChaingun", "Chain&gun"},
    {"mnuRL", "&Rocket launcher"}, {"mnuPR", "P&lasme rifle"}, {"mnuBFG", "&BFG 9000"},
}};

template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// Buttons in this window never act on Return: a Return typed in the skin box must not
// close the editor.
QPushButton* button(const QString& caption, const char* name, QWidget* parent)
{
    auto* b = named(new QPushButton(caption, parent), name);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

// Keeps a widget whose caption follows the model from changing width as it does.
void reserveWidthFor(QWidget* widget, const QString& widestCaption)
{
    const QString shown = widget->property("text").toString();
    widget->setProperty("text", widestCaption);
    widget->setMinimumWidth(widget->sizeHint().width());
    widget->setProperty("text", shown);
}

} // namespace

BotEditorDialog::BotEditorDialog(BotEditorController& controller, QWidget* parent)
    : QDialog(parent), m_controller(controller)
{
    setWindowTitle(QStringLiteral("ZDoom Cajun Bot Editor"));
    setObjectName(QStringLiteral("frmBot"));
    setModal(true);
    buildWidgets();
    buildLayout();
    connectWidgets();
    m_controller.load();
    redraw();
}

void BotEditorDialog::buildWidgets()
{
    m_nameLabel = named(new QLabel(QStringLiteral("&Bot name:"), this), "lblName");
    m_names = named(new QComboBox(this), "cmbName");
    m_names->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_names->setMinimumContentsLength(BotEditorController::kNameLength);
    m_nameLabel->setBuddy(m_names);

    m_add = button(QStringLiteral("Add"), "cmdAdd", this);
    m_remove = button(QStringLiteral("Re&move"), "cmdRemove", this);
    m_rename = button(QStringLiteral("Re&name"), "cmdRename", this);
    m_resetBot = button(QStringLiteral("Re&set"), "cmdResetBot", this);
    m_resetAll = button(QStringLiteral("R&eset all"), "cmdResetAll", this);
    m_close = button(QStringLiteral("&Close"), "cmdClose", this);
    reserveWidthFor(m_resetBot, QStringLiteral("Re&set Hellkeeper"));

    static constexpr std::array<const char*, 4> labelNames{{"lblAiming", "lblPerfection", "lblReaction", "lblISP"}};
    for (size_t i = 0; i < m_sliders.size(); ++i) {
        auto* slider = named(new QSlider(Qt::Horizontal, this), kSliderNames[i]);
        slider->setRange(0, BotEditorController::kSkillMax);
        slider->setPageStep(5);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setTickInterval(10);
        auto* label = named(new QLabel(this), labelNames[i]);
        label->setBuddy(slider);
        m_sliders[i] = slider;
        m_sliderLabels[i] = label;
    }
    reserveWidthFor(m_sliderLabels[1], QStringLiteral("&Perfection (100):"));

    m_skinLabel = named(new QLabel(QStringLiteral("&Skin:"), this), "lblSkin");
    m_skin = named(new QLineEdit(this), "txtSkin");
    m_skin->setMaxLength(BotEditorController::kSkinLength);
    m_skinLabel->setBuddy(m_skin);
    m_skin->installEventFilter(this);

    static constexpr std::array<const char*, 3> channelLabelNames{{"lblRed", "lblGreen", "lblBlue"}};
    for (size_t i = 0; i < m_channels.size(); ++i) {
        auto* bar = named(new QScrollBar(Qt::Horizontal, this), kChannelNames[i]);
        bar->setRange(0, BotEditorController::kChannelMax);
        bar->setSingleStep(16);
        bar->setPageStep(16);
        bar->setMinimumWidth(160);
        auto* label = named(new QLabel(this), channelLabelNames[i]);
        label->setBuddy(bar);
        m_channels[i] = bar;
        m_channelLabels[i] = label;
    }
    reserveWidthFor(m_channelLabels[1], QStringLiteral("&Green (FF):"));
    m_preview = named(new QFrame(this), "picPC");
    m_preview->setFrameShape(QFrame::Box);
    m_preview->setAutoFillBackground(true);
    m_preview->setMinimumSize(48, 48);

    m_weapons = named(new QListWidget(this), "lstWP");
    m_weapons->setSelectionMode(QAbstractItemView::SingleSelection);
    m_weapons->addItems(m_controller.weapons());
    const int rowHeight = m_weapons->sizeHintForRow(0);
    m_weapons->setFixedHeight(rowHeight * BotEditorController::kWeaponRows + 2 * m_weapons->frameWidth() + 4);
    m_weapons->setMinimumWidth(m_weapons->sizeHintForColumn(0) + 2 * m_weapons->frameWidth() + 24);

    m_up = named(new QToolButton(this), "cmdUp");
    m_up->setArrowType(Qt::UpArrow);
    m_up->setAccessibleName(QStringLiteral("Move up"));
    m_down = named(new QToolButton(this), "cmdDown");
    m_down->setArrowType(Qt::DownArrow);
    m_down->setAccessibleName(QStringLiteral("Move down"));
    m_replaceWith = button(QStringLiteral("Replace &with:"), "cmdRW", this);

    m_weaponMenu = named(new QMenu(this), "mnuHid");
    for (size_t digit = 0; digit < kWeaponItems.size(); ++digit) {
        QAction* action = m_weaponMenu->addAction(QLatin1String(kWeaponItems[digit].caption));
        action->setObjectName(QLatin1String(kWeaponItems[digit].objectName));
        const QString weapon = roster::weaponName(int(digit));
        connect(action, &QAction::triggered, this, [this, weapon] { m_controller.MenuReplace(weapon); });
    }
}

void BotEditorDialog::buildLayout()
{
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_nameLabel);
    nameRow->addWidget(m_names, 1);

    auto* skills = new QVBoxLayout;
    for (size_t i = 0; i < m_sliders.size(); ++i) {
        skills->addWidget(m_sliderLabels[i]);
        skills->addWidget(m_sliders[i]);
    }
    auto* skinRow = new QHBoxLayout;
    skinRow->addWidget(m_skinLabel);
    skinRow->addWidget(m_skin, 1);
    skills->addLayout(skinRow);
    skills->addStretch(1);

    auto* colourBox = named(new QGroupBox(QStringLiteral("Bot Colour"), this), "fraBC");
    auto* colourGrid = new QGridLayout(colourBox);
    for (int i = 0; i < int(m_channels.size()); ++i) {
        colourGrid->addWidget(m_channelLabels[size_t(i)], i, 0);
        colourGrid->addWidget(m_channels[size_t(i)], i, 1);
    }
    colourGrid->addWidget(m_preview, 0, 2, 3, 1);

    auto* weaponBox = named(new QGroupBox(QStringLiteral("Weapon Preference"), this), "fraWP");
    auto* weaponGrid = new QGridLayout(weaponBox);
    auto* arrows = new QVBoxLayout;
    arrows->addStretch(1);
    arrows->addWidget(m_up);
    arrows->addWidget(m_down);
    arrows->addStretch(1);
    weaponGrid->addWidget(m_weapons, 0, 0);
    weaponGrid->addLayout(arrows, 0, 1);
    weaponGrid->addWidget(m_replaceWith, 1, 0, 1, 2, Qt::AlignLeft);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {m_add, m_remove, m_rename, m_resetBot, m_resetAll})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(m_close);

    auto* right = new QVBoxLayout;
    right->addWidget(colourBox);
    right->addWidget(weaponBox, 1);

    auto* body = new QHBoxLayout;
    body->addLayout(skills, 1);
    body->addLayout(right);

    auto* left = new QVBoxLayout;
    left->addLayout(nameRow);
    left->addLayout(body, 1);

    auto* main = new QHBoxLayout(this);
    main->addLayout(left, 1);
    main->addLayout(buttons);
    // The window takes the size its contents ask for, so no caption is ever cut.
    main->setSizeConstraint(QLayout::SetFixedSize);
}

void BotEditorDialog::connectWidgets()
{
    connect(&m_controller, &BotEditorController::changed, this, &BotEditorDialog::redraw);

    connect(m_names, &QComboBox::activated, &m_controller, &BotEditorController::selectBot);
    connect(m_add, &QPushButton::clicked, &m_controller, &BotEditorController::add);
    connect(m_remove, &QPushButton::clicked, &m_controller, &BotEditorController::remove);
    connect(m_rename, &QPushButton::clicked, &m_controller, &BotEditorController::rename);
    connect(m_resetBot, &QPushButton::clicked, &m_controller, &BotEditorController::resetBot);
    connect(m_resetAll, &QPushButton::clicked, &m_controller, &BotEditorController::resetAll);
    connect(m_close, &QPushButton::clicked, this, &BotEditorDialog::closeWithSave);

    for (size_t i = 0; i < m_sliders.size(); ++i) {
        const Skill skill = kSkills[i];
        connect(m_sliders[i], &QSlider::valueChanged, this,
                [this, skill](int value) { m_controller.setSkill(skill, value); });
    }
    for (size_t i = 0; i < m_channels.size(); ++i) {
        const Channel channel = kChannels[i];
        connect(m_channels[i], &QScrollBar::valueChanged, this,
                [this, channel](int value) { m_controller.setChannel(channel, value); });
    }
    connect(m_skin, &QLineEdit::textEdited, &m_controller, &BotEditorController::setSkin);

    connect(m_weapons, &QListWidget::currentRowChanged, &m_controller, &BotEditorController::selectWeaponRow);
    connect(m_up, &QToolButton::clicked, &m_controller, &BotEditorController::moveWeaponUp);
    connect(m_down, &QToolButton::clicked, &m_controller, &BotEditorController::moveWeaponDown);
    connect(m_replaceWith, &QPushButton::clicked, this, [this] { m_weaponMenu->popup(QCursor::pos()); });
}

bool BotEditorDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_skin && event->type() == QEvent::FocusOut) m_controller.leaveSkin();
    return QDialog::eventFilter(watched, event);
}

void BotEditorDialog::closeWithSave()
{
    if (m_controller.close()) accept();
}

void BotEditorDialog::redraw()
{
    const BotEditorController& c = m_controller;

    if (m_shownNames != c.names()) {
        const QSignalBlocker block(m_names);
        m_names->clear();
        m_names->addItems(c.names());
        m_shownNames = c.names();
    }
    if (m_names->currentIndex() != c.curBot()) {
        const QSignalBlocker block(m_names);
        m_names->setCurrentIndex(c.curBot());
    }
    m_resetBot->setText(c.resetBotCaption());
    m_resetBot->setEnabled(c.resetBotEnabled());

    for (size_t i = 0; i < m_sliders.size(); ++i) {
        if (m_sliders[i]->value() != c.skill(kSkills[i])) {
            const QSignalBlocker block(m_sliders[i]);
            m_sliders[i]->setValue(c.skill(kSkills[i]));
        }
        m_sliderLabels[i]->setText(c.skillCaption(kSkills[i]));
    }
    if (m_skin->text() != c.skin()) {
        const QSignalBlocker block(m_skin);
        m_skin->setText(c.skin());
    }

    for (size_t i = 0; i < m_channels.size(); ++i) {
        if (m_channels[i]->value() != c.channel(kChannels[i])) {
            const QSignalBlocker block(m_channels[i]);
            m_channels[i]->setValue(c.channel(kChannels[i]));
        }
        m_channelLabels[i]->setText(c.channelCaption(kChannels[i]));
    }
    QPalette palette = m_preview->palette();
    palette.setColor(QPalette::Window,
                     QColor(c.channel(Channel::Red), c.channel(Channel::Green), c.channel(Channel::Blue)));
    m_preview->setPalette(palette);

    {
        const QSignalBlocker block(m_weapons);
        const QStringList& rows = c.weapons();
        for (int row = 0; row < rows.size() && row < m_weapons->count(); ++row)
            if (m_weapons->item(row)->text() != rows.at(row)) m_weapons->item(row)->setText(rows.at(row));
        if (m_weapons->currentRow() != c.weaponRow()) m_weapons->setCurrentRow(c.weaponRow());
    }
    m_up->setEnabled(c.upEnabled());
    m_down->setEnabled(c.downEnabled());
}

} // namespace tarnwick
