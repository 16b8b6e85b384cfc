#pragma once

#include "launch/launch_session.h"

#include <array>

namespace tarnwick {

class FileChooser;

// "3: Sound and Video Options".
class SoundVideoController
{
public:
    explicit SoundVideoController(LaunchSession& session) : m_session(session) {}

    static QStringList widthRows();
    static QStringList heightRows();

    void setSound(int value);
    void setSfx(int value);
    void setMusic(int value);
    // A row chosen from either list picks the partner row of the other list.
    void chooseWidthRow(int row);
    void chooseHeightRow(int row);
    // Typing: the boxes keep whole numbers of at least 1.
    void setWidthText(const QString& text);
    void setHeightText(const QString& text);
    // Only 8-bit colour exists: any text becomes "8".
    void setBits(const QString& text);
    void reset();

    bool soundDetailsEnabled() const { return m_session.profile().chkSound == 1; }

private:
    LaunchSession& m_session;
};

// "4: Miscellaneous Options": seven switches and the extra command-line text.
class MiscController
{
public:
    struct Switch
    {
        int LaunchProfile::*field;
        const char* caption;
    };
    // The seven boxes in the order they stand on the page and on the command line.
    static const std::array<Switch, 7> kSwitches;

    explicit MiscController(LaunchSession& session) : m_session(session) {}

    void setSwitch(int index, int value);
    void setExtraCommands(const QString& text);
    void reset();

private:
    LaunchSession& m_session;
};

// "Obsolete Options": edits reach the command line only when the window closes.
class ObsoleteController
{
public:
    ObsoleteController(LaunchSession& session, FileChooser& chooser)
        : m_session(session), m_chooser(chooser)
    {
    }

    void setNet(const QString& text);
    void setPrimarySound(int value);
    void setWavonly(int value);
    void setHeapSize(const QString& text);
    void setTransFile(const QString& text);
    void setNommx(int value);
    void setNotrans(int value);
    void browseTransFile();
    void close();

private:
    void set(QString LaunchProfile::*field, const QString& text);
    void set(int LaunchProfile::*field, int value);

    LaunchSession& m_session;
    FileChooser& m_chooser;
};

} // namespace tarnwick
