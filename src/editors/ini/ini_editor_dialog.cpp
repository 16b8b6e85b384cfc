#include "editors/ini/ini_editor_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

using C = IniControl;

// Captions of the check boxes and of the labels beside text boxes and lists.
struct ControlCaption
{
    IniControl control;
    const char* caption;
};

constexpr ControlCaption kCaptions[] = {
    {C::txtName, "&Player name:"},
    {C::cmbGender, "Ge&nder:"},
    {C::cmbSamplerate, "S&ample rate:"},
    {C::cmbChannels, "C&hannels:"},
    {C::chkSurround, "Surr&ound sound"},
    {C::chkFreelook, "Always &mouselook"},
    {C::chkInvertmouse, "In&vert mouse"},
    {C::chkLookspring, "Loo&kspring"},
    {C::chkLookstrafe, "Looks&trafe"},
    {C::txtcm0, "Chat macro &0:"},
    {C::txtcm1, "Chat macro &1:"},
    {C::txtcm2, "Chat macro &2:"},
    {C::txtcm3, "Chat macro &3:"},
    {C::txtcm4, "Chat macro &4:"},
    {C::txtcm5, "Chat macro &5:"},
    {C::txtcm6, "Chat macro &6:"},
    {C::txtcm7, "Chat macro &7:"},
    {C::txtcm8, "Chat macro &8:"},
    {C::txtcm9, "Chat macro &9:"},
    {C::cmbCrosshair, "Cr&osshair:"},
    {C::cmbCRM, "Co&lumn render mode:"},
    {C::cmbDetail, "&Detail mode:"},
    {C::cmbScreenwipe, "Screen &wipe type:"},
    {C::cmbBlood, "Blood t&ype:"},
    {C::cmbBullet, "B&ullet puff type:"},
    {C::chkStandardmap, "Custom automap colours"},
    {C::chkOverlaymap, "O&verlay automap"},
    {C::chkRotatemap, "Rotate auto&map"},
    {C::chkRocket, "&Roc&ket trails"},
    {C::chkFuzz, "Use fu&zz effect"},
    {C::chkAttached, "Use &attached surfaces"},
    {C::chkDDPH, "Directdraw &palette hack"},
    {C::chkStretchbar, "Stretc&h status bar"},
    {C::chkShortskies, "S&tretch short skies"},
};

QString captionOf(IniControl control)
{
    for (const ControlCaption& c : kCaptions)
        if (c.control == control) return QString::fromLatin1(c.caption);
    return {};
}

bool isColourBar(IniControl control)
{
    return control == C::hsRed || control == C::hsGreen || control == C::hsBlue;
}

} // namespace

