#pragma once
// The films the system ships, made from code: the controller strip
// "cs.flm", "default.flm", the list film "em.flm", and sample films for
// play lists.
#include "FilmWriter.h"

#include <string>
#include <vector>

namespace film {

// The controller strip: its size and the handle at its right end, which
// the controller pane handles itself.
constexpr int kControllerWidth = 320;
constexpr int kControllerHeight = 48;
constexpr int kControllerHandle = 25;

// The controller strip's buttons, left to right; each is also its sprite's
// name and the string its click sends.
const std::vector<std::string>& ControllerButtonNames();

struct ShippedFilm {
  std::string fileName;
  std::string description;
  FilmSpec (*make)();
};

const std::vector<ShippedFilm>& ShippedFilms();

// The film of that file name; null when there is none.
const ShippedFilm* FindShippedFilm(const std::string& fileName);

}  // namespace film
