#pragma once

#include "pages/play/play_options_controller.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace tarnwick {

class Histories;
class LaunchSession;

// "2: Play Options".
class PlayOptionsPage final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlayOptionsPage)

public:
    PlayOptionsPage(LaunchSession& session, PlayOptionsController& controller, Histories& histories,
                    QWidget* parent = nullptr);

    void redraw();

signals:
    void hideRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct FileFrame
    {
        QComboBox* box = nullptr;
        QListWidget* list = nullptr;
    };
    QGroupBox* buildFileFrame(PlayOptionsController::FileList which, const QString& caption,
                              const QString& clearCaption, const QString& boxTip, const QString& listTip);
    QGroupBox* buildLevelFrames(QWidget* parent, QGroupBox*& skillFrame);
    QGroupBox* buildMultiplayerFrames(QWidget* parent, QGroupBox*& hostJoin, QGroupBox*& other);
    QLineEdit* numberBox(const QString& tooltip, QWidget* parent);

    LaunchSession& m_session;
    PlayOptionsController& m_controller;
    Histories& m_histories;

    QComboBox* m_game;
    QLabel* m_mapLabel;
    QListWidget* m_maps;
    QPushButton* m_random;
    QLabel* m_otherLabel;
    QLineEdit* m_other;
    QComboBox* m_skill;
    FileFrame m_wads;
    FileFrame m_patches;
    QRadioButton* m_sp;
    QRadioButton* m_coop;
    QRadioButton* m_deathmatch;
    QRadioButton* m_altdeath;
    QGroupBox* m_hostJoin;
    QRadioButton* m_host;
    QRadioButton* m_join;
    QLineEdit* m_hostPlayers;
    QComboBox* m_joinAddress;
    QCheckBox* m_extratic;
    QCheckBox* m_debugFile;
    QLineEdit* m_dup;
    QLineEdit* m_port;
    QCheckBox* m_monsters;
    QCheckBox* m_fast;
    QCheckBox* m_respawn;
    QLineEdit* m_timer;
    QLineEdit* m_turbo;
};

} // namespace tarnwick