IniEditorDialog::IniEditorDialog(IniEditorController& controller, QWidget* parent)
    : QDialog(parent), m_controller(controller)
{
    setWindowTitle(QStringLiteral("ZDoom INI Editor"));
    setModal(true);

    for (const IniControlInfo& info : iniControls()) m_controls[std::size_t(info.control)] = makeControl(info.control);

    m_cmbFile = new QComboBox(this);
    m_cmbFile->setObjectName(QStringLiteral("cmbFile"));
    m_cmbFile->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_cmbGame = new QComboBox(this);
    m_cmbGame->setObjectName(QStringLiteral("cmbGame"));
    m_cmbGame->addItems(IniEditorController::games());
    auto* lblFile = new QLabel(QStringLiteral("File:"), this);
    auto* lblGame = new QLabel(QStringLiteral("Game:"), this);
    auto* top = new QHBoxLayout;
    top->addWidget(lblFile);
    top->addWidget(m_cmbFile, 1);
    top->addSpacing(12);
    top->addWidget(lblGame);
    top->addWidget(m_cmbGame);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab"));
    m_tabs->addTab(buildGeneralTab(), IniEditorController::tabCaption(0));
    m_tabs->addTab(buildMultiplayerTab(), IniEditorController::tabCaption(1));
    m_tabs->addTab(buildDisplayTab(), IniEditorController::tabCaption(2));

    m_cmdR1 = new QPushButton(this);
    m_cmdR1->setObjectName(QStringLiteral("cmdR1"));
    auto* cmdDefaults = new QPushButton(QStringLiteral("&Reset all"), this);
    cmdDefaults->setObjectName(QStringLiteral("cmdDefaults"));
    auto* cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    // Enter in a text box must not press a button: only Close saves, and only on purpose.
    for (QPushButton* b : {m_cmdR1, cmdDefaults, cmdClose}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdR1);
    buttons->addWidget(cmdDefaults);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);

    connect(m_cmbFile, &QComboBox::currentIndexChanged, &m_controller, &IniEditorController::chooseFile);
    connect(m_cmbGame, &QComboBox::currentIndexChanged, &m_controller, &IniEditorController::chooseGame);
    connect(m_tabs, &QTabWidget::currentChanged, &m_controller, &IniEditorController::showTab);
    connect(m_cmdR1, &QPushButton::clicked, &m_controller, &IniEditorController::resetShownTab);
    connect(cmdDefaults, &QPushButton::clicked, &m_controller, &IniEditorController::resetAll);
    connect(cmdClose, &QPushButton::clicked, this, [this] {
        if (m_controller.close()) accept();
    });
    connect(&m_controller, &IniEditorController::changed, this, &IniEditorDialog::redraw);
    connect(&m_controller, &IniEditorController::busyChanged, this, &IniEditorDialog::setBusy);

    m_controller.open();
    redraw();
}

QWidget* IniEditorDialog::makeControl(IniControl c)
{
    const IniControlInfo& info = iniControl(c);
    QWidget* widget = nullptr;
    switch (info.kind) {
    case IniControlKind::Text: {
        auto* edit = new QLineEdit(this);
        edit->setMaxLength(info.maximum);
        connect(edit, &QLineEdit::textEdited, this, [this, c](const QString& t) { m_controller.setText(c, t); });
        widget = edit;
        break;
    }
    case IniControlKind::List: {
        auto* list = new QComboBox(this);
        list->addItems(iniListItems(c));
        connect(list, &QComboBox::currentIndexChanged, this, [this, c](int i) { m_controller.setValue(c, i); });
        widget = list;
        break;
    }
    case IniControlKind::Range: {
        QAbstractSlider* slider = nullptr;
        if (isColourBar(c)) {
            slider = new QScrollBar(Qt::Horizontal, this);
            slider->setSingleStep(16);
            slider->setPageStep(16);
        } else {
            auto* s = new QSlider(Qt::Horizontal, this);
            s->setTickPosition(QSlider::TicksBelow);
            s->setPageStep(1);
            slider = s;
        }
        slider->setRange(info.minimum, info.maximum);
        slider->setMinimumWidth(160);
        connect(slider, &QAbstractSlider::valueChanged, this, [this, c](int v) { m_controller.setValue(c, v); });
        widget = slider;
        break;
    }
    case IniControlKind::Check: {
        auto* box = new QCheckBox(captionOf(c), this);
        connect(box, &QCheckBox::toggled, this, [this, c](bool on) { m_controller.setChecked(c, on); });
        widget = box;
        break;
    }
    }
    widget->setObjectName(QString::fromLatin1(info.name));
    return widget;
}

QLabel* IniEditorDialog::makeCaptionLabel(IniCaption caption, IniControl buddy)
{
    auto* label = new QLabel(this);
    label->setBuddy(control(buddy));
    m_captions[std::size_t(caption)] = label;
    return label;
}

QLabel* IniEditorDialog::makeBuddyLabel(const QString& text, IniControl buddy)
{
    auto* label = new QLabel(text, this);
    label->setBuddy(control(buddy));
    return label;
}

