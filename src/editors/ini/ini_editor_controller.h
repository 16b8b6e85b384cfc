#pragma once

#include "editors/ini/ini_key_table.h"
#include "launch/port_config_files.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

namespace tarnwick {

class IniStore;
class MessageBox;

// What the editor knows besides the values of its controls.
struct IniEditorState
{
    QString PortFolder; // the port folder at opening, one trailing separator removed
    QString INIPath; // the full path of the chosen file
    QString GameName; // the chosen game, empty until one is chosen
    QString LoadedPath; // the file the controls show, empty until the first read
    QString LoadedGame; // the game the controls show
    bool SettingsLoaded = false; // set by the first read, never cleared
};

// The labels whose caption follows a value.
enum class IniCaption { lblMIDI, lblMusic, lblSound, lblRed, lblGreen, lblBlue, lblGamma, lblScreenSize, lblSpeed };

// The model and the handlers of the "ZDoom INI Editor" window: which configuration file
// and game are shown, the values of the 41 keys, reading and writing them, the resets and
// their questions. The window draws what this holds and forwards the user's actions.
class IniEditorController final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IniEditorController)

public:
    // `portFolder` is the text of the port-folder box of the game options page,
    // `portExecutable` the port's executable (its name picks the per-user files).
    IniEditorController(const QString& portFolder, const QString& portExecutable, IniStore& store,
                        MessageBox& messages, QObject* parent = nullptr);

    // The window's opening: initial values, the list of files, then the first file and the
    // first game are chosen, which reads them.
    void open();

    const IniEditorState& state() const { return m_state; }

    // The files offered, as the list shows them (portconfig::configFiles()).
    const QStringList& files() const { return m_files; }
    int fileIndex() const { return m_fileIndex; }
    static const QStringList& games();
    int gameIndex() const { return m_gameIndex; }

    // A change of selection in the file or game list: the values shown go back to the
    // file and game they came from, the controls return to their defaults and the new
    // choice is read. When that save fails the choice is undone and the values stay.
    void chooseFile(int index);
    void chooseGame(int index);

    // The controls' values: a Range value, a List index, a Check's 0 or 1, a Text's text.
    int value(IniControl control) const { return m_values[std::size_t(control)]; }
    bool isChecked(IniControl control) const { return value(control) != 0; }
    QString text(IniControl control) const { return m_texts[std::size_t(control)]; }

    // The user's edits. A value outside the control's range is refused; a typed text is
    // cut to textLimit(). Only what the user changed (or reset with a button) is written.
    void setValue(IniControl control, int value);
    void setChecked(IniControl control, bool checked);
    void setText(IniControl control, const QString& text);

    // How long a text box's text may grow: the box's own length, or the length of the
    // text read from the file when that is longer, since reading never cuts a text.
    int textLimit(IniControl control) const;

    QString caption(IniCaption label) const;
    struct Rgb
    {
        int red;
        int green;
        int blue;
    };
    Rgb colour() const;

    // The tabs: 0 General, 1 Multiplayer, 2 Display.
    static QString tabCaption(int tab);
    void showTab(int tab);
    int tab() const { return m_tab; }
    // The caption of the button that resets the shown tab.
    QString resetTabCaption() const;

    // The buttons: reset the shown tab, reset all (each after a question), close. Close
    // saves; it answers whether the window may close, which it may not after a failed
    // write, so that nothing shown is lost.
    void resetShownTab();
    void resetAll();
    bool close();

    // Reads INIPath for GameName into the controls.
    void GetSettings();
    // Writes the 41 values to LoadedPath under LoadedGame. False when the file could not be
    // written; nothing is written before the first read.
    bool SaveSettings();
    void GetTF(IniControl checkBox, const QString& INISection, const QString& INIKey);
    void SetTF(IniControl checkBox, const QString& INISection, const QString& INIKey);
    void ResetGeneral();
    void ResetMultiplayer();
    void ResetDisplay();

signals:
    // Values, captions or lists changed; the window redraws.
    void changed();
    // The hourglass pointer goes on while a file is read or written.
    void busyChanged(bool busy);

private:
    bool putValue(IniControl control, int value);
    void putText(IniControl control, const QString& text);
    void readKey(const IniKeyInfo& key, const QString& text);
    QString writtenText(const IniKeyInfo& key) const;
    enum class Touch { No, Yes };
    void resetGroup(IniGroup group, Touch touch = Touch::No);
    bool isTouched(const IniKeyInfo& key) const;
    bool createsFolder(const QString& path) const;
    bool saveAndReset();

    IniStore& m_store;
    MessageBox& m_messages;
    QString m_portFolderText;
    QString m_portExecutable;
    QList<portconfig::ConfigFile> m_configFiles;
    IniEditorState m_state;
    QStringList m_files;
    int m_fileIndex = -1;
    int m_gameIndex = -1;
    int m_tab = 0;
    bool m_tabChanged = false;
    std::array<int, kIniControlCount> m_values{};
    std::array<QString, kIniControlCount> m_texts;
    std::array<qsizetype, kIniControlCount> m_textLimits{};
    // Controls the user changed since the values were read or last saved.
    std::array<bool, kIniControlCount> m_touched{};

};

} // namespace tarnwick
