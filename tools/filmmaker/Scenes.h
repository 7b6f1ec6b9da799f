#pragma once
// The pictures of the films we ship, drawn frame by frame.
#include "Picture.h"

#include <string>
#include <vector>

namespace film {

// A harbour at dusk: a lighthouse whose beam sweeps and a boat that
// crosses, at phase 0..1 of the film; the title across the sky.
Picture HarbourFrame(int width, int height, double phase, const std::string& title);

// The title card of the default film: the system's name under turning rays.
Picture TitleFrame(int width, int height, double phase);

// A page of text: a heading and lines below it.
Picture TextPage(int width, int height, const std::string& heading, const std::vector<std::string>& lines);

// The help pages that explain the control strip's buttons.
std::vector<Picture> HelpPages(int width, int height);

// A full-screen backdrop of the list film: heading, a line under it, a frame.
Picture Backdrop(int width, int height, const std::string& heading, const std::string& subheading);

}  // namespace film