QWidget* IniEditorDialog::buildGeneralTab()
{
    auto* page = new QWidget;

    auto* player = new QFormLayout;
    player->addRow(makeBuddyLabel(captionOf(C::txtName), C::txtName), control(C::txtName));
    player->addRow(makeBuddyLabel(captionOf(C::cmbGender), C::cmbGender), control(C::cmbGender));

    auto* fraPC = new QGroupBox(QStringLiteral("Player Colour"), page);
    fraPC->setObjectName(QStringLiteral("fraPC"));
    auto* colour = new QGridLayout(fraPC);
    const std::pair<IniCaption, IniControl> bars[] = {
        {IniCaption::lblRed, C::hsRed}, {IniCaption::lblGreen, C::hsGreen}, {IniCaption::lblBlue, C::hsBlue}};
    int row = 0;
    for (const auto& [caption, bar] : bars) {
        colour->addWidget(makeCaptionLabel(caption, bar), row++, 0);
        colour->addWidget(control(bar), row++, 0);
    }
    m_picPC = new QFrame(fraPC);
    m_picPC->setObjectName(QStringLiteral("picPC"));
    m_picPC->setFrameShape(QFrame::Box);
    m_picPC->setAutoFillBackground(true);
    m_picPC->setMinimumSize(56, 56);
    colour->addWidget(m_picPC, 0, 1, row, 1);
    colour->setColumnStretch(0, 1);

    auto* fraSV = new QGroupBox(QStringLiteral("Sound Options"), page);
    fraSV->setObjectName(QStringLiteral("fraSV"));
    auto* sound = new QVBoxLayout(fraSV);
    const std::pair<IniCaption, IniControl> volumes[] = {
        {IniCaption::lblSound, C::hsSound}, {IniCaption::lblMusic, C::hsMusic}, {IniCaption::lblMIDI, C::hsMIDI}};
    for (const auto& [caption, slider] : volumes) {
        sound->addWidget(makeCaptionLabel(caption, slider));
        sound->addWidget(control(slider));
    }
    auto* soundLists = new QFormLayout;
    soundLists->addRow(makeBuddyLabel(captionOf(C::cmbSamplerate), C::cmbSamplerate), control(C::cmbSamplerate));
    soundLists->addRow(makeBuddyLabel(captionOf(C::cmbChannels), C::cmbChannels), control(C::cmbChannels));
    sound->addLayout(soundLists);
    sound->addWidget(control(C::chkSurround));
    sound->addStretch(1);

    auto* fraMouse = new QGroupBox(QStringLiteral("Mouse Options"), page);
    fraMouse->setObjectName(QStringLiteral("fraMouse"));
    auto* mouse = new QGridLayout(fraMouse);
    mouse->addWidget(makeCaptionLabel(IniCaption::lblSpeed, C::hsSpeed), 0, 0, 1, 2);
    mouse->addWidget(control(C::hsSpeed), 1, 0, 1, 2);
    mouse->addWidget(control(C::chkFreelook), 2, 0);
    mouse->addWidget(control(C::chkInvertmouse), 2, 1);
    mouse->addWidget(control(C::chkLookspring), 3, 0);
    mouse->addWidget(control(C::chkLookstrafe), 3, 1);

    auto* left = new QVBoxLayout;
    left->addLayout(player);
    left->addWidget(fraPC);
    left->addWidget(fraMouse);
    left->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addWidget(fraSV, 1);
    return page;
}

QWidget* IniEditorDialog::buildMultiplayerTab()
{
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    for (int i = int(C::txtcm0); i <= int(C::txtcm9); ++i) {
        const auto c = IniControl(i);
        control(c)->setMinimumWidth(320);
        form->addRow(makeBuddyLabel(captionOf(c), c), control(c));
    }
    return page;
}

