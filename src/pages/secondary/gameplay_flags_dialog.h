#pragma once

#include <QDialog>
#include <QList>

class QCheckBox;
class QLabel;

namespace tarnwick {

class GameplayFlagsController;
class LaunchSession;

// "Gameplay Options": one box per flag bit, the two totals, and whether they go on the
// command line. However the window is closed, the choices stay and the command line
// shows them.
class GameplayFlagsDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GameplayFlagsDialog)

public:
    GameplayFlagsDialog(LaunchSession& session, GameplayFlagsController& controller, QWidget* parent = nullptr);
    void redraw();
    void done(int result) override;

private:
    LaunchSession& m_session;
    GameplayFlagsController& m_controller;
    QCheckBox* m_add;
    QLabel* m_flags;
    QLabel* m_flags2;
    QList<QCheckBox*> m_boxes; // by flag index
};

} // namespace tarnwick
