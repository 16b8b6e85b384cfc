#include "binding/persistence.h"

#include "launch/launch_session.h"
#include "pages/game/game_options_controller.h"
#include "pages/play/play_options_controller.h"
#include "pages/secondary/gameplay_flags.h"
#include "pages/secondary/secondary_controllers.h"
#include "settings/settings_store.h"
#include "base/keep_numeric.h"

#include <functional>
#include <vector>

namespace tarnwick {

namespace {

const QString kPageSection = QStringLiteral("Tarnwick");

// How a value is written and read back: Text, Check box, Option button, list Index,
// path List, save-game Row, Folder string.
enum class Code { T, C, O, I, L, R, F };

struct KeyRow
{
    QString key;
    OptionWindow window;
    Code code;
    std::function<QString(const LaunchProfile&)> get;
    // Receives the stored text (the empty text when the key is absent).
    std::function<void(const QString&)> set;
};

QString boolText(bool b)
{
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

// A stored Boolean: "True"/"False" in any letter case, or a number (0 is False).
bool parseBool(const QString& text, bool& value)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1StringView("true"), Qt::CaseInsensitive) == 0) {
        value = true;
        return true;
    }
    if (t.compare(QLatin1StringView("false"), Qt::CaseInsensitive) == 0) {
        value = false;
        return true;
    }
    double v = 0;
    if (!parseNumber(t, v)) return false;
    value = v != 0;
    return true;
}

// Check boxes hold 0 or 1; anything else cannot be applied and is skipped.
std::function<void(const QString&)> checkSetter(std::function<void(int)> apply)
{
    return [apply](const QString& text) {
        int v = 0;
        if (parseInt16(text, v) && (v == 0 || v == 1)) apply(v);
    };
}

// An option button: "True" selects it (running its reaction only when it becomes
// selected), "False" clears it without a reaction.
std::function<void(const QString&)> optionSetter(LaunchSession& s, bool LaunchProfile::*field,
                                                 std::function<void()> select)
{
    return [&s, field, select](const QString& text) {
        bool v = false;
        if (!parseBool(text, v)) return;
        if (!v)
            s.profile().*field = false;
        else if (!(s.profile().*field))
            select();
    };
}

std::function<void(const QString&)> indexSetter(std::function<void(int)> apply)
{
    return [apply](const QString& text) {
        int v = 0;
        if (parseInt16(text, v)) apply(v);
    };
}

QString joinList(const QStringList& list)
{
    return list.join(u'|');
}

