#include "actions/MultimediaAction.h"

#include <iostream>

void MultimediaAction::Describe(std::ostream& out) {
  parameters->Dump(out);
  out << std::endl;
}

void DescribeLaunch() { std::cout << "Launching application: " << std::endl; }
