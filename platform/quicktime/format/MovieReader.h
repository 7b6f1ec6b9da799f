#pragma once
// Reads the first movie of a film file: the top-level atoms are walked on
// disk, the movie atom is read into memory and parsed there. Media data is
// not read; the sample tables are checked against the file's size.
#include "File.h"
#include "Model.h"

namespace qtf {

// The largest movie atom read, compressed or not. Sample tables of hours of
// film stay well below it.
constexpr uint64_t kMaxMovieAtomSize = 256u << 20;

Status ReadMovie(DataSource& source, MovieModel& movie, FileFacts& facts);
// Opens, reads and closes the file.
Status ReadMovieFile(const std::string& path, MovieModel& movie, FileFacts& facts);

// Parses the body of a 'moov' atom held in memory. fileSize bounds the chunks
// of self-contained media.
Status ParseMovieAtom(ByteReader body, uint64_t fileSize, MovieModel& movie);

// The next child atom of a list held in memory: false at the end. Trailing
// zero bytes too short for an atom end the list, as old writers left them.
Status NextAtom(ByteReader& list, bool& more, FourCC& type, ByteReader& body);

}  // namespace qtf