std::vector<KeyRow> buildRows(LaunchSession& s, const OptionControllers& c)
{
    using W = OptionWindow;
    using P = LaunchProfile;
    auto& game = c.game;
    auto& play = c.play;
    auto& sound = c.sound;
    auto& misc = c.misc;
    auto& flags = c.flags;
    auto& obs = c.obsolete;

    auto text = [](QString P::*f) { return [f](const P& p) { return p.*f; }; };
    auto num = [](int P::*f) { return [f](const P& p) { return QString::number(p.*f); }; };
    auto opt = [](bool P::*f) { return [f](const P& p) { return boolText(p.*f); }; };

    std::vector<KeyRow> rows = {
        {"1ZEXE", W::GameOptions, Code::T, text(&P::txtEXE), [&](auto& v) { game.setExe(v); }},
        {"1ZFolder", W::GameOptions, Code::T, text(&P::txtFol), [&](auto& v) { game.setFolder(v); }},
        {"1INI", W::GameOptions, Code::T, text(&P::txtINI), [&](auto& v) { game.setIni(v); }},
        {"1IWAD", W::GameOptions, Code::T, text(&P::txtIWAD), [&](auto& v) { game.setIwad(v); }},
        {"1Parm", W::GameOptions, Code::T, text(&P::txtParm), [&](auto& v) { game.setParm(v); }},
        {"1UseDemos", W::GameOptions, Code::C, num(&P::chkDemos),
         checkSetter([&](int v) { game.setDemos(v); })},
        {"1PlayDemo", W::GameOptions, Code::O, opt(&P::optPlay),
         optionSetter(s, &P::optPlay, [&] { game.selectPlayDemo(); })},
        {"1RecordDemo", W::GameOptions, Code::O, opt(&P::optRecord),
         optionSetter(s, &P::optRecord, [&] { game.selectRecordDemo(); })},
        {"1TimeDemo", W::GameOptions, Code::C, num(&P::chkTimedemo),
         checkSetter([&](int v) { game.setTimeDemo(v); })},
        {"1MaxDemo", W::GameOptions, Code::T, text(&P::txtMaxdemo), [&](auto& v) { game.setMaxDemo(v); }},
        {"1LG", W::GameOptions, Code::R, num(&P::lvwLG),
         indexSetter([&](int v) { game.chooseSaveGame(v); })},
        {"1ResetLocs", W::GameOptions, Code::C, num(&P::chkReset),
         checkSetter([&](int v) { game.setResetLocations(v); })},

        {"2Game", W::PlayOptions, Code::I, num(&P::cmbGame), indexSetter([&](int v) { play.chooseGame(v); })},
        {"2Map", W::PlayOptions, Code::I, num(&P::lstMap), indexSetter([&](int v) { play.chooseMap(v); })},
        {"2Other", W::PlayOptions, Code::T, text(&P::txtOther), [&](auto& v) { play.setOther(v); }},
        {"2Monsters", W::PlayOptions, Code::C, num(&P::chkNomonsters),
         checkSetter([&](int v) { play.setMonsters(v); })},
        {"2Fast", W::PlayOptions, Code::C, num(&P::chkFast), checkSetter([&](int v) { play.setFast(v); })},
        {"2Respawn", W::PlayOptions, Code::C, num(&P::chkRespawn),
         checkSetter([&](int v) { play.setRespawn(v); })},
        {"2Timer", W::PlayOptions, Code::T, text(&P::txtTimer), [&](auto& v) { play.setTimer(v); }},
        {"2Turbo", W::PlayOptions, Code::T, text(&P::txtTurbo), [&](auto& v) { play.setTurbo(v); }},
        {"2PWAD", W::PlayOptions, Code::T, text(&P::txtPWAD),
         [&](auto& v) { play.setListText(PlayOptionsController::FileList::MapWads, v); }},
        {"2PWADList", W::PlayOptions, Code::L, [](const P& p) { return joinList(p.lstPWADhid); }, {}},
        {"2DirPWAD", W::PlayOptions, Code::F, text(&P::DirPWAD), [&](auto& v) { s.profile().DirPWAD = v; }},
        {"2Deh", W::PlayOptions, Code::T, text(&P::txtDeh),
         [&](auto& v) { play.setListText(PlayOptionsController::FileList::Patches, v); }},
        {"2DehList", W::PlayOptions, Code::L, [](const P& p) { return joinList(p.lstDehhid); }, {}},
        {"2DirDEH", W::PlayOptions, Code::F, text(&P::DirDEH), [&](auto& v) { s.profile().DirDEH = v; }},
        // Single player is read by comparison: only "True", exactly, selects it, and then
        // its reaction runs even when it was selected already.
        {"2SinglePlayer", W::PlayOptions, Code::O, opt(&P::optSP),
         [&](auto& v) {
             if (v == QLatin1StringView("True")) play.optSP_Click();
         }},
        {"2Coop", W::PlayOptions, Code::O, opt(&P::optCoop),
         optionSetter(s, &P::optCoop, [&] { play.selectCoop(); })},
        {"2Deathmatch", W::PlayOptions, Code::O, opt(&P::optDeathmatch),
         optionSetter(s, &P::optDeathmatch, [&] { play.selectDeathmatch(); })},
        {"2Altdeath", W::PlayOptions, Code::O, opt(&P::optAltdeath),
         optionSetter(s, &P::optAltdeath, [&] { play.selectAltdeath(); })},
        {"2oHost", W::PlayOptions, Code::O, opt(&P::optHost),
         optionSetter(s, &P::optHost, [&] { play.selectHost(); })},
        {"2tHost", W::PlayOptions, Code::T, text(&P::txtHost), [&](auto& v) { play.setHostPlayers(v); }},
        {"2oJoin", W::PlayOptions, Code::O, opt(&P::optJoin),
         optionSetter(s, &P::optJoin, [&] { play.selectJoin(); })},
        {"2tJoin", W::PlayOptions, Code::T, text(&P::txtJoin), [&](auto& v) { play.setJoinAddress(v); }},
        {"2Extratic", W::PlayOptions, Code::C, num(&P::chkExtratic),
         checkSetter([&](int v) { play.setExtratic(v); })},
        {"2Debugfile", W::PlayOptions, Code::C, num(&P::chkDEBUGFILE),
         checkSetter([&](int v) { play.setDebugFile(v); })},
        {"2Dup", W::PlayOptions, Code::T, text(&P::txtDUP), [&](auto& v) { play.setDup(v); }},
        {"2Port", W::PlayOptions, Code::T, text(&P::txtPORT), [&](auto& v) { play.setPort(v); }},
        {"2Skill", W::PlayOptions, Code::I, num(&P::cmbSkill), indexSetter([&](int v) { play.chooseSkill(v); })},

        {"3Sound", W::SoundVideo, Code::C, num(&P::chkSound), checkSetter([&](int v) { sound.setSound(v); })},
        {"3SFX", W::SoundVideo, Code::C, num(&P::chkSFX), checkSetter([&](int v) { sound.setSfx(v); })},
        {"3Music", W::SoundVideo, Code::C, num(&P::chkMusic), checkSetter([&](int v) { sound.setMusic(v); })},
        {"3Width", W::SoundVideo, Code::T, text(&P::cmbWidth), [&](auto& v) { sound.setWidthText(v); }},
        {"3Height", W::SoundVideo, Code::T, text(&P::cmbHeight), [&](auto& v) { sound.setHeightText(v); }},
        {"3Bits", W::SoundVideo, Code::T, text(&P::txtBITS), [&](auto& v) { sound.setBits(v); }},
    };

    static const char* const miscKeys[7] = {"4Noflathack", "4Noidle", "4Noblit", "4Nodraw",
                                            "4CDROM",      "4AVG",    "4Devparm"};
    for (int i = 0; i < 7; ++i) {
        const auto field = MiscController::kSwitches[i].field;
        rows.push_back({QString::fromLatin1(miscKeys[i]), W::Misc, Code::C, num(field),
                        checkSetter([&misc, i](int v) { misc.setSwitch(i, v); })});
    }
    rows.push_back({"4EC", W::Misc, Code::T, text(&P::txtEC), [&](auto& v) { misc.setExtraCommands(v); }});

    rows.push_back({"DFUse", W::GameplayFlags, Code::C, num(&P::chkDMFLAGS),
                    checkSetter([&](int v) { flags.setAddToCommandLine(v); })});
    for (int i = 0; i < static_cast<int>(kFlagEntries.size()); ++i) {
        rows.push_back({QString::fromLatin1(kFlagEntries[i].name), W::GameplayFlags, Code::C,
                        [i](const P& p) { return QString::number(p.DF[i]); },
                        checkSetter([&flags, i](int v) { flags.setFlagBox(i, v); })});
    }

    rows.insert(rows.end(), {
        {"2Net", W::Obsolete, Code::T, text(&P::txtNET), [&](auto& v) { obs.setNet(v); }},
        {"3PrimarySound", W::Obsolete, Code::C, num(&P::chkPrimarySound),
         checkSetter([&](int v) { obs.setPrimarySound(v); })},
        {"3Wavonly", W::Obsolete, Code::C, num(&P::chkWavonly), checkSetter([&](int v) { obs.setWavonly(v); })},
        {"4Heapsize", W::Obsolete, Code::T, text(&P::txtHeapSize), [&](auto& v) { obs.setHeapSize(v); }},
        {"4Transfile", W::Obsolete, Code::T, text(&P::txtTransFile), [&](auto& v) { obs.setTransFile(v); }},
        {"4Nommx", W::Obsolete, Code::C, num(&P::chkNOMMX), checkSetter([&](int v) { obs.setNommx(v); })},
        {"4Notrans", W::Obsolete, Code::C, num(&P::chkNOTRANS), checkSetter([&](int v) { obs.setNotrans(v); })},
    });
    return rows;
}

