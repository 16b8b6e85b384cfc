#pragma once

#include "editors/ini/ini_editor_controller.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;

namespace tarnwick {

// The "ZDoom INI Editor" window. It draws the controller's model and hands every edit
// and click to it. "&Close" saves and closes; any other way of closing writes nothing.
// Constructing it opens the controller (reads the first file and game).
class IniEditorDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IniEditorDialog)

public:
    explicit IniEditorDialog(IniEditorController& controller, QWidget* parent = nullptr);

private:
    QWidget* makeControl(IniControl control);
    QLabel* makeCaptionLabel(IniCaption caption, IniControl buddy);
    QLabel* makeBuddyLabel(const QString& text, IniControl buddy);
    QWidget* buildGeneralTab();
    QWidget* buildMultiplayerTab();
    QWidget* buildDisplayTab();
    void redraw();
    void setBusy(bool busy);
    QWidget* control(IniControl c) const { return m_controls[std::size_t(c)]; }

    IniEditorController& m_controller;
    std::array<QWidget*, kIniControlCount> m_controls{};
    std::array<QLabel*, 9> m_captions{};
    QComboBox* m_cmbFile = nullptr;
    QComboBox* m_cmbGame = nullptr;
    QTabWidget* m_tabs = nullptr;
    QFrame* m_picPC = nullptr;
    QPushButton* m_cmdR1 = nullptr;
    int m_busyDepth = 0;
};

} // namespace tarnwick
