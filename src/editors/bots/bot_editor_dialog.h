#pragma once

#include "editors/bots/bot_editor_controller.h"

#include <QDialog>

#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QScrollBar;
class QSlider;
class QToolButton;

namespace tarnwick {

// The "ZDoom Cajun Bot Editor" window. It draws the controller's model and forwards the
// user's actions; constructing it opens the roster. "&Close" stores, writes and closes;
// closing it any other way writes nothing. Show it with exec().
class BotEditorDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BotEditorDialog)

public:
    explicit BotEditorDialog(BotEditorController& controller, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWidgets();
    void buildLayout();
    void connectWidgets();
    void redraw();
    void closeWithSave();

    BotEditorController& m_controller;

    QLabel* m_nameLabel = nullptr;
    QComboBox* m_names = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_rename = nullptr;
    QPushButton* m_resetBot = nullptr;
    QPushButton* m_resetAll = nullptr;
    QPushButton* m_close = nullptr;

    std::array<QSlider*, 4> m_sliders{};
    std::array<QLabel*, 4> m_sliderLabels{};
    QLabel* m_skinLabel = nullptr;
    QLineEdit* m_skin = nullptr;

    std::array<QScrollBar*, 3> m_channels{};
    std::array<QLabel*, 3> m_channelLabels{};
    QFrame* m_preview = nullptr;

    QListWidget* m_weapons = nullptr;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
    QPushButton* m_replaceWith = nullptr;
    QMenu* m_weaponMenu = nullptr;

    QStringList m_shownNames;
};

} // namespace tarnwick
