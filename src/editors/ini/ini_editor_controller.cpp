#include "editors/ini/ini_editor_controller.h"

#include "editors/ini/ini_conversions.h"
#include "editors/ini/ini_store.h"
#include "launch/port_config_files.h"
#include "platform/message_box.h"
#include "base/paths.h"

#include <QDir>
#include <QFileInfo>

#include <climits>

namespace tarnwick {

namespace {

// The hourglass for the length of a read or a write.
class BusyScope
{
public:
    explicit BusyScope(IniEditorController& controller) : m_controller(controller)
    {
        emit m_controller.busyChanged(true);
    }
    ~BusyScope() { emit m_controller.busyChanged(false); }
    Q_DISABLE_COPY_MOVE(BusyScope)

private:
    IniEditorController& m_controller;
};

struct CaptionInfo
{
    IniCaption label;
    const char* prefix;
    IniControl control;
    int stepsPerUnit; // 0: the value in hexadecimal
    const char* suffix;
};

constexpr std::array<CaptionInfo, 9> kCaptions = {{
    {IniCaption::lblMIDI, "M&IDI (", IniControl::hsMIDI, 20, "):"},
    {IniCaption::lblMusic, "M&usic (", IniControl::hsMusic, 20, "):"},
    {IniCaption::lblSound, "&Sound (", IniControl::hsSound, 20, "):"},
    {IniCaption::lblRed, "Re&d (", IniControl::hsRed, 0, "):"},
    {IniCaption::lblGreen, "&Green (", IniControl::hsGreen, 0, "):"},
    {IniCaption::lblBlue, "&Blue (", IniControl::hsBlue, 0, "):"},
    {IniCaption::lblGamma, "&Brightness (", IniControl::hsGamma, 10, "):"},
    {IniCaption::lblScreenSize, "Screensize (", IniControl::hsScreensize, 1, "):"},
    {IniCaption::lblSpeed, "Speed (", IniControl::hsSpeed, 10, ")&:"},
}};

constexpr std::array<IniGroup, 3> kTabGroups = {IniGroup::General, IniGroup::Multiplayer, IniGroup::Display};

} // namespace

IniEditorController::IniEditorController(const QString& portFolder, const QString& portExecutable,
                                         IniStore& store, MessageBox& messages, QObject* parent)
    : QObject(parent), m_store(store), m_messages(messages), m_portFolderText(portFolder),
      m_portExecutable(portExecutable)
{
    for (const IniControlInfo& info : iniControls()) {
        m_values[std::size_t(info.control)] = info.defaultValue;
        m_texts[std::size_t(info.control)] = QString::fromLatin1(info.defaultText);
    }
}

const QStringList& IniEditorController::games()
{
    static const QStringList names = {QStringLiteral("Doom"), QStringLiteral("Heretic"),
                                      QStringLiteral("Hexen")};
    return names;
}

void IniEditorController::open()
{
    // A fresh window starts from the defaults, but for a bluish player colour and the
    // optimised column renderer.
    resetGroup(IniGroup::General);
    resetGroup(IniGroup::Multiplayer);
    resetGroup(IniGroup::Display);
    putValue(IniControl::hsBlue, 16);
    putValue(IniControl::cmbCRM, 1);

    m_state.PortFolder = paths::withoutTrailingSeparator(m_portFolderText);
    m_configFiles = portconfig::configFiles(m_state.PortFolder, portconfig::baseName(m_portExecutable));
    m_files.clear();
    for (const portconfig::ConfigFile& file : std::as_const(m_configFiles)) m_files << file.shown;

    m_state.SettingsLoaded = false;
    m_fileIndex = -1;
    m_gameIndex = -1;
    chooseFile(0);
    chooseGame(0);
    emit changed();
}

bool IniEditorController::saveAndReset()
{
    if (!m_state.SettingsLoaded) return true;
    if (!SaveSettings()) return false;
    ResetGeneral();
    ResetMultiplayer();
    ResetDisplay();
    return true;
}

void IniEditorController::chooseFile(int index)
{
    if (index < 0 || index >= m_files.size() || index == m_fileIndex) return;
    const int previousIndex = m_fileIndex;
    const QString previousPath = m_state.INIPath;
    m_fileIndex = index;
    m_state.INIPath = m_configFiles.at(index).path;
    if (!saveAndReset()) {
        m_fileIndex = previousIndex;
        m_state.INIPath = previousPath;
    } else if (m_gameIndex >= 0) {
        GetSettings();
    }
    emit changed();
}

void IniEditorController::chooseGame(int index)
{
    if (index < 0 || index >= games().size() || index == m_gameIndex) return;
    const int previousIndex = m_gameIndex;
    const QString previousGame = m_state.GameName;
    m_gameIndex = index;
    m_state.GameName = games().at(index);
    if (!saveAndReset()) {
        m_gameIndex = previousIndex;
        m_state.GameName = previousGame;
    } else if (m_fileIndex >= 0) {
        GetSettings();
    }
    emit changed();
}

bool IniEditorController::putValue(IniControl control, int value)
{
    const IniControlInfo& info = iniControl(control);
    bool fits = false;
    switch (info.kind) {
    case IniControlKind::Range: fits = value >= info.minimum && value <= info.maximum; break;
    case IniControlKind::List: fits = value >= 0 && value < iniListItems(control).size(); break;
    case IniControlKind::Check: fits = value == 0 || value == 1; break;
    case IniControlKind::Text: break;
    }
    if (fits) m_values[std::size_t(control)] = value;
    return fits;
}

void IniEditorController::putText(IniControl control, const QString& text)
{
    if (iniControl(control).kind != IniControlKind::Text) return;
    m_texts[std::size_t(control)] = text;
    m_textLimits[std::size_t(control)] = std::max(qsizetype(iniControl(control).maximum), text.size());
}

int IniEditorController::textLimit(IniControl control) const
{
    return int(m_textLimits[std::size_t(control)]);
}

void IniEditorController::setValue(IniControl control, int value)
{
    if (this->value(control) == value || !putValue(control, value)) return;
    m_touched[std::size_t(control)] = true;
    emit changed();
}

void IniEditorController::setChecked(IniControl control, bool checked)
{
    setValue(control, checked ? 1 : 0);
}

void IniEditorController::setText(IniControl control, const QString& text)
{
    if (iniControl(control).kind != IniControlKind::Text || this->text(control) == text) return;
    // The box's length stops typing, never a text the file already held.
    m_texts[std::size_t(control)] = text.left(textLimit(control));
    m_touched[std::size_t(control)] = true;
    emit changed();
}

QString IniEditorController::caption(IniCaption label) const
{
    for (const CaptionInfo& c : kCaptions) {
        if (c.label != label) continue;
        const int v = value(c.control);
        const QString shown = c.stepsPerUnit == 0 ? iniconv::captionHex(v) : iniconv::dividedText(v, c.stepsPerUnit);
        return QString::fromLatin1(c.prefix) + shown + QString::fromLatin1(c.suffix);
    }
    return {};
}

IniEditorController::Rgb IniEditorController::colour() const
{
    return {value(IniControl::hsRed), value(IniControl::hsGreen), value(IniControl::hsBlue)};
}

QString IniEditorController::tabCaption(int tab)
{
    static const QStringList captions = {QStringLiteral("General"), QStringLiteral("Multiplayer"),
                                         QStringLiteral("Display")};
    return captions.value(tab);
}

void IniEditorController::showTab(int tab)
{
    if (tab < 0 || tab >= int(kTabGroups.size()) || tab == m_tab) return;
    m_tab = tab;
    m_tabChanged = true;
    emit changed();
}

QString IniEditorController::resetTabCaption() const
{
    return m_tabChanged ? QStringLiteral("Reset ") + tabCaption(m_tab) : QStringLiteral("R&eset General");
}

void IniEditorController::resetShownTab()
{
    const QString shown = tabCaption(m_tab);
    const auto answer = m_messages.show(
        QStringLiteral("Are you sure that you want to reset the ") + shown + QStringLiteral(" section?"),
        QStringLiteral("Reset ") + shown, MessageBox::Buttons::YesNo, MessageBox::Icon::Question);
    if (answer != MessageBox::Answer::Yes) return;
    resetGroup(kTabGroups[std::size_t(m_tab)], Touch::Yes);
    emit changed();
}

void IniEditorController::resetAll()
{
    const auto answer = m_messages.show(
        QStringLiteral("Are you sure that you want to reset the settings for the game ") + m_state.GameName
            + QStringLiteral("?"),
        QStringLiteral("Reset to Defaults"), MessageBox::Buttons::YesNo, MessageBox::Icon::Question);
    if (answer != MessageBox::Answer::Yes) return;
    for (const IniGroup group : kTabGroups) resetGroup(group, Touch::Yes);
    emit changed();
}

bool IniEditorController::close()
{
    return SaveSettings();
}

void IniEditorController::resetGroup(IniGroup group, Touch touch)
{
    for (const IniControlInfo& info : iniControls()) {
        if (info.group != group) continue;
        if (info.kind == IniControlKind::Text) putText(info.control, QString::fromLatin1(info.defaultText));
        else putValue(info.control, info.defaultValue);
        m_touched[std::size_t(info.control)] = touch == Touch::Yes;
    }
}

void IniEditorController::ResetGeneral()
{
    resetGroup(IniGroup::General);
    emit changed();
}

void IniEditorController::ResetMultiplayer()
{
    resetGroup(IniGroup::Multiplayer);
    emit changed();
}

void IniEditorController::ResetDisplay()
{
    resetGroup(IniGroup::Display);
    emit changed();
}

void IniEditorController::readKey(const IniKeyInfo& key, const QString& text)
{
    const IniControl control = key.control;
    switch (key.read) {
    case IniConversion::Text: putText(control, text); break;
    case IniConversion::Gender: {
        // Only the exact words: "Male" is not a gender the port knows.
        const qsizetype i = iniListItems(control).indexOf(text);
        if (i >= 0) putValue(control, int(i));
        break;
    }
    case IniConversion::Colour: {
        const iniconv::ColourParts parts = iniconv::colourFromText(text);
        if (parts.red) putValue(IniControl::hsRed, *parts.red);
        if (parts.green) putValue(IniControl::hsGreen, *parts.green);
        if (parts.blue) putValue(IniControl::hsBlue, *parts.blue);
        break;
    }
    case IniConversion::Step:
    case IniConversion::WholeNumber:
    case IniConversion::Index:
    case IniConversion::ListText:
        if (const auto n = iniconv::roundedTimes(text, key.stepsPerUnit); n && *n >= INT_MIN && *n <= INT_MAX)
            putValue(control, int(*n));
        break;
    case IniConversion::SampleRate:
        if (const auto i = iniconv::sampleRateIndex(text)) putValue(control, *i);
        break;
    case IniConversion::Switch:
        if (const auto ticked = iniconv::switchFromText(text)) putValue(control, *ticked ? 1 : 0);
        break;
    }
}

QString IniEditorController::writtenText(const IniKeyInfo& key) const
{
    const IniControl control = key.control;
    switch (key.write) {
    case IniConversion::Text: return text(control);
    case IniConversion::Gender:
    case IniConversion::ListText: return iniListItems(control).value(value(control));
    case IniConversion::Colour: return iniconv::colourText(colour().red, colour().green, colour().blue);
    case IniConversion::Step: return iniconv::dividedText(value(control), key.stepsPerUnit);
    case IniConversion::WholeNumber:
    case IniConversion::Index: return QString::number(value(control));
    case IniConversion::SampleRate: return iniconv::sampleRateFileText(value(control));
    case IniConversion::Switch: return iniconv::switchText(isChecked(control));
    }
    return {};
}

void IniEditorController::GetTF(IniControl checkBox, const QString& INISection, const QString& INIKey)
{
    readKey({IniSection::Global, nullptr, checkBox, IniConversion::Switch, IniConversion::Switch, 1},
            m_store.ReadKey(INISection, INIKey, m_state.INIPath));
}

void IniEditorController::SetTF(IniControl checkBox, const QString& INISection, const QString& INIKey)
{
    m_store.WriteKey(iniconv::switchText(isChecked(checkBox)), INISection, INIKey, m_state.LoadedPath);
}

void IniEditorController::GetSettings()
{
    {
        BusyScope busy(*this);
        const QString& path = m_state.INIPath;
        const QString& game = m_state.GameName;
        m_store.beginBatch(path);
        // Every key the file holds is shown, also for a game without a player name of its
        // own: the shared keys are the same for all three games, and showing a default in
        // place of a value the file holds would invite writing it over that value.
        for (const IniKeyInfo& key : iniKeys()) {
            const QString section = iniSectionName(key.section, game);
            const QString name = QString::fromLatin1(key.key);
            if (key.read == IniConversion::Switch) {
                GetTF(key.control, section, name);
                continue;
            }
            const QString text = m_store.ReadKey(section, name, path);
            if (text != IniStore::NotFound) readKey(key, text);
        }
        m_store.endBatch();
        m_state.LoadedGame = game;
        m_state.LoadedPath = path;
        m_state.SettingsLoaded = true;
    }
    emit changed();
}

bool IniEditorController::createsFolder(const QString& path) const
{
    for (const portconfig::ConfigFile& file : m_configFiles)
        if (file.path == path) return !file.exists;
    return false;
}

bool IniEditorController::isTouched(const IniKeyInfo& key) const
{
    if (key.read == IniConversion::Colour)
        return m_touched[std::size_t(IniControl::hsRed)] || m_touched[std::size_t(IniControl::hsGreen)]
            || m_touched[std::size_t(IniControl::hsBlue)];
    return m_touched[std::size_t(key.control)];
}

bool IniEditorController::SaveSettings()
{
    if (m_state.LoadedPath.isEmpty()) return true;
    bool saved = false;
    bool textsChanged = false;
    {
        BusyScope busy(*this);
        const QString& path = m_state.LoadedPath;
        // Only what the player changed is written, so every value the editor cannot show
        // (a number out of a slider's range, a word it does not know) and every value of a
        // game merely looked at stays as the file has it. A file that does not exist yet
        // gets every key, as the port needs them all.
        const bool newFile = !QFileInfo::exists(paths::toNative(path));
        if (newFile && createsFolder(path)) QDir().mkpath(paths::folderPart(paths::toNative(path)));
        m_store.beginBatch(path);
        for (const IniKeyInfo& key : iniKeys()) {
            if (!newFile && !isTouched(key)) continue;
            const QString section = iniSectionName(key.section, m_state.LoadedGame);
            const QString name = QString::fromLatin1(key.key);
            if (key.write == IniConversion::Switch) SetTF(key.control, section, name);
            else m_store.WriteKey(writtenText(key), section, name, path);
            if (key.write != IniConversion::Text) continue;
            // The box shows what the file now holds: without blanks at the ends, which the
            // port would not read back, and with "?" for what the file's encoding lacks.
            const QString stored = m_store.ReadKey(section, name, path);
            if (stored == IniStore::NotFound || stored == text(key.control)) continue;
            m_texts[std::size_t(key.control)] = stored;
            textsChanged = true;
        }
        saved = m_store.endBatch();
    }
    if (saved) m_touched.fill(false);
    if (textsChanged) emit changed();
    return saved;
}

} // namespace tarnwick
