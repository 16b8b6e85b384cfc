#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tarnwick {

class Histories;
class LaunchSession;
class ObsoleteController;

// "Obsolete Options": switches of old versions of the port. Edits reach the command line
// when the window closes.
class ObsoleteDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ObsoleteDialog)

public:
    ObsoleteDialog(LaunchSession& session, ObsoleteController& controller, Histories& histories,
                   QWidget* parent = nullptr);
    void redraw();
    void done(int result) override;

private:
    LaunchSession& m_session;
    ObsoleteController& m_controller;
    Histories& m_histories;
    QComboBox* m_net;
    QCheckBox* m_primarySound;
    QCheckBox* m_wavonly;
    QLineEdit* m_heapSize;
    QComboBox* m_transFile;
    QCheckBox* m_nommx;
    QCheckBox* m_notrans;
};

} // namespace tarnwick
