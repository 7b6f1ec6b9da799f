#include "LinkPersistentClasses.h"

#include "Database.h"
#include "library/ActionTable.h"
#include "library/CDRomNode.h"
#include "library/FilmNode.h"
#include "library/HListNode.h"
#include "library/ListNode.h"
#include "library/StringMaps.h"

void LinkPersistentClasses() {
  // Never true: the optimiser cannot prove it, so the references stay.
  volatile int n = 6;
  if (n + 3 == 12) {
    new Database;
    new ActionDefinition;
    new ActionParameters;
    new ActionTable;
    new CDRomNode;
    new Dictionary;
    new FilmNode;
    new HListNode;
    new ListNode;
  }
}
