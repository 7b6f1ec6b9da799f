#pragma once
// The cases both programs' CD registration tests share: the faults a
// registration meets part way, and version-2 descriptions that cannot be
// registered whole.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace kxtest {

// Row numbers go up to 2147483647: a row numbered 2147483645 leaves room
// for two more, one numbered 2147483646 for one more.
enum class RegistrationFault {
  ItemNumbersRunOut,    // the item table takes two items, not the third
  ActionNumbersRunOut,  // the action table takes one action, not the second
  ReadOnlyItemTable,    // refused after the CD's actions were stored
};

struct RegistrationFailure {
  const char* name;
  RegistrationFault fault;
  const char* table;  // the table that refuses
};

inline void PrintTo(const RegistrationFailure& failure, std::ostream* out) { *out << failure.name; }

inline const RegistrationFailure kRegistrationFailures[] = {
    {"ItemNumbersRunOut", RegistrationFault::ItemNumbersRunOut, "GH_ConfigDB"},
    {"ActionNumbersRunOut", RegistrationFault::ActionNumbersRunOut, "GH_ActionDB"},
    {"ReadOnlyItemTable", RegistrationFault::ReadOnlyItemTable, "GH_ConfigDB"},
};

// What the user is told of every failed registration above.
inline const char* const kToldRegisteredAgain = "will be registered again when it is next inserted";

// A CD whose item numbers name items of its own in every way they can, and
// rows of the library (1 is its films folder, -1001 its wastebasket).
struct DescribedItem {
  int32_t number;
  int32_t parent;
  int32_t kind;  // 1 CD, 3 folder, 4 film
  const char* text;
};

inline const std::vector<DescribedItem> kTangledCD = {
    {-1, -1, 1, "Sea"},                     // the CD: top level
    {2, 0, 3, "Folder"},                    // parent 0: under the first item
    {3, 2, 4, "In folder"},                 // parent 2: the item at place 2
    {4, -1, 4, "Top film"},                 // parent -1: top level
    {5, 40, 4, "Beyond the list"},          // 40 is no place: the item numbered 40
    {40, 2, 4, "Numbered 40"},
    {7, 1, 4, "Parent 1"},                  // no item is numbered 1: the CD
    {8, -1001, 4, "Wastebasket's number"},  // names no item: the CD
    {9, 10, 4, "Before its parent"},        // place 10, listed after it
    {10, 2, 3, "Late folder"},
};

// Its rows in a library whose last number is 1, in both programs alike:
// every item under an item of its own CD.
inline const std::vector<std::string> kTangledCDRows = {
    "ITEM_ID=2 PARENT_ID=0 ITEMTEXT=Sea [ 9 Films ]",
    "ITEM_ID=3 PARENT_ID=2 ITEMTEXT=Folder",
    "ITEM_ID=4 PARENT_ID=3 ITEMTEXT=In folder",
    "ITEM_ID=5 PARENT_ID=0 ITEMTEXT=Top film [ 9 Films ]",
    "ITEM_ID=6 PARENT_ID=7 ITEMTEXT=Beyond the list",
    "ITEM_ID=7 PARENT_ID=3 ITEMTEXT=Numbered 40",
    "ITEM_ID=8 PARENT_ID=2 ITEMTEXT=Parent 1",
    "ITEM_ID=9 PARENT_ID=2 ITEMTEXT=Wastebasket's number",
    "ITEM_ID=10 PARENT_ID=11 ITEMTEXT=Before its parent",
    "ITEM_ID=11 PARENT_ID=3 ITEMTEXT=Late folder",
};

struct DescriptionProblem {
  const char* name;
  std::string description;  // GHICD.esk
  int32_t code;             // what the registration answers
  const char* told;         // part of the one box the user sees
  size_t rows;              // the rows it registers
};

// A damaged description, and one of a CD item and a hundred films under it.
inline std::vector<DescriptionProblem> DescriptionProblems() {
  std::string longer = "GHICD 2\r\nALIAS\tLONG_CD\r\nITEM\t1\t0\t-1\t1\t1\tLong disc\t5\t1\t1\t10\t1\t3\t3\t0\r\n";
  for (int i = 2; i <= 101; ++i)
    longer += "ITEM\t" + std::to_string(i) + "\t0\t1\t4\t1\tFilm\t5\t1\t1\t10\t1\t3\t3\t0\r\n";
  return {
      {"a damaged description", "GHICD 2\r\nALIAS\tOLD_CD\r\nFILM\t1\r\n", 2,
       "its description GHICD.esk cannot be read or is damaged", 0},
      {"more than a hundred items", longer, 0, "lists more than 100 items. Only the first 100 were registered", 100},
  };
}

}  // namespace kxtest
