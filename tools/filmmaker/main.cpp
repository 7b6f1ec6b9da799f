// filmmaker FOLDER [FILM...]: writes the films the system ships (all of
// them, or those named) into the folder, which must exist.
// filmmaker --list: names each film and what it holds.
#include "ShippedFilms.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

int Usage() {
  std::fprintf(stderr, "usage: filmmaker FOLDER [FILM...]\n       filmmaker --list\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string first = argv[1];
  if (first == "--list") {
    for (const film::ShippedFilm& f : film::ShippedFilms())
      std::printf("%-16s %s\n", f.fileName.c_str(), f.description.c_str());
    return 0;
  }
  if (first.empty() || first[0] == '-') return Usage();

  std::vector<const film::ShippedFilm*> films;
  for (int i = 2; i < argc; ++i) {
    const film::ShippedFilm* f = film::FindShippedFilm(argv[i]);
    if (!f) {
      std::fprintf(stderr, "filmmaker: no film named %s (see filmmaker --list)\n", argv[i]);
      return 2;
    }
    films.push_back(f);
  }
  if (films.empty())
    for (const film::ShippedFilm& f : film::ShippedFilms()) films.push_back(&f);

  // Each film is written beside its place and moved there when whole, so a
  // failed run leaves no film that looks finished.
  int failed = 0;
  for (const film::ShippedFilm* f : films) {
    const std::string path = first + "/" + f->fileName;
    const std::string part = path + ".part";
    qtf::Status s = film::WriteFilm(f->make(), part);
    if (s.Ok()) {
      std::remove(path.c_str());
      if (std::rename(part.c_str(), path.c_str()) != 0) s = qtf::Status::Fail(qtf::Fault::Io, "cannot rename " + part);
    }
    if (!s.Ok()) {
      std::remove(part.c_str());
      std::fprintf(stderr, "filmmaker: %s: %s\n", path.c_str(), s.what.c_str());
      ++failed;
    }
  }
  return failed ? 1 : 0;
}
