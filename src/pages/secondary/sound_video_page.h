#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tarnwick {

class LaunchSession;
class SoundVideoController;

// "3: Sound and Video Options".
class SoundVideoPage final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SoundVideoPage)

public:
    SoundVideoPage(LaunchSession& session, SoundVideoController& controller, QWidget* parent = nullptr);
    void redraw();

signals:
    void hideRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    LaunchSession& m_session;
    SoundVideoController& m_controller;
    QCheckBox* m_sound;
    QCheckBox* m_sfx;
    QCheckBox* m_music;
    QComboBox* m_width;
    QComboBox* m_height;
    QLineEdit* m_bits;
};

} // namespace tarnwick
