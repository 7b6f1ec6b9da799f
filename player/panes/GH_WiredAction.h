#pragma once
// Reading the wired actions that sprite films hand to a movie pane's action
// filter. The atom container belongs to QuickTime and lives only for the
// call: nothing read from it is kept by reference.
#include "QTToolbox.h"

#include <cstdint>
#include <string>

// The wired action type of the action atom: its first child's data, 4 bytes
// big-endian. False when the atom has no such child or the data is short.
bool ReadWiredActionType(const ResolvedQTEventSpec* spec, uint32_t& type);

// The string parameter of an application number and string action: the
// third child, a length byte and the characters. A length past the atom's
// data is cut to the data; a missing child gives the empty text.
std::string ReadWiredActionString(const ResolvedQTEventSpec* spec);

// The same string as QuickTime stores it: a length byte, then the
// characters (at most 255).
std::string ToLengthPrefixed(const std::string& text);