QWidget* IniEditorDialog::buildDisplayTab()
{
    auto* page = new QWidget;
    auto* left = new QVBoxLayout;
    left->addWidget(makeCaptionLabel(IniCaption::lblGamma, C::hsGamma));
    left->addWidget(control(C::hsGamma));
    left->addWidget(makeCaptionLabel(IniCaption::lblScreenSize, C::hsScreensize));
    left->addWidget(control(C::hsScreensize));
    auto* lists = new QFormLayout;
    for (const IniControl c : {C::cmbCrosshair, C::cmbCRM, C::cmbDetail, C::cmbScreenwipe, C::cmbBlood, C::cmbBullet})
        lists->addRow(makeBuddyLabel(captionOf(c), c), control(c));
    left->addLayout(lists);
    left->addStretch(1);

    auto* right = new QVBoxLayout;
    for (const IniControl c : {C::chkStandardmap, C::chkOverlaymap, C::chkRotatemap, C::chkRocket, C::chkFuzz,
                               C::chkAttached, C::chkDDPH, C::chkStretchbar, C::chkShortskies})
        right->addWidget(control(c));
    right->addStretch(1);

    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addSpacing(12);
    layout->addLayout(right);
    return page;
}

void IniEditorDialog::redraw()
{
    {
        const QSignalBlocker block(m_cmbFile);
        const QStringList& files = m_controller.files();
        QStringList shown;
        for (int i = 0; i < m_cmbFile->count(); ++i) shown << m_cmbFile->itemText(i);
        if (shown != files) {
            m_cmbFile->clear();
            m_cmbFile->addItems(files);
        }
        if (m_cmbFile->currentIndex() != m_controller.fileIndex()) m_cmbFile->setCurrentIndex(m_controller.fileIndex());
    }
    {
        const QSignalBlocker block(m_cmbGame);
        if (m_cmbGame->currentIndex() != m_controller.gameIndex()) m_cmbGame->setCurrentIndex(m_controller.gameIndex());
    }
    {
        const QSignalBlocker block(m_tabs);
        if (m_tabs->currentIndex() != m_controller.tab()) m_tabs->setCurrentIndex(m_controller.tab());
    }

    for (const IniControlInfo& info : iniControls()) {
        QWidget* w = control(info.control);
        const QSignalBlocker block(w);
        const int v = m_controller.value(info.control);
        switch (info.kind) {
        case IniControlKind::Text: {
            auto* edit = static_cast<QLineEdit*>(w);
            const QString t = m_controller.text(info.control);
            // The limit first: a longer text read from the file must not be cut.
            if (edit->maxLength() != m_controller.textLimit(info.control))
                edit->setMaxLength(m_controller.textLimit(info.control));
            if (edit->text() != t) {
                edit->setText(t);
                edit->setCursorPosition(0); // a long text read shows its start
            }
            break;
        }
        case IniControlKind::List: {
            auto* list = static_cast<QComboBox*>(w);
            if (list->currentIndex() != v) list->setCurrentIndex(v);
            break;
        }
        case IniControlKind::Range: {
            auto* slider = static_cast<QAbstractSlider*>(w);
            if (slider->value() != v) slider->setValue(v);
            break;
        }
        case IniControlKind::Check: {
            auto* box = static_cast<QCheckBox*>(w);
            if (box->isChecked() != (v != 0)) box->setChecked(v != 0);
            break;
        }
        }
    }

    for (std::size_t i = 0; i < m_captions.size(); ++i)
        if (m_captions[i]) m_captions[i]->setText(m_controller.caption(IniCaption(i)));

    const auto rgb = m_controller.colour();
    QPalette palette = m_picPC->palette();
    palette.setColor(QPalette::Window, QColor(rgb.red, rgb.green, rgb.blue));
    m_picPC->setPalette(palette);

    m_cmdR1->setText(m_controller.resetTabCaption());
}

void IniEditorDialog::setBusy(bool busy)
{
    if (busy) {
        if (m_busyDepth++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busyDepth > 0 && --m_busyDepth == 0) {
        QApplication::restoreOverrideCursor();
    }
}

} // namespace tarnwick
