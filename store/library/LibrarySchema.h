#pragma once
// The well-known names of the library schema, shared by both programs. Only
// "Preferences", "Actions" and "screensavers" are read by code; the others
// belong to the schema with these texts and mean nothing to either program.
// Names are compared byte for byte: "Actions" is not "actions".
//
// Inline, so a unit that registers makers sees them built before its own
// statics that follow this include.
#include <string>

inline const std::string kCdRomsRoot = "CD-ROMS";
inline const std::string kPlaylistRoot = "Playlist";
inline const std::string kPreferencesRoot = "Preferences";
inline const std::string kActionsRoot = "Actions";
inline const std::string kSpritesRoot = "Sprites";
inline const std::string kScreenSaversKey = "screensavers";
inline const std::string kScreenSaversFolder = "screensavers";
inline const std::string kActionsKey = "actions";
inline const std::string kDictionaryKey = "dictionary";
inline const std::string kActionsRef = "%actions";
inline const std::string kSpritesRef = "%sprites";
inline const std::string kPreferencesRef = "%preferences";
inline const std::string kNameKey = "name";
inline const std::string kVolumeKey = "volume";
inline const std::string kBalanceKey = "balance";
inline const std::string kSpeedKey = "speed";
inline const std::string kCopyrightKey = "copyright";
inline const std::string kLoopKey = "loop";
inline const std::string kTrkLocalKey = "TrkLocal";
inline const std::string kTrkGlobalKey = "TrkGlobal";
inline const std::string kTrkBackgroundKey = "TrkBackground";
inline const std::string kOriginKey = "Origin";
inline const std::string kAliasRootKey = "AliasRoot";
