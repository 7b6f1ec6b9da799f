#pragma once
// Writes a movie as a 'moov' atom for a file that also holds all its media:
// every data reference is the file itself.
#include "Model.h"

namespace qtf {

std::vector<uint8_t> BuildMovieAtom(const MovieHeader& header, const std::vector<const TrackModel*>& tracks,
                                    const UserDataList& userData);

// The handler name a new media of this type gets.
std::string DefaultHandlerName(FourCC mediaType);

// Header of an atom of the given total size: 8 bytes, or 16 with a 64-bit size.
std::vector<uint8_t> AtomHeader(FourCC type, uint64_t totalSize);
// Size of the header AtomHeader writes for a body of this size.
uint64_t AtomHeaderSize(uint64_t bodySize);

}  // namespace qtf
