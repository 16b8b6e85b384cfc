#pragma once

#include <QList>
#include <QWidget>

class QCheckBox;
class QComboBox;

namespace tarnwick {

class Histories;
class LaunchSession;
class MiscController;

// "4: Miscellaneous Options".
class MiscPage final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MiscPage)

public:
    MiscPage(LaunchSession& session, MiscController& controller, Histories& histories,
             QWidget* parent = nullptr);
    void redraw();

signals:
    void hideRequested();

private:
    LaunchSession& m_session;
    MiscController& m_controller;
    Histories& m_histories;
    QList<QCheckBox*> m_switches;
    QComboBox* m_extra;
};

} // namespace tarnwick
