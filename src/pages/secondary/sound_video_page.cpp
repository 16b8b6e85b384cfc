#include "pages/secondary/sound_video_page.h"

#include "launch/launch_session.h"
#include "pages/secondary/secondary_controllers.h"
#include "base/qt_view_sync.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {

SoundVideoPage::SoundVideoPage(LaunchSession& session, SoundVideoController& controller, QWidget* parent)
    : QWidget(parent), m_session(session), m_controller(controller)
{
    setWindowTitle(QStringLiteral("3: Sound and Video Options"));
    auto* layout = new QVBoxLayout(this);
    auto* frames = new QHBoxLayout;
    layout->addLayout(frames);

    auto* sound = new QGroupBox(QStringLiteral("Sound Options"), this);
    auto* soundBox = new QVBoxLayout(sound);
    m_sound = new QCheckBox(QStringLiteral("&Sound"), sound);
    m_sound->setToolTip(QStringLiteral("Use sound in the game"));
    m_sfx = new QCheckBox(QStringLiteral("Sound &effects"), sound);
    m_sfx->setToolTip(QStringLiteral("Enable sound effects"));
    m_music = new QCheckBox(QStringLiteral("&Music"), sound);
    m_music->setToolTip(QStringLiteral("Enable music"));
    soundBox->addWidget(m_sound);
    soundBox->addWidget(m_sfx);
    soundBox->addWidget(m_music);
    soundBox->addStretch(1);
    frames->addWidget(sound);

    auto* video = new QGroupBox(QStringLiteral("Video Resolution"), this);
    auto* videoForm = new QFormLayout(video);
    // The boxes show what the command line says: no completion that offers "800" for a typed
    // "8", and only a row chosen from the list (not Enter on typed text) picks the partner row.
    auto makeBox = [this, video](const QStringList& rows, const QString& tip) {
        auto* box = view::historyCombo(video, tip, 4, view::HistoryBox::Completion::None);
        box->addItems(rows);
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
        return box;
    };
    m_width = makeBox(SoundVideoController::widthRows(), QStringLiteral("The screen resolution width"));
    m_height = makeBox(SoundVideoController::heightRows(), QStringLiteral("The screen resolution height"));
    videoForm->addRow(QStringLiteral("&Width:"), m_width);
    videoForm->addRow(QStringLiteral("&Height:"), m_height);
    frames->addWidget(video);

    auto* bitsFrame = new QGroupBox(QStringLiteral("&Colour Bits"), this);
    auto* bitsBox = new QVBoxLayout(bitsFrame);
    m_bits = new QLineEdit(bitsFrame);
    m_bits->setToolTip(QStringLiteral("Colour bits - currently only 8 is available"));
    m_bits->setMaximumWidth(60);
    bitsBox->addWidget(m_bits);
    view::frameKeyFocuses(bitsFrame, m_bits);
    bitsBox->addStretch(1);
    frames->addWidget(bitsFrame);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    view::addPageButtons(this, buttons, [this] { m_controller.reset(); }, [this] { emit hideRequested(); });
    layout->addLayout(buttons);

    auto& c = m_controller;
    connect(m_sound, &QCheckBox::stateChanged, this, [&c](int s) { c.setSound(view::checkValue(s)); });
    connect(m_sfx, &QCheckBox::stateChanged, this, [&c](int s) { c.setSfx(view::checkValue(s)); });
    connect(m_music, &QCheckBox::stateChanged, this, [&c](int s) { c.setMusic(view::checkValue(s)); });
    connect(m_width, &QComboBox::activated, this, [&c](int row) { c.chooseWidthRow(row); });
    connect(m_height, &QComboBox::activated, this, [&c](int row) { c.chooseHeightRow(row); });
    connect(m_width->lineEdit(), &QLineEdit::textEdited, this, [&c](const QString& t) { c.setWidthText(t); });
    connect(m_height->lineEdit(), &QLineEdit::textEdited, this, [&c](const QString& t) { c.setHeightText(t); });
    connect(m_bits, &QLineEdit::textEdited, this, [&c](const QString& t) { c.setBits(t); });
    connect(&m_session, &LaunchSession::changed, this, &SoundVideoPage::redraw);
    view::compactFrames(this);
    redraw();
}

bool SoundVideoPage::eventFilter(QObject* watched, QEvent* event)
{
    const bool resolutionBox = watched == m_width || watched == m_height || watched == m_width->lineEdit() ||
                               watched == m_height->lineEdit();
    if (resolutionBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    // Leaving the box matches its text to a row and reports that row as chosen: it is not
    // the player's choice, so the box leaves with its signals held.
    if (resolutionBox && event->type() == QEvent::FocusOut) {
        const QSignalBlocker block(watched);
        watched->event(event);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SoundVideoPage::redraw()
{
    const LaunchProfile& p = m_session.profile();
    view::setChecked(m_sound, p.chkSound);
    view::setChecked(m_sfx, p.chkSFX);
    view::setChecked(m_music, p.chkMusic);
    m_sfx->setEnabled(m_controller.soundDetailsEnabled());
    m_music->setEnabled(m_controller.soundDetailsEnabled());
    view::setCombo(m_width, SoundVideoController::widthRows(), p.cmbWidth);
    view::setCombo(m_height, SoundVideoController::heightRows(), p.cmbHeight);
    view::setText(m_bits, p.txtBITS);
}

} // namespace tarnwick
