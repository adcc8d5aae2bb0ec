// Names of the settings store's sections and keys, and the few fixed texts the
// programs exchange through it. Every program spells a key through these.
#pragma once

#include <QString>

namespace Keys {

inline constexpr const char* Application = "Dialmere";

namespace Section {
inline constexpr const char* Settings = "Settings";
inline constexpr const char* Skin = "Skin";
inline constexpr const char* Alarm = "Alarm";
inline constexpr const char* Modules = "Modules";
} // namespace Section

namespace Settings {
inline constexpr const char* LeftStart = "LeftStart";
inline constexpr const char* TopStart = "TopStart";
inline constexpr const char* OnTop = "OnTop";
inline constexpr const char* Dock = "Dock";
inline constexpr const char* DockDistance = "DockDistance";
inline constexpr const char* DateToolTip = "DateToolTip";
inline constexpr const char* TimeFormat = "TimeFormat";
inline constexpr const char* DateFormat = "DateFormat";
inline constexpr const char* QuickShow = "QuickShow";
inline constexpr const char* ShowTime = "ShowTime";
inline constexpr const char* Version = "Version";
} // namespace Settings

namespace Skin {
inline constexpr const char* Type = "Type";
inline constexpr const char* Dir = "Dir";
inline constexpr const char* Name = "Name";
// Skin Dir holding this text: the user gave up choosing a skin in DMSkinLoad.
inline constexpr const char* CancelMarker = "cancel";
inline constexpr const char* TypeOwn = "dm";
inline constexpr const char* TypePendrix = "px";
inline constexpr const char* TypeOlvo = "ol";
} // namespace Skin

namespace Alarm {
inline constexpr const char* Time = "Time";
inline constexpr const char* Message = "Message";
inline constexpr const char* Program = "Program";
inline constexpr const char* Type = "Type";
// An alarm time that never equals a formatted time: no alarm.
inline constexpr const char* NoAlarm = "99:99:99";
// Values of Type, the index of DMAlarm's list; the clock starts the program
// for every value other than TypeMessage and TypeSound.
inline constexpr int TypeMessage = 0;
inline constexpr int TypeSound = 1;
inline constexpr int TypeProgram = 2;
} // namespace Alarm

namespace Modules {
// Keys are these prefixes followed by the decimal index: Name0, Exe0, Name1, ...
inline constexpr const char* NamePrefix = "Name";
inline constexpr const char* ExePrefix = "Exe";
// "Name<index>" and "Exe<index>", the index in decimal from 0.
inline QString nameKey(int index) {
    return QLatin1String(NamePrefix) + QString::number(index);
}
inline QString exeKey(int index) {
    return QLatin1String(ExePrefix) + QString::number(index);
}
} // namespace Modules

} // namespace Keys
