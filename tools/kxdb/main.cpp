// kxdb: creates an installation's CD database and shows what tables hold.
#include <cstring>
#include <iostream>
#include <string>

#include "Database.h"

namespace {

int Usage() {
  std::cerr << "usage: kxdb seed FOLDER        create the CD database's tables with their first rows\n"
               "       kxdb dump TABLE [TAG]   print a table's rows (TABLE without extension)\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::string command = argv[1], why;
  xbase::Code c;
  if (command == "seed" && argc == 3) {
    c = kxdb::SeedDatabase(argv[2], why);
  } else if (command == "dump" && argc <= 4) {
    c = kxdb::DumpTable(argv[2], argc == 4 ? argv[3] : "", std::cout, why);
  } else {
    return Usage();
  }
  if (c != xbase::Code::Ok) {
    std::cerr << "kxdb: " << xbase::CodeText(c) << (why.empty() ? "" : ": " + why) << "\n";
    return 1;
  }
  return 0;
}