// Loading replaces a path list: each stored piece goes to the hidden list whole and to the
// shown list as its file name.
void loadList(LaunchProfile& p, PlayOptionsController::FileList which, const QString& value)
{
    const auto& l = PlayOptionsController::info(which);
    (p.*l.hidden).clear();
    (p.*l.shown).clear();
    p.*l.index = -1;
    if (value.isEmpty()) return;
    for (const QString& piece : value.split(u'|')) {
        (p.*l.hidden).append(piece);
        (p.*l.shown).append(PlayOptionsController::ShortFN(piece));
    }
}

} // namespace

Persistence::Persistence(SettingsStore& store, LaunchSession& session, OptionControllers controllers)
    : m_store(store), m_session(session), m_c(controllers)
{
}

void Persistence::Set_Exp(OptionWindow window)
{
    const bool page = window == OptionWindow::GameOptions || window == OptionWindow::PlayOptions ||
                      window == OptionWindow::SoundVideo || window == OptionWindow::Misc;
    if (page) m_session.Rst = true;
    {
        SettingsStore::Transaction tx(m_store);
        for (const KeyRow& row : buildRows(m_session, m_c))
            if (row.window == window)
                m_store.write(SettingsStore::settingsSection(), row.key, row.get(m_session.profile()));
    }
    if (page) m_session.Rst = false;
}

void Persistence::Set_Imp()
{
    const LaunchSession::Batch batch(m_session);
    m_session.Rst = true;
    const QHash<QString, QString> stored = m_store.readSection(SettingsStore::settingsSection());
    LaunchProfile& p = m_session.profile();
    for (const KeyRow& row : buildRows(m_session, m_c)) {
        const QString value = stored.value(row.key.toLower());
        if (row.code == Code::L) {
            loadList(p,
                     row.key == QLatin1StringView("2PWADList")
                         ? PlayOptionsController::FileList::MapWads
                         : PlayOptionsController::FileList::Patches,
                     value);
            // The map rows follow the map WADs, and bring back a chosen map they hold.
            if (row.key == QLatin1StringView("2PWADList")) m_c.play.refreshMapRows();
        } else {
            row.set(value);
        }
    }
    m_session.Rst = false;
    m_session.MainProc();
}

// --- Page windows -----------------------------------------------------------------------

static QString pageKey(int page, const char* what)
{
    return QStringLiteral("Form%1%2").arg(page).arg(QLatin1StringView(what));
}

bool Persistence::storedVisible(int page) const
{
    bool visible = true;
    parseBool(m_store.read(kPageSection, pageKey(page, "Visible"), QStringLiteral("True")), visible);
    return visible;
}

std::optional<QPoint> Persistence::storedPosition(int page) const
{
    double top = 0;
    double left = 0;
    if (!parseNumber(m_store.read(kPageSection, pageKey(page, "Top")), top) ||
        !parseNumber(m_store.read(kPageSection, pageKey(page, "Left")), left))
        return std::nullopt;
    // Positions are pixels inside the main window; keep absurd values on a sane scale.
    auto clampPx = [](double v) { return static_cast<int>(std::clamp(v, -100000.0, 100000.0)); };
    return QPoint(clampPx(left), clampPx(top));
}

void Persistence::markShown(int page)
{
    m_store.write(kPageSection, pageKey(page, "Visible"), QStringLiteral("True"));
}

void Persistence::savePageWindow(int page, bool visible, QPoint position)
{
    static const OptionWindow windows[4] = {OptionWindow::GameOptions, OptionWindow::PlayOptions,
                                            OptionWindow::SoundVideo, OptionWindow::Misc};
    if (page < 1 || page > 4) return;
    SettingsStore::Transaction tx(m_store);
    Set_Exp(windows[page - 1]);
    m_store.write(kPageSection, pageKey(page, "Visible"), boolText(visible));
    m_store.write(kPageSection, pageKey(page, "Top"), QString::number(position.y()));
    m_store.write(kPageSection, pageKey(page, "Left"), QString::number(position.x()));
}

QString Persistence::storedSaveFolder() const
{
    return m_store.read(SettingsStore::settingsSection(), QStringLiteral("1ZFolder"));
}

int Persistence::storedSaveRow() const
{
    int row = 1;
    return parseInt16(m_store.read(SettingsStore::settingsSection(), QStringLiteral("1LG")), row) ? row : 1;
}

bool Persistence::pagesPlaced() const
{
    return !m_store.read(kPageSection, QStringLiteral("Form1Top")).isEmpty();
}

} // namespace tarnwick
